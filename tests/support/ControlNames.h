// The one table that names Orvanta's controls for the tests: the headless
// desktop's log ("enable IDC_CONNECT 0"), failure messages of the unit, fuzz and
// end-to-end tests, and the link controls in the order the program switches them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// The symbol of a control id of res/resource.h ("IDC_STATUS" for 1016), IDOK and
// IDCANCEL included; empty for any other id.
std::string_view ControlSymbol(int id);
// The symbol, or the id's number when it has none: how the log names a control.
std::string ControlName(int id);

// The link controls, id and resource symbol, in the order the program switches them.
const std::vector<std::pair<int, std::string>>& LinkControls();
const std::vector<int>& LinkControlIds();

}  // namespace testsupport

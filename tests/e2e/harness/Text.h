// Text conversions between the programs' 8-bit texts and the wide calls a driver
// must use across processes (the ANSI list-box calls hand back UTF-16 bytes there).
#pragma once

#include <string>
#include <string_view>

#include "LineDiff.h"

namespace e2e {

// Through the ANSI code page, so every 8-bit text the programs use survives the
// round trip unchanged.
std::string Narrow(std::wstring_view text);
std::wstring Widen(std::string_view text);

// A text as C source would write it, for failure messages.
using testsupport::Quoted;

}  // namespace e2e

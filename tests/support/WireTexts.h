// The texts that cross between the program and Skype for the robot's link, as
// the tests expect them: datagrams both ways, and the link controls the program
// switches on and off together. Shared by the unit and the end-to-end tests.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// A command to the robot: "ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<command>".
std::string DatagramCommand(int stream, std::string_view command);
// A report of the robot, as Skype's notice: "APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<payload>".
std::string DatagramNotice(int stream, std::string_view payload);
// One of the supervision timer's two polls, sent every second once attached.
bool IsPoll(std::string_view command);
std::vector<std::string> WithoutPolls(std::vector<std::string> commands);

// The link controls, id and resource symbol, in the order the program switches them.
const std::vector<std::pair<int, std::string>>& LinkControls();
const std::vector<int>& LinkControlIds();

}  // namespace testsupport

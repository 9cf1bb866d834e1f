// The texts that cross between the program and Skype for the robot's link, as
// the tests expect them: datagrams both ways and the polls. Shared by the unit and
// the end-to-end tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A command to the robot: "ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<command>".
std::string DatagramCommand(int stream, std::string_view command);
// A report of the robot, as Skype's notice: "APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<payload>".
std::string DatagramNotice(int stream, std::string_view payload);
// One of the supervision timer's two polls, sent every second once attached.
bool IsPoll(std::string_view command);
std::vector<std::string> WithoutPolls(std::vector<std::string> commands);

}  // namespace testsupport

// The texts that cross between the program and Skype for the robot's link, as
// the tests expect them: datagrams both ways, and the link controls the program
// switches on and off together. Shared by the unit and the end-to-end tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A command to the robot: "ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<command>".
std::string DatagramCommand(const std::string& command, int stream = 1);
// A report of the robot, as Skype's notice: "APPLICATION remotecontrol DATAGRAM orvanta.robot:<stream> Msg$<payload>".
std::string DatagramNotice(const std::string& payload, int stream = 1);

// The link controls, id and resource symbol, in the order the program switches them.
const std::vector<std::pair<int, std::string>>& LinkControls();
const std::vector<int>& LinkControlIds();

} // namespace testsupport

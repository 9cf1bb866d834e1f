#include "WireTexts.h"

#include "RobotAccount.h"

namespace testsupport {

std::string DatagramCommand(int stream, std::string_view command) { return "ALTER " + DatagramNotice(stream, command); }

std::string DatagramNotice(int stream, std::string_view payload)
{
    return std::string("APPLICATION ") + kApplicationName + " DATAGRAM " + kRobotAccount + ":" +
        std::to_string(stream) + " Msg$" + std::string(payload);
}

bool IsPoll(std::string_view command) { return command.ends_with(" Msg$WMCA_QD") || command.ends_with(" Msg$WMCA_QU"); }

std::vector<std::string> WithoutPolls(std::vector<std::string> commands)
{
    std::erase_if(commands, [](const std::string& command) { return IsPoll(command); });
    return commands;
}

}  // namespace testsupport

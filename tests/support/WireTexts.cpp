#include "WireTexts.h"

#include "RobotAccount.h"
#include "resource.h"

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

#define NAMED(id)                                                                                                      \
    {                                                                                                                  \
        id, #id                                                                                                        \
    }
const std::vector<std::pair<int, std::string>>& LinkControls()
{
    static const std::vector<std::pair<int, std::string>> controls = {
        NAMED(IDC_CONNECT),        NAMED(IDC_DISCONNECT),    NAMED(IDC_MOVE_XYZ),    NAMED(IDC_BASE_PLUS),
        NAMED(IDC_BASE_MINUS),     NAMED(IDC_SHOULDER_DOWN), NAMED(IDC_SHOULDER_UP), NAMED(IDC_ELBOW_DOWN),
        NAMED(IDC_ELBOW_UP),       NAMED(IDC_WRIST_DOWN),    NAMED(IDC_WRIST_UP),    NAMED(IDC_WRISTROT_PLUS),
        NAMED(IDC_WRISTROT_MINUS), NAMED(IDC_HAND_CLOSE),    NAMED(IDC_HAND_OPEN),   NAMED(IDC_CALIBRATE),
        NAMED(IDC_GOTO_HOME),      NAMED(IDC_STEP),          NAMED(IDC_RUN),         NAMED(IDC_REC),
    };
    return controls;
}
#undef NAMED

const std::vector<int>& LinkControlIds()
{
    static const std::vector<int> ids = [] {
        std::vector<int> out;
        for (const auto& [id, name] : LinkControls())
            out.push_back(id);
        return out;
    }();
    return ids;
}

}  // namespace testsupport

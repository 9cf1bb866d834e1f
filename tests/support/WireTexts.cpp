#include "WireTexts.h"

#include "RobotAccount.h"
#include "resource.h"

namespace testsupport {

std::string DatagramCommand(const std::string& command, int stream)
{
    return "ALTER " + DatagramNotice(command, stream);
}

std::string DatagramNotice(const std::string& payload, int stream)
{
    return std::string("APPLICATION ") + kApplicationName + " DATAGRAM " + kRobotAccount + ":" +
           std::to_string(stream) + " Msg$" + payload;
}

#define NAMED(id) {id, #id}
const std::vector<std::pair<int, std::string>>& LinkControls()
{
    static const std::vector<std::pair<int, std::string>> controls = {
        NAMED(IDC_CONNECT),       NAMED(IDC_DISCONNECT),    NAMED(IDC_MOVE_XYZ),       NAMED(IDC_BASE_PLUS),
        NAMED(IDC_BASE_MINUS),    NAMED(IDC_SHOULDER_DOWN), NAMED(IDC_SHOULDER_UP),    NAMED(IDC_ELBOW_DOWN),
        NAMED(IDC_ELBOW_UP),      NAMED(IDC_WRIST_DOWN),    NAMED(IDC_WRIST_UP),       NAMED(IDC_WRISTROT_PLUS),
        NAMED(IDC_WRISTROT_MINUS), NAMED(IDC_HAND_CLOSE),   NAMED(IDC_HAND_OPEN),      NAMED(IDC_CALIBRATE),
        NAMED(IDC_GOTO_HOME),     NAMED(IDC_STEP),          NAMED(IDC_RUN),            NAMED(IDC_REC),
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

} // namespace testsupport

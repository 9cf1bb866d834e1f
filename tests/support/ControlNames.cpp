#include "ControlNames.h"

#include "resource.h"

namespace testsupport {

namespace {

// The dialog manager's own button ids, as <windows.h> has them.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

#define NAMED(id)                                                                                                      \
    {                                                                                                                  \
        id, #id                                                                                                        \
    }
const std::pair<int, std::string_view> kSymbols[] = {
    {kIdOk, "IDOK"},          {kIdCancel, "IDCANCEL"},
    NAMED(IDC_STATIC),        NAMED(IDC_ABOUT_VERSION),
    NAMED(IDC_BASE_PLUS),     NAMED(IDC_BASE_MINUS),
    NAMED(IDC_SHOULDER_DOWN), NAMED(IDC_SHOULDER_UP),
    NAMED(IDC_ELBOW_DOWN),    NAMED(IDC_ELBOW_UP),
    NAMED(IDC_WRIST_DOWN),    NAMED(IDC_WRIST_UP),
    NAMED(IDC_WRISTROT_PLUS), NAMED(IDC_WRISTROT_MINUS),
    NAMED(IDC_HAND_CLOSE),    NAMED(IDC_HAND_OPEN),
    NAMED(IDC_MOVE_XYZ),      NAMED(IDC_CONNECT),
    NAMED(IDC_DISCONNECT),    NAMED(IDC_STATUS),
    NAMED(IDC_X_READ),        NAMED(IDC_X_SET),
    NAMED(IDC_Y_READ),        NAMED(IDC_Y_SET),
    NAMED(IDC_Z_READ),        NAMED(IDC_Z_SET),
    NAMED(IDC_PITCH_READ),    NAMED(IDC_PITCH_SET),
    NAMED(IDC_ROLL_READ),     NAMED(IDC_ROLL_SET),
    NAMED(IDC_CALIBRATE),     NAMED(IDC_HAND_READ),
    NAMED(IDC_GOTO_HOME),     NAMED(IDC_HAND_SET),
    NAMED(IDC_ROBOT_MESSAGE), NAMED(IDC_SPEED),
    NAMED(IDC_ADD),           NAMED(IDC_DEL),
    NAMED(IDC_STEP),          NAMED(IDC_CHG),
    NAMED(IDC_LOAD),          NAMED(IDC_SAVE),
    NAMED(IDC_RUN),           NAMED(IDC_NOTE),
    NAMED(IDC_STEP_LIST),     NAMED(IDC_ON_TOP),
    NAMED(IDC_REC),           NAMED(IDC_BACKWARD),
    NAMED(IDC_MORE),          NAMED(IDC_ABOUT),
};

// In the order EnableLinkControls switches them.
const int kLinkControlIds[] = {
    IDC_CONNECT,       IDC_DISCONNECT,    IDC_MOVE_XYZ,       IDC_BASE_PLUS,  IDC_BASE_MINUS,
    IDC_SHOULDER_DOWN, IDC_SHOULDER_UP,   IDC_ELBOW_DOWN,     IDC_ELBOW_UP,   IDC_WRIST_DOWN,
    IDC_WRIST_UP,      IDC_WRISTROT_PLUS, IDC_WRISTROT_MINUS, IDC_HAND_CLOSE, IDC_HAND_OPEN,
    IDC_CALIBRATE,     IDC_GOTO_HOME,     IDC_STEP,           IDC_RUN,        IDC_REC,
};
#undef NAMED

}  // namespace

std::string_view ControlSymbol(int id)
{
    for (const auto& [value, symbol] : kSymbols)
        if (value == id)
            return symbol;
    return {};
}

std::string ControlName(int id)
{
    std::string_view symbol = ControlSymbol(id);
    return symbol.empty() ? std::to_string(id) : std::string(symbol);
}

const std::vector<std::pair<int, std::string>>& LinkControls()
{
    static const std::vector<std::pair<int, std::string>> controls = [] {
        std::vector<std::pair<int, std::string>> out;
        for (int id : kLinkControlIds)
            out.emplace_back(id, std::string(ControlSymbol(id)));
        return out;
    }();
    return controls;
}

const std::vector<int>& LinkControlIds()
{
    static const std::vector<int> ids(std::begin(kLinkControlIds), std::end(kLinkControlIds));
    return ids;
}

}  // namespace testsupport

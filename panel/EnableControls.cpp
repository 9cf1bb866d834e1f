// The group of controls that depend on the link to the robot.
#include "ControlPanelDlg.h"

namespace {
// In the order they are switched.
const int kLinkControls[] = {
    IDC_CONNECT,       IDC_DISCONNECT,    IDC_MOVE_XYZ,       IDC_BASE_PLUS,  IDC_BASE_MINUS,
    IDC_SHOULDER_DOWN, IDC_SHOULDER_UP,   IDC_ELBOW_DOWN,     IDC_ELBOW_UP,   IDC_WRIST_DOWN,
    IDC_WRIST_UP,      IDC_WRISTROT_PLUS, IDC_WRISTROT_MINUS, IDC_HAND_CLOSE, IDC_HAND_OPEN,
    IDC_CALIBRATE,     IDC_GOTO_HOME,     IDC_STEP,           IDC_RUN,        IDC_REC,
};
}  // namespace

// Also records the state, which gates the Cartesian targets.
void CControlPanelDlg::EnableLinkControls(int enable)
{
    m_bControlsEnabled = std::uint8_t(enable & 0xFF);
    for (int id : kLinkControls)
        EnableDlgItem(id, enable);
}

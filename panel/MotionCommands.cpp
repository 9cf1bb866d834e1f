// The operator's motion commands: jogs, Cartesian targets, set-home and go-home.
#include "App.h"
#include "ControlPanelDlg.h"
#include "RobotProtocol.h"

void CControlPanelDlg::SendJogStart(int id)
{
    EndPlaybackForOperatorMove();
    SendDatagram(JogStartCommand(id).c_str());
}

void CControlPanelDlg::SendJogStop(int id) { SendDatagram(JogStopCommand(id).c_str()); }

// Move To XYZ and STEP. The targets go out in whole millimetres and degrees;
// the fields keep what the operator typed. A form that cannot be read sends
// nothing and is left as typed: part of it would be old values.
bool CControlPanelDlg::SendSetPose()
{
    if (!UpdateData(TRUE))
        return false;
    RobotPose target = WholeTarget({m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet});
    double speed = WholeSpeed(m_dSpeed);
    UpdateData(FALSE);
    SendCartesianTarget(target, speed);
    return true;
}

// Sent only while the link controls are enabled. A value that cannot be encoded
// is never sent wrapped: the whole target is dropped and the operator told.
void CControlPanelDlg::SendCartesianTarget(const RobotPose& target, double speed)
{
    if (m_bControlsEnabled != 1)
        return;
    std::optional<std::string> command = CartesianTargetCommand(target, speed);
    if (!command) {
        MessageBox("The target is out of range and was not sent.", nullptr, MB_ICONINFORMATION | MB_OK);
        return;
    }
    SendDatagram(command->c_str());
}

void CControlPanelDlg::OnSetPose()
{
    EndPlaybackForOperatorMove();
    SendSetPose();
}

void CControlPanelDlg::OnCalibrate()
{
    if (AfxMessageBox(
            "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.",
            MB_YESNO) != IDYES)
        return;
    EndPlaybackForOperatorMove();
    SendDatagram(kSetHomeCommand);
}

void CControlPanelDlg::OnGotoHome()
{
    if (AfxMessageBox("This command will let robot move to its home position\n\nAre you sure to continue?.",
                      MB_YESNO) != IDYES)
        return;
    EndPlaybackForOperatorMove();
    SendDatagram(kGoHomeCommand);
}

// A move of the operator's own takes over from a playback: RUN shows unchecked,
// and the step end that follows is that move's, which plays nothing. (A step the
// robot could not reach ends no step, so without this a playback stalled there
// would wake up on the end of the operator's next move.)
void CControlPanelDlg::EndPlaybackForOperatorMove()
{
    if (m_bRun == 0 && IsDlgButtonChecked(IDC_RUN) == BST_UNCHECKED)
        return;
    m_bRun = 0;
    CheckDlgButton(IDC_RUN, BST_UNCHECKED);
}

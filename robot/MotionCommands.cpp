// The operator's motion commands: jogs, Cartesian targets, set-home and go-home.
#include <cmath>

#include "App.h"
#include "ControlPanelDlg.h"

void CControlPanelDlg::SendJogStart(int id)
{
    CString command;
    command.Format("%s|%d", "WMCA_BSTARTM", id);
    SendDatagram(command);
}

void CControlPanelDlg::SendJogStop(int id)
{
    CString command;
    command.Format("%s|%d", "WMCA_BSTOPM", id);
    SendDatagram(command);
}

// Move To XYZ and STEP. The targets go out in whole millimetres and degrees;
// the fields keep what the operator typed. A form that cannot be read sends
// nothing and is left as typed: part of it would be old values.
bool CControlPanelDlg::SendSetPose()
{
    if (!PullControls())
        return false;
    double x = std::trunc(m_dXSet), y = std::trunc(m_dYSet), z = std::trunc(m_dZSet);
    double pitch = std::trunc(m_dPitchSet), roll = std::trunc(m_dRollSet), hand = std::trunc(m_dHandSet);
    double speed = std::trunc(m_dSpeed);
    PushControls();
    SendCartesianTarget(x, y, z, pitch, roll, hand, speed);
    return true;
}

void CControlPanelDlg::OnCalibrate()
{
    if (AfxMessageBox("This command will reset the current position\nas the home position.\n\nAre you sure to continue?.",
                      MB_YESNO) == IDYES) {
        CString command;
        command.Format("%s|", "WMCA_BSHP");
        SendDatagram(command);
    }
}

void CControlPanelDlg::OnGotoHome()
{
    if (AfxMessageBox("This command will let robot move to its home position\n\nAre you sure to continue?.", MB_YESNO) ==
        IDYES) {
        CString command;
        command.Format("%s|", "WMCA_BMTH");
        SendDatagram(command);
    }
}

// The robot station's reports, as the panel shows them.
#include "ControlPanelDlg.h"
#include "DataExchange.h"
#include "RobotProtocol.h"

// Nothing here opens a box: the report may be inside Skype's own send.
void CControlPanelDlg::OnRobotReport(const RobotReport& report)
{
    const bool outer = m_bUnasked;
    m_bUnasked = true;

    switch (report.kind) {
    case RobotReport::kPosition: {
        PullControls();
        m_dXRead = report.pose.x;
        m_dYRead = report.pose.y;
        m_dZRead = report.pose.z;
        m_dPitchRead = report.pose.pitch;
        m_dRollRead = report.pose.roll;
        m_dHandRead = report.pose.hand;
        unsigned typed = 0;
        if (m_bRec == 1) {
            CopyReadToSet();  // while recording, the targets follow the robot
            typed = kTypedPose;
        }
        PushNews(typed);
        break;
    }
    case RobotReport::kReady:
        EnableDlgItem(IDC_CONNECT, TRUE);
        EnableDlgItem(IDC_DISCONNECT, TRUE);
        break;
    case RobotReport::kText:
        PullControls();
        m_strRobotMessage = CString(report.text);
        PushNews(0);
        break;
    case RobotReport::kStepEnd: OnStepEnd(); break;
    case RobotReport::kRequest: SendDatagram(kRequestAnswer); break;
    case RobotReport::kNone: break;
    }
    m_bUnasked = outer;
}

// A write the operator did not ask for may find a box half-way through typing
// ("-" on the way to "-5", "1." on the way to "1.5"): it writes only what it
// brings, and no box the operator types in unless its handler changed that box
// (the Set values while recording, a step that playback loads).
void CControlPanelDlg::PushNews(unsigned typed)
{
    CDataExchange dx(this, FALSE);
    DDX_Text(&dx, IDC_STATUS, m_strStatus);
    DDX_Text(&dx, IDC_PITCH_READ, m_dPitchRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_PITCH_SET, m_dPitchSet);
    DDX_Text(&dx, IDC_ROLL_READ, m_dRollRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_ROLL_SET, m_dRollSet);
    DDX_Text(&dx, IDC_X_READ, m_dXRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_X_SET, m_dXSet);
    DDX_Text(&dx, IDC_Y_READ, m_dYRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_Y_SET, m_dYSet);
    DDX_Text(&dx, IDC_Z_READ, m_dZRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_Z_SET, m_dZSet);
    DDX_Text(&dx, IDC_HAND_READ, m_dHandRead);
    if (typed & kTypedPose)
        DDX_Text(&dx, IDC_HAND_SET, m_dHandSet);
    DDX_Text(&dx, IDC_ROBOT_MESSAGE, m_strRobotMessage);
    if (typed & kTypedNote)
        DDX_Text(&dx, IDC_NOTE, m_strNote);
    if (typed & kTypedSpeed)
        DDX_Text(&dx, IDC_SPEED, m_dSpeed);
}

void CControlPanelDlg::CopyReadToSet()
{
    m_dXSet = m_dXRead;
    m_dYSet = m_dYRead;
    m_dZSet = m_dZRead;
    m_dPitchSet = m_dPitchRead;
    m_dRollSet = m_dRollRead;
    m_dHandSet = m_dHandRead;
}

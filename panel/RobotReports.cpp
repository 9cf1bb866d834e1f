// The robot station's reports, as the panel shows them.
#include "ControlPanelDlg.h"
#include "DataExchange.h"
#include "RobotProtocol.h"

// payload: the datagram's text from its first "$".
void CControlPanelDlg::OnRobotReport(const char* payload)
{
    const bool outer = m_bInReport;
    m_bInReport = true;

    const RobotReport report = ParseRobotReport(payload);
    switch (report.kind) {
    case RobotReport::kPosition: {
        BOOL pulled = PullControls();
        m_dXRead = report.pose.x;
        m_dYRead = report.pose.y;
        m_dZRead = report.pose.z;
        m_dPitchRead = report.pose.pitch;
        m_dRollRead = report.pose.roll;
        m_dHandRead = report.pose.hand;
        if (m_bRec == 1)
            CopyReadToSet();  // while recording, the targets follow the robot
        PushReport(pulled);
        break;
    }
    case RobotReport::kReady:
        EnableDlgItem(IDC_CONNECT, TRUE);
        EnableDlgItem(IDC_DISCONNECT, TRUE);
        break;
    case RobotReport::kText: {
        BOOL pulled = PullControls();
        m_strRobotMessage = CString(report.text);
        PushReport(pulled);
        break;
    }
    case RobotReport::kStepEnd: OnStepEnd(); break;
    case RobotReport::kRequest: SendDatagram(kRequestAnswer); break;
    case RobotReport::kNone: break;
    }
    m_bInReport = outer;
}

void CControlPanelDlg::PushReport(BOOL pulled)
{
    if (pulled)
        PushControls();
    else
        PushReportNews();
}

// A box that holds no number at a report's pull may be one the operator is
// typing in ("-" on the way to "-5"): the report writes only what it brings,
// the status, the Read boxes and the robot's text, and while recording the Set
// values, which follow the robot. The other boxes keep what they show.
void CControlPanelDlg::PushReportNews()
{
    CDataExchange dx(this, FALSE);
    DDX_Text(&dx, IDC_STATUS, m_strStatus);
    DDX_Text(&dx, IDC_PITCH_READ, m_dPitchRead);
    DDX_Text(&dx, IDC_ROLL_READ, m_dRollRead);
    DDX_Text(&dx, IDC_X_READ, m_dXRead);
    DDX_Text(&dx, IDC_Y_READ, m_dYRead);
    DDX_Text(&dx, IDC_Z_READ, m_dZRead);
    DDX_Text(&dx, IDC_HAND_READ, m_dHandRead);
    DDX_Text(&dx, IDC_ROBOT_MESSAGE, m_strRobotMessage);
    if (m_bRec == 1) {
        DDX_Text(&dx, IDC_PITCH_SET, m_dPitchSet);
        DDX_Text(&dx, IDC_ROLL_SET, m_dRollSet);
        DDX_Text(&dx, IDC_X_SET, m_dXSet);
        DDX_Text(&dx, IDC_Y_SET, m_dYSet);
        DDX_Text(&dx, IDC_Z_SET, m_dZSet);
        DDX_Text(&dx, IDC_HAND_SET, m_dHandSet);
    }
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

// The robot station's reports, and the Cartesian target sent to it. Numbers
// travel as signed decimal integers in tenths of a millimetre or degree.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "ControlPanelDlg.h"
#include "DataExchange.h"
#include "Scan.h"

namespace {
bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

// The wire number of a value: cut toward zero; nothing when it does not fit a
// signed 32-bit number (nan included).
bool ToWire(double value, int& out)
{
    double cut = std::trunc(value);
    if (!(cut >= double(INT32_MIN) && cut <= double(INT32_MAX)))
        return false;
    out = int(cut);
    return true;
}
} // namespace

// payload: the datagram's text from its first "$".
void CControlPanelDlg::OnRobotReport(const char* payload)
{
    const std::string_view text(payload);
    const bool outer = m_bInReport;
    m_bInReport = true;

    if (Contains(text, "WMRP_D")) {
        size_t bar = text.find('|');
        int x, y, z, p, r, g;
        if (bar != std::string_view::npos &&
            Scanner(text.substr(bar)).Lit("|X").Int(x).Lit("Y").Int(y).Lit("Z").Int(z)
                    .Lit("P").Int(p).Lit("R").Int(r).Lit("G").Int(g).Items() == 6) {
            BOOL pulled = PullControls();
            m_dXRead = x * 0.1;
            m_dYRead = y * 0.1;
            m_dZRead = z * 0.1;
            m_dPitchRead = p * 0.1;
            m_dRollRead = r * 0.1;
            m_dHandRead = double(g / 10);  // whole millimetres
            if (m_bRec == 1)
                CopyReadToSet();  // while recording, the targets follow the robot
            PushReport(pulled);
        }
    } else if (Contains(text, "WMRSS")) {
        if (Contains(text, "RoBoT_ReAdY")) {
            EnableDlgItem(IDC_CONNECT, TRUE);
            EnableDlgItem(IDC_DISCONNECT, TRUE);
        }
    } else if (Contains(text, "WMRD_U")) {
        BOOL pulled = PullControls();
        size_t star = text.find('*');
        m_strRobotMessage = star == std::string_view::npos ? CString() : CString(text.substr(star));
        PushReport(pulled);
    } else if (Contains(text, "WMRP_SE")) {
        OnStepEnd();
    } else if (Contains(text, "WMIT_D")) {
        SendDatagram("WMCA_ITD");
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

// Sent only while the link controls are enabled. A value that cannot be encoded
// is never sent wrapped: the whole target is dropped and the operator told.
void CControlPanelDlg::SendCartesianTarget(double x, double y, double z, double pitch, double roll, double hand,
                                           double speed)
{
    if (m_bControlsEnabled != 1)
        return;
    int wire[7];
    const double scaled[7] = {x * 10.0, y * 10.0, z * 10.0, pitch * 10.0, roll * 10.0, hand * 10.0, speed};
    for (int i = 0; i < 7; ++i) {
        if (!ToWire(scaled[i], wire[i])) {
            MessageBox("The target is out of range and was not sent.", nullptr, MB_ICONINFORMATION | MB_OK);
            return;
        }
    }
    CString command;
    command.Format("%s|X%dY%dZ%dP%dR%dG%dSP%d", "WMCA_PCD", wire[0], wire[1], wire[2], wire[3], wire[4], wire[5],
                   wire[6]);
    SendDatagram(command);
}

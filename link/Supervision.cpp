// Link supervision: the one-second timer that polls the robot, warns when it is
// silent and repeats the discovery after Skype's user has logged in again.
#include <climits>

#include "ControlPanelDlg.h"

namespace {
constexpr UINT_PTR kSupervisionTimerId = 1;
constexpr UINT kSupervisionPeriodMs = 1000;
constexpr int kMissedTickThreshold = 15;
} // namespace

// Starting it again with the same id restarts it.
void CControlPanelDlg::StartSupervisionTimer()
{
    SetTimer(kSupervisionTimerId, kSupervisionPeriodMs);
}

void CControlPanelDlg::OnTimer(UINT_PTR)
{
    SendDatagram("WMCA_QD");
    SendDatagram("WMCA_QU");

    // A robot that has been silent for more than the threshold is reported,
    // whether or not it ever answered.
    int missed = m_nMissedTicks;
    if (missed < INT_MAX)
        m_nMissedTicks = missed + 1;
    if (missed > kMissedTickThreshold) {
        PullControls();
        m_strStatus = "Sorry Robot is not online now, please try again later";
        PushControls();
    }

    // The countdown runs down to -1 and rests there until it is set again.
    int countdown = m_nRediscoverCountdown;
    if (countdown >= 0)
        m_nRediscoverCountdown = countdown - 1;
    if (countdown == 0)
        BroadcastDiscover();
}

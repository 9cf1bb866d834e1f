// Link supervision: the one-second timer that polls the robot, warns when it is
// silent and repeats the discovery after Skype's user has logged in again; and
// before the first attachment the discovery timer, which waits for Skype's
// answer to start-up and repeats the discovery for a Skype that comes later.
#include "LinkController.h"
#include "RobotProtocol.h"

void CLinkController::OnTimer(unsigned id)
{
    if (id == CSupervision::kDiscoveryTimerId)
        OnDiscoveryTick();
    else
        OnTick();
}

void CLinkController::OnTick()
{
    SendDatagram(kPositionQuery);
    SendDatagram(kStateQuery);
    if (m_supervision.MissTick()) {
        m_view.ShowStatus("Sorry Robot is not online now, please try again later");
    }
    if (m_supervision.CountDown())
        m_skype.Discover();
}

// Runs only until the first attachment, and only while it has something to count.
void CLinkController::OnDiscoveryTick()
{
    // A tick of the timer already stopped counts nothing twice.
    if (!m_bDiscoveryTimer)
        return;
    const bool notFound = m_nNotFoundTicks > 0 && --m_nNotFoundTicks == 0;
    const bool due = m_supervision.CountDown();
    if (m_nNotFoundTicks == 0 && m_supervision.RediscoverCountdown() < 0)
        StopDiscoveryTimer();
    if (notFound)
        m_view.ShowBox(kNotFoundText, "ErrorMessage", ILinkView::Box::kError);
    if (due)
        m_skype.Discover();
}

void CLinkController::StartDiscoveryTimer()
{
    if (m_bDiscoveryTimer)
        return;
    m_bDiscoveryTimer = true;
    m_view.StartTimer(CSupervision::kDiscoveryTimerId, CSupervision::kPeriodMs);
}

void CLinkController::StopDiscoveryTimer()
{
    if (!m_bDiscoveryTimer)
        return;
    m_bDiscoveryTimer = false;
    m_view.StopTimer(CSupervision::kDiscoveryTimerId);
}

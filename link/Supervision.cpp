// Link supervision: the one-second timer that polls the robot, warns when it is
// silent and repeats the discovery after Skype's user has logged in again.
#include "LinkController.h"

void CLinkController::OnTick()
{
    SendDatagram("WMCA_QD");
    SendDatagram("WMCA_QU");
    if (m_supervision.MissTick()) {
        m_view.PullControls();
        m_view.SetStatus("Sorry Robot is not online now, please try again later");
        m_view.PushControls();
    }
    if (m_supervision.CountDown())
        m_skype.Discover();
}

// The link controller: attachment answers, Skype's notices, the app-to-app
// connection to the robot station, the call, and the close-down.
#include "LinkController.h"

#include <string>
#include <string_view>

#include "RobotAccount.h"
#include "RobotProtocol.h"
#include "Scan.h"
#include "SkypeApi.h"

namespace {

const char kRefusedText[] = "You probably have chosen disallowing this software to access Skype\n\n"
                            " If you want to use this software, please change the following setting in Skype:\n"
                            "    Skype menu->Tools->Options->Privacy->Manage other programs access to Skype\n"
                            " Or \n"
                            "    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\n\n"
                            " The 'Manage API Access Control' panel will appear, then Change the settings to "
                            "'Allow this program to use Skype'";
const char kNotAvailableText[] = "Skype API not available, please log in Skype to operate robot";

const std::string kApplication = kApplicationName;
const std::string kRobot = kRobotAccount;
const std::string kStreamsPrefix = "APPLICATION " + kApplication + " STREAMS ";
const std::string kDatagramPrefix = "APPLICATION " + kApplication + " DATAGRAM ";
const std::string kReceivedPrefix = "APPLICATION " + kApplication + " RECEIVED ";
const std::string kReadPrefix = "APPLICATION " + kApplication + " READ ";

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

// A broadcast goes out whether or not anything answers it, so the absence of
// Skype shows as the silence after it: the discovery timer tells the operator.
void CLinkController::Start()
{
    m_nNotFoundTicks = CSupervision::kAnswerTicks;
    if (!m_skype.Discover()) {
        m_nNotFoundTicks = 0;
        m_view.ShowBox(kNotFoundText, "ErrorMessage", ILinkView::Box::kError);
    }
    // An answer inside the broadcast has cleared the count.
    if (m_nNotFoundTicks > 0)
        StartDiscoveryTimer();
    m_view.EnableLinkControls(0);
    m_bSkypeLinked = 0;
}

void CLinkController::OnAttachAnswer(std::intptr_t status)
{
    m_nNotFoundTicks = 0;  // Skype is there
    switch (status) {
    case kAttachSuccess:
        OpenRobotLink();
        // Starting it again with the same id restarts it.
        m_view.StartTimer(CSupervision::kTimerId, CSupervision::kPeriodMs);
        m_bSupervising = true;
        StopDiscoveryTimer();
        m_bSkypeLinked = 1;
        break;
    // Skype may send its answer and wait for it: the boxes come after it.
    case kAttachRefused: m_view.PostBox(kRefusedText, "Error Message", ILinkView::Box::kError); break;
    case kAttachNotAvailable: m_view.PostBox(kNotAvailableText, "Error Message", ILinkView::Box::kError); break;
    case kAttachApiAvailable:
        if (m_bSkypeLinked == 0) {
            m_supervision.ArmRediscovery();
            m_bSkypeLinked = 1;
            // A Skype that comes after us: nothing ticks yet to count down.
            if (!m_bSupervising)
                StartDiscoveryTimer();
        }
        break;
    default: break;
    }
}

// Every notice, replies to our own commands included, goes through these tests
// in order. The tests look for text anywhere in the notice, a datagram's payload
// included; the parses match from the notice's first character.
void CLinkController::OnSkypeNotice(const char* notice)
{
    const std::string_view text(notice);

    if (Contains(text, "LOGGEDOUT"))
        LogOut();
    if (Contains(text, "STATUS FINISHED"))
        EndExperiment();
    if (Contains(text, "ONLINE")) {
        m_bSkypeLinked = 1;
        m_view.ShowStatus("Searching Robot, please wait......");
        return;
    }
    if (Contains(text, "DURATION")) {
        int call = 0, duration = 0;
        if (Scanner(text).Lit("CALL ").Int(call).Lit(" DURATION ").Int(duration).Items() == 2)
            m_nCallId = call;
        return;
    }
    if (Contains(text, kStreamsPrefix)) {
        int stream = 0;
        if (Scanner(text).Lit(kStreamsPrefix).Lit(kRobot).Lit(":").Int(stream).Items() == 1)
            m_nStreamId = stream;
        else
            EndExperiment();  // the robot's stream is gone
        return;
    }
    if (Contains(text, kDatagramPrefix + kRobot)) {
        int stream = 0;
        std::string token;
        Scanner scan(text);
        scan.Lit(kDatagramPrefix).Lit(kRobot).Lit(":").Int(stream).Lit(" ").Word(token);
        if (scan.Items() == 2 && stream == m_nStreamId && Contains(token, kDatagramMarker)) {
            // The report is read from the notice's first "$" on.
            m_view.ShowRobotReport(ParseRobotReport(text.substr(text.find('$'))));
            m_supervision.OnSignOfLife();
            m_view.ShowStatus("Link to Robot OK!");
        }
        return;
    }
    if (Contains(text, kReceivedPrefix + kRobot) || Contains(text, kReadPrefix + kRobot))
        return;
    if (Contains(text, "VIDEO_RECEIVE_STATUS RUNNING"))
        m_view.EnableLinkControls(1);
    else if (Contains(text, "VIDEO_RECEIVE_STATUS REJECTED"))
        m_view.EnableLinkControls(0);
}

// Skype's window went away under a command: the same as its user logging out.
// The jog held, if any, stops as its button is disabled; an API-available answer
// from the Skype that comes next arms the discovery.
void CLinkController::OnSkypeGone() { LogOut(); }

void CLinkController::LogOut()
{
    m_view.EnableLinkControls(0);
    m_view.ShowStatus("User offline");
    m_bSkypeLinked = 0;
}

void CLinkController::OpenRobotLink()
{
    Send("CREATE APPLICATION " + kApplication);
    Send("ALTER APPLICATION " + kApplication + " CONNECT " + kRobot);
}

void CLinkController::SendDatagram(const char* command)
{
    const std::string text = "ALTER APPLICATION " + kApplication + " DATAGRAM " + kRobot + ":" +
        std::to_string(m_nStreamId) + " " + kDatagramMarker + command;
    if (IsVitalCommand(command))
        m_skype.SendVital(text.c_str());
    else
        Send(text);
}

void CLinkController::CallRobot() { Send("call " + kRobot); }

// Both close-downs: the operator's Disconnect (and the end of the experiment),
// and the window's, which waits between hang-up and disconnect to give the
// robot station time to stop before the stream goes. A close-down inside
// another (a Disconnect nested in a send, or in the Thanks box) sends its
// commands and leaves the state to the outer one. Skype's answers to the
// commands (the call finished, the stream gone) end the experiment once, after
// the close-down, not by a second close-down inside it; once the window is
// going they end nothing.
void CLinkController::CloseDown(Close what)
{
    const bool outermost = m_state == State::kIdle;
    if (outermost)
        m_state = State::kClosing;
    // A jog still held stops before the robot is told we leave.
    m_view.CancelJog();
    SendDatagram(kLeaveCommand);  // the robot station: the client leaves
    Send("ALTER CALL " + std::to_string(m_nCallId) + " HANGUP");
    if (what == Close::kWindow)
        m_view.Wait(5000);
    Send("ALTER APPLICATION " + kApplication + " DISCONNECT " + kRobot + ":" + std::to_string(m_nStreamId));
    Send("DELETE APPLICATION " + kApplication);
    if (what == Close::kWindow)
        return;  // the state stays: nothing is shown any more
    m_view.EnableLinkControls(0);
    if (!outermost)
        return;
    const bool ended = m_state == State::kEnding;
    m_state = State::kIdle;
    if (ended)
        ShowExperimentEnd(false);
}

// Asked for by a notice, so it runs after the notice has been answered: its
// close-down waits and its box waits for the operator.
void CLinkController::EndExperiment()
{
    if (m_state == State::kEnding)
        return;
    const bool closing = m_state == State::kClosing;
    m_state = State::kEnding;
    // A close-down under way shows the end when it is over.
    if (closing)
        return;
    m_bEndPosted = true;
    m_view.PostExperimentEnd();
}

void CLinkController::RunExperimentEnd()
{
    if (!m_bEndPosted)
        return;
    m_bEndPosted = false;
    ShowExperimentEnd(true);
}

// The restart status, the close-down unless it has been sent already, and the
// thanks box.
void CLinkController::ShowExperimentEnd(bool closeDown)
{
    m_state = State::kEnding;
    m_view.ShowStatus("Please restart this program again for next experiment.");
    if (closeDown)
        CloseDown(Close::kLink);
    m_view.ShowBox("Thanks for using robot!\n\n Hope to see you again!\n\n ", "Message", ILinkView::Box::kMessage);
    m_state = State::kIdle;
}

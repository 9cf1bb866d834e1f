// The link controller: attachment answers, Skype's notices, the app-to-app
// connection to the robot station, the call, and the close-down.
#include <string>
#include <string_view>

#include "ControlPanelDlg.h"
#include "RobotAccount.h"
#include "Scan.h"
#include "SkypeChannel.h"

namespace {

const char kRefusedText[] =
    "You probably have chosen disallowing this software to access Skype\n\n"
    " If you want to use this software, please change the following setting in Skype:\n"
    "    Skype menu->Tools->Options->Privacy->Manage other programs access to Skype\n"
    " Or \n"
    "    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\n\n"
    " The 'Manage API Access Control' panel will appear, then Change the settings to "
    "'Allow this program to use Skype'";
const char kNotAvailableText[] = "Skype API not available, please log in Skype to operate robot";

const std::string kStreamsPrefix = std::string("APPLICATION ") + kApplicationName + " STREAMS ";
const std::string kDatagramPrefix = std::string("APPLICATION ") + kApplicationName + " DATAGRAM ";
const std::string kReceivedPrefix = std::string("APPLICATION ") + kApplicationName + " RECEIVED ";
const std::string kReadPrefix = std::string("APPLICATION ") + kApplicationName + " READ ";

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

} // namespace

void CControlPanelDlg::OnAttachAnswer(LPARAM status, HWND skypeWnd)
{
    switch (status) {
    case kAttachSuccess:
        m_hSkypeWnd = skypeWnd;
        m_bSkypeSilent = false;  // it has just answered us
        OpenRobotLink();
        StartSupervisionTimer();
        m_bSkypeLinked = 1;
        break;
    case kAttachRefused:
        MessageBox(kRefusedText, "Error Message", MB_ICONSTOP | MB_OK);
        break;
    case kAttachNotAvailable:
        MessageBox(kNotAvailableText, "Error Message", MB_ICONSTOP | MB_OK);
        break;
    case kAttachApiAvailable:
        if (m_bSkypeLinked == 0) {
            m_nRediscoverCountdown = 10;
            m_bSkypeLinked = 1;
        }
        break;
    default:
        break;
    }
}

// Every notice, replies to our own commands included, goes through these tests
// in order. The tests look for text anywhere in the notice, a datagram's payload
// included; the parses match from the notice's first character.
void CControlPanelDlg::OnSkypeNotice(const char* notice)
{
    const std::string_view text(notice);

    if (Contains(text, "LOGGEDOUT")) {
        m_strStatus = "User offline";
        EnableLinkControls(0);
        PushControls();
        m_bSkypeLinked = 0;
    }
    if (Contains(text, "STATUS FINISHED"))
        EndExperiment();
    if (Contains(text, "ONLINE")) {
        m_strStatus = "Searching Robot, please wait......";
        m_bSkypeLinked = 1;
        PushControls();
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
        if (Scanner(text).Lit(kStreamsPrefix).Lit(kRobotAccount).Lit(":").Int(stream).Items() == 1)
            m_nStreamId = stream;
        else
            EndExperiment();  // the robot's stream is gone
        return;
    }
    if (Contains(text, kDatagramPrefix + kRobotAccount)) {
        int stream = 0;
        std::string token;
        Scanner scan(text);
        scan.Lit(kDatagramPrefix).Lit(kRobotAccount).Lit(":").Int(stream).Lit(" ").Word(token);
        if (scan.Items() == 2 && stream == m_nStreamId && Contains(token, "Msg$"))
            OnRobotReport(notice + text.find('$'));
        return;
    }
    if (Contains(text, kReceivedPrefix + kRobotAccount) || Contains(text, kReadPrefix + kRobotAccount))
        return;
    if (Contains(text, "VIDEO_RECEIVE_STATUS RUNNING"))
        EnableLinkControls(1);
    else if (Contains(text, "VIDEO_RECEIVE_STATUS REJECTED"))
        EnableLinkControls(0);
}

void CControlPanelDlg::OpenRobotLink()
{
    CString command;
    command.Format("CREATE APPLICATION %s", kApplicationName);
    SendSkypeCommand(command);
    command.Format("ALTER APPLICATION %s CONNECT %s", kApplicationName, kRobotAccount);
    SendSkypeCommand(command);
}

// Sent whatever the link state is.
void CControlPanelDlg::SendDatagram(const char* command)
{
    CString text;
    text.Format("ALTER APPLICATION %s DATAGRAM %s:%d Msg$%s", kApplicationName, kRobotAccount, m_nStreamId, command);
    SendSkypeCommand(text);
}

void CControlPanelDlg::CallRobot()
{
    CString command;
    command.Format("call %s", kRobotAccount);
    SendSkypeCommand(command);
}

namespace {
void SendHangUp(CControlPanelDlg& panel)
{
    CString command;
    command.Format("ALTER CALL %d HANGUP", panel.m_nCallId);
    panel.SendSkypeCommand(command);
}

void SendDisconnectAndDelete(CControlPanelDlg& panel)
{
    CString command;
    command.Format("ALTER APPLICATION %s DISCONNECT %s:%d", kApplicationName, kRobotAccount, panel.m_nStreamId);
    panel.SendSkypeCommand(command);
    command.Format("DELETE APPLICATION %s", kApplicationName);
    panel.SendSkypeCommand(command);
}
} // namespace

void CControlPanelDlg::CloseRobotLink()
{
    bool outermost = !m_bClosingLink;
    m_bClosingLink = true;
    // A jog still held stops before the robot is told we leave.
    CancelChildCapture();
    SendDatagram("WMCD");  // the robot station: the client leaves
    SendHangUp(*this);
    SendDisconnectAndDelete(*this);
    EnableLinkControls(0);
    if (!outermost)
        return;
    m_bClosingLink = false;
    bool pending = m_bEndPending;
    m_bEndPending = false;
    if (pending && !m_bEndingExperiment)
        ShowExperimentEnd(false);
}

void CControlPanelDlg::EndExperiment()
{
    // Skype answers our own hang-up and disconnect with STATUS FINISHED and an
    // empty STREAMS notice inside those very sends; they must not end the
    // experiment a second time.
    if (m_bEndingExperiment)
        return;
    if (m_bClosingLink) {
        m_bEndPending = true;
        return;
    }
    ShowExperimentEnd(true);
}

// The restart status, the close-down unless it has been sent already, and the
// thanks box.
void CControlPanelDlg::ShowExperimentEnd(bool closeDown)
{
    m_bEndingExperiment = true;
    PullControls();
    m_strStatus = "Please restart this program again for next experiment.";
    PushControls();
    if (closeDown)
        CloseRobotLink();
    MessageBox("Thanks for using robot!\n\n Hope to see you again!\n\n ", "Message", MB_ICONINFORMATION | MB_OK);
    m_bEndingExperiment = false;
}

// Run when the window is about to be destroyed. The wait gives the robot
// station time to stop before the stream goes; it blocks the whole panel. The
// window is going: Skype's answers end no experiment now.
void CControlPanelDlg::CloseDownLink()
{
    m_bClosingLink = true;
    CancelChildCapture();
    SendDatagram("WMCD");
    SendHangUp(*this);
    ws::Sleep(5000);
    SendDisconnectAndDelete(*this);
}

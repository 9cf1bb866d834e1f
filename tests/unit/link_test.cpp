// The link controller: attachment answers, Skype's notices, Connect and
// Disconnect, the end of the experiment and the close-down of the window.
#include "PanelFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

class LinkTest : public PanelTest {
protected:
    // Operating on stream 1 in call 17.
    void OpenInCall()
    {
        OpenOperating();
        desk.Notice("CALL 17 DURATION 1");
        Flush();
    }

    // Skype's answers inside the close-down's sends, as the real client gives
    // them: a last DURATION and STATUS FINISHED for the hang-up, an empty
    // STREAMS for the disconnect; echo: each command's echo reply first.
    void AnswerCloseDownLikeSkype(bool echo)
    {
        desk.onCommand = [this, echo](const std::string& command) {
            if (echo)
                desk.Notice(command);
            if (command == "ALTER CALL 17 HANGUP") {
                desk.Notice("CALL 17 DURATION 42");
                desk.Notice("CALL 17 STATUS FINISHED");
            }
            if (command == "ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1")
                desk.Notice("APPLICATION remotecontrol STREAMS ");
        };
    }
};

const char kThanks[] = "Thanks for using robot!\n\n Hope to see you again!\n\n ";
const char kThanksBox[] =
    "box Message | Thanks for using robot!\\n\\n Hope to see you again!\\n\\n  | information ok -> IDOK";
const char kRefused[] =
    "You probably have chosen disallowing this software to access Skype\n\n If you want to use this software, please "
    "change the following setting in Skype:\n    Skype menu->Tools->Options->Privacy->Manage other programs access to "
    "Skype\n Or \n    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\n\n The 'Manage API "
    "Access Control' panel will appear, then Change the settings to 'Allow this program to use Skype'";
const char kNotAvailable[] = "Skype API not available, please log in Skype to operate robot";

const char kStart[] = "Searching Robot ......";
const char kOnline[] = "Searching Robot, please wait......";
const char kOffline[] = "User offline";
const char kLinkOk[] = "Link to Robot OK!";
const char kRestart[] = "Please restart this program again for next experiment.";

std::string Status(const char* text) { return std::string("text IDC_STATUS ") + text; }

// What Disconnect sends: WMCD, hang-up, disconnect, delete.
Sequence CloseDown(int call, int stream)
{
    return {Datagram("WMCD", stream), "send ALTER CALL " + std::to_string(call) + " HANGUP",
            "send ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:" + std::to_string(stream),
            "send DELETE APPLICATION remotecontrol"};
}

// EndExperiment: the status, the close-down, the link controls off, the Thanks box.
Sequence EndOfExperiment(int call, int stream)
{
    return Sequence{Status(kRestart)} + CloseDown(call, stream) + LinkControlEntries(0) + Sequence{kThanksBox};
}

// The window's close-down, with its wait between hang-up and disconnect.
Sequence WindowCloseDown(const std::string& how, int call, int stream)
{
    return {how + " ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:" + std::to_string(stream) + " Msg$WMCD",
            how + " ALTER CALL " + std::to_string(call) + " HANGUP",
            "sleep 5000",
            how + " ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:" + std::to_string(stream),
            how + " DELETE APPLICATION remotecontrol",
            "destroy IDD_CONTROL_PANEL"};
}

size_t BoxesIn(const Sequence& log)
{
    return size_t(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("box ", 0) == 0; }));
}

// --- Attachment answers

TEST_F(LinkTest, EachAttachStatusHasItsOwnEffect)
{
    struct Row { LPARAM status; const char* box; Sequence log; int linked; int countdown; bool skypeKnown; };
    // Each answer on a freshly started panel.
    static const Row rows[] = {
        {0, nullptr,
         {"send CREATE APPLICATION remotecontrol", "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot",
          "timer 1 1000"},
         1, -1, true},
        {1, nullptr, {}, 0, -1, false},
        {2, kRefused, {std::string("box Error Message | ") + "You probably have chosen disallowing this software to "
                       "access Skype\\n\\n If you want to use this software, please change the following setting in "
                       "Skype:\\n    Skype menu->Tools->Options->Privacy->Manage other programs access to Skype\\n Or "
                       "\\n    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\\n\\n The "
                       "'Manage API Access Control' panel will appear, then Change the settings to 'Allow this "
                       "program to use Skype' | stop ok -> IDOK"},
         0, -1, false},
        {3, kNotAvailable,
         {"box Error Message | Skype API not available, please log in Skype to operate robot | stop ok -> IDOK"}, 0, -1,
         false},
        {0x8001, nullptr, {}, 1, 10, false},
        {4, nullptr, {}, 0, -1, false},
        {0x8002, nullptr, {}, 0, -1, false},
        {-1, nullptr, {}, 0, -1, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("status " + std::to_string(r.status));
        StartOver();
        OpenPanel();
        if (r.box)
            desk.ExpectBox(r.box);
        EXPECT_EQ(desk.Attach(r.status), 1);
        EXPECT_SEQUENCE(r.log, LinkLog());
        EXPECT_EQ(panel->m_bSkypeLinked, r.linked);
        EXPECT_EQ(panel->m_nRediscoverCountdown, r.countdown);
        EXPECT_EQ(panel->m_hSkypeWnd, r.skypeKnown ? desk.SkypeWindow() : nullptr);
        EXPECT_EQ(panel->m_bControlsEnabled, 0);
    }
}

TEST_F(LinkTest, ApiAvailableWhileLinkedChangesNothing)
{
    OpenAttached();
    desk.Attach(0x8001);
    EXPECT_TRUE(LinkLog().empty());
    EXPECT_EQ(panel->m_nRediscoverCountdown, -1);
    EXPECT_EQ(panel->m_bSkypeLinked, 1);
}

TEST_F(LinkTest, ApiAvailableAfterLogOutArmsRediscovery)
{
    OpenAttached();
    desk.Notice("USERSTATUS LOGGEDOUT");
    ASSERT_EQ(panel->m_bSkypeLinked, 0);
    Flush();
    desk.Attach(0x8001);
    EXPECT_TRUE(LinkLog().empty());
    EXPECT_EQ(panel->m_nRediscoverCountdown, 10);
    EXPECT_EQ(panel->m_bSkypeLinked, 1);
}

TEST_F(LinkTest, OnlineBetweenLogOutAndApiAvailableLeavesNothingToArm)
{
    OpenAttached();
    desk.Notice("USERSTATUS LOGGEDOUT");
    desk.Notice("USERSTATUS ONLINE");
    EXPECT_EQ(panel->m_bSkypeLinked, 1);
    desk.Attach(0x8001);
    EXPECT_EQ(panel->m_nRediscoverCountdown, -1);
}

TEST_F(LinkTest, AttachAgainOpensTheLinkAgain)
{
    // A second answer 0, after a log-out and log-in.
    static const Sequence expected = {"send CREATE APPLICATION remotecontrol",
                                      "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot", "timer 1 1000"};
    OpenAttached();
    desk.Notice("USERSTATUS LOGGEDOUT");
    Flush();
    desk.Attach(0);
    EXPECT_SEQUENCE(expected, LinkLog());
    EXPECT_EQ(panel->m_bSkypeLinked, 1);
    EXPECT_EQ(desk.Timers(), std::vector<UINT_PTR>{1});
}

// --- Notices

struct NoticeRow {
    const char* notice;
    Sequence log;  // LinkLog() of the notice
    const char* status;
    int call, stream, linked, enabled;
    unsigned replies;
};

// Each notice on a panel operating on stream 1 in call 17, status untouched.
const NoticeRow kNotices[] = {
    // Log-out, then the later tests.
    {"USERSTATUS LOGGEDOUT", LinkControlEntries(0) + Sequence{Status(kOffline)}, kOffline, 17, 1, 0, 0, 0},
    {"CONNSTATUS LOGGEDOUT", LinkControlEntries(0) + Sequence{Status(kOffline)}, kOffline, 17, 1, 0, 0, 0},
    {"CHAT #a/$b TOPIC LOGGEDOUT ONLINE", LinkControlEntries(0) + Sequence{Status(kOffline), Status(kOnline)}, kOnline,
     17, 1, 1, 0, 0},
    // The end of any call.
    {"CALL 17 STATUS FINISHED", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"#1 CALL 17 STATUS FINISHED", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"CALL 99 STATUS FINISHED", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*STATUS FINISHED, ONLINE",
     EndOfExperiment(17, 1) + Sequence{Status(kOnline)}, kOnline, 17, 1, 1, 0, 0},
    // ONLINE anywhere, also inside a longer word, and before every later test.
    {"USERSTATUS ONLINE", {Status(kOnline)}, kOnline, 17, 1, 1, 1, 0},
    {"CONNSTATUS ONLINE", {Status(kOnline)}, kOnline, 17, 1, 1, 1, 0},
    {"CHATMESSAGE 3 BODY NONLINEAR", {Status(kOnline)}, kOnline, 17, 1, 1, 1, 0},
    {"CALL 42 DURATION 7 ONLINE", {Status(kOnline)}, kOnline, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*ONLINE now", {Status(kOnline)}, kOnline, 17, 1, 1,
     1, 0},
    // Durations, parsed from the first character.
    {"CALL 42 DURATION 7", {}, kStart, 42, 1, 1, 1, 0},
    {"CALL   42   DURATION   7", {}, kStart, 42, 1, 1, 1, 0},
    {"CALL 42 DURATION", {}, kStart, 17, 1, 1, 1, 0},
    {"#2 CALL 42 DURATION 7", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*DURATION 5", {}, kStart, 17, 1, 1, 1, 0},
    // Streams: the robot's must come first.
    {"APPLICATION remotecontrol STREAMS orvanta.robot:3", {}, kStart, 17, 3, 1, 1, 0},
    {"APPLICATION remotecontrol STREAMS orvanta.robot:3 other.user:1", {}, kStart, 17, 3, 1, 1, 0},
    {"APPLICATION remotecontrol STREAMS ", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"APPLICATION remotecontrol STREAMS other.user:1 orvanta.robot:3", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0,
     0},
    {"APPLICATION remotecontrol STREAMS orvanta.robot", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"#0 APPLICATION remotecontrol STREAMS orvanta.robot:3", EndOfExperiment(17, 1), kRestart, 17, 1, 1, 0, 0},
    {"APPLICATION remotecontrol STREAMS", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION other STREAMS orvanta.robot:3", {}, kStart, 17, 1, 1, 1, 0},
    // Datagrams: our stream, and Msg$ in the first token.
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRSS RoBoT_TiMeOuT", {Status(kLinkOk)}, kLinkOk, 17, 1,
     1, 1, 1},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 xMsg$nothing known", {Status(kLinkOk)}, kLinkOk, 17, 1, 1, 1,
     1},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:3 Msg$WMRSS RoBoT_TiMeOuT", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 WMRSS Msg$WMRSS", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM other.user:1 Msg$WMRSS", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robotics:1 Msg$WMRSS", {}, kStart, 17, 1, 1, 1, 0},
    {"ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1", {}, kStart, 17, 1, 1, 1, 0},
    // Stream traffic notices end the tests before the video ones.
    {"APPLICATION remotecontrol RECEIVED orvanta.robot:1=28", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol READ orvanta.robot:1 VIDEO_RECEIVE_STATUS REJECTED", {}, kStart, 17, 1, 1, 1, 0},
    // The robot's video, of any call.
    {"CALL 17 VIDEO_RECEIVE_STATUS RUNNING", LinkControlEntries(1), kStart, 17, 1, 1, 1, 0},
    {"CALL 17 VIDEO_RECEIVE_STATUS REJECTED", LinkControlEntries(0), kStart, 17, 1, 1, 0, 0},
    {"CALL 99 VIDEO_RECEIVE_STATUS REJECTED", LinkControlEntries(0), kStart, 17, 1, 1, 0, 0},
    {"CALL 17 VIDEO_RECEIVE_STATUS STOPPING", {}, kStart, 17, 1, 1, 1, 0},
    {"CALL 17 VIDEO_SEND_STATUS REJECTED", {}, kStart, 17, 1, 1, 1, 0},
    // Echoes of our commands and other notices.
    {"CREATE APPLICATION remotecontrol", {}, kStart, 17, 1, 1, 1, 0},
    {"ALTER APPLICATION remotecontrol CONNECT orvanta.robot", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol CONNECTING orvanta.robot", {}, kStart, 17, 1, 1, 1, 0},
    {"APPLICATION remotecontrol SENDING orvanta.robot:1=20", {}, kStart, 17, 1, 1, 1, 0},
    {"ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1", {}, kStart, 17, 1, 1, 1, 0},
    {"DELETE APPLICATION remotecontrol", {}, kStart, 17, 1, 1, 1, 0},
    {"ALTER CALL 17 HANGUP", {}, kStart, 17, 1, 1, 1, 0},
    {"CALL 17 STATUS INPROGRESS", {}, kStart, 17, 1, 1, 1, 0},
    {"ERROR 66 Not connected", {}, kStart, 17, 1, 1, 1, 0},
    {"userstatus online", {}, kStart, 17, 1, 1, 1, 0},
    {"call 17 status finished", {}, kStart, 17, 1, 1, 1, 0},
};

TEST_F(LinkTest, EveryNoticeGoesThroughTheTestsInOrder)
{
    for (const NoticeRow& r : kNotices) {
        SCOPED_TRACE(std::string("notice \"") + r.notice + "\"");
        StartOver();
        OpenInCall();
        for (size_t i = 0; i < BoxesIn(r.log); ++i)
            desk.ExpectBox(kThanks);
        EXPECT_EQ(desk.Notice(r.notice), 1);
        EXPECT_SEQUENCE(r.log, LinkLog());
        EXPECT_EQ(panel->m_strStatus, r.status);
        EXPECT_EQ(desk.Text(IDC_STATUS), r.status);
        EXPECT_EQ(panel->m_nCallId, r.call);
        EXPECT_EQ(panel->m_nStreamId, r.stream);
        EXPECT_EQ(panel->m_bSkypeLinked, r.linked);
        EXPECT_EQ(panel->m_bControlsEnabled, r.enabled);
        EXPECT_EQ(panel->m_nReplyCount, r.replies);
    }
}

TEST_F(LinkTest, VideoRunningTurnsTheLinkControlsOn)
{
    OpenAttached();
    desk.Notice("CALL 5 VIDEO_RECEIVE_STATUS RUNNING");
    EXPECT_SEQUENCE(LinkControlEntries(1), LinkLog());
    EXPECT_EQ(panel->m_bControlsEnabled, 1);
    EXPECT_TRUE(desk.Enabled(IDC_MOVE_XYZ));
}

TEST_F(LinkTest, RobotTextWithBlanksReachesTheReportHandlerWhole)
{
    OpenAttached();
    desk.Notice("APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*Gripper  is closed, ready.");
    EXPECT_EQ(panel->m_strRobotMessage, "*Gripper  is closed, ready.");
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "*Gripper  is closed, ready.");
    EXPECT_EQ(panel->m_nReplyCount, 1u);
}

TEST_F(LinkTest, DatagramOfAnotherStreamTouchesNoCounter)
{
    OpenAttached(4);
    panel->m_nMissedTicks = 9;
    desk.Notice("APPLICATION remotecontrol DATAGRAM orvanta.robot:3 Msg$WMRP_D|X1234Y-50Z800P-900R0G255");
    EXPECT_TRUE(Log(headless::kAll).empty());
    EXPECT_EQ(panel->m_nReplyCount, 0u);
    EXPECT_EQ(panel->m_nMissedTicks, 9);
    EXPECT_EQ(panel->m_dXRead, 0.0);
}

TEST_F(LinkTest, LogOutAndOnlinePutTheStoredValuesBackIntoTypedEdits)
{
    for (const char* notice : {"USERSTATUS LOGGEDOUT", "USERSTATUS ONLINE"}) {
        SCOPED_TRACE(notice);
        StartOver();
        OpenAttached();
        desk.Type(IDC_X_SET, "55");
        desk.Notice(notice);
        EXPECT_EQ(desk.Text(IDC_X_SET), "0");
        EXPECT_EQ(panel->m_dXSet, 0.0);
    }
}

// --- Connect and Disconnect

TEST_F(LinkTest, ConnectCallsTheRobot)
{
    // Connect.
    static const Sequence expected = {"send call orvanta.robot"};
    OpenOperating();
    desk.Click(IDC_CONNECT);
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, DisconnectClosesTheLinkAndTurnsTheControlsOff)
{
    // Disconnect, on stream 2 in call 17.
    static const Sequence expected = CloseDown(17, 2) + LinkControlEntries(0);
    OpenOperating(2);
    desk.Notice("CALL 17 DURATION 42");
    Flush();
    desk.Click(IDC_DISCONNECT);
    EXPECT_SEQUENCE(expected, LinkLog());
    EXPECT_EQ(panel->m_bControlsEnabled, 0);
    EXPECT_EQ(panel->m_strStatus, kStart);
}

TEST_F(LinkTest, HangUpFollowsTheLastDuration)
{
    OpenOperating();
    desk.Notice("CALL 17 DURATION 42");
    desk.Notice("CALL 23 DURATION 1");
    Flush();
    desk.Click(IDC_DISCONNECT);
    EXPECT_EQ(Sent().at(1), "send ALTER CALL 23 HANGUP");
}

TEST_F(LinkTest, DatagramsGoOutWhateverTheLinkState)
{
    // SendDatagram before any stream, with the link controls off.
    static const Sequence expected = {"send ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:0 Msg$WMCA_QD"};
    OpenPanel();
    desk.Attach(0);
    Flush();
    panel->SendDatagram("WMCA_QD");
    EXPECT_SEQUENCE(expected, LinkLog());
}

// --- The end of the experiment

TEST_F(LinkTest, EndOfTheExperimentAnsweredLikeRealSkypeShowsOneBox)
{
    // The robot hangs up; Skype answers our hang-up and disconnect inside their sends.
    static const Sequence expected = EndOfExperiment(17, 1);
    OpenInCall();
    AnswerCloseDownLikeSkype(true);
    desk.ExpectBox(kThanks);
    desk.Notice("CALL 17 STATUS FINISHED");
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, EmptyStreamsInsideTheDisconnectSendDoesNotEndTheExperimentTwice)
{
    // The stream vanishes; the disconnect's own empty STREAMS arrives inside its send.
    static const Sequence expected = EndOfExperiment(17, 1);
    OpenInCall();
    desk.onCommand = [&](const std::string& command) {
        if (command.rfind("ALTER APPLICATION remotecontrol DISCONNECT ", 0) == 0)
            desk.Notice("APPLICATION remotecontrol STREAMS ");
    };
    desk.ExpectBox(kThanks);
    desk.Notice("APPLICATION remotecontrol STREAMS ");
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, CallEndWhileTheThanksBoxIsOpenDoesNothingAndALaterOneRunsAgain)
{
    // STATUS FINISHED while the box is up, then once more after it has gone.
    static const Sequence expected = EndOfExperiment(17, 1) + EndOfExperiment(17, 1);
    OpenInCall();
    desk.ExpectBox(kThanks, IDOK, [&] { desk.Notice("CALL 17 STATUS FINISHED"); });
    desk.Notice("CALL 17 STATUS FINISHED");
    desk.ExpectBox(kThanks);
    desk.Notice("CALL 17 STATUS FINISHED");
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, OnlineWhileTheThanksBoxIsOpenStillSetsItsStatus)
{
    OpenInCall();
    desk.ExpectBox(kThanks, IDOK, [&] { desk.Notice("CALL 17 STATUS FINISHED ONLINE"); });
    desk.Notice("CALL 17 STATUS FINISHED");
    EXPECT_EQ(BoxesIn(LinkLog()), 1u);
    EXPECT_EQ(panel->m_strStatus, kOnline);
}

TEST_F(LinkTest, EndOfTheExperimentReadsTheControlsBeforeItsPush)
{
    OpenInCall();
    desk.Type(IDC_X_SET, "12.5");
    desk.ExpectBox(kThanks);
    desk.Notice("CALL 17 STATUS FINISHED");
    EXPECT_EQ(panel->m_dXSet, 12.5);
    EXPECT_EQ(desk.Text(IDC_X_SET), "12.5");
}

TEST_F(LinkTest, DisconnectAnsweredLikeRealSkypeEndsTheExperimentOnce)
{
    // Disconnect; Skype finishes the call inside the hang-up and drops the stream
    // inside the disconnect: one close-down, then the end of the experiment.
    static const Sequence expected =
        CloseDown(17, 1) + LinkControlEntries(0) + Sequence{Status(kRestart), kThanksBox};
    OpenInCall();
    AnswerCloseDownLikeSkype(false);
    desk.ExpectBox(kThanks);
    desk.Click(IDC_DISCONNECT);
    EXPECT_SEQUENCE(expected, LinkLog());
    EXPECT_EQ(panel->m_strStatus, kRestart);
}

TEST_F(LinkTest, HeldJogStopsBeforeTheRobotIsToldWeLeave)
{
    // Elbow down held when the robot hangs up.
    static const Sequence expected = Sequence{Datagram("WMCA_BSTOPM|1005")} + CloseDown(17, 1);
    OpenInCall();
    desk.Press(IDC_ELBOW_DOWN);
    Flush();
    desk.ExpectBox(kThanks);
    desk.Notice("CALL 17 STATUS FINISHED");
    EXPECT_SEQUENCE(expected, Sent());
}

// --- The window's close-down

TEST_F(LinkTest, DestroyingTheWindowClosesTheLinkDownWithAWait)
{
    // DestroyWindow on stream 2 in call 17: no link control is touched.
    static const Sequence expected = WindowCloseDown("send", 17, 2);
    OpenOperating(2);
    desk.Notice("CALL 17 DURATION 3");
    Flush();
    EXPECT_TRUE(panel->DestroyWindow());
    EXPECT_SEQUENCE(expected, LinkLog());
    EXPECT_EQ(desk.Panel(), nullptr);
}

TEST_F(LinkTest, DestroyingTheWindowInACallShowsNoThanksBox)
{
    // Closing during a call: Skype finishes the call inside the hang-up.
    static const Sequence expected = WindowCloseDown("send", 17, 1);
    OpenInCall();
    AnswerCloseDownLikeSkype(false);
    EXPECT_TRUE(panel->DestroyWindow());
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, DestroyingANeverAttachedWindowStillWaits)
{
    // DestroyWindow without a Skype window.
    static const Sequence expected = WindowCloseDown("undelivered", 0, 0);
    OpenPanel();
    EXPECT_TRUE(panel->DestroyWindow());
    EXPECT_SEQUENCE(expected, LinkLog());
}

TEST_F(LinkTest, ClosingTheModalPanelRunsTheCloseDownBeforeTheWindowGoes)
{
    // A modal run: attached, stream 5, then the close box.
    static const Sequence expected = Sequence{"end IDD_CONTROL_PANEL"} + WindowCloseDown("send", 0, 5);
    CControlPanelDlg dlg;
    desk.ExpectDialog(IDD_CONTROL_PANEL, [&] {
        desk.Attach(0);
        desk.Notice("APPLICATION remotecontrol STREAMS orvanta.robot:5");
        Flush();
        desk.CloseBox();
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_SEQUENCE(expected, LinkLog());
}

// --- Real Skype's notices

// Every notice the recorded Skype traces hold: those that do something to a panel
// in call 17, and all the others, which must do nothing at all.
struct TraceRow {
    const char* notice;
    enum Effect { kNone, kOnline, kCall, kEnd } effect;
    int call;  // kCall: the call number taken
};
const TraceRow kTraceEffects[] = {
    {"USERSTATUS ONLINE", TraceRow::kOnline, 0},
    {"CALL 32493 DURATION 0", TraceRow::kCall, 32493},
    {"CALL 8345 DURATION 1", TraceRow::kCall, 8345},
    {"CALL 8345 DURATION 2", TraceRow::kCall, 8345},
    {"CALL 32493 STATUS FINISHED", TraceRow::kEnd, 0},
    {"#1 CALL 32493 STATUS FINISHED", TraceRow::kEnd, 0},
    {"#1 CALL 8345 STATUS FINISHED", TraceRow::kEnd, 0},
    {"CALL 8345 STATUS FINISHED", TraceRow::kEnd, 0},
};
const char* const kTraceQuiet[] = {
    "CREATE APPLICATION test", "ALTER APPLICATION test CONNECT echo123", "APPLICATION test CONNECTING echo123",
    "APPLICATION test STREAMS echo123:1", "#0 APPLICATION test STREAMS echo123:1",
    "#1 ALTER APPLICATION test WRITE echo123:1", "APPLICATION test SENDING echo123:1=28", "APPLICATION test SENDING ",
    "DELETE APPLICATION test", "#0 CALL 19502 STATUS UNPLACED", "CALL 19502 CONF_ID 11676",
    "#0 CALL 32493 STATUS UNPLACED", "CALL 32493 STATUS ROUTING", "CALL 32493 STATUS RINGING",
    "CALL 32493 STATUS INPROGRESS", "SET CALL 32493 DTMF 0", "SET CALL 32493 DTMF 1", "SET CALL 32493 DTMF 2",
    "SET CALL 32493 DTMF 3", "SET CALL 32493 DTMF 4", "SET CALL 32493 DTMF 5", "SET CALL 32493 DTMF 6",
    "SET CALL 32493 DTMF 7", "SET CALL 32493 DTMF 8", "SET CALL 32493 DTMF 9", "SET CALL 32493 DTMF #",
    "SET CALL 32493 DTMF *", "USERS echo123", "#0 CALL 8345 STATUS ROUTING", "CALL 8345 STATUS ROUTING",
    "CALL 8345 STATUS RINGING", "CALL 8345 STATUS INPROGRESS", "CALL 8345 VIDEO_SEND_STATUS AVAILABLE",
    "CALL 8345 VIDEO_STATUS VIDEO_BOTH_ENABLED", "CALL 8345 PARTNER_HANDLE echo123", "CALL 8345 TYPE OUTGOING_P2P",
    "SKYPEVERSION 2.5.0.130", "CURRENTUSERHANDLE skype_api_for_java", "PRIVILEGE SKYPEOUT TRUE",
    "PRIVILEGE SKYPEIN TRUE", "PRIVILEGE VOICEMAIL TRUE", "PROFILE PSTN_BALANCE 1000000",
    "PROFILE PSTN_BALANCE_CURRENCY JPY", "PROFILE FULLNAME Skype API for Java", "PROFILE BIRTHDAY 19801205",
    "PROFILE SEX MALE", "PROFILE LANGUAGES ja", "PROFILE COUNTRY jp Japan", "PROFILE IPCOUNTRY jp",
    "PROFILE PROVINCE Tokyo", "PROFILE CITY Chofu", "PROFILE PHONE_HOME +8130-0000-0000",
    "PROFILE PHONE_OFFICE +8130-0000-0000", "PROFILE PHONE_MOBILE +8190-0000-0000",
    "PROFILE HOMEPAGE http://skype.sourceforge.jp/", "PROFILE ABOUT Skype API for Java",
    "PROFILE MOOD_TEXT Please, enjoy 'Skype API for Java'.", "PROFILE TIMEZONE 118800",
};

TEST_F(LinkTest, RecordedSkypeNoticesHaveExactlyTheirEffect)
{
    std::vector<TraceRow> rows(std::begin(kTraceEffects), std::end(kTraceEffects));
    for (const char* quiet : kTraceQuiet)
        rows.push_back({quiet, TraceRow::kNone, 0});
    for (const TraceRow& r : rows) {
        SCOPED_TRACE(std::string("notice \"") + r.notice + "\"");
        StartOver();
        OpenInCall();
        Sequence log;
        const char* status = kStart;
        int call = 17, enabled = 1;
        switch (r.effect) {
        case TraceRow::kNone: break;
        case TraceRow::kOnline: log = {Status(kOnline)}; status = kOnline; break;
        case TraceRow::kCall: call = r.call; break;
        case TraceRow::kEnd:
            log = EndOfExperiment(17, 1);
            status = kRestart;
            enabled = 0;
            desk.ExpectBox(kThanks);
            break;
        }
        EXPECT_EQ(desk.Notice(r.notice), 1);
        EXPECT_SEQUENCE(log, LinkLog());
        EXPECT_EQ(panel->m_strStatus, status);
        EXPECT_EQ(panel->m_nCallId, call);
        EXPECT_EQ(panel->m_nStreamId, 1);
        EXPECT_EQ(panel->m_bSkypeLinked, 1);
        EXPECT_EQ(panel->m_bControlsEnabled, enabled);
        EXPECT_EQ(panel->m_nReplyCount, 0u);
    }
}

// The recorded traces, when the shared folder sits beside the work tree: the tables
// above must hold every notice they have.
TEST(LinkTraces, TableHoldsEveryRecordedNotice)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(__FILE__).parent_path() / "../../../shared/skype-traces";
    if (!fs::is_directory(dir))
        GTEST_SKIP() << "no recorded traces at " << dir;
    std::set<std::string> known(std::begin(kTraceQuiet), std::end(kTraceQuiet));
    for (const TraceRow& r : kTraceEffects)
        known.insert(r.notice);
    size_t seen = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".csv")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind("received,", 0) != 0)
                continue;
            const std::string notice = line.substr(line.find(',', 9) + 1);
            EXPECT_TRUE(known.count(notice)) << entry.path().filename() << ": \"" << notice << "\"";
            ++seen;
        }
    }
    EXPECT_GT(seen, 0u);
}

} // namespace

// The link controller: attachment answers, Skype's notices, Connect and
// Disconnect, the end of the experiment and the close-down of the window. The
// controller's own tests run it over a recording view and Skype; the panel's
// keep what takes the window system: Skype's message, the posted end, the held
// jog's capture, Skype's window gone, and the window's close-down. What the
// session shows of the link is in session_link_test.cpp.
#include "PanelFixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <utility>

#include "LinkController.h"

namespace {

// The controller over a view and a Skype that record, in one log, what it asks
// of them; onCommand reacts inside a send, as Skype does.
std::string Describe(const RobotReport& report)
{
    switch (report.kind) {
    case RobotReport::kPosition: {
        char text[160];
        std::snprintf(text, sizeof text, "position %g,%g,%g,%g,%g,%g", report.pose.x, report.pose.y, report.pose.z,
                      report.pose.pitch, report.pose.roll, report.pose.hand);
        return text;
    }
    case RobotReport::kReady: return "ready";
    case RobotReport::kText: return "text " + report.text;
    case RobotReport::kStepEnd: return "step end";
    case RobotReport::kRequest: return "request";
    case RobotReport::kNone: break;
    }
    return "none";
}

class ControllerTest : public ::testing::Test, protected ILinkView, protected ISkypeCommands {
protected:
    void ShowStatus(const char* text) override { Note(std::string("status ") + text); }
    void EnableLinkControls(int enable) override { Note("enable " + std::to_string(enable)); }
    void ShowBox(const char* text, const char* caption, Box kind) override
    {
        Note(std::string("box ") + caption + " | " + text + (kind == Box::kError ? " | stop" : " | information"));
        if (whileBox)
            std::exchange(whileBox, nullptr)();
    }
    void StartTimer(unsigned id, unsigned ms) override
    {
        Note("timer " + std::to_string(id) + " " + std::to_string(ms));
        timers.insert(id);
    }
    void StopTimer(unsigned id) override
    {
        Note("kill timer " + std::to_string(id));
        timers.erase(id);
    }
    void PostBox(const char* text, const char* caption, Box kind) override
    {
        Note(std::string("post box ") + caption + " | " + text + (kind == Box::kError ? " | stop" : " | information"));
    }
    void PostExperimentEnd() override
    {
        Note("post end");
        posted = true;
    }
    void CancelJog() override { Note("cancel jog"); }
    void Wait(unsigned ms) override { Note("sleep " + std::to_string(ms)); }
    void ShowRobotReport(const RobotReport& report) override { Note("report " + Describe(report)); }
    void Send(const char* command) override { Note(std::string("send ") + command); }
    void SendVital(const char* command) override
    {
        Note(std::string("send ") + command);
        vital.push_back(command);
    }
    bool Discover() override
    {
        Note("broadcast");
        if (onDiscover)
            onDiscover();
        return true;
    }
    // Answers 0, whatever the entry, for the one-line answers above.
    int Note(std::string entry) { return log.push_back(std::move(entry)), 0; }

    // Attached on stream 1, in call 17, the link controls on.
    void InCall()
    {
        link->OnAttachAnswer(kAttachSuccess);
        for (const char* notice : {"APPLICATION remotecontrol STREAMS orvanta.robot:1",
                                   "CALL 17 VIDEO_RECEIVE_STATUS RUNNING", "CALL 17 DURATION 1"})
            link->OnSkypeNotice(notice);
        log.clear();
    }

    // The posted end of the experiment, handled once the notice is done.
    void RunPosted()
    {
        if (std::exchange(posted, false))
            link->RunExperimentEnd();
    }
    // One second: each running timer's tick.
    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            for (unsigned id : std::set<unsigned>(timers))
                link->OnTimer(id);
    }

    // A fresh controller.
    void Restart()
    {
        link.emplace(static_cast<ISkypeCommands&>(*this), static_cast<ILinkView&>(*this));
        timers.clear();
        posted = false;
    }

    ControllerTest() { Restart(); }
    std::optional<CLinkController> link;
    Sequence log;
    std::function<void()> whileBox;
    std::function<void()> onDiscover;
    std::set<unsigned> timers;
    bool posted = false;
    Sequence vital;  // the commands sent as vital
};

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
    // STREAMS for the disconnect.
    void AnswerCloseDownLikeSkype()
    {
        desk.onCommand = [this](const std::string& command) {
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

// The same, as the controller asks it of the view, on stream 1 in call 17.
const Sequence kEnd = Sequence{std::string("status ") + kRestart, "cancel jog"} + CloseDown(17, 1) +
    Sequence{"enable 0", std::string("box Message | ") + kThanks + " | information"};
const Sequence kOpenLink = {"send CREATE APPLICATION remotecontrol",
                            "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot", "timer 1 1000"};
// A notice asks for the end; it runs once the notice has been answered.
const Sequence kPostEnd = {"post end"};

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

// --- Attachment answers

TEST_F(ControllerTest, EachAttachStatusHasItsOwnEffect)
{
    struct Row {
        std::intptr_t status;
        Sequence log;
        bool linked;
        int countdown;
    };
    // Each answer to a freshly started controller.
    const Row rows[] = {
        {0, kOpenLink, true, -1},
        {1, {}, false, -1},
        {2, {std::string("post box Error Message | ") + kRefused + " | stop"}, false, -1},
        {3, {std::string("post box Error Message | ") + kNotAvailable + " | stop"}, false, -1},
        {0x8001, {"timer 2 1000"}, true, 10},
        {4, {}, false, -1},
        {0x8002, {}, false, -1},
        {-1, {}, false, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("status " + std::to_string(r.status));
        Restart();
        log.clear();
        link->OnAttachAnswer(r.status);
        ExpectSequence(r.log, log);
        EXPECT_EQ(link->Linked(), r.linked);
        EXPECT_EQ(link->Supervision().RediscoverCountdown(), r.countdown);
    }
}

TEST_F(ControllerTest, ApiAvailableArmsRediscoveryOnlyAfterALogOut)
{
    // Linked: nothing; logged out: armed; logged out and online again: nothing.
    InCall();
    link->OnAttachAnswer(kAttachApiAvailable);
    EXPECT_EQ(link->Supervision().RediscoverCountdown(), -1);
    link->OnSkypeNotice("USERSTATUS LOGGEDOUT");
    link->OnSkypeNotice("USERSTATUS ONLINE");
    EXPECT_TRUE(link->Linked());
    link->OnAttachAnswer(kAttachApiAvailable);
    EXPECT_EQ(link->Supervision().RediscoverCountdown(), -1);
    link->OnSkypeNotice("USERSTATUS LOGGEDOUT");
    ASSERT_FALSE(link->Linked());
    log.clear();
    link->OnAttachAnswer(kAttachApiAvailable);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(link->Supervision().RediscoverCountdown(), 10);
    EXPECT_TRUE(link->Linked());
}

TEST_F(ControllerTest, AttachAgainOpensTheLinkAgain)
{
    // A second answer 0, after a log-out and log-in.
    InCall();
    link->OnSkypeNotice("USERSTATUS LOGGEDOUT");
    log.clear();
    link->OnAttachAnswer(kAttachSuccess);
    ExpectSequence(kOpenLink, log);
    EXPECT_TRUE(link->Linked());
}

// --- Notices

struct NoticeRow {
    const char* notice;
    Sequence log;  // what the controller asks of the view and of Skype
    int call = 17, stream = 1;
    bool linked = true;
};

const Sequence kOff = {"enable 0"};
const Sequence kLogOut = {"enable 0", "status User offline"};
const Sequence kOn = {"enable 1"};
Sequence Shows(const char* status) { return {std::string("status ") + status}; }
// The report the controller hands on, as Describe writes it, and the sign of life.
Sequence Report(const char* report) { return {std::string("report ") + report, std::string("status ") + kLinkOk}; }

// Each notice to a controller attached on stream 1 in call 17.
const NoticeRow kNotices[] = {
    // Log-out, then the later tests.
    {"USERSTATUS LOGGEDOUT", kLogOut, 17, 1, false},
    {"CONNSTATUS LOGGEDOUT", kLogOut, 17, 1, false},
    {"CHAT #a/$b TOPIC LOGGEDOUT ONLINE", kLogOut + Shows(kOnline)},
    // The end of any call.
    {"CALL 17 STATUS FINISHED", kPostEnd + kEnd},
    {"#1 CALL 17 STATUS FINISHED", kPostEnd + kEnd},
    {"CALL 99 STATUS FINISHED", kPostEnd + kEnd},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*STATUS FINISHED, ONLINE",
     kPostEnd + Shows(kOnline) + kEnd},
    // ONLINE anywhere, also inside a longer word, and before every later test.
    {"USERSTATUS ONLINE", Shows(kOnline)},
    {"CONNSTATUS ONLINE", Shows(kOnline)},
    {"CHATMESSAGE 3 BODY NONLINEAR", Shows(kOnline)},
    {"CALL 42 DURATION 7 ONLINE", Shows(kOnline)},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*ONLINE now", Shows(kOnline)},
    // Durations, parsed from the first character.
    {"CALL 42 DURATION 7", {}, 42},
    {"CALL   42   DURATION   7", {}, 42},
    {"CALL 42 DURATION", {}},
    {"#2 CALL 42 DURATION 7", {}},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*DURATION 5", {}},
    // Streams: the robot's must come first.
    {"APPLICATION remotecontrol STREAMS orvanta.robot:3", {}, 17, 3},
    {"APPLICATION remotecontrol STREAMS orvanta.robot:3 other.user:1", {}, 17, 3},
    {"APPLICATION remotecontrol STREAMS ", kPostEnd + kEnd},
    {"APPLICATION remotecontrol STREAMS other.user:1 orvanta.robot:3", kPostEnd + kEnd},
    {"APPLICATION remotecontrol STREAMS orvanta.robot", kPostEnd + kEnd},
    {"#0 APPLICATION remotecontrol STREAMS orvanta.robot:3", kPostEnd + kEnd},
    {"APPLICATION remotecontrol STREAMS", {}},
    {"APPLICATION other STREAMS orvanta.robot:3", {}},
    // Datagrams: our stream, and Msg$ in the first token; the payload from its first "$".
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRSS RoBoT_ReAdY", Report("ready")},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 xMsg$WMRD_U*nothing known", Report("text *nothing known")},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRSS RoBoT_TiMeOuT", Report("none")},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:3 Msg$WMRSS RoBoT_TiMeOuT", {}},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1 WMRSS Msg$WMRSS", {}},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robot:1", {}},
    {"APPLICATION remotecontrol DATAGRAM other.user:1 Msg$WMRSS", {}},
    {"APPLICATION remotecontrol DATAGRAM orvanta.robotics:1 Msg$WMRSS", {}},
    {"ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1", {}},
    // Stream traffic notices end the tests before the video ones.
    {"APPLICATION remotecontrol RECEIVED orvanta.robot:1=28", {}},
    {"APPLICATION remotecontrol READ orvanta.robot:1 VIDEO_RECEIVE_STATUS REJECTED", {}},
    // The robot's video, of any call.
    {"CALL 17 VIDEO_RECEIVE_STATUS RUNNING", kOn},
    {"CALL 17 VIDEO_RECEIVE_STATUS REJECTED", kOff},
    {"CALL 99 VIDEO_RECEIVE_STATUS REJECTED", kOff},
    {"CALL 17 VIDEO_RECEIVE_STATUS STOPPING", {}},
    {"CALL 17 VIDEO_SEND_STATUS REJECTED", {}},
    // Echoes of our commands and other notices.
    {"CREATE APPLICATION remotecontrol", {}},
    {"ALTER APPLICATION remotecontrol CONNECT orvanta.robot", {}},
    {"APPLICATION remotecontrol CONNECTING orvanta.robot", {}},
    {"APPLICATION remotecontrol SENDING orvanta.robot:1=20", {}},
    {"ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1", {}},
    {"DELETE APPLICATION remotecontrol", {}},
    {"ALTER CALL 17 HANGUP", {}},
    {"CALL 17 STATUS INPROGRESS", {}},
    {"ERROR 66 Not connected", {}},
    {"userstatus online", {}},
    {"call 17 status finished", {}},
};

TEST_F(ControllerTest, EveryNoticeGoesThroughTheTestsInOrder)
{
    for (const NoticeRow& r : kNotices) {
        SCOPED_TRACE(std::string("notice \"") + r.notice + "\"");
        Restart();
        InCall();
        link->OnSkypeNotice(r.notice);
        RunPosted();
        ExpectSequence(r.log, log);
        EXPECT_EQ(link->CallId(), r.call);
        EXPECT_EQ(link->StreamId(), r.stream);
        EXPECT_EQ(link->Linked(), r.linked);
        EXPECT_EQ(link->Supervision().ReplyCount(), size_t(std::count(r.log.begin(), r.log.end(), Report("")[1])));
    }
}

TEST_F(ControllerTest, DatagramOfAnotherStreamTouchesNoCounter)
{
    InCall();
    for (int i = 0; i < 9; ++i)
        link->OnTick();
    log.clear();
    link->OnSkypeNotice("APPLICATION remotecontrol DATAGRAM orvanta.robot:3 Msg$WMRP_D|X1234Y-50Z800P-900R0G255");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(link->Supervision().ReplyCount(), 0u);
    EXPECT_EQ(link->Supervision().MissedTicks(), 9);
}

TEST_F(ControllerTest, JogStopsAndTheLeavingAreTheVitalDatagrams)
{
    // Every robot command of the panel, then Disconnect: only these must get
    // through a slow Skype.
    static const Sequence expected = {"ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_BSTOPM|1005",
                                      "ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCD"};
    InCall();
    for (const char* command : {"WMCA_BSTARTM|1005", "WMCA_BSTOPM|1005", "WMCA_QD", "WMCA_QU", "WMCA_ITD",
                                "WMCA_PCD|X10Y0Z0P0R0G0SP200", "WMCA_BSHP|", "WMCA_BMTH|", "WMCA_BSTOPM"})
        link->SendDatagram(command);
    link->CloseRobotLink();
    ExpectSequence(expected, vital);
}

TEST_F(ControllerTest, DatagramsGoOutWhateverTheLinkState)
{
    // Before any stream, with the link controls off.
    link->OnAttachAnswer(kAttachSuccess);
    log.clear();
    link->SendDatagram("WMCA_QD");
    ExpectSequence(Sequence{Datagram("WMCA_QD", 0)}, log);
}

// --- A Disconnect inside the Thanks box

TEST_F(ControllerTest, DisconnectInsideTheThanksBoxClosesDownWithoutASecondEnd)
{
    InCall();
    whileBox = [&] { link->CloseRobotLink(); };
    link->OnSkypeNotice("CALL 17 STATUS FINISHED");
    RunPosted();
    ExpectSequence(kPostEnd + kEnd + Sequence{"cancel jog"} + CloseDown(17, 1) + kOff, log);
    // And the controller is idle again: the next end runs whole.
    log.clear();
    link->OnSkypeNotice("CALL 17 STATUS FINISHED");
    RunPosted();
    ExpectSequence(kPostEnd + kEnd, log);
}

// --- The panel: Skype's message, the posted end, capture, the window's close-down

TEST_F(LinkTest, EndOfTheExperimentRunsOnlyAfterTheNoticeHasBeenAnswered)
{
    // The notice handled alone asks for nothing of Skype and shows nothing; the
    // end comes with the panel's next messages, whole.
    OpenInCall();
    const std::string text = "CALL 17 STATUS FINISHED";
    COPYDATASTRUCT record{0, DWORD(text.size() + 1), const_cast<char*>(text.c_str())};
    EXPECT_EQ(desk.Deliver(desk.Panel(), WM_COPYDATA, WPARAM(desk.SkypeWindow()), LPARAM(&record)), 1);
    EXPECT_TRUE(LinkLog().empty());
    desk.ExpectBox(kThanks);
    desk.Pump();
    ExpectSequence(EndOfExperiment(17, 1), LinkLog());
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
    ExpectSequence(expected, Sent());
}

TEST_F(LinkTest, SkypeWindowGoneUnderACommandIsALogOutUntilSkypeComesBack)
{
    // Operating, Elbow down held; Skype's window goes, and the tick's first poll
    // finds no window: what a log-out does, the held jog stopped by the disabling
    // (to no window any more), and the polls go nowhere.
    Sequence off = LinkControlEntries(0);
    off.insert(std::find(off.begin(), off.end(), "enable IDC_ELBOW_DOWN 0") + 1,
               "undelivered " + testsupport::DatagramCommand(1, "WMCA_BSTOPM|1005"));
    const Sequence lost = Sequence{"undelivered " + testsupport::DatagramCommand(1, "WMCA_QD")} + off +
        Sequence{Status(kOffline), "undelivered " + testsupport::DatagramCommand(1, "WMCA_QU")};
    OpenInCall();
    desk.Press(IDC_ELBOW_DOWN);
    desk.QuitSkype();
    Flush();
    desk.Tick();
    ExpectSequence(lost, LinkLog());
    EXPECT_EQ(desk.Text(IDC_STATUS), kOffline);
    EXPECT_FALSE(desk.Enabled(IDC_MOVE_XYZ));

    // Skype starts again and announces itself: the discovery on the eleventh tick
    // after, and the new window's answer opens the link.
    desk.StartSkype();
    desk.Attach(0x8001);
    desk.Tick(10);
    desk.onDiscover = [&] { desk.Attach(0); };
    Flush();
    desk.Tick();
    const Sequence relink = {"undelivered " + testsupport::DatagramCommand(1, "WMCA_QD"),
                             "undelivered " + testsupport::DatagramCommand(1, "WMCA_QU"),
                             "broadcast SkypeControlAPIDiscover",
                             "send CREATE APPLICATION remotecontrol",
                             "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot",
                             "timer 1 1000"};
    ExpectSequence(relink, LinkLog());
}

TEST_F(LinkTest, DestroyingTheWindowClosesTheLinkDownWithAWaitAndNoThanksBox)
{
    // DestroyWindow on stream 2 in call 17, Skype finishing the call inside the
    // hang-up: no link control is touched. Never attached: no Skype window, and
    // the wait all the same.
    for (bool attached : {true, false}) {
        SCOPED_TRACE(attached);
        StartOver();
        if (attached) {
            OpenOperating(2);
            desk.Notice("CALL 17 DURATION 3");
            AnswerCloseDownLikeSkype();
        } else {
            OpenPanel();
        }
        Flush();
        EXPECT_TRUE(panel->DestroyWindow());
        ExpectSequence(attached ? WindowCloseDown("send", 17, 2) : WindowCloseDown("undelivered", 0, 0), LinkLog());
        EXPECT_EQ(desk.Panel(), nullptr);
    }
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
    ExpectSequence(expected, LinkLog());
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
    {"USERSTATUS ONLINE", TraceRow::kOnline, 0},         {"CALL 32493 DURATION 0", TraceRow::kCall, 32493},
    {"CALL 8345 DURATION 1", TraceRow::kCall, 8345},     {"CALL 8345 DURATION 2", TraceRow::kCall, 8345},
    {"CALL 32493 STATUS FINISHED", TraceRow::kEnd, 0},   {"#1 CALL 32493 STATUS FINISHED", TraceRow::kEnd, 0},
    {"#1 CALL 8345 STATUS FINISHED", TraceRow::kEnd, 0}, {"CALL 8345 STATUS FINISHED", TraceRow::kEnd, 0},
};
const char* const kTraceQuiet[] = {
    "CREATE APPLICATION test",
    "ALTER APPLICATION test CONNECT echo123",
    "APPLICATION test CONNECTING echo123",
    "APPLICATION test STREAMS echo123:1",
    "#0 APPLICATION test STREAMS echo123:1",
    "#1 ALTER APPLICATION test WRITE echo123:1",
    "APPLICATION test SENDING echo123:1=28",
    "APPLICATION test SENDING ",
    "DELETE APPLICATION test",
    "#0 CALL 19502 STATUS UNPLACED",
    "CALL 19502 CONF_ID 11676",
    "#0 CALL 32493 STATUS UNPLACED",
    "CALL 32493 STATUS ROUTING",
    "CALL 32493 STATUS RINGING",
    "CALL 32493 STATUS INPROGRESS",
    "SET CALL 32493 DTMF 0",
    "SET CALL 32493 DTMF 1",
    "SET CALL 32493 DTMF 2",
    "SET CALL 32493 DTMF 3",
    "SET CALL 32493 DTMF 4",
    "SET CALL 32493 DTMF 5",
    "SET CALL 32493 DTMF 6",
    "SET CALL 32493 DTMF 7",
    "SET CALL 32493 DTMF 8",
    "SET CALL 32493 DTMF 9",
    "SET CALL 32493 DTMF #",
    "SET CALL 32493 DTMF *",
    "USERS echo123",
    "#0 CALL 8345 STATUS ROUTING",
    "CALL 8345 STATUS ROUTING",
    "CALL 8345 STATUS RINGING",
    "CALL 8345 STATUS INPROGRESS",
    "CALL 8345 VIDEO_SEND_STATUS AVAILABLE",
    "CALL 8345 VIDEO_STATUS VIDEO_BOTH_ENABLED",
    "CALL 8345 PARTNER_HANDLE echo123",
    "CALL 8345 TYPE OUTGOING_P2P",
    "SKYPEVERSION 2.5.0.130",
    "CURRENTUSERHANDLE skype_api_for_java",
    "PRIVILEGE SKYPEOUT TRUE",
    "PRIVILEGE SKYPEIN TRUE",
    "PRIVILEGE VOICEMAIL TRUE",
    "PROFILE PSTN_BALANCE 1000000",
    "PROFILE PSTN_BALANCE_CURRENCY JPY",
    "PROFILE FULLNAME Skype API for Java",
    "PROFILE BIRTHDAY 19801205",
    "PROFILE SEX MALE",
    "PROFILE LANGUAGES ja",
    "PROFILE COUNTRY jp Japan",
    "PROFILE IPCOUNTRY jp",
    "PROFILE PROVINCE Tokyo",
    "PROFILE CITY Chofu",
    "PROFILE PHONE_HOME +8130-0000-0000",
    "PROFILE PHONE_OFFICE +8130-0000-0000",
    "PROFILE PHONE_MOBILE +8190-0000-0000",
    "PROFILE HOMEPAGE http://skype.sourceforge.jp/",
    "PROFILE ABOUT Skype API for Java",
    "PROFILE MOOD_TEXT Please, enjoy 'Skype API for Java'.",
    "PROFILE TIMEZONE 118800",
};

TEST_F(ControllerTest, RecordedSkypeNoticesHaveExactlyTheirEffect)
{
    std::vector<TraceRow> rows(std::begin(kTraceEffects), std::end(kTraceEffects));
    for (const char* quiet : kTraceQuiet)
        rows.push_back({quiet, TraceRow::kNone, 0});
    for (const TraceRow& r : rows) {
        SCOPED_TRACE(std::string("notice \"") + r.notice + "\"");
        Restart();
        InCall();
        link->OnSkypeNotice(r.notice);
        RunPosted();
        const Sequence expected = r.effect == TraceRow::kOnline ? Shows(kOnline)
            : r.effect == TraceRow::kEnd                        ? kPostEnd + kEnd
                                                                : Sequence{};
        ExpectSequence(expected, log);
        EXPECT_EQ(link->CallId(), r.effect == TraceRow::kCall ? r.call : 17);
        EXPECT_EQ(link->StreamId(), 1);
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

}  // namespace

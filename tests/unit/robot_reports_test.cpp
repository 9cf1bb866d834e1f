// The robot station's reports: each payload read as the report it is, and what
// each shows the operator or sends back; every one is a sign of life.
#include <functional>

#include "PanelFixture.h"
#include "RobotProtocol.h"

namespace {

struct ParseRow {
    const char* payload;
    RobotReport::Kind kind;
    RobotPose pose;
    const char* text;
};

const ParseRow kParseRows[] = {
    {"WMRP_D|X1234Y-50Z800P-900R0G255", RobotReport::kPosition, {123.4, -5, 80, -90, 0, 25}, ""},
    // The hand is cut toward zero to whole millimetres.
    {"WMRP_D|X0Y0Z0P0R0G259", RobotReport::kPosition, {0, 0, 0, 0, 0, 25}, ""},
    {"WMRP_D|X0Y0Z0P0R0G9", RobotReport::kPosition, {0, 0, 0, 0, 0, 0}, ""},
    {"WMRP_D|X0Y0Z0P0R0G-9", RobotReport::kPosition, {0, 0, 0, 0, 0, 0}, ""},
    {"WMRP_D|X0Y0Z0P0R0G-255", RobotReport::kPosition, {0, 0, 0, 0, 0, -25}, ""},
    // A position that does not read has no effect of its own.
    {"WMRP_D", RobotReport::kNone, {}, ""},
    {"WMRP_D X1234Y-50Z800P-900R0G255", RobotReport::kNone, {}, ""},  // no "|"
    {"WMRP_D|X1234Y-50Z800P-900R0", RobotReport::kNone, {}, ""},      // five numbers
    {"WMRP_D|X1234Y-50Z800P-900R0G", RobotReport::kNone, {}, ""},     // hand missing
    {"WMRP_D|x1234Y-50Z800P-900R0G255", RobotReport::kNone, {}, ""},  // case matters
    {"WMRP_D|X1234Y-50Z800P-900R0Gx", RobotReport::kNone, {}, ""},
    {"WMRP_D|X99999999999Y-50Z800P-900R0G255", RobotReport::kNone, {}, ""},
    {"WMRSS RoBoT_ReAdY", RobotReport::kReady, {}, ""},
    {"WMRSS RoBoT_TiMeOuT", RobotReport::kNone, {}, ""},
    {"WMRSS", RobotReport::kNone, {}, ""},
    {"WMRSS robot_ready", RobotReport::kNone, {}, ""},
    {"RoBoT_ReAdY", RobotReport::kNone, {}, ""},
    // The robot's text from the first "*", whole, or empty.
    {"WMRD_U*Hello, operator: the arm  is warm", RobotReport::kText, {}, "*Hello, operator: the arm  is warm"},
    {"WMRD_U", RobotReport::kText, {}, ""},
    {"WMRD_U no star at all", RobotReport::kText, {}, ""},
    {"a*b WMRD_U*c", RobotReport::kText, {}, "*b WMRD_U*c"},
    {"WMRD_U*", RobotReport::kText, {}, "*"},
    {"WMRP_SE", RobotReport::kStepEnd, {}, ""},
    {"WMIT_D", RobotReport::kRequest, {}, ""},
    {"SOMETHING ELSE", RobotReport::kNone, {}, ""},
    {"", RobotReport::kNone, {}, ""},
    // The first name found in the order of the tests decides.
    {"WMRP_D|X10Y0Z0P0R0G0 WMIT_D", RobotReport::kPosition, {1, 0, 0, 0, 0, 0}, ""},
    {"WMRP_D WMRSS RoBoT_ReAdY", RobotReport::kNone, {}, ""},
    {"WMRSS RoBoT_ReAdY WMIT_D", RobotReport::kReady, {}, ""},
    {"WMRD_U*WMIT_D", RobotReport::kText, {}, "*WMIT_D"},
    {"WMRP_SE WMIT_D", RobotReport::kStepEnd, {}, ""},
    {"ping WMIT_D", RobotReport::kRequest, {}, ""},
};

TEST(RobotReportParse, EachPayloadReadsAsItsReport)
{
    for (const ParseRow& row : kParseRows) {
        SCOPED_TRACE(row.payload);
        RobotReport report = ParseRobotReport(row.payload);
        EXPECT_EQ(report.kind, row.kind);
        const double got[6] = {report.pose.x,     report.pose.y,    report.pose.z,
                               report.pose.pitch, report.pose.roll, report.pose.hand};
        const double want[6] = {row.pose.x, row.pose.y, row.pose.z, row.pose.pitch, row.pose.roll, row.pose.hand};
        for (int i = 0; i < 6; ++i)
            EXPECT_DOUBLE_EQ(got[i], want[i]) << "value " << i;
        EXPECT_EQ(report.text, row.text);
    }
}

struct Shows {
    std::string x, y, z, pitch, roll, hand;
};

class RobotReports : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenAttached();
    }
    void Report(const std::string& payload) { desk.Notice(RobotNotice(payload)); }
    Shows Read() const
    {
        return {desk.Text(IDC_X_READ),     desk.Text(IDC_Y_READ),    desk.Text(IDC_Z_READ),
                desk.Text(IDC_PITCH_READ), desk.Text(IDC_ROLL_READ), desk.Text(IDC_HAND_READ)};
    }
    Shows Set() const
    {
        return {desk.Text(IDC_X_SET),     desk.Text(IDC_Y_SET),    desk.Text(IDC_Z_SET),
                desk.Text(IDC_PITCH_SET), desk.Text(IDC_ROLL_SET), desk.Text(IDC_HAND_SET)};
    }
    // REC on, answered Yes: it needs the link controls on.
    void Recording()
    {
        panel_driver::StartVideo(desk);
        desk.ExpectBox("This command will clear the previous steps.\n\nAre you sure to continue?.", IDYES);
        desk.Click(IDC_REC);
        Flush();
    }
};

void ExpectShows(const Shows& expected, const Shows& actual, const char* what)
{
    EXPECT_EQ(actual.x, expected.x) << what;
    EXPECT_EQ(actual.y, expected.y) << what;
    EXPECT_EQ(actual.z, expected.z) << what;
    EXPECT_EQ(actual.pitch, expected.pitch) << what;
    EXPECT_EQ(actual.roll, expected.roll) << what;
    EXPECT_EQ(actual.hand, expected.hand) << what;
}

const Shows kFreshSet = {"0", "0", "0", "-90", "0", "0"};
const Shows kExampleRead = {"123.4", "-5", "80", "-90", "0", "25"};
const char kExamplePosition[] = "WMRP_D|X1234Y-50Z800P-900R0G255";

}  // namespace

TEST_F(RobotReports, PositionGoesToTheReadValues)
{
    desk.Type(IDC_SPEED, "150");
    Report(kExamplePosition);

    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows(kFreshSet, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");
    // The report's push, then the tail's.
    static const Sequence kStatus = {"text IDC_STATUS Searching Robot ......", "text IDC_STATUS Link to Robot OK!"};
    ExpectSequence(kStatus, Shown(IDC_STATUS));
}

TEST_F(RobotReports, WhileRecordingTheSetValuesFollowButNotTheSpeed)
{
    Recording();
    desk.Type(IDC_SPEED, "150");
    Report(kExamplePosition);

    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows(kExampleRead, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");
}

TEST_F(RobotReports, PositionThatDoesNotReadChangesNothingButTheTail)
{
    desk.Type(IDC_X_SET, "7");  // the tail's pull takes it
    Flush();
    Report("WMRP_D|X1234Y-50Z800P-900R0");
    // Only the tail's push.
    static const Sequence kOnePush = {"text IDC_X_READ 0"};
    ExpectSequence(kOnePush, Shown(IDC_X_READ));
    ExpectShows({"0", "0", "0", "0", "0", "0"}, Read(), "read");
    EXPECT_EQ(desk.Text(IDC_X_SET), "7");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");
}

TEST_F(RobotReports, RobotTextIsShownWholeOrEmpty)
{
    Report("WMRD_U*Hello, operator");
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "*Hello, operator");
    Report("WMRD_U no star");
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "");
}

TEST_F(RobotReports, ReadyEnablesConnectAndDisconnectOnly)
{
    Report("WMRSS RoBoT_ReAdY");

    // The ready report.
    static const Sequence kExpected = {"enable IDC_CONNECT 1", "enable IDC_DISCONNECT 1"};
    ExpectSequence(kExpected, Log(headless::kEnable));
    EXPECT_FALSE(desk.Enabled(IDC_MOVE_XYZ));
    EXPECT_TRUE(Sent().empty());
}

// Unknown reports, other states, positions that do not read.
TEST_F(RobotReports, ReportWithNoEffectOfItsOwnIsStillASignOfLife)
{
    desk.Type(IDC_NOTE, "typed");
    for (const char* payload : {"WMRSS RoBoT_TiMeOuT", "WMRP_D", "SOMETHING ELSE", ""}) {
        Flush();
        Report(payload);
        EXPECT_TRUE(Log(headless::kEnable | headless::kSend | headless::kBox | headless::kList).empty()) << payload;
        EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!") << payload;
        EXPECT_EQ(desk.Text(IDC_NOTE), "typed") << payload;
    }
}

TEST_F(RobotReports, RequestIsAnsweredWithItd)
{
    Report("WMIT_D");
    // The request.
    static const Sequence kExpected = {Datagram("WMCA_ITD")};
    ExpectSequence(kExpected, Sent());
}

TEST_F(RobotReports, StepEndRunsTheStepEndHandling)
{
    Recording();
    Report("WMRP_SE");
    // Recording: the step end appends the pose after REC's first step.
    static const Sequence kExpected = {"list insert 1 0,0,0,0,0,0,200", "list select 1"};
    ExpectSequence(kExpected, Log(headless::kList));
}

// A report can find a box half-way through typing ("-" before "-5", a box
// cleared to be typed again). It shows its news, writes no other box the
// operator types in, and makes no sound.
TEST_F(RobotReports, ReportLeavesTheBoxesTheOperatorIsTypingIn)
{
    static const int kTypedIn[] = {IDC_PITCH_SET, IDC_ROLL_SET, IDC_X_SET, IDC_Y_SET,
                                   IDC_Z_SET,     IDC_HAND_SET, IDC_NOTE,  IDC_SPEED};
    // What was written into those boxes, and any sound or focus, since the last Flush.
    auto intoTypedIn = [&] {
        Sequence out;
        for (const std::string& entry : Log(headless::kText | headless::kBeep | headless::kFocus))
            for (int id : kTypedIn)
                if (entry.rfind("text " + testsupport::ControlName(id) + " ", 0) == 0 || entry.rfind("text ", 0) != 0)
                    out.push_back(entry);
        return out;
    };

    // A position report: the Read boxes and the status take their news.
    desk.Type(IDC_X_SET, "-");
    desk.Type(IDC_Y_SET, "12");
    desk.Type(IDC_NOTE, "cup");
    desk.Type(IDC_SPEED, "150");
    Flush();
    Report(kExamplePosition);
    ExpectSequence(Sequence{}, intoTypedIn());
    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows({"-", "12", "0", "-90", "0", "0"}, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");

    // The robot's text, with a box cleared.
    desk.Type(IDC_X_SET, "");
    Flush();
    Report("WMRD_U*hello");
    ExpectSequence(Sequence{}, intoTypedIn());
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "*hello");
    EXPECT_EQ(desk.Text(IDC_X_SET), "");

    // While recording the Set values follow the robot, in the report's write;
    // the speed being typed stays.
    desk.Type(IDC_X_SET, "1");  // REC's own pull must read the form
    Recording();
    desk.Type(IDC_SPEED, "-");
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    static const Sequence kSetFollows = {"text IDC_PITCH_SET -45", "text IDC_ROLL_SET 10", "text IDC_X_SET 10",
                                         "text IDC_Y_SET 20",      "text IDC_Z_SET 30",    "text IDC_HAND_SET 50"};
    ExpectSequence(kSetFollows, intoTypedIn());
    EXPECT_EQ(desk.Text(IDC_SPEED), "-");

    // The step end that ends playback unchecks RUN and writes nothing else.
    StartOver();
    OpenOperating();
    LoadSteps({"1,1,1,1,1,1,1"});
    desk.Click(IDC_RUN);
    desk.Type(IDC_X_SET, "-");
    Flush();
    Report("WMRP_SE");
    ExpectSequence(Sequence{}, intoTypedIn());
    ExpectSequence(Sequence{"check IDC_RUN 0"}, Log(headless::kCheck | headless::kSend | headless::kList));
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    EXPECT_EQ(desk.Text(IDC_X_SET), "-");
}

// A read that the operator did not ask for (a tick, a notice, a click that
// only selects) may stop at a box half-way through typing: it makes no sound,
// moves no focus, and its write leaves every box the operator types in. A box
// that reads ("1." on the way to "1.5") is not written in its stored form either.
TEST_F(RobotReports, WritesTheOperatorDidNotAskForLeaveTheTypedBoxes)
{
    const char kThanks[] = "Thanks for using robot!\n\n Hope to see you again!\n\n ";
    struct Row {
        const char* name;
        const char* typed;
        std::function<void()> act;
        const char* status;
    };
    const Row rows[] = {
        {"the silent-robot tick", "-", [&] { desk.Tick(17); }, "Sorry Robot is not online now, please try again later"},
        {"the end of the experiment", "-",
         [&] {
             desk.ExpectBox(kThanks);
             desk.Notice("CALL 17 STATUS FINISHED");
         },
         "Please restart this program again for next experiment."},
        {"Backward", "-", [&] { desk.Click(IDC_BACKWARD); }, "Link to Robot OK!"},
        {"a position report", "1.", [&] { Report("WMRP_D|X10Y0Z0P0R0G0"); }, "Link to Robot OK!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartOver();
        OpenAttached();
        panel_driver::StartVideo(desk);
        Report("WMRD_U*hello");
        desk.Type(IDC_Y_SET, "12");
        desk.Type(IDC_X_SET, row.typed);
        desk.Type(IDC_NOTE, "cup");
        desk.Type(IDC_SPEED, "150");
        Flush();
        row.act();
        EXPECT_EQ(desk.Text(IDC_X_SET), row.typed);
        EXPECT_EQ(desk.Text(IDC_Y_SET), "12");
        EXPECT_EQ(desk.Text(IDC_NOTE), "cup");
        EXPECT_EQ(desk.Text(IDC_SPEED), "150");
        EXPECT_EQ(desk.Text(IDC_STATUS), row.status);
        EXPECT_TRUE(Log(headless::kBeep | headless::kFocus).empty());
        desk.VerifyScriptsTaken();
    }
}

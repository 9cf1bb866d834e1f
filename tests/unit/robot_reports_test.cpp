// The robot station's reports: the position read-back, readiness, the robot's
// text, step ends, the WMIT_D request, and the sign-of-life tail of every one.
#include "PanelFixture.h"

namespace {

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
        return {desk.Text(IDC_X_READ), desk.Text(IDC_Y_READ), desk.Text(IDC_Z_READ),
                desk.Text(IDC_PITCH_READ), desk.Text(IDC_ROLL_READ), desk.Text(IDC_HAND_READ)};
    }
    Shows Set() const
    {
        return {desk.Text(IDC_X_SET), desk.Text(IDC_Y_SET), desk.Text(IDC_Z_SET),
                desk.Text(IDC_PITCH_SET), desk.Text(IDC_ROLL_SET), desk.Text(IDC_HAND_SET)};
    }
    void Recording()
    {
        panel->m_bRec = 1;
        panel->PushControls();
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

} // namespace

TEST_F(RobotReports, PositionGoesToTheReadValuesInTenthsAndTheHandInWholeMillimetres)
{
    desk.Type(IDC_SPEED, "150");
    Report(kExamplePosition);

    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows(kFreshSet, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");
    EXPECT_DOUBLE_EQ(panel->m_dHandRead, 25.0);
    // The report's push, then the tail's.
    static const Sequence kStatus = {"text IDC_STATUS Searching Robot ......", "text IDC_STATUS Link to Robot OK!"};
    EXPECT_SEQUENCE(kStatus, Shown(IDC_STATUS));
}

TEST_F(RobotReports, WhileRecordingTheSetValuesFollowButNotTheSpeed)
{
    Recording();
    desk.Type(IDC_SPEED, "150");
    Report(kExamplePosition);

    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows(kExampleRead, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");
    EXPECT_DOUBLE_EQ(panel->m_dXSet, 123.4);
    EXPECT_DOUBLE_EQ(panel->m_dHandSet, 25.0);
}

TEST_F(RobotReports, HandIsCutTowardZero)
{
    struct Row { const char* g; const char* shown; };
    static const Row kRows[] = {{"255", "25"}, {"259", "25"}, {"9", "0"}, {"-9", "0"}, {"-255", "-25"}, {"250", "25"}};
    for (const Row& row : kRows) {
        Report(std::string("WMRP_D|X0Y0Z0P0R0G") + row.g);
        EXPECT_EQ(desk.Text(IDC_HAND_READ), row.shown) << "G" << row.g;
    }
}

TEST_F(RobotReports, PositionThatDoesNotParseChangesNothingButTheTail)
{
    static const char* const kPayloads[] = {
        "WMRP_D",
        "WMRP_D X1234Y-50Z800P-900R0G255",    // no "|"
        "WMRP_D|X1234Y-50Z800P-900R0",        // five numbers
        "WMRP_D|X1234Y-50Z800P-900R0G",       // hand missing
        "WMRP_D|x1234Y-50Z800P-900R0G255",    // case matters
        "WMRP_D|X1234Y-50Z800P-900R0Gx",
        "WMRP_D|X99999999999Y-50Z800P-900R0G255",
    };
    for (const char* payload : kPayloads) {
        desk.Type(IDC_X_SET, "7");  // the tail's pull takes it
        Flush();
        Report(payload);
        // Only the tail's push.
        static const Sequence kOnePush = {"text IDC_X_READ 0"};
        EXPECT_SEQUENCE(kOnePush, Shown(IDC_X_READ));
        ExpectShows({"0", "0", "0", "0", "0", "0"}, Read(), payload);
        EXPECT_DOUBLE_EQ(panel->m_dXSet, 7.0) << payload;
        EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!") << payload;
    }
    EXPECT_EQ(panel->Link().Supervision().ReplyCount(), 7u);
}

TEST_F(RobotReports, RobotTextFromTheFirstStarWholeOrEmpty)
{
    struct Row { const char* payload; const char* shown; };
    static const Row kRows[] = {
        {"WMRD_U*Hello, operator: the arm  is warm", "*Hello, operator: the arm  is warm"},
        {"WMRD_U", ""},
        {"WMRD_U no star at all", ""},
        {"a*b WMRD_U*c", "*b WMRD_U*c"},
        {"WMRD_U*", "*"},
    };
    for (const Row& row : kRows) {
        panel->m_strRobotMessage = "old";
        panel->PushControls();
        Report(row.payload);
        EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), row.shown) << row.payload;
        EXPECT_EQ(panel->m_strRobotMessage.str(), row.shown) << row.payload;
    }
}

TEST_F(RobotReports, ReadyEnablesConnectAndDisconnectOnly)
{
    Report("WMRSS RoBoT_ReAdY");

    // The ready report.
    static const Sequence kExpected = {"enable IDC_CONNECT 1", "enable IDC_DISCONNECT 1"};
    EXPECT_SEQUENCE(kExpected, Log(headless::kEnable));
    EXPECT_EQ(panel->m_bControlsEnabled, 0);
    EXPECT_FALSE(desk.Enabled(IDC_MOVE_XYZ));
    EXPECT_TRUE(Sent().empty());
    // The targets stay gated.
    panel->SendSetPose();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(RobotReports, OtherStatesHaveNoEffectOfTheirOwn)
{
    for (const char* payload : {"WMRSS RoBoT_TiMeOuT", "WMRSS", "WMRSS robot_ready", "RoBoT_ReAdY"}) {
        Flush();
        Report(payload);
        EXPECT_TRUE(Log(headless::kEnable | headless::kSend | headless::kBox).empty()) << payload;
        EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!") << payload;
    }
}

TEST_F(RobotReports, RequestIsAnsweredWithItd)
{
    Report("WMIT_D");
    // The request.
    static const Sequence kExpected = {Datagram("WMCA_ITD")};
    EXPECT_SEQUENCE(kExpected, Sent());
}

TEST_F(RobotReports, FirstMatchingTestWins)
{
    struct Row { const char* payload; Sequence expected; };
    const Row rows[] = {
        {"WMRP_D|X10Y0Z0P0R0G0 WMIT_D", {}},
        {"WMRP_D WMRSS RoBoT_ReAdY", {}},
        {"WMRSS RoBoT_ReAdY WMIT_D", {"enable IDC_CONNECT 1", "enable IDC_DISCONNECT 1"}},
        {"WMRD_U*WMIT_D", {}},
        {"WMRP_SE WMIT_D", {}},
        {"ping WMIT_D", {Datagram("WMCA_ITD")}},
    };
    for (const Row& row : rows) {
        Flush();
        Report(row.payload);
        EXPECT_EQ(Log(headless::kSend | headless::kEnable | headless::kList), row.expected) << row.payload;
    }
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "*WMIT_D");
    EXPECT_EQ(desk.Text(IDC_X_READ), "1");
}

TEST_F(RobotReports, UnmatchedReportIsStillASignOfLife)
{
    desk.Tick(4);
    Flush();
    desk.Type(IDC_NOTE, "typed");
    Report("SOMETHING ELSE");
    Report("");

    EXPECT_EQ(panel->Link().Supervision().ReplyCount(), 2u);
    EXPECT_EQ(panel->Link().Supervision().MissedTicks(), 0);
    EXPECT_EQ(panel->m_strNote.str(), "typed");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");
    EXPECT_TRUE(Log(headless::kSend | headless::kEnable | headless::kBox | headless::kList).empty());
}

TEST_F(RobotReports, StepEndRunsTheStepEndHandling)
{
    Recording();
    Report("WMRP_SE");
    // Recording: the step end appends the pose.
    static const Sequence kExpected = {"list insert 0 0,0,0,-90,0,0,200", "list select 0"};
    EXPECT_SEQUENCE(kExpected, Log(headless::kList));
    EXPECT_EQ(panel->Link().Supervision().ReplyCount(), 1u);
}

// A report can find a box half-way through typing ("-" before "-5", a box
// cleared to be typed again). It shows its news, writes no other box the
// operator types in, and makes no sound.
TEST_F(RobotReports, ReportLeavesTheBoxesTheOperatorIsTypingIn)
{
    static const int kTypedIn[] = {IDC_PITCH_SET, IDC_ROLL_SET, IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_HAND_SET,
                                   IDC_NOTE,      IDC_SPEED};
    // What was written into those boxes, and any sound or focus, since the last Flush.
    auto intoTypedIn = [&] {
        Sequence out;
        for (const std::string& entry : Log(headless::kText | headless::kBeep | headless::kFocus))
            for (int id : kTypedIn)
                if (entry.rfind("text " + headless::Desktop::ControlName(id) + " ", 0) == 0 ||
                    entry.rfind("text ", 0) != 0)
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
    EXPECT_SEQUENCE(Sequence{}, intoTypedIn());
    ExpectShows(kExampleRead, Read(), "read");
    ExpectShows({"-", "12", "0", "-90", "0", "0"}, Set(), "set");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");

    // The robot's text, with a box cleared.
    desk.Type(IDC_X_SET, "");
    Flush();
    Report("WMRD_U*hello");
    EXPECT_SEQUENCE(Sequence{}, intoTypedIn());
    EXPECT_EQ(desk.Text(IDC_ROBOT_MESSAGE), "*hello");
    EXPECT_EQ(desk.Text(IDC_X_SET), "");

    // While recording the Set values follow the robot, in the report's and the
    // tail's writes; the speed being typed stays.
    Recording();
    desk.Type(IDC_SPEED, "-");
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    static const Sequence kSetFollows = {"text IDC_PITCH_SET -45", "text IDC_ROLL_SET 10", "text IDC_X_SET 10",
                                         "text IDC_Y_SET 20",      "text IDC_Z_SET 30",    "text IDC_HAND_SET 50"};
    EXPECT_SEQUENCE(kSetFollows + kSetFollows, intoTypedIn());
    EXPECT_EQ(desk.Text(IDC_SPEED), "-");

    // The step end that ends playback unchecks RUN and writes nothing else.
    StartOver();
    OpenAttached();
    panel->m_listSteps.AddString("1,1,1,1,1,1,1");
    panel->m_listSteps.SetCurSel(0);
    panel->m_bRun = 1;
    panel->PushControls();
    desk.Type(IDC_X_SET, "-");
    Flush();
    Report("WMRP_SE");
    EXPECT_SEQUENCE(Sequence{}, intoTypedIn());
    EXPECT_SEQUENCE(Sequence{"check IDC_RUN 0"}, Log(headless::kCheck | headless::kSend | headless::kList));
    EXPECT_EQ(panel->m_bRun, 0);
    EXPECT_EQ(desk.Text(IDC_X_SET), "-");
}

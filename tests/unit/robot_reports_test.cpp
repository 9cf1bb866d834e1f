// The robot station's reports: each payload read as the report it is, and a
// report's way from Skype's message to the panel's controls (the session's
// tests state what each report does).
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

class RobotReports : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenAttached();
    }
    void Report(const std::string& payload) { desk.Notice(RobotNotice(payload)); }
};

}  // namespace

// The ready report enables Connect and Disconnect; a position goes to the Read
// boxes and, while recording, to the Set boxes, in their order on the panel,
// and writes no other box the operator types in; the step end's silent read
// stops at a half-typed box with no sound and no focus.
TEST_F(RobotReports, ReportsReachTheirControls)
{
    Report("WMRSS RoBoT_ReAdY");
    static const Sequence kReady = {"enable IDC_CONNECT 1", "enable IDC_DISCONNECT 1"};
    ExpectSequence(kReady, Log(headless::kEnable));
    EXPECT_FALSE(desk.Enabled(IDC_MOVE_XYZ));

    panel_driver::StartVideo(desk);
    desk.ExpectBox("This command will clear the previous steps.\n\nAre you sure to continue?.", IDYES);
    desk.Click(IDC_REC);
    desk.Type(IDC_NOTE, "cup");
    desk.Type(IDC_SPEED, "-");
    Flush();
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    static const int kTypedIn[] = {IDC_PITCH_SET, IDC_ROLL_SET, IDC_X_SET, IDC_Y_SET,
                                   IDC_Z_SET,     IDC_HAND_SET, IDC_NOTE,  IDC_SPEED};
    Sequence typedIn;
    for (const std::string& entry : Log(headless::kText))
        for (int id : kTypedIn)
            if (entry.rfind("text " + testsupport::ControlName(id) + " ", 0) == 0)
                typedIn.push_back(entry);
    static const Sequence kSetFollows = {"text IDC_PITCH_SET -45", "text IDC_ROLL_SET 10", "text IDC_X_SET 10",
                                         "text IDC_Y_SET 20",      "text IDC_Z_SET 30",    "text IDC_HAND_SET 50"};
    ExpectSequence(kSetFollows, typedIn);
    EXPECT_EQ(desk.Text(IDC_X_READ), "10");
    EXPECT_EQ(desk.Text(IDC_HAND_READ), "50");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");

    Flush();
    Report("WMRP_SE");
    static const Sequence kRecorded = {"list insert 1 10,20,30,-45,10,50,200:cup", "list select 1"};
    ExpectSequence(kRecorded, Log(headless::kList | headless::kBeep | headless::kFocus));
    EXPECT_EQ(desk.Text(IDC_NOTE), "cup");
    EXPECT_EQ(desk.Text(IDC_SPEED), "-");
}

// Cartesian targets, the jog and homing commands: the command texts, and the
// motion buttons' wiring on the panel (the session's tests state what each does).
#include "PanelFixture.h"
#include "RobotProtocol.h"

#include <cmath>

namespace {

const char kOutOfRange[] = "The target is out of range and was not sent.";
const char kCalibrateQuestion[] =
    "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.";
const char kGotoHomeQuestion[] = "This command will let robot move to its home position\n\nAre you sure to continue?.";

// The Set edits and the speed, in the order of the wire.
const int kTargetEdits[] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED};

class Motion : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenOperating();
    }
    void TypeTarget(const std::vector<std::string>& texts)
    {
        for (size_t i = 0; i < texts.size(); ++i)
            desk.Type(kTargetEdits[i], texts[i]);
    }
};

const std::vector<std::string> kExampleTarget = {"12.7", "-3.2", "100", "-90", "0", "25.9", "200"};

// The target as Move To XYZ and STEP send the Set values: cut to whole numbers first.
std::optional<std::string> SetTarget(const RobotPose& pose, double speed)
{
    return CartesianTargetCommand(WholeTarget(pose), WholeSpeed(speed));
}

}  // namespace

TEST(RobotCommands, JogAndHomingCommands)
{
    EXPECT_EQ(JogStartCommand(1005), "WMCA_BSTARTM|1005");
    EXPECT_EQ(JogStopCommand(1012), "WMCA_BSTOPM|1012");
    EXPECT_STREQ(kSetHomeCommand, "WMCA_BSHP|");
    EXPECT_STREQ(kGoHomeCommand, "WMCA_BMTH|");
    EXPECT_STREQ(kRequestAnswer, "WMCA_ITD");
}

TEST(RobotCommands, TargetGoesInTenthsCutTowardZero)
{
    // Composed from the values given, which are not cut first.
    EXPECT_EQ(CartesianTargetCommand(RobotPose{12.7, -3.2, 100, -90, 0, 25}, 200),
              "WMCA_PCD|X127Y-32Z1000P-900R0G250SP200");
    // Set values: every digit after the point dropped.
    EXPECT_EQ(SetTarget(RobotPose{-0.9, 0.9, -12.99, -89.5, 179.99, 0.5}, 200.9),
              "WMCA_PCD|X0Y0Z-120P-890R1790G0SP200");
}

TEST(RobotCommands, TargetIsSentOnlyWhenEveryValueFitsTheWire)
{
    struct Row {
        RobotPose pose;
        double speed;
        std::optional<std::string> sent;
    };
    const RobotPose example = {12.7, -3.2, 100, -90, 0, 25.9};
    auto with = [&](int i, double v) {
        RobotPose p = example;
        double* fields[6] = {&p.x, &p.y, &p.z, &p.pitch, &p.roll, &p.hand};
        *fields[i] = v;
        return p;
    };
    const Row rows[] = {
        {with(0, 3e8), 200, std::nullopt},
        {with(0, -3e8), 200, std::nullopt},
        {with(1, 214748365), 200, std::nullopt},
        {with(2, -214748365), 200, std::nullopt},
        {with(3, 1e300), 200, std::nullopt},
        {with(4, -1e12), 200, std::nullopt},
        {with(5, 214748365), 200, std::nullopt},
        {example, 1e10, std::nullopt},
        {example, 2147483648.0, std::nullopt},
        {example, -2147483649.0, std::nullopt},
        {with(0, std::nan("")), 200, std::nullopt},
        // The edges of the range.
        {with(0, 214748364), 200, "WMCA_PCD|X2147483640Y-30Z1000P-900R0G250SP200"},
        {with(0, -214748364.9), 200, "WMCA_PCD|X-2147483640Y-30Z1000P-900R0G250SP200"},
        {with(5, 214748364.99), 200, "WMCA_PCD|X120Y-30Z1000P-900R0G2147483640SP200"},
        {example, 2147483647.9, "WMCA_PCD|X120Y-30Z1000P-900R0G250SP2147483647"},
        {example, -2147483648.9, "WMCA_PCD|X120Y-30Z1000P-900R0G250SP-2147483648"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.pose.x << " " << row.pose.hand << " " << row.speed);
        EXPECT_EQ(SetTarget(row.pose, row.speed), row.sent);
    }
}

// Each button reaches its intent; the questions and the range box are real
// boxes; a box that holds no number takes the focus with a beep, its text
// selected, and the boxes keep what was typed.
TEST_F(Motion, ButtonsReachTheirIntentsThroughTheWindowSystem)
{
    struct Row {
        int button;
        Sequence typed;
        const char* box;
        Sequence log;
    };
    const Sequence kTooFast = {"12.7", "-3.2", "100", "-90", "0", "25.9", "1e10"};
    const Row rows[] = {
        {IDC_MOVE_XYZ, kExampleTarget, nullptr, {Datagram("WMCA_PCD|X120Y-30Z1000P-900R0G250SP200")}},
        {IDC_STEP, kExampleTarget, nullptr, {Datagram("WMCA_PCD|X120Y-30Z1000P-900R0G250SP200")}},
        {IDC_CALIBRATE,
         kExampleTarget,
         kCalibrateQuestion,
         {"box Orvanta | This command will reset the current position\\nas the home position.\\n\\nAre you sure to "
          "continue?. | no-icon yes-no -> IDYES",
          Datagram("WMCA_BSHP|")}},
        {IDC_GOTO_HOME,
         kExampleTarget,
         kGotoHomeQuestion,
         {"box Orvanta | This command will let robot move to its home position\\n\\nAre you sure to continue?. | "
          "no-icon yes-no -> IDYES",
          Datagram("WMCA_BMTH|")}},
        {IDC_MOVE_XYZ,
         kTooFast,
         kOutOfRange,
         {"box Orvanta | The target is out of range and was not sent. | information ok -> IDOK"}},
        {IDC_MOVE_XYZ, {"5", "abc", "7"}, nullptr, {"focus IDC_Y_SET", "beep"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testsupport::ControlName(row.button));
        TypeTarget(row.typed);
        Flush();
        if (row.box)
            desk.ExpectBox(row.box, row.box == kOutOfRange ? IDOK : IDYES);
        desk.Click(row.button);
        ExpectSequence(row.log, Log(headless::kSend | headless::kBox | headless::kFocus | headless::kBeep));
        desk.VerifyScriptsTaken();
        EXPECT_EQ(desk.Text(IDC_X_SET), row.typed[0]);
        EXPECT_EQ(desk.Text(IDC_Y_SET), row.typed[1]);
    }
    EXPECT_EQ(desk.SelectedText(IDC_Y_SET), "abc");
}

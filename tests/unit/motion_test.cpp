// Cartesian targets (Move To XYZ and STEP), their range check, and the two
// homing commands behind their questions.
#include "PanelFixture.h"

namespace {

const char kOutOfRange[] = "The target is out of range and was not sent.";
const char kOutOfRangeBox[] = "box Orvanta | The target is out of range and was not sent. | information ok -> IDOK";
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

} // namespace

TEST_F(Motion, MoveToXyzAndStepSendTheSetValuesCutToWholeNumbers)
{
    for (int button : {IDC_MOVE_XYZ, IDC_STEP}) {
        TypeTarget(kExampleTarget);
        Flush();
        desk.Click(button);
        // The example target.
        static const Sequence kExpected = {Datagram("WMCA_PCD|X120Y-30Z1000P-900R0G250SP200")};
        EXPECT_SEQUENCE(kExpected, Sent());
        // The fields keep what was typed, and the push shows it.
        EXPECT_DOUBLE_EQ(panel->m_dXSet, 12.7);
        EXPECT_DOUBLE_EQ(panel->m_dHandSet, 25.9);
        EXPECT_EQ(desk.Text(IDC_Y_SET), "-3.2");
        static const Sequence kPushed = {"text IDC_X_SET 12.7"};
        EXPECT_SEQUENCE(kPushed, Shown(IDC_X_SET));
    }
}

TEST_F(Motion, CutIsTowardZero)
{
    TypeTarget({"-0.9", "0.9", "-12.99", "-89.5", "179.99", "0.5", "200.9"});
    desk.Click(IDC_MOVE_XYZ);
    // Every digit after the point dropped.
    static const Sequence kExpected = {Datagram("WMCA_PCD|X0Y0Z-120P-890R1790G0SP200")};
    EXPECT_SEQUENCE(kExpected, Sent());
}

TEST_F(Motion, NothingIsSentWhileTheLinkControlsAreOffButPullAndPushHappen)
{
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    TypeTarget(kExampleTarget);
    Flush();
    panel->SendSetPose();

    EXPECT_TRUE(Sent().empty());
    EXPECT_DOUBLE_EQ(panel->m_dXSet, 12.7);
    static const Sequence kPushed = {"text IDC_X_SET 12.7"};
    EXPECT_SEQUENCE(kPushed, Shown(IDC_X_SET));
}

TEST_F(Motion, TargetIsComposedFromTheValuesGiven)
{
    panel->SendCartesianTarget(12.7, -3.2, 100, -90, 0, 25, 200);
    // Used directly, the values are not cut first.
    static const Sequence kExpected = {Datagram("WMCA_PCD|X127Y-32Z1000P-900R0G250SP200")};
    EXPECT_SEQUENCE(kExpected, Sent());

    Flush();
    panel->m_bControlsEnabled = 0;
    panel->SendCartesianTarget(12.7, -3.2, 100, -90, 0, 25, 200);
    panel->SendCartesianTarget(3e8, 0, 0, 0, 0, 0, 0);  // dropped before any range check
    EXPECT_TRUE(Log(headless::kSend | headless::kBox).empty());
}

// A form with a box that holds no number is no target and no step: nothing is
// sent, added or changed, the boxes keep what was typed, and the bad box takes
// the focus with its text selected.
TEST_F(Motion, FormThatCannotBeReadSendsAndStoresNothing)
{
    struct Row { int button; Sequence log; };
    const Row rows[] = {
        {IDC_MOVE_XYZ, {"focus IDC_Y_SET", "beep"}},
        {IDC_STEP, {"focus IDC_Y_SET", "beep"}},
        // Playback does not start: RUN's own check mark is taken back.
        {IDC_RUN, {"check IDC_RUN 1", "focus IDC_Y_SET", "beep", "check IDC_RUN 0"}},
        {IDC_ADD, {"focus IDC_Y_SET", "beep"}},
        {IDC_CHG, {"focus IDC_Y_SET", "beep"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(headless::Desktop::ControlName(row.button));
        StartOver();
        OpenOperating();
        panel->m_listSteps.AddString("1,1,1,1,1,1,1");
        panel->m_listSteps.SetCurSel(0);
        TypeTarget({"5", "abc", "7"});
        Flush();
        desk.Click(row.button);
        EXPECT_SEQUENCE(row.log, Log(headless::kSend | headless::kList | headless::kText | headless::kCheck |
                                     headless::kBox | headless::kFocus | headless::kBeep));
        EXPECT_EQ(desk.Text(IDC_X_SET), "5");
        EXPECT_EQ(desk.Text(IDC_Y_SET), "abc");
        EXPECT_EQ(desk.Text(IDC_Z_SET), "7");
        EXPECT_EQ(desk.Focus(), desk.Item(IDC_Y_SET));
        EXPECT_EQ(desk.SelectedText(IDC_Y_SET), "abc");
        EXPECT_EQ(desk.Lines(), Sequence{"1,1,1,1,1,1,1"});
    }
}

TEST_F(Motion, TargetThatDoesNotFitIsNotSentAndTheOperatorIsTold)
{
    struct Row { int edit; const char* text; };
    static const Row kRows[] = {
        {IDC_X_SET, "3e8"},         {IDC_X_SET, "-3e8"},         {IDC_Y_SET, "214748365"},
        {IDC_Z_SET, "-214748365"},  {IDC_PITCH_SET, "1e300"},    {IDC_ROLL_SET, "-1e12"},
        {IDC_HAND_SET, "214748365"}, {IDC_SPEED, "1e10"},        {IDC_SPEED, "2147483648"},
        {IDC_SPEED, "-2147483649"}, {IDC_SPEED, "-1e10"},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(headless::Desktop::ControlName(row.edit)) + " " + row.text);
        TypeTarget(kExampleTarget);
        desk.Type(row.edit, row.text);
        Flush();
        desk.ExpectBox(kOutOfRange);
        desk.Click(IDC_MOVE_XYZ);
        const Sequence expected = {kOutOfRangeBox};
        EXPECT_SEQUENCE(expected, Log(headless::kSend | headless::kBox));
        desk.VerifyScriptsTaken();
    }
}

TEST_F(Motion, TargetsAtTheEdgesOfTheWireRangeAreSent)
{
    struct Row { int edit; const char* text; const char* sent; };
    static const Row kRows[] = {
        {IDC_X_SET, "214748364", "WMCA_PCD|X2147483640Y-30Z1000P-900R0G250SP200"},
        {IDC_X_SET, "-214748364.9", "WMCA_PCD|X-2147483640Y-30Z1000P-900R0G250SP200"},
        {IDC_HAND_SET, "214748364.99", "WMCA_PCD|X120Y-30Z1000P-900R0G2147483640SP200"},
        {IDC_SPEED, "2147483647", "WMCA_PCD|X120Y-30Z1000P-900R0G250SP2147483647"},
        {IDC_SPEED, "2147483647.9", "WMCA_PCD|X120Y-30Z1000P-900R0G250SP2147483647"},
        {IDC_SPEED, "-2147483648", "WMCA_PCD|X120Y-30Z1000P-900R0G250SP-2147483648"},
        {IDC_SPEED, "-2147483648.9", "WMCA_PCD|X120Y-30Z1000P-900R0G250SP-2147483648"},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.text);
        TypeTarget(kExampleTarget);
        desk.Type(row.edit, row.text);
        Flush();
        desk.Click(IDC_MOVE_XYZ);
        const Sequence expected = {Datagram(row.sent)};
        EXPECT_SEQUENCE(expected, Log(headless::kSend | headless::kBox));
    }
}

TEST_F(Motion, CalibrateAndGotoHomeAskFirst)
{
    struct Row { int button; const char* question; int answer; Sequence expected; };
    const Row rows[] = {
        {IDC_CALIBRATE, kCalibrateQuestion, IDYES,
         {"box Orvanta | This command will reset the current position\\nas the home position.\\n\\nAre you sure to "
          "continue?. | no-icon yes-no -> IDYES",
          Datagram("WMCA_BSHP|")}},
        {IDC_CALIBRATE, kCalibrateQuestion, IDNO,
         {"box Orvanta | This command will reset the current position\\nas the home position.\\n\\nAre you sure to "
          "continue?. | no-icon yes-no -> IDNO"}},
        {IDC_GOTO_HOME, kGotoHomeQuestion, IDYES,
         {"box Orvanta | This command will let robot move to its home position\\n\\nAre you sure to continue?. | "
          "no-icon yes-no -> IDYES",
          Datagram("WMCA_BMTH|")}},
        {IDC_GOTO_HOME, kGotoHomeQuestion, IDNO,
         {"box Orvanta | This command will let robot move to its home position\\n\\nAre you sure to continue?. | "
          "no-icon yes-no -> IDNO"}},
    };
    for (const Row& row : rows) {
        Flush();
        desk.ExpectBox(row.question, row.answer);
        desk.Click(row.button);
        EXPECT_SEQUENCE(row.expected, Log(headless::kSend | headless::kBox));
        desk.VerifyScriptsTaken();
    }
}

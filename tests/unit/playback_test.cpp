// Recording and playback on the panel: REC, RUN and Backward's clicks reach the
// session, and its effects reach the check boxes, the list box and the groups
// of controls. What they do is in session_playback_test.cpp.
#include "PanelFixture.h"

namespace {

const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
const std::string kRecBox =
    "box Orvanta | This command will clear the previous steps.\\n\\nAre you sure to continue?. | no-icon yes-no -> ";

const char* const kLockGroup[] = {"IDC_STEP", "IDC_RUN", "IDC_LOAD", "IDC_SAVE",
                                  "IDC_ADD",  "IDC_DEL", "IDC_CHG",  "IDC_MOVE_XYZ"};

Sequence LockGroup(const char* state)
{
    Sequence out;
    for (const char* name : kLockGroup)
        out.push_back(std::string("enable ") + name + " " + state);
    return out;
}

std::string Target(int x, int speed = 100)
{
    return Datagram("WMCA_PCD|X" + std::to_string(x * 10) + "Y0Z0P-900R0G0SP" + std::to_string(speed));
}

const char* const kSteps[] = {"10,0,0,-90,0,0,100", "20,0,0,-90,0,0,100", "30,0,0,-90,0,0,100"};

class Playback : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenOperating();
    }
    void Report(const std::string& payload) { desk.Notice(RobotNotice(payload)); }
    void StepEnd() { Report("WMRP_SE"); }
    // The three steps, line `selected` chosen by the operator (its values loaded).
    void FillSteps(int selected = 0)
    {
        LoadSteps(Sequence(std::begin(kSteps), std::end(kSteps)));
        desk.SelectLine(selected);
        Flush();
    }
    void StartRecording()
    {
        desk.ExpectBox(kRecQuestion, IDYES);
        desk.Click(IDC_REC);
        Flush();
    }
};

constexpr unsigned kPlayLog = headless::kSend | headless::kList | headless::kBox;

}  // namespace

// REC's check box as the session leaves it: No takes the click's check mark
// away; Yes fills the list box and the Set boxes and locks the group's
// controls; off unlocks them.
TEST_F(Playback, RecClicksShowTheQuestionTheListAndTheLockGroup)
{
    Report("WMRP_D|X1234Y-50Z800P-900R0G255");
    FillSteps(1);
    desk.ExpectBox(kRecQuestion, IDNO);
    desk.Click(IDC_REC);
    static const Sequence kNo = {"check IDC_REC 1", kRecBox + "IDNO", "check IDC_REC 0"};
    ExpectSequence(kNo, Log(headless::kBox | headless::kList | headless::kEnable | headless::kCheck));
    EXPECT_EQ(desk.Check(IDC_REC), 0);

    Flush();
    desk.Type(IDC_SPEED, "150");
    desk.ExpectBox(kRecQuestion, IDYES);
    desk.Click(IDC_REC);
    static const Sequence kYes =
        Sequence{kRecBox + "IDYES", "list reset", "list insert 0 123,-5,80,-90,0,25,150", "list select 0"} +
        LockGroup("0");
    ExpectSequence(kYes, Log(headless::kBox | headless::kList | headless::kEnable | headless::kSend));
    EXPECT_EQ(desk.Check(IDC_REC), 1);
    EXPECT_EQ(desk.Text(IDC_X_SET), "123.4");
    EXPECT_EQ(desk.Text(IDC_HAND_SET), "25");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");

    Flush();
    desk.Click(IDC_REC);
    ExpectSequence(LockGroup("1"), Log(headless::kBox | headless::kList | headless::kEnable | headless::kSend));
    EXPECT_EQ(desk.Check(IDC_REC), 0);
}

// Backward's click highlights the last line, a click on a line highlights it,
// RUN plays from there upward, and the step end after line 0 unchecks RUN.
TEST_F(Playback, BackwardPlaysUpToLineZeroAndEnds)
{
    FillSteps();
    desk.Click(IDC_BACKWARD);
    desk.SelectLine(2);
    Flush();
    desk.Click(IDC_RUN);
    StepEnd();
    StepEnd();
    StepEnd();
    // Line 2 by RUN, then upward.
    static const Sequence kExpected = {Target(30), "list select 1", Target(20), "list select 0", Target(10)};
    ExpectSequence(kExpected, Log(kPlayLog));
    EXPECT_EQ(desk.Text(IDC_X_SET), "10");
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
}

// The link group and the group recording locks share controls: while recording,
// the link controls off take REC's click away, and on again free only STEP, RUN,
// Move To XYZ and REC; REC off then frees the rest.
TEST_F(Playback, LinkControlsDuringRecordingFreeOnlyTheirOwnUntilRecIsOff)
{
    StartRecording();
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    Flush();
    desk.Click(IDC_REC);  // disabled: no click
    EXPECT_TRUE(Log(headless::kEnable | headless::kCheck | headless::kBox).empty());
    EXPECT_EQ(desk.Check(IDC_REC), 1);

    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    for (int id : {IDC_STEP, IDC_RUN, IDC_MOVE_XYZ, IDC_REC})
        EXPECT_TRUE(desk.Enabled(id)) << testsupport::ControlName(id);
    for (int id : {IDC_ADD, IDC_DEL, IDC_CHG, IDC_LOAD, IDC_SAVE})
        EXPECT_FALSE(desk.Enabled(id)) << testsupport::ControlName(id);
    Flush();
    desk.Click(IDC_REC);
    static const Sequence kExpected = Sequence{"check IDC_REC 0"} + LockGroup("1");
    ExpectSequence(kExpected, Log(headless::kEnable | headless::kCheck | headless::kBox));
    EXPECT_TRUE(desk.Enabled(IDC_ADD));
}

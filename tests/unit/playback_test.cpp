// Recording the robot's own moves into steps, and playing the steps back
// forward or backward, one per step-end report.
#include <functional>

#include "PanelFixture.h"

#include <functional>

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
    // The three steps and a fourth, deleted: nothing is selected, and the edits
    // show the fourth.
    void FillStepsNoneSelected()
    {
        LoadSteps(Sequence(std::begin(kSteps), std::end(kSteps)) + Sequence{"40,0,0,-90,0,0,100"});
        desk.SelectLine(3);
        desk.Click(IDC_DEL);
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

TEST_F(Playback, RecOnYesClearsTheListAndMakesTheCurrentPoseTheFirstStep)
{
    Report("WMRP_D|X1234Y-50Z800P-900R0G255");
    FillSteps(1);
    desk.Type(IDC_SPEED, "150");
    desk.ExpectBox(kRecQuestion, IDYES);
    desk.Click(IDC_REC);

    // REC on, answered Yes.
    static const Sequence kExpected =
        Sequence{kRecBox + "IDYES", "list reset", "list insert 0 123,-5,80,-90,0,25,150", "list select 0"} +
        LockGroup("0");
    ExpectSequence(kExpected, Log(headless::kBox | headless::kList | headless::kEnable | headless::kSend));
    EXPECT_EQ(desk.Check(IDC_REC), 1);
    EXPECT_EQ(desk.Text(IDC_X_SET), "123.4");
    EXPECT_EQ(desk.Text(IDC_HAND_SET), "25");
    EXPECT_EQ(desk.Text(IDC_SPEED), "150");
}

TEST_F(Playback, RecOnNoLeavesTheListAndUnchecksRec)
{
    FillSteps(1);
    // The robot's reports while the question is up record nothing.
    desk.ExpectBox(kRecQuestion, IDNO, [&] {
        Report("WMRP_D|X70Y0Z0P0R0G0");
        StepEnd();
    });
    desk.Click(IDC_REC);

    // The box's own check mark, the question, then REC's check taken away.
    static const Sequence kExpected = {"check IDC_REC 1", kRecBox + "IDNO", "check IDC_REC 0"};
    ExpectSequence(kExpected,
                   Log(headless::kBox | headless::kList | headless::kEnable | headless::kCheck | headless::kSend));
    EXPECT_EQ(desk.Check(IDC_REC), 0);
    EXPECT_EQ(desk.Lines(), Sequence(std::begin(kSteps), std::end(kSteps)));
    EXPECT_EQ(desk.Selection(), 1);
}

TEST_F(Playback, RecOffUnlocksTheGroup)
{
    StartRecording();
    desk.Click(IDC_REC);
    // REC off.
    static const Sequence kExpected = LockGroup("1");
    ExpectSequence(kExpected, Log(headless::kBox | headless::kList | headless::kEnable | headless::kSend));
    EXPECT_EQ(desk.Check(IDC_REC), 0);
}

TEST_F(Playback, EachStepEndAppendsTheReportedPoseAfterThePreviousStep)
{
    StartRecording();
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    StepEnd();
    Report("WMRP_D|X-100Y0Z50P0R0G9");
    StepEnd();
    // Two recorded moves.
    static const Sequence kExpected = {"list insert 1 10,20,30,-45,10,50,200", "list select 1",
                                       "list insert 2 -10,0,5,0,0,0,200", "list select 2"};
    ExpectSequence(kExpected, Log(kPlayLog));

    // After a line the operator selects.
    desk.SelectLine(0);
    Report("WMRP_D|X70Y0Z0P0R0G0");
    Flush();
    StepEnd();
    static const Sequence kAfterFirst = {"list insert 1 7,0,0,0,0,0,200", "list select 1"};
    ExpectSequence(kAfterFirst, Log(kPlayLog));
    EXPECT_EQ(desk.Lines().size(), 4u);
}

TEST_F(Playback, ForwardPlaysEachLineAndEndsAfterTheLast)
{
    FillSteps();
    desk.SelectLine(0);
    desk.Click(IDC_RUN);
    StepEnd();
    StepEnd();
    EXPECT_EQ(desk.Check(IDC_RUN), 1);
    StepEnd();  // past the last line
    StepEnd();  // not playing any more

    // Line 0 by RUN, then one line a step end.
    static const Sequence kExpected = {Target(10), "list select 1", Target(20), "list select 2", Target(30)};
    ExpectSequence(kExpected, Log(kPlayLog));
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    EXPECT_EQ(desk.Text(IDC_X_SET), "30");
}

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
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
}

TEST_F(Playback, StepEndAtEitherEndSendsNothing)
{
    struct Row {
        bool backward;
        int line;
    };
    for (const Row row : {Row{false, 2}, Row{true, 0}}) {
        SCOPED_TRACE(row.backward ? "backward from line 0" : "forward from the last line");
        TearDown();
        SetUp();
        FillSteps(row.line);
        if (row.backward)
            desk.Click(IDC_BACKWARD);
        desk.SelectLine(row.line);
        desk.Click(IDC_RUN);
        Flush();
        StepEnd();
        EXPECT_TRUE(Log(kPlayLog).empty());
        EXPECT_EQ(desk.Check(IDC_RUN), 0);
        EXPECT_EQ(desk.Selection(), row.line);
    }
}

TEST_F(Playback, RunOnAnEmptyListSendsNothingAndTheFirstStepEndClearsIt)
{
    desk.Click(IDC_RUN);
    EXPECT_EQ(desk.Check(IDC_RUN), 1);
    StepEnd();  // no line to play
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    EXPECT_TRUE(Log(kPlayLog).empty());
}

TEST_F(Playback, StepEndWithNothingSelectedGoesOnAtZeroForwardAndEndsBackward)
{
    FillStepsNoneSelected();
    desk.Click(IDC_RUN);
    StepEnd();
    // RUN sends what the edits hold; then line 0.
    static const Sequence kForward = {Target(40), "list select 0", Target(10)};
    ExpectSequence(kForward, Log(kPlayLog));

    TearDown();
    SetUp();
    desk.Click(IDC_BACKWARD);
    FillStepsNoneSelected();
    desk.Click(IDC_RUN);
    StepEnd();
    static const Sequence kBackward = {Target(40)};
    ExpectSequence(kBackward, Log(kPlayLog));
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
}

// A check box's field follows its box at the click: unchecking RUN ends the
// playback at once, with a box being typed in too, and no later write checks
// RUN again; switching REC off ends the recording at once.
TEST_F(Playback, UncheckingRunOrRecEndsItAtOnce)
{
    FillSteps();
    desk.Click(IDC_RUN);
    desk.Click(IDC_RUN);  // the operator stops
    StepEnd();
    desk.Type(IDC_SPEED, "");  // a read stops here, before the check boxes
    StepEnd();
    StepEnd();
    // Line 0 by RUN, and nothing after the uncheck.
    static const Sequence kPlayed = {Target(10)};
    ExpectSequence(kPlayed, Log(kPlayLog));

    // Writes after it: a click on a line, On Top, an ONLINE notice.
    desk.SelectLine(1);
    desk.Click(IDC_ON_TOP);
    desk.Notice("USERSTATUS ONLINE");
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    Flush();
    StepEnd();
    EXPECT_TRUE(Log(kPlayLog).empty());

    // REC off: the step end after it adds no step.
    desk.Type(IDC_SPEED, "100");
    StartRecording();
    desk.Click(IDC_REC);
    Flush();
    StepEnd();
    EXPECT_TRUE(Log(kPlayLog).empty());
    EXPECT_EQ(desk.Lines().size(), 1u);
}

// RUN plays the highlighted step, loaded into the Set values as a click on it
// loads it, whatever the edits showed; playback goes on from it.
TEST_F(Playback, RunLoadsAndPlaysTheHighlightedStep)
{
    struct Row {
        const char* name;
        std::function<void()> highlight;
        const char* shown;  // the X edit after RUN
        Sequence played;
    };
    const Row rows[] = {
        {"after LOAD, with 77 typed",
         [&] { desk.Type(IDC_X_SET, "77"); },
         "10",
         {Target(10), "list select 1", Target(20), "list select 2", Target(30)}},
        {"after Backward on",
         [&] { desk.Click(IDC_BACKWARD); },
         "30",
         {Target(30), "list select 1", Target(20), "list select 0", Target(10)}},
        {"after DEL of the highlighted step",
         [&] {
             desk.SelectLine(1);
             desk.Click(IDC_DEL);
         },
         "30",
         {Target(30)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartOver();
        OpenOperating();
        LoadSteps(Sequence(std::begin(kSteps), std::end(kSteps)));
        row.highlight();
        Flush();
        desk.Click(IDC_RUN);
        EXPECT_EQ(desk.Text(IDC_X_SET), row.shown);
        StepEnd();
        StepEnd();
        StepEnd();
        ExpectSequence(row.played, Log(kPlayLog));
        EXPECT_EQ(desk.Check(IDC_RUN), 0);
    }
}

// REC reads the form before anything else: a box that holds no number starts
// nothing and changes nothing, and takes the focus with a beep.
TEST_F(Playback, RecWithAFormThatCannotBeReadChangesNothing)
{
    FillSteps(1);
    desk.Type(IDC_SPEED, "");
    Flush();
    desk.Click(IDC_REC);
    static const Sequence kExpected = {"check IDC_REC 1", "focus IDC_SPEED", "beep", "check IDC_REC 0"};
    ExpectSequence(kExpected,
                   Log(headless::kBox | headless::kList | headless::kEnable | headless::kCheck | headless::kFocus |
                       headless::kBeep | headless::kSend));
    EXPECT_EQ(desk.Lines(), Sequence(std::begin(kSteps), std::end(kSteps)));
    EXPECT_EQ(desk.Selection(), 1);
    EXPECT_EQ(desk.Check(IDC_REC), 0);
    EXPECT_EQ(desk.Focus(), desk.Item(IDC_SPEED));
    for (int id : {IDC_STEP, IDC_RUN, IDC_LOAD, IDC_SAVE, IDC_ADD, IDC_DEL, IDC_CHG, IDC_MOVE_XYZ})
        EXPECT_TRUE(desk.Enabled(id)) << testsupport::ControlName(id);
    // Nothing records.
    Flush();
    StepEnd();
    EXPECT_TRUE(Log(kPlayLog).empty());
}

// While recording every step end appends one step: the reported pose, with the
// last speed and note that could be read; a speed whose step could not be
// played takes the step before's.
TEST_F(Playback, RecordingAppendsOneStepForEveryStepEnd)
{
    desk.Type(IDC_SPEED, "150");
    desk.Type(IDC_NOTE, "cup");
    StartRecording();
    desk.Type(IDC_SPEED, "");  // cleared, to be typed again
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    StepEnd();
    desk.Type(IDC_NOTE, "jar");
    desk.Type(IDC_SPEED, "-");  // the read stops here
    Report("WMRP_D|X-100Y0Z50P0R0G9");
    StepEnd();
    desk.Type(IDC_SPEED, "1e10");
    Report("WMRP_D|X70Y0Z0P0R0G0");
    StepEnd();
    static const Sequence kExpected = {"list insert 1 10,20,30,-45,10,50,150:cup", "list select 1",
                                       "list insert 2 -10,0,5,0,0,0,150:jar",      "list select 2",
                                       "list insert 3 7,0,0,0,0,0,150:jar",        "list select 3"};
    ExpectSequence(kExpected, Log(kPlayLog));
}

// A step whose target cannot be sent (its tenths leave the wire's range) is
// refused by ADD and CHG, kept by LOAD, and ends a playback that reaches it:
// nothing is sent, RUN is unchecked, and the box comes once the report has been
// handled, never inside Skype's send.
TEST_F(Playback, StepThatCannotBeSentIsRefusedAndEndsPlayback)
{
    const std::string kNotAdded = "The step is out of range and was not added.";
    const std::string kNotChanged = "The step is out of range and was not changed.";
    const std::string kNotSent = "The target is out of range and was not sent.";
    const std::string kNotSentBox = "box Orvanta | " + kNotSent + " | information ok -> IDOK";
    const std::string kFar = "300000000,0,0,-90,0,0,100";

    FillSteps();
    desk.Type(IDC_X_SET, "300000000");
    desk.ExpectBox(kNotAdded);
    desk.Click(IDC_ADD);
    desk.ExpectBox(kNotChanged);
    desk.Click(IDC_CHG);
    desk.Type(IDC_X_SET, "214748365");  // the first whole millimetre too far
    desk.ExpectBox(kNotAdded);
    desk.Click(IDC_ADD);
    EXPECT_EQ(desk.Lines(), Sequence(std::begin(kSteps), std::end(kSteps)));

    // The play log, and the status line that the report's handling writes last.
    auto played = [&] {
        Sequence out;
        for (const std::string& e : Log(kPlayLog | headless::kCheck | headless::kText))
            if (e.rfind("text ", 0) != 0 || e.rfind("text IDC_STATUS ", 0) == 0)
                out.push_back(e);
        return out;
    };
    LoadSteps({kSteps[0], kFar, kSteps[2]});
    EXPECT_EQ(desk.Lines(), (Sequence{kSteps[0], kFar, kSteps[2]}));
    desk.Click(IDC_RUN);
    Flush();
    desk.ExpectBox(kNotSent);
    StepEnd();
    static const Sequence kEnded = {"list select 1", "text IDC_STATUS Searching Robot ......", "check IDC_RUN 0",
                                    "text IDC_STATUS Link to Robot OK!", kNotSentBox};
    ExpectSequence(kEnded, played());
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    Flush();
    StepEnd();
    EXPECT_TRUE(Log(kPlayLog).empty());

    // RUN on that line: the box at once, nothing sent.
    Flush();
    desk.ExpectBox(kNotSent);
    desk.Click(IDC_RUN);
    ExpectSequence(Sequence{kNotSentBox}, Log(kPlayLog));
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
}

TEST_F(Playback, UncheckingRunWithAPullBetweenStopsAtOnce)
{
    FillSteps();
    desk.SelectLine(0);
    desk.Click(IDC_RUN);
    desk.Click(IDC_RUN);
    Report("WMRP_D|X1Y1Z1P1R1G1");  // its pull takes the unchecked box
    Flush();
    StepEnd();
    EXPECT_TRUE(Log(kPlayLog).empty());
}

// A line whose numbers do not fit is never written.
TEST_F(Playback, StepThatCannotBeReadBackIsNotWritten)
{
    const std::string kNotAdded = "The step is out of range and was not added.";
    const std::string kNotChanged = "The step is out of range and was not changed.";
    struct Row {
        int button;
        int edit;
        const char* text;
        std::string box;
        Sequence log;
    };
    const Row rows[] = {
        {IDC_ADD, IDC_X_SET, "3000000000", kNotAdded, {"box Orvanta | " + kNotAdded + " | information ok -> IDOK"}},
        {IDC_ADD, IDC_SPEED, "-2147483648.6", kNotAdded, {"box Orvanta | " + kNotAdded + " | information ok -> IDOK"}},
        {IDC_CHG, IDC_HAND_SET, "1e10", kNotChanged, {"box Orvanta | " + kNotChanged + " | information ok -> IDOK"}},
        // The largest whole numbers that fit: X goes out in tenths, the speed as it is.
        {IDC_ADD, IDC_X_SET, "214748364", "", {"list insert 1 214748364,0,0,-90,0,0,200", "list select 1"}},
        {IDC_ADD, IDC_SPEED, "2147483647", "", {"list insert 1 0,0,0,-90,0,0,2147483647", "list select 1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(testsupport::ControlName(row.button)) + " " + row.text);
        StartOver();
        OpenOperating();
        LoadSteps(Sequence(std::begin(kSteps), std::end(kSteps)));
        desk.Type(row.edit, row.text);
        Flush();
        if (!row.box.empty())
            desk.ExpectBox(row.box);
        desk.Click(row.button);
        ExpectSequence(row.log, Log(kPlayLog));
    }
}

TEST_F(Playback, BackwardSelectsTheLastLineOnAndLineZeroOffWithoutLoading)
{
    FillSteps(1);
    desk.Click(IDC_BACKWARD);
    EXPECT_EQ(desk.Selection(), 2);
    desk.Click(IDC_BACKWARD);
    EXPECT_EQ(desk.Selection(), 0);
    // On, then off.
    static const Sequence kExpected = {"list select 2", "list select 0"};
    ExpectSequence(kExpected, Log(kPlayLog));
    ExpectSequence(Sequence{}, Shown(IDC_X_SET));
    EXPECT_EQ(desk.Check(IDC_BACKWARD), 0);
}

TEST_F(Playback, BackwardOnAnEmptyListSelectsNothing)
{
    desk.Click(IDC_BACKWARD);
    static const Sequence kExpected = {"list select -1"};
    ExpectSequence(kExpected, Log(kPlayLog));
    EXPECT_EQ(desk.Selection(), -1);
    EXPECT_EQ(desk.Check(IDC_BACKWARD), 1);
}

TEST_F(Playback, LinkControlsOnDuringRecordingFreeOnlyStepRunAndMoveToXyz)
{
    StartRecording();
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    for (int id : {IDC_STEP, IDC_RUN, IDC_MOVE_XYZ, IDC_REC})
        EXPECT_TRUE(desk.Enabled(id)) << testsupport::ControlName(id);
    for (int id : {IDC_ADD, IDC_DEL, IDC_CHG, IDC_LOAD, IDC_SAVE})
        EXPECT_FALSE(desk.Enabled(id)) << testsupport::ControlName(id);
}

TEST_F(Playback, LinkControlsOffDuringRecordingKeepRecOnUntilTheyComeBack)
{
    StartRecording();
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    Flush();
    desk.Click(IDC_REC);  // disabled: no click
    EXPECT_TRUE(Log(headless::kEnable | headless::kCheck | headless::kBox).empty());
    EXPECT_EQ(desk.Check(IDC_REC), 1);

    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    Flush();
    desk.Click(IDC_REC);
    static const Sequence kExpected = Sequence{"check IDC_REC 0"} + LockGroup("1");
    ExpectSequence(kExpected, Log(headless::kEnable | headless::kCheck | headless::kBox));
    EXPECT_TRUE(desk.Enabled(IDC_ADD));
}

// A step the robot cannot reach ends no step: the playback waits there. A move
// of the operator's own then takes over, and its step end plays nothing.
TEST_F(Playback, OperatorsOwnMoveEndsAStalledPlayback)
{
    const char kHome[] = "This command will let robot move to its home position\n\nAre you sure to continue?.";
    const char kSetHome[] =
        "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.";
    struct Move {
        const char* name;
        std::function<void(SkypeDesktop&)> act;
        std::string sent;
    };
    const Move moves[] = {
        {"Move To XYZ", [](SkypeDesktop& d) { d.Click(IDC_MOVE_XYZ); }, Target(10)},
        {"STEP", [](SkypeDesktop& d) { d.Click(IDC_STEP); }, Target(10)},
        {"jog", [](SkypeDesktop& d) { d.Press(IDC_BASE_PLUS); }, Datagram("WMCA_BSTARTM|1001")},
        {"Calibrate",
         [&](SkypeDesktop& d) {
             d.ExpectBox(kSetHome, IDYES);
             d.Click(IDC_CALIBRATE);
         },
         Datagram("WMCA_BSHP|")},
        {"Goto Home",
         [&](SkypeDesktop& d) {
             d.ExpectBox(kHome, IDYES);
             d.Click(IDC_GOTO_HOME);
         },
         Datagram("WMCA_BMTH|")},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.name);
        TearDown();
        SetUp();
        FillSteps();
        desk.Click(IDC_RUN);
        Report("WMRD_U*Target out of reach");
        Flush();
        move.act(desk);
        EXPECT_EQ(desk.Check(IDC_RUN), 0);
        StepEnd();  // the operator's move arrived
        EXPECT_EQ(Sent(), Sequence{move.sent});
        EXPECT_EQ(desk.Selection(), 0);
    }
}

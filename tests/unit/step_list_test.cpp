// The step list: its steps as values, ADD, DEL and CHG, and a line the operator
// selects loading into the Set values.
#include "PanelFixture.h"
#include "StepList.h"

namespace {

TEST(StepListValues, EditsOutsideTheListChangeNothing)
{
    StepList steps;
    steps.Insert(0, "2,2,2,2,2,2,2");
    steps.Insert(0, "1,1,1,1,1,1,1");
    steps.Insert(2, "3,3,3,3,3,3,3");
    steps.Insert(4, "past the end");
    steps.Insert(-1, "before the start");
    steps.Erase(3);
    steps.Erase(-1);
    steps.Replace(3, "past the end");
    steps.Replace(-1, "before the start");
    EXPECT_EQ(steps.Lines(), (std::vector<std::string>{"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}));
    steps.Replace(1, "9,9,9,9,9,9,9:x");
    steps.Erase(0);
    steps.Append("4,4,4,4,4,4,4");
    EXPECT_EQ(steps.Lines(), (std::vector<std::string>{"9,9,9,9,9,9,9:x", "3,3,3,3,3,3,3", "4,4,4,4,4,4,4"}));
    steps.Clear();
    EXPECT_EQ(steps.Count(), 0);
}

// Changed by every edit that does something, from start-up; Unchanged (a SAVE
// or a LOAD) clears it.
TEST(StepListValues, ChangedByEachEditThatDoesSomething)
{
    struct Row {
        const char* edit;
        void (*apply)(StepList&);
        bool changes;
    };
    static const Row kRows[] = {
        {"insert", [](StepList& s) { s.Insert(1, "9,9,9,9,9,9,9"); }, true},
        {"insert past the end", [](StepList& s) { s.Insert(3, "9,9,9,9,9,9,9"); }, false},
        {"erase", [](StepList& s) { s.Erase(0); }, true},
        {"erase of no line", [](StepList& s) { s.Erase(-1); }, false},
        {"replace", [](StepList& s) { s.Replace(1, "9,9,9,9,9,9,9"); }, true},
        {"replace of no line", [](StepList& s) { s.Replace(2, "9,9,9,9,9,9,9"); }, false},
        {"append", [](StepList& s) { s.Append("9,9,9,9,9,9,9"); }, true},
        {"clear", [](StepList& s) { s.Clear(); }, true},
    };
    StepList fresh;
    EXPECT_FALSE(fresh.Changed());
    fresh.Clear();  // an empty list cleared is the same list
    EXPECT_FALSE(fresh.Changed());
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.edit);
        StepList steps;
        steps.Append("1,1,1,1,1,1,1");
        steps.Append("2,2,2,2,2,2,2");
        EXPECT_TRUE(steps.Changed());
        steps.Unchanged();
        EXPECT_FALSE(steps.Changed());
        row.apply(steps);
        EXPECT_EQ(steps.Changed(), row.changes);
    }
}

// A line that does not read is no step: selecting it loads nothing, and
// playback ends on it.
TEST(StepListValues, StepIsWhatItsLineReadsAs)
{
    StepList steps;
    for (const char* line : {"10,20,30,-90,0,25,200:grip", "1,2,3,4,5,6", "1,2,3,4,5,6,7:   ", "1,2,3,4,5,6,7 :grip",
                             "", "garbage", "3000000000,0,0,-90,0,0,100"})
        steps.Append(line);
    std::optional<StepLine> first = steps.Step(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->values[2], 30);
    EXPECT_EQ(first->note, "grip");
    for (int i = 1; i < steps.Count(); ++i)
        EXPECT_FALSE(steps.Step(i)) << steps.Lines()[size_t(i)];
    EXPECT_FALSE(steps.Step(-1));
    EXPECT_FALSE(steps.Step(steps.Count()));
}

class StepsView : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenPanel();
    }
    // The three steps, line `selected` chosen by the operator (its values loaded).
    void Fill(int selected)
    {
        LoadSteps(kThree);
        desk.SelectLine(selected);
        Flush();
    }
    void TypeStep(const Sequence& texts)
    {
        static const int kEdits[] = {IDC_X_SET,    IDC_Y_SET,    IDC_Z_SET, IDC_PITCH_SET,
                                     IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED, IDC_NOTE};
        for (size_t i = 0; i < texts.size(); ++i)
            desk.Type(kEdits[i], texts[i]);
    }
    // What the Set fields hold: On Top pushes them without a pull.
    Sequence Stored()
    {
        desk.Click(IDC_ON_TOP);
        return Set();
    }
    Sequence Set() const
    {
        return {desk.Text(IDC_X_SET),    desk.Text(IDC_Y_SET),    desk.Text(IDC_Z_SET), desk.Text(IDC_PITCH_SET),
                desk.Text(IDC_ROLL_SET), desk.Text(IDC_HAND_SET), desk.Text(IDC_SPEED), desk.Text(IDC_NOTE)};
    }

    static inline const Sequence kThree = {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"};
};

}  // namespace

TEST_F(StepsView, AddInsertsAfterTheSelectionAndSelectsTheNewLine)
{
    struct Row {
        int selected;
        Sequence log;
        Sequence lines;
    };
    const Row rows[] = {
        {0,
         {"list insert 1 13,-3,100,-90,0,26,150:grip", "list select 1"},
         {"1,1,1,1,1,1,1", "13,-3,100,-90,0,26,150:grip", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}},
        {2,
         {"list insert 3 13,-3,100,-90,0,26,150:grip", "list select 3"},
         {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3", "13,-3,100,-90,0,26,150:grip"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        TearDown();
        SetUp();
        Fill(row.selected);
        // The line is made from what the edits show: ADD pulls first.
        TypeStep({"12.7", "-3.2", "100", "-90", "0", "25.9", "150", "grip"});
        desk.Click(IDC_ADD);
        ExpectSequence(row.log, Log(headless::kList));
        ExpectSequence(row.lines, desk.Lines());
        EXPECT_EQ(desk.Selection(), row.selected + 1);
        // No push.
        EXPECT_TRUE(Log(headless::kText).empty());
    }
}

// A note of white space only is no note: written with a ":", the line would
// not read back, so selecting it or loading it would lose the step.
TEST_F(StepsView, NoteOfBlanksOnlyIsWrittenAsNoNote)
{
    for (const char* note : {" ", "  \t "}) {
        SCOPED_TRACE(std::string("\"") + note + "\"");
        TearDown();
        SetUp();
        desk.Type(IDC_NOTE, note);
        desk.Click(IDC_ADD);
        desk.Type(IDC_X_SET, "5");
        desk.Click(IDC_CHG);
        desk.Type(IDC_X_SET, "9");
        desk.Click(IDC_ADD);
        // ADD on an empty list, CHG of that line, ADD after it.
        static const Sequence kExpected = {"list insert 0 0,0,0,-90,0,0,200",
                                           "list select 0",
                                           "list delete 0",
                                           "list insert 0 5,0,0,-90,0,0,200",
                                           "list select 0",
                                           "list insert 1 9,0,0,-90,0,0,200",
                                           "list select 1"};
        ExpectSequence(kExpected, Log(headless::kList));
        // The line reads back: selecting it loads it.
        desk.SelectLine(0);
        EXPECT_EQ(desk.Text(IDC_X_SET), "5");
    }
}

// Neither pull nor push: the fields keep the selected line's values.
TEST_F(StepsView, DelTakesTheSelectedLineAndSelectsTheSamePositionAgain)
{
    struct Row {
        int selected;
        Sequence log;
        Sequence lines;
        int after;
    };
    const Row rows[] = {
        {0, {"list delete 0", "list select 0"}, {"2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}, 0},
        {1, {"list delete 1", "list select 1"}, {"1,1,1,1,1,1,1", "3,3,3,3,3,3,3"}, 1},
        {2, {"list delete 2", "list select 2"}, {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        TearDown();
        SetUp();
        Fill(row.selected);
        desk.Type(IDC_X_SET, "55");
        desk.Click(IDC_DEL);
        ExpectSequence(row.log, Log(headless::kList));
        ExpectSequence(row.lines, desk.Lines());
        EXPECT_EQ(desk.Selection(), row.after);
        EXPECT_TRUE(Log(headless::kText).empty());
        EXPECT_EQ(Stored()[0], std::to_string(row.selected + 1));
    }
    // With nothing selected, DEL takes no line.
    Flush();
    desk.Click(IDC_DEL);
    ExpectSequence(Sequence{"list select -1"}, Log(headless::kList));
    EXPECT_EQ(desk.Lines().size(), 2u);
}

TEST_F(StepsView, ChgReplacesTheSelectedLineInPlace)
{
    Fill(1);
    desk.Type(IDC_X_SET, "9");
    desk.Type(IDC_NOTE, "new");
    desk.Click(IDC_CHG);
    // The selected line, rewritten from the edits.
    static const Sequence kExpected = {"list delete 1", "list insert 1 9,2,2,2,2,2,2:new", "list select 1"};
    ExpectSequence(kExpected, Log(headless::kList));
    static const Sequence kLines = {"1,1,1,1,1,1,1", "9,2,2,2,2,2,2:new", "3,3,3,3,3,3,3"};
    ExpectSequence(kLines, desk.Lines());
    EXPECT_TRUE(Log(headless::kText).empty());
}

TEST_F(StepsView, ChgWithNothingSelectedChangesNoLineButStillPulls)
{
    Fill(2);
    desk.Click(IDC_DEL);  // the last line: nothing is selected after it
    Flush();
    desk.Type(IDC_X_SET, "9");
    desk.Click(IDC_CHG);
    EXPECT_TRUE(Log(headless::kList).empty());
    ExpectSequence(Sequence(kThree.begin(), kThree.begin() + 2), desk.Lines());
    EXPECT_EQ(Stored()[0], "9");
}

TEST_F(StepsView, SelectingALineLoadsItsValuesAndNote)
{
    struct Row {
        std::string line;
        Sequence shown;
    };
    const Row rows[] = {
        {"10,20,30,-90,0,25,200:grip", {"10", "20", "30", "-90", "0", "25", "200", "grip"}},
        // No ":": the note stays as it was.
        {"10,20,30,-90,0,25,200", {"10", "20", "30", "-90", "0", "25", "200", "old"}},
        {"1,2,3,4,5,6,7:" + std::string(60, 'n'), {"1", "2", "3", "4", "5", "6", "7", std::string(51, 'n')}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TearDown();
        SetUp();
        LoadSteps({"9,9,9,9,9,9,9:old", row.line});
        desk.SelectLine(0);
        desk.SelectLine(1);
        ExpectSequence(row.shown, Set());
        EXPECT_EQ(desk.Selection(), 1);
        EXPECT_TRUE(Log(headless::kList | headless::kSend).empty());
    }
}

TEST_F(StepsView, SelectionsTheProgramMakesLoadNothing)
{
    LoadSteps({"10,20,30,-90,0,25,200:grip", "20,20,30,-90,0,25,200:grip"});
    desk.Click(IDC_ADD);  // selects the line it adds
    desk.Click(IDC_DEL);  // selects the line that moves up
    EXPECT_EQ(desk.Selection(), 1);
    EXPECT_EQ(desk.Lines()[1], "20,20,30,-90,0,25,200:grip");
    EXPECT_EQ(Stored(), (Sequence{"0", "0", "0", "-90", "0", "0", "200", ""}));
}

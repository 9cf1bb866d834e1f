// The step list: ADD, DEL and CHG, and a line the operator selects loading
// into the Set values.
#include "PanelFixture.h"

namespace {

class StepList : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenPanel();
    }
    void Fill(std::initializer_list<const char*> lines, int selected = -1)
    {
        for (const char* line : lines)
            panel->m_listSteps.AddString(line);
        panel->m_listSteps.SetCurSel(selected);
        Flush();
    }
    Sequence Set() const
    {
        return {desk.Text(IDC_X_SET), desk.Text(IDC_Y_SET), desk.Text(IDC_Z_SET), desk.Text(IDC_PITCH_SET),
                desk.Text(IDC_ROLL_SET), desk.Text(IDC_HAND_SET), desk.Text(IDC_SPEED), desk.Text(IDC_NOTE)};
    }
};

const Sequence kThree = {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"};

} // namespace

TEST_F(StepList, AddInsertsAfterTheSelectionAndSelectsTheNewLine)
{
    struct Row { int selected; Sequence log; Sequence lines; };
    const Row rows[] = {
        {-1, {"list insert 0 13,-3,100,-90,0,26,150:grip", "list select 0"},
         {"13,-3,100,-90,0,26,150:grip", "1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}},
        {0, {"list insert 1 13,-3,100,-90,0,26,150:grip", "list select 1"},
         {"1,1,1,1,1,1,1", "13,-3,100,-90,0,26,150:grip", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}},
        {2, {"list insert 3 13,-3,100,-90,0,26,150:grip", "list select 3"},
         {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3", "13,-3,100,-90,0,26,150:grip"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        TearDown();
        SetUp();
        Fill({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}, row.selected);
        // The line is made from what the edits show: ADD pulls first.
        desk.Type(IDC_X_SET, "12.7");
        desk.Type(IDC_Y_SET, "-3.2");
        desk.Type(IDC_Z_SET, "100");
        desk.Type(IDC_HAND_SET, "25.9");
        desk.Type(IDC_SPEED, "150");
        desk.Type(IDC_NOTE, "grip");
        desk.Click(IDC_ADD);
        EXPECT_SEQUENCE(row.log, Log(headless::kList));
        EXPECT_SEQUENCE(row.lines, desk.Lines());
        EXPECT_EQ(desk.Selection(), row.selected + 1);
        // No push.
        EXPECT_TRUE(Log(headless::kText).empty());
    }
}

// A note of white space only is no note: written with a ":", the line would
// not read back, so selecting it or loading it would lose the step.
TEST_F(StepList, NoteOfBlanksOnlyIsWrittenAsNoNote)
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
        static const Sequence kExpected = {"list insert 0 0,0,0,-90,0,0,200", "list select 0",
                                           "list delete 0",  "list insert 0 5,0,0,-90,0,0,200", "list select 0",
                                           "list insert 1 9,0,0,-90,0,0,200", "list select 1"};
        EXPECT_SEQUENCE(kExpected, Log(headless::kList));
        // The line reads back: selecting it loads it.
        desk.SelectLine(0);
        EXPECT_EQ(desk.Text(IDC_X_SET), "5");
    }
}

TEST_F(StepList, DelTakesTheSelectedLineAndSelectsTheSamePositionAgain)
{
    struct Row { int selected; Sequence log; Sequence lines; int after; };
    const Row rows[] = {
        {0, {"list delete 0", "list select 0"}, {"2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}, 0},
        {1, {"list delete 1", "list select 1"}, {"1,1,1,1,1,1,1", "3,3,3,3,3,3,3"}, 1},
        {2, {"list delete 2", "list select 2"}, {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"}, -1},
        {-1, {"list select -1"}, kThree, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        TearDown();
        SetUp();
        Fill({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}, row.selected);
        desk.Type(IDC_X_SET, "55");
        desk.Click(IDC_DEL);
        EXPECT_SEQUENCE(row.log, Log(headless::kList));
        EXPECT_SEQUENCE(row.lines, desk.Lines());
        EXPECT_EQ(desk.Selection(), row.after);
        // Neither pull nor push.
        EXPECT_DOUBLE_EQ(panel->m_dXSet, 0.0);
        EXPECT_TRUE(Log(headless::kText).empty());
    }
}

TEST_F(StepList, ChgReplacesTheSelectedLineInPlace)
{
    Fill({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"}, 1);
    desk.Type(IDC_X_SET, "9");
    desk.Type(IDC_NOTE, "new");
    desk.Click(IDC_CHG);
    // The selected line, rewritten from the edits.
    static const Sequence kExpected = {"list delete 1", "list insert 1 9,0,0,-90,0,0,200:new", "list select 1"};
    EXPECT_SEQUENCE(kExpected, Log(headless::kList));
    static const Sequence kLines = {"1,1,1,1,1,1,1", "9,0,0,-90,0,0,200:new", "3,3,3,3,3,3,3"};
    EXPECT_SEQUENCE(kLines, desk.Lines());
    EXPECT_TRUE(Log(headless::kText).empty());
}

TEST_F(StepList, ChgWithNothingSelectedChangesNoLineButStillPulls)
{
    Fill({"1,1,1,1,1,1,1"});
    desk.Type(IDC_X_SET, "9");
    desk.Click(IDC_CHG);
    EXPECT_TRUE(Log(headless::kList).empty());
    EXPECT_SEQUENCE(Sequence{"1,1,1,1,1,1,1"}, desk.Lines());
    EXPECT_DOUBLE_EQ(panel->m_dXSet, 9.0);
}

TEST_F(StepList, SelectingALineLoadsItsValuesAndNote)
{
    struct Row { std::string line; Sequence shown; };
    const Row rows[] = {
        {"10,20,30,-90,0,25,200:grip", {"10", "20", "30", "-90", "0", "25", "200", "grip"}},
        // No ":": the note stays as it was.
        {"10,20,30,-90,0,25,200", {"10", "20", "30", "-90", "0", "25", "200", "old"}},
        {"1,2,3,4,5,6,7,8", {"1", "2", "3", "4", "5", "6", "7", "old"}},
        {"-0,0,0,0,0,0,0:a b", {"0", "0", "0", "0", "0", "0", "0", "a"}},
        {"1,2,3,4,5,6,7:" + std::string(60, 'n'), {"1", "2", "3", "4", "5", "6", "7", std::string(51, 'n')}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TearDown();
        SetUp();
        panel->m_strNote = "old";
        panel->PushControls();
        Fill({"9,9,9,9,9,9,9", row.line.c_str()});
        desk.SelectLine(1);
        EXPECT_SEQUENCE(row.shown, Set());
        EXPECT_EQ(desk.Selection(), 1);
        EXPECT_TRUE(Log(headless::kList | headless::kSend).empty());
    }
}

// Not accepted: no field changes, yet the controls are pushed, which shows the
// fields again in place of anything typed and not yet taken.
TEST_F(StepList, SelectingALineThatDoesNotReadStillPushes)
{
    for (const char* line : {"1,2,3,4,5,6", "1,2,3,4,5,6,7:   ", "1,2,3,4,5,6,7 :grip", "", "garbage"}) {
        SCOPED_TRACE(line);
        TearDown();
        SetUp();
        Fill({line});
        desk.Type(IDC_X_SET, "55");
        desk.Type(IDC_NOTE, "typed");
        desk.SelectLine(0);
        static const Sequence kShown = {"text IDC_X_SET 0"};
        EXPECT_SEQUENCE(kShown, Shown(IDC_X_SET));
        EXPECT_DOUBLE_EQ(panel->m_dXSet, 0.0);
        EXPECT_EQ(desk.Text(IDC_NOTE), "");
    }
}

TEST_F(StepList, SelectionsTheProgramMakesLoadNothing)
{
    Fill({"10,20,30,-90,0,25,200:grip"});
    desk.Click(IDC_ADD);  // selects the line it adds
    desk.Click(IDC_DEL);  // selects the line that moves up
    EXPECT_EQ(desk.Selection(), 0);
    EXPECT_EQ(desk.Lines()[0], "10,20,30,-90,0,25,200:grip");
    EXPECT_DOUBLE_EQ(panel->m_dXSet, 0.0);
    EXPECT_EQ(panel->m_strNote.str(), "");
}

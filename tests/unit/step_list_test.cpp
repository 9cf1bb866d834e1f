// The step list: its steps as values, and the list box's wiring on the panel
// (the session's tests state what ADD, DEL, CHG and a chosen line do).
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
};

}  // namespace

// A line clicked loads into the boxes; ADD, DEL and CHG reach the session and
// edit the list box line for line.
TEST_F(StepsView, ButtonsAndALineClickEditTheListBox)
{
    LoadSteps({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2:two", "3,3,3,3,3,3,3"});
    desk.SelectLine(1);
    EXPECT_EQ(desk.Text(IDC_X_SET), "2");
    EXPECT_EQ(desk.Text(IDC_NOTE), "two");
    desk.Type(IDC_X_SET, "9");
    Flush();
    desk.Click(IDC_CHG);
    desk.Click(IDC_ADD);
    desk.Click(IDC_DEL);
    static const Sequence kExpected = {"list delete 1", "list insert 1 9,2,2,2,2,2,2:two",
                                       "list select 1", "list insert 2 9,2,2,2,2,2,2:two",
                                       "list select 2", "list delete 2",
                                       "list select 2"};
    ExpectSequence(kExpected, Log(headless::kList));
    static const Sequence kLines = {"1,1,1,1,1,1,1", "9,2,2,2,2,2,2:two", "3,3,3,3,3,3,3"};
    ExpectSequence(kLines, desk.Lines());
    EXPECT_EQ(desk.Selection(), 2);
    EXPECT_TRUE(Log(headless::kText).empty());
}

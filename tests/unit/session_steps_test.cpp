// The step list over the session: ADD, DEL and CHG around the highlighted
// line, and a line the operator chooses loading into the Set values.
#include "SessionFixture.h"

namespace {

const char kRead[] = "read set+note+speed asked -> ok";
const Sequence kThree = {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2", "3,3,3,3,3,3,3"};

class SessionSteps : public SessionTest {
protected:
    // The three steps, line `selected` chosen by the operator (-1: none).
    void Fill(int selected)
    {
        LoadSteps(kThree);
        session->SelectStep(selected);
        Flush();
    }
    void TypeStep(const Sequence& texts)
    {
        static const TypedBox kBoxes[] = {TypedBox::kX,    TypedBox::kY,    TypedBox::kZ,     TypedBox::kPitch,
                                          TypedBox::kRoll, TypedBox::kHand, TypedBox::kSpeed, TypedBox::kNote};
        for (size_t i = 0; i < texts.size(); ++i)
            Type(kBoxes[i], texts[i]);
    }
};

}  // namespace

// ADD inserts after the highlighted line and highlights it; DEL highlights the
// line that moves up, neither reading nor showing the form; CHG rewrites the
// highlighted line from the boxes, and with none highlighted only reads them.
TEST_F(SessionSteps, AddDelAndChgEditAroundTheHighlightedLine)
{
    using S = CRobotSession;
    const std::string one = kThree[0], two = kThree[1], three = kThree[2], typed = "13,-3,100,-90,0,26,150:grip";
    struct Row {
        void (CRobotSession::*edit)();
        int selected;
        Sequence log;
        Sequence lines;
        int after;
        double x;  // the form's X afterwards
    };
    const Row rows[] = {
        {&S::Add, 0, {kRead, "list insert 1 " + typed, "list select 1"}, {one, typed, two, three}, 1, 12.7},
        {&S::Add, 2, {kRead, "list insert 3 " + typed, "list select 3"}, {one, two, three, typed}, 3, 12.7},
        {&S::Del, 0, {"list delete 0", "list select 0"}, {two, three}, 0, 1},
        {&S::Del, 1, {"list delete 1", "list select 1"}, {one, three}, 1, 2},
        {&S::Del, 2, {"list delete 2", "list select 2"}, {one, two}, -1, 3},
        {&S::Del, -1, {"list select -1"}, kThree, -1, 3},
        {&S::Chg, 1, {kRead, "list delete 1", "list insert 1 " + typed, "list select 1"}, {one, typed, three}, 1, 12.7},
        {&S::Chg, -1, {kRead}, kThree, -1, 12.7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        StartOver();
        Fill(row.selected);
        TypeStep({"12.7", "-3.2", "100", "-90", "0", "25.9", "150", "grip"});
        ((*session).*row.edit)();
        ExpectSequence(row.log, view.log);
        ExpectSequence(row.lines, session->Steps().Lines());
        EXPECT_EQ(session->Selected(), row.after);
        EXPECT_EQ(session->Form().set.x, row.x);
    }
}

// A note of white space only is no note: written with a ":", the line would
// not read back, so choosing it or loading it would lose the step.
TEST_F(SessionSteps, NoteOfBlanksOnlyIsWrittenAsNoNote)
{
    for (const char* note : {" ", "  \t "}) {
        SCOPED_TRACE(testing::PrintToString(note));
        StartOver();
        Type(TypedBox::kNote, note);
        session->Add();
        Type(TypedBox::kX, "5");
        session->Chg();
        Type(TypedBox::kX, "9");
        session->Add();
        // The line reads back: choosing it loads it.
        session->SelectStep(0);
        // ADD on an empty list, CHG of that line, ADD after it.
        static const Sequence kExpected = {kRead,
                                           "list insert 0 0,0,0,-90,0,0,200",
                                           "list select 0",
                                           kRead,
                                           "list delete 0",
                                           "list insert 0 5,0,0,-90,0,0,200",
                                           "list select 0",
                                           kRead,
                                           "list insert 1 9,0,0,-90,0,0,200",
                                           "list select 1",
                                           "show news+set+speed set=5,0,0,-90,0,0 speed=200"};
        ExpectSequence(kExpected, view.log);
    }
}

// Only the boxes the step fills are shown: a line with no note leaves the note.
TEST_F(SessionSteps, ChoosingALineShowsItsValuesAndNote)
{
    struct Row {
        std::string line;
        std::string shown;
    };
    const Row rows[] = {
        {"10,20,30,-90,0,25,200:grip", "show news+set+note+speed set=10,20,30,-90,0,25 note=grip speed=200"},
        {"10,20,30,-90,0,25,200", "show news+set+speed set=10,20,30,-90,0,25 speed=200"},
        {"1,2,3,4,5,6,7:" + std::string(60, 'n'),
         "show news+set+note+speed set=1,2,3,4,5,6 note=" + std::string(51, 'n') + " speed=7"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        StartOver();
        LoadSteps({"9,9,9,9,9,9,9:old", row.line});
        session->SelectStep(0);
        Flush();
        session->SelectStep(1);
        ExpectSequence(Sequence{row.shown}, view.log);
        EXPECT_EQ(session->Selected(), 1);
    }
}

// The highlight that ADD and DEL move loads no line into the Set values.
TEST_F(SessionSteps, SelectionsTheProgramMakesLoadNothing)
{
    LoadSteps({"10,20,30,-90,0,25,200:grip", "20,20,30,-90,0,25,200:grip"});
    Type(TypedBox::kX, "5");
    session->Add();
    session->Del();
    // LOAD shows none of its values: the other boxes still hold what they held.
    static const Sequence kExpected = {kRead, "list insert 1 5,0,0,-90,0,0,200", "list select 1", "list delete 1",
                                       "list select 1"};
    ExpectSequence(kExpected, view.log);
    EXPECT_EQ(session->Selected(), 1);
    EXPECT_EQ(session->Form().set.x, 5);
}

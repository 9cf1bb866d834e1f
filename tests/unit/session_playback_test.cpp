// Recording the robot's own moves into steps, and playing the steps back
// forward or backward, one per step-end report: the session's effects.
#include <functional>
#include <iterator>

#include "SessionFixture.h"
#include "resource.h"

namespace {

const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
const char kNotAdded[] = "The step is out of range and was not added.";
const char kNotChanged[] = "The step is out of range and was not changed.";
const char kNotSent[] = "The target is out of range and was not sent.";

std::string InfoBox(const std::string& text) { return "box " + testsupport::Quoted(text) + " | info -> ok"; }

std::string Target(int x, int speed = 100)
{
    return SentDatagram("WMCA_PCD|X" + std::to_string(x * 10) + "Y0Z0P-900R0G0SP" + std::to_string(speed));
}

const char* const kSteps[] = {"10,0,0,-90,0,0,100", "20,0,0,-90,0,0,100", "30,0,0,-90,0,0,100"};
const Sequence kStepLines(std::begin(kSteps), std::end(kSteps));
const std::string kRunEnds = "show run run=0";

class SessionPlayback : public SessionTest {
protected:
    void SetUp() override { Operating(); }
    // A fresh session, for table rows.
    void StartOver()
    {
        SessionTest::StartOver();
        Operating();
    }
    // The three steps, line `selected` chosen by the operator (its values shown).
    void FillSteps(int selected = 0)
    {
        LoadSteps(kStepLines);
        session->SelectStep(selected);
        Flush();
    }
    void StartRecording()
    {
        view.ExpectBox(kRecQuestion, Answer::kYes);
        session->Rec(true);
        Flush();
    }
    // What playback and recording did: sends, list edits, boxes and RUN's end.
    Sequence Played() const
    {
        Sequence out;
        for (const std::string& e : view.log)
            if (e.rfind("send ", 0) == 0 || e.rfind("list ", 0) == 0 || e.rfind("box ", 0) == 0 || e == kRunEnds)
                out.push_back(e);
        return out;
    }
    // Every effect but the link's news, which every datagram shows.
    Sequence Effects() const
    {
        Sequence out;
        for (const std::string& e : view.log)
            if (e != "show news")
                out.push_back(e);
        return out;
    }
};

}  // namespace

// REC reads the form first and asks; Yes makes the current pose the first step
// (with the speed as typed) and locks the group. REC off unlocks it.
TEST_F(SessionPlayback, RecOnYesClearsTheListAndMakesTheCurrentPoseTheFirstStep)
{
    Report("WMRP_D|X1234Y-50Z800P-900R0G255");
    FillSteps(1);
    Type(TypedBox::kSpeed, "150");
    view.ExpectBox(kRecQuestion, Answer::kYes);
    session->Rec(true);
    static const Sequence kExpected = {
        "read set+note+speed asked -> ok",
        "box " + testsupport::Quoted(kRecQuestion) + " | yes-no -> yes",
        "show news+set+note+speed+rec+run+backward set=123.4,-5,80,-90,0,25 note= speed=150 rec=1 run=0 backward=0",
        "list reset",
        "read set+note+speed asked -> ok",
        "list insert 0 123,-5,80,-90,0,25,150",
        "list select 0",
        "enable rec-lock 0",
    };
    ExpectSequence(kExpected, view.log);

    Flush();
    session->Rec(false);
    ExpectSequence(Sequence{"enable rec-lock 1"}, view.log);
    EXPECT_FALSE(session->Form().rec);
}

// No unchecks REC and leaves the list; the robot's reports while the question
// is up record nothing. A form that cannot be read asks nothing.
TEST_F(SessionPlayback, RecOnNoOrAFormThatCannotBeReadChangesNothing)
{
    FillSteps(1);
    view.ExpectBox(kRecQuestion, Answer::kNo, [&] {
        Report("WMRP_D|X70Y0Z0P0R0G0");
        StepEnd();
    });
    session->Rec(true);
    static const Sequence kNo = {
        "read set+note+speed asked -> ok",
        "box " + testsupport::Quoted(kRecQuestion) + " | yes-no -> no",
        "show rec rec=0",
    };
    ExpectSequence(kNo, Effects());

    Flush();
    Type(TypedBox::kSpeed, "");
    session->Rec(true);
    static const Sequence kUnread = {"read set+note+speed asked -> speed", "show rec rec=0"};
    ExpectSequence(kUnread, view.log);
    StepEnd();
    ExpectSequence(Sequence{}, Played());
    EXPECT_EQ(session->Steps().Lines(), kStepLines);
    EXPECT_EQ(session->Selected(), 1);
    EXPECT_FALSE(session->Form().rec);
}

// While recording every step end appends one step after the highlighted line:
// the reported pose, with the last speed and note that could be read (a silent
// read); a speed whose step could not be played takes the step before's.
TEST_F(SessionPlayback, RecordingAppendsOneStepForEveryStepEnd)
{
    Type(TypedBox::kSpeed, "150");
    Type(TypedBox::kNote, "cup");
    StartRecording();
    Type(TypedBox::kSpeed, "");  // cleared, to be typed again
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    StepEnd();
    static const Sequence kFirst = {"show news+set set=10,20,30,-45,10,50", "read note+speed silent -> speed",
                                    "list insert 1 10,20,30,-45,10,50,150:cup", "list select 1"};
    ExpectSequence(kFirst, Effects());

    Flush();
    Type(TypedBox::kNote, "jar");
    Type(TypedBox::kSpeed, "-");
    Report("WMRP_D|X-100Y0Z50P0R0G9");
    StepEnd();
    Type(TypedBox::kSpeed, "1e10");
    Report("WMRP_D|X70Y0Z0P0R0G0");
    StepEnd();
    session->SelectStep(0);
    Report("WMRP_D|X70Y0Z0P0R0G0");
    StepEnd();
    static const Sequence kExpected = {
        "list insert 2 -10,0,5,0,0,0,150:jar", "list select 2", "list insert 3 7,0,0,0,0,0,150:jar", "list select 3",
        "list insert 1 7,0,0,0,0,0,150:cup",   "list select 1",
    };
    ExpectSequence(kExpected, Played());
    EXPECT_EQ(session->Steps().Count(), 5);
}

// RUN loads the highlighted step into the Set values, whatever the boxes held,
// and sends it; each step end plays the next line, and the one after the last
// ends the playback.
TEST_F(SessionPlayback, RunLoadsTheHighlightedStepAndPlaysOneLineAStepEnd)
{
    LoadSteps(kStepLines);
    Type(TypedBox::kX, "77");
    session->Run(true);
    StepEnd();
    StepEnd();
    EXPECT_TRUE(session->Form().run);
    StepEnd();  // past the last line
    StepEnd();  // not playing any more
    static const Sequence kExpected = {
        "read set+note+speed asked -> ok",
        "show news+set+note+speed+rec+run+backward set=10,0,0,-90,0,0 note= speed=100 rec=0 run=1 backward=0",
        Target(10),
        "list select 1",
        "show news+set+speed set=20,0,0,-90,0,0 speed=100",
        Target(20),
        "list select 2",
        "show news+set+speed set=30,0,0,-90,0,0 speed=100",
        Target(30),
        kRunEnds,
    };
    ExpectSequence(kExpected, Effects());
}

// Playback from the line highlighted, however it came to be, in either
// direction; with none highlighted RUN sends the Set values as they are, and
// the next line is line 0 forward and none backward.
TEST_F(SessionPlayback, RunPlaysFromTheHighlightedLineUntilAStepEndFindsNoNextLine)
{
    struct Row {
        bool backward;
        int select;  // -1: none
        int dels;    // DEL's clicks after it
        Sequence played;
    };
    const Row rows[] = {
        {false, 2, 0, {Target(30), kRunEnds}},
        {true, -1, 0, {Target(30), "list select 1", Target(20), "list select 0", Target(10), kRunEnds}},
        {true, 0, 0, {Target(10), kRunEnds}},
        {false, 1, 1, {Target(30), kRunEnds}},
        // None highlighted.
        {false, 2, 1, {Target(30), "list select 0", Target(10), "list select 1", Target(20), kRunEnds}},
        {true, 2, 1, {Target(30), kRunEnds}},
        {false, 0, 3, {kRunEnds}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "backward " << row.backward << ", line " << row.select << ", " << row.dels
                                        << " deleted");
        StartOver();
        LoadSteps(kStepLines);
        if (row.backward)
            session->Backward(true);
        if (row.select >= 0)
            session->SelectStep(row.select);
        for (int i = 0; i < row.dels; ++i)
            session->Del();
        Flush();
        session->Run(true);
        for (int i = 0; i < 4; ++i)
            StepEnd();
        ExpectSequence(row.played, Played());
        EXPECT_FALSE(session->Form().run);
    }
}

// Unchecking RUN ends the playback at once: no step end after it plays, and
// nothing the session writes later checks RUN again. REC off likewise: the
// step end after it adds no step.
TEST_F(SessionPlayback, UncheckingRunOrRecEndsItAtOnce)
{
    FillSteps();
    session->Run(true);
    session->Run(false);
    Report("WMRP_D|X1Y1Z1P1R1G1");
    StepEnd();
    session->SelectStep(1);
    Notice("USERSTATUS ONLINE");
    StepEnd();
    ExpectSequence(Sequence{Target(10)}, Played());
    EXPECT_FALSE(session->Form().run);

    StartRecording();
    session->Rec(false);
    Flush();
    StepEnd();
    ExpectSequence(Sequence{}, Played());
    EXPECT_EQ(session->Steps().Count(), 1);
}

// ADD and CHG write only a line that reads back and whose target can be sent
// (X goes out in tenths, the speed as it is); any other is refused with a box.
TEST_F(SessionPlayback, AddAndChgRefuseAStepThatCannotBeReadBackOrSent)
{
    struct Row {
        bool add;
        TypedBox box;
        const char* text;
        const char* written;  // null: refused
    };
    const Row rows[] = {
        {true, TypedBox::kX, "3000000000", nullptr},
        {true, TypedBox::kX, "300000000", nullptr},
        {false, TypedBox::kX, "300000000", nullptr},
        {true, TypedBox::kX, "214748365", nullptr},
        {true, TypedBox::kSpeed, "-2147483648.6", nullptr},
        {false, TypedBox::kHand, "1e10", nullptr},
        // The largest whole numbers that fit.
        {true, TypedBox::kX, "214748364", "214748364,0,0,-90,0,0,100"},
        {true, TypedBox::kSpeed, "2147483647", "10,0,0,-90,0,0,2147483647"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.add ? "ADD " : "CHG ") + row.text);
        StartOver();
        FillSteps();
        Type(row.box, row.text);
        const char* refusal = row.add ? kNotAdded : kNotChanged;
        if (!row.written)
            view.ExpectBox(refusal, Answer::kOk);
        row.add ? session->Add() : session->Chg();
        const Sequence expected = row.written ? Sequence{"list insert 1 " + std::string(row.written), "list select 1"}
                                              : Sequence{InfoBox(refusal)};
        ExpectSequence(expected, Played());
        EXPECT_EQ(session->Steps().Count(), row.written ? 4 : 3);
    }
}

// LOAD keeps a step whose target cannot be sent; a playback that reaches it
// sends nothing and ends, and the box comes once the report has been handled,
// never inside Skype's send. RUN on that line puts the box up at once.
TEST_F(SessionPlayback, StepThatCannotBeSentEndsPlayback)
{
    const Sequence kLines = {kSteps[0], "300000000,0,0,-90,0,0,100", kSteps[2]};
    LoadSteps(kLines);
    EXPECT_EQ(session->Steps().Lines(), kLines);
    session->Run(true);
    Flush();
    StepEnd();
    static const Sequence kEnded = {"list select 1", "show news+set+speed set=300000000,0,0,-90,0,0 speed=100",
                                    kRunEnds, "post", "show news"};
    ExpectSequence(kEnded, view.log);
    Flush();
    view.ExpectBox(kNotSent, Answer::kOk);
    RunPosted();
    ExpectSequence(Sequence{InfoBox(kNotSent)}, view.log);
    Flush();
    StepEnd();
    ExpectSequence(Sequence{}, Played());

    view.ExpectBox(kNotSent, Answer::kOk);
    session->Run(true);
    ExpectSequence((Sequence{kRunEnds, InfoBox(kNotSent)}), Played());
    EXPECT_FALSE(session->Form().run);
}

// The call ends: the experiment's end shows once the notice has been answered,
// but no step end that comes before it plays on. Disconnect ends playback
// before the robot is told we leave, so a step end inside its sends (Skype
// answering the hang-up) plays nothing either.
TEST_F(SessionPlayback, StepEndAfterTheCallHasEndedPlaysNothing)
{
    FillSteps(0);
    session->Run(true);
    Flush();
    Notice("CALL 17 STATUS FINISHED");
    StepEnd();
    ExpectSequence((Sequence{kRunEnds, "post"}), Effects());
    EXPECT_FALSE(session->Form().run);
    view.ExpectBox("Thanks for using robot!\n\n Hope to see you again!\n\n ", Answer::kOk);
    RunPosted();

    StartOver();
    FillSteps(0);
    session->Run(true);
    Flush();
    view.onCommand = [&](const std::string& command) {
        if (command == "ALTER CALL 17 HANGUP")
            StepEnd();
    };
    session->Disconnect();
    static const Sequence kClosed = {kRunEnds, SentDatagram("WMCD"), "send ALTER CALL 17 HANGUP",
                                     "send ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1",
                                     "send DELETE APPLICATION remotecontrol"};
    ExpectSequence(kClosed, Played());
}

// Backward highlights without loading: the last line on, line 0 off.
TEST_F(SessionPlayback, BackwardHighlightsTheLastLineOnAndLineZeroOff)
{
    session->Backward(true);  // an empty list
    ExpectSequence(Sequence{"list select -1"}, view.log);
    EXPECT_EQ(session->Selected(), -1);
    session->Backward(false);
    FillSteps(1);
    session->Backward(true);
    session->Backward(false);
    static const Sequence kExpected = {"list select 2", "list select 0"};
    ExpectSequence(kExpected, view.log);
    EXPECT_EQ(session->Selected(), 0);
}

// A step the robot cannot reach ends no step: the playback waits there. A move
// of the operator's own then takes over, and its step end plays nothing.
TEST_F(SessionPlayback, OperatorsOwnMoveEndsAStalledPlayback)
{
    const char kHome[] = "This command will let robot move to its home position\n\nAre you sure to continue?.";
    const char kSetHome[] =
        "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.";
    struct Move {
        const char* name;
        std::function<void()> act;
        const char* question;
        std::string sent;
    };
    const Move moves[] = {
        {"Move To XYZ", [&] { session->MoveTo(); }, nullptr, Target(10)},
        {"jog", [&] { session->JogStart(IDC_BASE_PLUS); }, nullptr, SentDatagram("WMCA_BSTARTM|1001")},
        {"Calibrate", [&] { session->Calibrate(); }, kSetHome, SentDatagram("WMCA_BSHP|")},
        {"Goto Home", [&] { session->GoHome(); }, kHome, SentDatagram("WMCA_BMTH|")},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.name);
        StartOver();
        FillSteps();
        session->Run(true);
        Report("WMRD_U*Target out of reach");
        Flush();
        if (move.question)
            view.ExpectBox(move.question, Answer::kYes);
        move.act();
        EXPECT_FALSE(session->Form().run);
        StepEnd();  // the operator's move arrived
        Sequence expected = {kRunEnds, move.sent};
        if (move.question)
            expected.insert(expected.begin(), "box " + testsupport::Quoted(move.question) + " | yes-no -> yes");
        ExpectSequence(expected, Played());
        EXPECT_EQ(session->Selected(), 0);
    }
}

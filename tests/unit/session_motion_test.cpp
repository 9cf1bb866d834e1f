// The operator's moves (Move To XYZ, Calibrate, Goto Home) and the robot's
// reports, over the session: what each reads, shows, asks and sends.
#include <functional>

#include "SessionFixture.h"

namespace {

const char kCalibrateQuestion[] =
    "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.";
const char kGotoHomeQuestion[] = "This command will let robot move to its home position\n\nAre you sure to continue?.";
const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
const char kOutOfRange[] = "The target is out of range and was not sent.";
const char kRead[] = "read set+note+speed asked -> ok";
const char kPosition[] = "WMRP_D|X1234Y-50Z800P-900R0G255";

class SessionMotion : public SessionTest {
protected:
    void TypeTarget(const Sequence& texts)
    {
        static const TypedBox kBoxes[] = {TypedBox::kX,    TypedBox::kY,    TypedBox::kZ,    TypedBox::kPitch,
                                          TypedBox::kRoll, TypedBox::kHand, TypedBox::kSpeed};
        for (size_t i = 0; i < texts.size(); ++i)
            Type(kBoxes[i], texts[i]);
    }
    // REC on, answered Yes.
    void Recording()
    {
        view.ExpectBox(kRecQuestion, Answer::kYes);
        session->Rec(true);
        Flush();
    }
};

}  // namespace

// The form keeps what was typed; the wire takes whole numbers, and only when
// every value fits it.
TEST_F(SessionMotion, MoveToSendsTheTypedTargetCutToWholeNumbersWhenItFits)
{
    struct Row {
        const char* speed;
        const char* shown;
        std::string last;
    };
    const std::string refused = "box " + testsupport::Quoted(kOutOfRange) + " | info -> ok";
    const Row rows[] = {
        {"200", "200", SentDatagram("WMCA_PCD|X120Y-30Z1000P-900R0G250SP200")},
        {"1e10", "10000000000", refused},
        {"2147483648", "2147483648", refused},
        {"2147483647.9", "2147483647.9", SentDatagram("WMCA_PCD|X120Y-30Z1000P-900R0G250SP2147483647")},
    };
    Operating();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.speed);
        TypeTarget({"12.7", "-3.2", "100", "-90", "0", "25.9", row.speed});
        Flush();
        if (row.last == refused)
            view.ExpectBox(kOutOfRange, Answer::kOk);
        session->MoveTo();
        const Sequence expected = {
            kRead,
            "show news+set+note+speed+rec+run+backward set=12.7,-3.2,100,-90,0,25.9 note= speed=" +
                std::string(row.shown) + " rec=0 run=0 backward=0",
            row.last,
        };
        ExpectSequence(expected, view.log);
        view.VerifyScriptsTaken();
    }
}

// Playing on after the link controls went off: the step is loaded and shown,
// but no target goes out.
TEST_F(SessionMotion, NothingIsSentWhileTheLinkControlsAreOffButTheStepIsShown)
{
    Operating();
    LoadSteps({"10,0,0,-90,0,0,100", "20,0,0,-90,0,0,100"});
    session->Run(true);
    Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    Flush();
    StepEnd();
    static const Sequence kExpected = {"list select 1", "show news+set+speed set=20,0,0,-90,0,0 speed=100",
                                       "show news"};
    ExpectSequence(kExpected, view.log);
}

// A form with a box that holds no number is no target and no step: the read
// stops at that box, and nothing is shown, sent, added or changed.
TEST_F(SessionMotion, FormThatCannotBeReadSendsAndStoresNothing)
{
    struct Row {
        const char* intent;
        std::function<void(CRobotSession&)> act;
        Sequence log;
    };
    const Row rows[] = {
        {"MoveTo", [](CRobotSession& s) { s.MoveTo(); }, {"read set+note+speed asked -> y"}},
        // Playback does not start: RUN shows unchecked again.
        {"Run", [](CRobotSession& s) { s.Run(true); }, {"read set+note+speed asked -> y", "show run run=0"}},
        {"Add", [](CRobotSession& s) { s.Add(); }, {"read set+note+speed asked -> y"}},
        {"Chg", [](CRobotSession& s) { s.Chg(); }, {"read set+note+speed asked -> y"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.intent);
        StartOver();
        Operating();
        LoadSteps({"1,1,1,1,1,1,1"});
        TypeTarget({"5", "abc", "7"});
        row.act(*session);
        ExpectSequence(row.log, view.log);
        ExpectSequence(Sequence{"1,1,1,1,1,1,1"}, session->Steps().Lines());
    }
}

// No goes on with nothing.
TEST_F(SessionMotion, CalibrateAndGotoHomeAskFirst)
{
    struct Row {
        void (CRobotSession::*intent)();
        const char* question;
        Answer answer;
        const char* sent;
    };
    const Row rows[] = {
        {&CRobotSession::Calibrate, kCalibrateQuestion, Answer::kYes, "WMCA_BSHP|"},
        {&CRobotSession::Calibrate, kCalibrateQuestion, Answer::kNo, nullptr},
        {&CRobotSession::GoHome, kGotoHomeQuestion, Answer::kYes, "WMCA_BMTH|"},
        {&CRobotSession::GoHome, kGotoHomeQuestion, Answer::kNo, nullptr},
    };
    Operating();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.question);
        Flush();
        view.ExpectBox(row.question, row.answer);
        ((*session).*row.intent)();
        Sequence expected = {"box " + testsupport::Quoted(row.question) +
                             (row.answer == Answer::kYes ? " | yes-no -> yes" : " | yes-no -> no")};
        if (row.sent)
            expected.push_back(SentDatagram(row.sent));
        ExpectSequence(expected, view.log);
    }
}

// Every report is a sign of life: the status says so, after the report's own
// effect. None reads a box.
TEST_F(SessionMotion, EachReportShowsItsNewsOrAnswers)
{
    struct Row {
        const char* payload;
        Sequence log;
        double readX;
        const char* robotText;
    };
    const Row rows[] = {
        {kPosition, {"show news", "show news"}, 123.4, ""},
        // A position that does not read changes nothing.
        {"WMRP_D|X1234Y-50Z800P-900R0", {"show news"}, 0, ""},
        {"WMRD_U*Hello, operator", {"show news", "show news"}, 0, "*Hello, operator"},
        {"WMRD_U no star", {"show news", "show news"}, 0, ""},
        // Connect and Disconnect only.
        {"WMRSS RoBoT_ReAdY", {"enable connect 1", "show news"}, 0, ""},
        {"WMIT_D", {SentDatagram("WMCA_ITD"), "show news"}, 0, ""},
        {"WMRSS RoBoT_TiMeOuT", {"show news"}, 0, ""},
        {"WMRP_D", {"show news"}, 0, ""},
        {"SOMETHING ELSE", {"show news"}, 0, ""},
        {"", {"show news"}, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.payload);
        StartOver();
        Operating();
        Report(row.payload);
        ExpectSequence(row.log, view.log);
        EXPECT_EQ(session->Form().read.x, row.readX);
        EXPECT_EQ(session->Form().set.x, 0);
        EXPECT_EQ(session->Form().robotText, row.robotText);
        EXPECT_EQ(session->Form().status, "Link to Robot OK!");
    }
}

// While recording the Set values follow the robot, and each step end records
// one step with the speed that could be read: the read is silent, as the
// operator may be half-way through typing.
TEST_F(SessionMotion, WhileRecordingTheSetValuesFollowAndAStepEndRecords)
{
    Operating();
    Recording();
    Type(TypedBox::kSpeed, "-");
    Report("WMRP_D|X100Y200Z300P-450R100G500");
    StepEnd();
    static const Sequence kExpected = {
        "show news+set set=10,20,30,-45,10,50", "show news",     "read note+speed silent -> speed",
        "list insert 1 10,20,30,-45,10,50,200", "list select 1", "show news",
    };
    ExpectSequence(kExpected, view.log);
    EXPECT_EQ(view.typed[TypedBox::kSpeed], "-");
}

// What the operator did not ask for reads no box and shows only its news and
// what its handler changed: what is typed, half-way ("-") or on the way to a
// number ("1."), stays as it is. Reports: in session_test.cpp.
TEST_F(SessionMotion, WorkTheOperatorDidNotAskForLeavesTheTypedBoxes)
{
    const char kThanks[] = "Thanks for using robot!\n\n Hope to see you again!\n\n ";
    struct Row {
        const char* name;
        std::function<void()> act;
        // What it read, showed and selected.
        Sequence log;
        const char* status;
    };
    const Row rows[] = {
        {"the step end that ends playback", [&] { StepEnd(); }, {"show run run=0", "show news"}, "Link to Robot OK!"},
        {"the silent-robot tick",
         [&] { Tick(17); },
         {"show news"},
         "Sorry Robot is not online now, please try again later"},
        {"the end of the experiment",
         [&] {
             view.ExpectBox(kThanks, Answer::kOk);
             Notice("CALL 17 STATUS FINISHED");
             RunPosted();
         },
         {"show run run=0", "show news"},
         "Please restart this program again for next experiment."},
        {"Backward", [&] { session->Backward(true); }, {"list select 0"}, "Link to Robot OK!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartOver();
        Operating();
        Report("WMRD_U*hello");
        LoadSteps({"1,1,1,1,1,1,1"});
        session->Run(true);
        Type(TypedBox::kX, "-");
        Type(TypedBox::kY, "1.");
        Type(TypedBox::kNote, "cup");
        Type(TypedBox::kSpeed, "150");
        Flush();
        row.act();
        Sequence log;
        for (const std::string& entry : view.log)
            if (entry.rfind("read", 0) == 0 || entry.rfind("show", 0) == 0 || entry.rfind("list", 0) == 0)
                log.push_back(entry);
        ExpectSequence(row.log, log);
        EXPECT_EQ(session->Form().status, row.status);
    }
}

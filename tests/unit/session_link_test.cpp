// The link as the session shows it: the status line, the link controls,
// Connect and Disconnect, the end of the experiment, the one-second
// supervision and the discovery of Skype, over the recording view.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "SessionFixture.h"

namespace {

using Answer = ISessionView::Answer;

const char kStart[] = "Searching Robot ......";
const char kOnline[] = "Searching Robot, please wait......";
const char kOffline[] = "User offline";
const char kLinkOk[] = "Link to Robot OK!";
const char kRestart[] = "Please restart this program again for next experiment.";
const char kSilent[] = "Sorry Robot is not online now, please try again later";
const char kThanks[] = "Thanks for using robot!\n\n Hope to see you again!\n\n ";
const char kRefused[] =
    "You probably have chosen disallowing this software to access Skype\n\n If you want to use this software, please "
    "change the following setting in Skype:\n    Skype menu->Tools->Options->Privacy->Manage other programs access to "
    "Skype\n Or \n    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\n\n The 'Manage API "
    "Access Control' panel will appear, then Change the settings to 'Allow this program to use Skype'";
const char kNotAvailable[] = "Skype API not available, please log in Skype to operate robot";
const char kNotFound[] = "Skype API not found.";

std::string BoxEntry(const char* caption, const char* text, const char* kind)
{
    return std::string("box ") + caption + " | " + testsupport::Quoted(text) + " | " + kind + " -> ok";
}
const std::string kThanksBox = BoxEntry("Message", kThanks, "info");

Sequence Polls(int stream = 1) { return {SentDatagram("WMCA_QD", stream), SentDatagram("WMCA_QU", stream)}; }
const Sequence kOpenLink = {"send CREATE APPLICATION remotecontrol",
                            "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot", "timer 1 1000"};

// Disconnect's close-down: the held jog let go, WMCD, hang-up, disconnect, delete.
Sequence CloseDown(int call, int stream)
{
    return {"cancel jog", SentDatagram("WMCD", stream), "send ALTER CALL " + std::to_string(call) + " HANGUP",
            "send ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:" + std::to_string(stream),
            "send DELETE APPLICATION remotecontrol"};
}
// The posted end of the experiment, run: the status, the close-down, the link
// controls off, the Thanks box.
const Sequence kEnd = Sequence{"show news"} + CloseDown(17, 1) + Sequence{"enable link 0", kThanksBox};

// The session over a Skype whose discovery the test answers: onDiscover runs
// inside the broadcast, as Skype's attach answer may; found false: nobody took
// the broadcast. Commands go to the recording view.
class SessionLink : public SessionTest, private ISkypeCommands {
protected:
    SessionLink() { OverOwnSkype(); }
    void StartAgain()
    {
        StartOver();
        OverOwnSkype();
        onDiscover = nullptr;
        found = true;
    }
    void Attach(std::intptr_t status) { session->Skype().OnAttachAnswer(status); }
    // The status line each of count ticks showed, "" for a tick that showed none.
    std::vector<std::string> StatusPerTick(int count)
    {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            Flush();
            Tick();
            out.push_back(Count("show news") ? session->Form().status : "");
        }
        return out;
    }
    // The discovery broadcasts each of count ticks sent.
    std::vector<int> BroadcastsPerTick(int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            Flush();
            Tick();
            out.push_back(Count("broadcast"));
        }
        return out;
    }
    int Count(const std::string& entry) const { return int(std::count(view.log.begin(), view.log.end(), entry)); }
    // Skype's answers inside the close-down's sends, as the real client gives
    // them: a last DURATION and STATUS FINISHED for the hang-up, an empty STREAMS
    // for the disconnect; echo: each command's echo reply first.
    void AnswerCloseDownLikeSkype(bool echo)
    {
        view.onCommand = [this, echo](const std::string& command) {
            if (echo)
                Notice(command);
            if (command == "ALTER CALL 17 HANGUP") {
                Notice("CALL 17 DURATION 42");
                Notice("CALL 17 STATUS FINISHED");
            }
            if (command == "ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1")
                Notice("APPLICATION remotecontrol STREAMS ");
        };
    }

    std::function<void()> onDiscover;
    bool found = true;

private:
    void OverOwnSkype() { session.emplace(static_cast<ISkypeCommands&>(*this), static_cast<ISessionView&>(view)); }
    void Send(const char* command) override { view.Send(command); }
    void SendVital(const char* command) override { view.SendVital(command); }
    bool Discover() override
    {
        view.Discover();
        if (onDiscover)
            onDiscover();
        return found;
    }
};

}  // namespace

// --- Attachment and Skype's notices

TEST_F(SessionLink, RefusedAndNotAvailableBoxesComeOnceTheAnswerIsDone)
{
    // Refused, then not available; then attached, the video of call 5 running
    // and that of call 17 rejected.
    static const Sequence expected = Sequence{"post", "post", BoxEntry("Error Message", kRefused, "error"),
                                              BoxEntry("Error Message", kNotAvailable, "error")} +
        kOpenLink + Sequence{"kill timer 2", "enable link 1", "enable link 0"};
    session->Start();
    Flush();
    Attach(2);
    Attach(3);
    view.ExpectBox(kRefused, Answer::kOk);
    view.ExpectBox(kNotAvailable, Answer::kOk);
    RunPosted();
    Attach(0);
    Notice("CALL 5 VIDEO_RECEIVE_STATUS RUNNING");
    Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    ExpectSequence(expected, view.log);
}

// Their news is the status line's; no box is read or written.
TEST_F(SessionLink, LogOutAndOnlineShowTheStatus)
{
    struct Row {
        const char* notice;
        Sequence log;
        const char* status;
    };
    const Row rows[] = {
        {"USERSTATUS LOGGEDOUT", {"enable link 0", "show news"}, kOffline},
        {"USERSTATUS ONLINE", {"show news"}, kOnline},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.notice);
        StartAgain();
        Operating();
        Notice(r.notice);
        ExpectSequence(r.log, view.log);
        EXPECT_EQ(session->Form().status, r.status);
    }
}

// --- Connect and Disconnect

TEST_F(SessionLink, ConnectCallsTheRobotAndDisconnectHangsUpTheLastCall)
{
    Operating();
    session->Connect();
    ExpectSequence({"send call orvanta.robot"}, view.log);
    Notice("APPLICATION remotecontrol STREAMS orvanta.robot:2");
    Notice("CALL 17 DURATION 42");
    Notice("CALL 23 DURATION 1");
    Flush();
    session->Disconnect();
    ExpectSequence(CloseDown(23, 2) + Sequence{"enable link 0"}, view.log);
    EXPECT_EQ(session->Form().status, kStart);
}

// --- The end of the experiment

TEST_F(SessionLink, EndOfTheExperimentAnsweredLikeRealSkypeShowsOneBox)
{
    // The robot hangs up, or its stream vanishes: the end is posted, and runs
    // whole once the notice is done; Skype answers our hang-up and disconnect
    // inside their sends. What the operator typed is not read.
    for (const char* end : {"CALL 17 STATUS FINISHED", "APPLICATION remotecontrol STREAMS "}) {
        SCOPED_TRACE(end);
        StartAgain();
        Operating();
        AnswerCloseDownLikeSkype(true);
        Notice(end);
        ExpectSequence({"post"}, view.log);
        view.ExpectBox(kThanks, Answer::kOk);
        RunPosted();
        ExpectSequence(Sequence{"post"} + kEnd, view.log);
        EXPECT_EQ(session->Form().status, kRestart);
    }
}

TEST_F(SessionLink, CallEndWhileTheThanksBoxIsOpenDoesNothingAndALaterOneRunsAgain)
{
    // STATUS FINISHED (and ONLINE) while the box is up, then once more after it has gone.
    static const Sequence expected = Sequence{"post"} + kEnd + Sequence{"show news", "post"} + kEnd;
    Operating();
    view.ExpectBox(kThanks, Answer::kOk, [&] { Notice("CALL 17 STATUS FINISHED ONLINE"); });
    Notice("CALL 17 STATUS FINISHED");
    RunPosted();
    EXPECT_EQ(session->Form().status, kOnline);
    view.ExpectBox(kThanks, Answer::kOk);
    Notice("CALL 17 STATUS FINISHED");
    RunPosted();
    ExpectSequence(expected, view.log);
}

TEST_F(SessionLink, DisconnectAnsweredLikeRealSkypeEndsTheExperimentOnce)
{
    // Skype finishes the call inside the hang-up and drops the stream inside the
    // disconnect: one close-down, then the end of the experiment, nothing posted.
    static const Sequence expected = CloseDown(17, 1) + Sequence{"enable link 0", "show news", kThanksBox};
    Operating();
    AnswerCloseDownLikeSkype(false);
    view.ExpectBox(kThanks, Answer::kOk);
    session->Disconnect();
    ExpectSequence(expected, view.log);
    EXPECT_EQ(session->Form().status, kRestart);
    EXPECT_EQ(view.posted, 0);
}

// --- Supervision: the one-second timer

TEST_F(SessionLink, EveryAttachStartsTheOneSecondTimer)
{
    // Attach 0 twice: the same timer, started again; the discovery timer's wait
    // for an answer is over.
    static const Sequence expected = Sequence{kOpenLink[0], kOpenLink[1], "timer 1 1000", "kill timer 2"} + kOpenLink;
    session->Start();
    Flush();
    Attach(0);
    Attach(0);
    ExpectSequence(expected, view.log);
    EXPECT_EQ(view.timers, std::set<unsigned>{1});
}

TEST_F(SessionLink, EachTickOfAnyTimerSendsTheTwoPollsOnTheStreamItHas)
{
    struct Row {
        const char* what;
        int stream;  // 0: attached, no STREAMS yet
        unsigned timer;
    };
    const Row rows[] = {{"stream 3", 3, 1}, {"before any stream", 0, 1}, {"timer 7", 1, 7}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        StartAgain();
        if (r.stream == 0) {
            session->Start();
            Attach(0);
        } else {
            Operating();
            Notice("APPLICATION remotecontrol STREAMS orvanta.robot:" + std::to_string(r.stream));
        }
        Flush();
        session->Tick(r.timer);
        ExpectSequence(Polls(r.stream), view.log);
    }
}

TEST_F(SessionLink, SilentRobotIsReportedFromTheSeventeenthTickWithNoBoxRead)
{
    Operating();
    EXPECT_EQ(StatusPerTick(16), std::vector<std::string>(16, ""));
    Type(TypedBox::kX, "7.5");
    Flush();
    Tick();
    ExpectSequence(Polls() + Sequence{"show news"}, view.log);
    EXPECT_EQ(session->Form().status, kSilent);
    EXPECT_EQ(StatusPerTick(1), std::vector<std::string>{kSilent});
}

TEST_F(SessionLink, DatagramRestartsTheCountAndTheWarningGoesWithTheNext)
{
    Operating();
    Tick(5);
    Report("WMRSS RoBoT_ReAdY");
    std::vector<std::string> expected(16, "");
    expected.push_back(kSilent);
    EXPECT_EQ(StatusPerTick(17), expected);
    Report("WMRSS RoBoT_ReAdY");
    EXPECT_EQ(session->Form().status, kLinkOk);
    EXPECT_EQ(StatusPerTick(16), std::vector<std::string>(16, ""));
}

// --- Discovery: before the first attachment, and after a log-out

TEST_F(SessionLink, RediscoveryGoesOutOnceElevenTicksAfterApiAvailableAndItsAnswerAttaches)
{
    Operating();
    Notice("USERSTATUS LOGGEDOUT");
    Attach(0x8001);
    EXPECT_EQ(BroadcastsPerTick(10), std::vector<int>(10, 0));
    onDiscover = [&] { Attach(0); };
    Flush();
    Tick();
    ExpectSequence(Polls() + Sequence{"broadcast"} + kOpenLink, view.log);
    onDiscover = nullptr;
    EXPECT_EQ(BroadcastsPerTick(29), std::vector<int>(29, 0));
}

TEST_F(SessionLink, SkypeThatAnnouncesItselfLaterIsFoundWithoutARestart)
{
    // Before it: no answer at all (three ticks), "not available" inside the
    // start-up broadcast, or "Skype API not found." on the tenth tick. Skype
    // announces itself (0x8001); the eleventh tick after it sends the discovery,
    // which Skype answers with 0.
    static const Sequence opened = Sequence{"kill timer 2", "broadcast"} + kOpenLink;
    enum Before { kSilence, kAnswered3, kBoxShown };
    for (Before before : {kSilence, kAnswered3, kBoxShown}) {
        SCOPED_TRACE(before);
        StartAgain();
        if (before == kAnswered3) {
            onDiscover = [&] { Attach(3); };
            view.ExpectBox(kNotAvailable, Answer::kOk);
        }
        session->Start();
        RunPosted();
        onDiscover = nullptr;
        if (before == kBoxShown)
            view.ExpectBox(kNotFound, Answer::kOk);
        Tick(before == kBoxShown ? 10 : 3);
        Flush();
        Attach(0x8001);
        // The discovery timer runs for it, unless it is running still.
        ExpectSequence(before == kSilence ? Sequence{} : Sequence{"timer 2 1000"}, view.log);
        EXPECT_EQ(BroadcastsPerTick(10), std::vector<int>(10, 0));
        onDiscover = [&] { Attach(0); };
        Flush();
        Tick();
        ExpectSequence(opened, view.log);
        EXPECT_EQ(view.timers, std::set<unsigned>{1});
        onDiscover = nullptr;
        // Attached: the supervision timer's ticks, which poll.
        Flush();
        Tick();
        ExpectSequence(Polls(0), view.log);
    }
}

TEST_F(SessionLink, SkypeApiNotFoundComesOnceOnTheTenthTickUnlessSkypeAnswered)
{
    // Nobody answers the start-up broadcast: the box on the tenth tick, once,
    // and then the discovery timer stops.
    session->Start();
    view.ExpectBox(kNotFound, Answer::kOk);
    std::vector<int> boxes;
    for (int i = 0; i < 30; ++i) {
        Flush();
        Tick();
        boxes.push_back(Count(BoxEntry("ErrorMessage", kNotFound, "error")));
    }
    std::vector<int> expected(30, 0);
    expected[9] = 1;
    EXPECT_EQ(boxes, expected);
    EXPECT_TRUE(view.timers.empty());

    // Any answer before the tenth tick: no such box then or later (an unscripted
    // box fails). Refused and not available have boxes of their own.
    for (std::intptr_t status : {0, 1, 2, 3, 0x8001, 0x8002}) {
        SCOPED_TRACE(status);
        StartAgain();
        session->Start();
        Tick(9);
        if (status == 2)
            view.ExpectBox(kRefused, Answer::kOk);
        if (status == 3)
            view.ExpectBox(kNotAvailable, Answer::kOk);
        Attach(status);
        RunPosted();
        Tick(30);
    }

    // A broadcast that nobody took: the box at start-up, as ever, and no timer.
    StartAgain();
    found = false;
    view.ExpectBox(kNotFound, Answer::kOk);
    session->Start();
    ExpectSequence({"broadcast", BoxEntry("ErrorMessage", kNotFound, "error"), "enable link 0"}, view.log);
    EXPECT_TRUE(view.timers.empty());
}

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

const char kStart[] = "Searching Robot ......";
const char kOnline[] = "Searching Robot, please wait......";
const char kOffline[] = "User offline";
const char kLinkOk[] = "Link to Robot OK!";
const char kRestart[] = "Please restart this program again for next experiment.";
const char kSilent[] = "Sorry Robot is not online now, please try again later";
const char kThanks[] = "Thanks for using robot!\n\n Hope to see you again!\n\n ";
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

class SessionLink : public SessionTest {
protected:
    void Attach(std::intptr_t status) { session->Skype().OnAttachAnswer(status); }
    int Count(const std::string& entry) const { return int(std::count(view.log.begin(), view.log.end(), entry)); }
    // Skype's answers inside the close-down's sends, as the real client gives
    // them: a last DURATION and STATUS FINISHED for the hang-up, an empty STREAMS
    // for the disconnect, each after the command's echo.
    void AnswerCloseDownLikeSkype()
    {
        view.onCommand = [this](const std::string& command) {
            Notice(command);
            if (command == "ALTER CALL 17 HANGUP") {
                Notice("CALL 17 DURATION 42");
                Notice("CALL 17 STATUS FINISHED");
            }
            if (command == "ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1")
                Notice("APPLICATION remotecontrol STREAMS ");
        };
    }
};

}  // namespace

// --- Attachment and Skype's notices

TEST_F(SessionLink, AttachAnswerBoxesComeOnceTheAnswerIsDoneAndTheVideoSwitchesTheLink)
{
    // Not available; then attached, the video of call 5 running and that of
    // call 17 rejected.
    static const Sequence expected = Sequence{"post", BoxEntry("Error Message", kNotAvailable, "error")} + kOpenLink +
        Sequence{"kill timer 2", "enable link 1", "enable link 0"};
    session->Start();
    Flush();
    Attach(3);
    view.ExpectBox(kNotAvailable, Answer::kOk);
    RunPosted();
    Attach(0);
    Notice("CALL 5 VIDEO_RECEIVE_STATUS RUNNING");
    Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    ExpectSequence(expected, view.log);
}

// Their news is the status line's; no box is read or written.
TEST_F(SessionLink, OnlineAndLogOutShowTheStatus)
{
    Operating();
    Notice("USERSTATUS ONLINE");
    ExpectSequence({"show news"}, view.log);
    EXPECT_EQ(session->Form().status, kOnline);
    Flush();
    Notice("USERSTATUS LOGGEDOUT");
    ExpectSequence({"enable link 0", "show news"}, view.log);
    EXPECT_EQ(session->Form().status, kOffline);
}

// --- Connect, Disconnect and the end of the experiment

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

TEST_F(SessionLink, EndOfTheExperimentAnsweredLikeRealSkypeShowsOneBox)
{
    // The robot hangs up, or its stream vanishes: the end is posted, and runs
    // whole once the notice is done; Skype answers our hang-up and disconnect
    // inside their sends. A call's end (and ONLINE) while the Thanks box is up
    // does nothing more; one after it has gone runs again.
    for (const char* end : {"CALL 17 STATUS FINISHED", "APPLICATION remotecontrol STREAMS "}) {
        SCOPED_TRACE(end);
        StartOver();
        Operating();
        AnswerCloseDownLikeSkype();
        Notice(end);
        ExpectSequence({"post"}, view.log);
        view.ExpectBox(kThanks, Answer::kOk, [&] { Notice("CALL 17 STATUS FINISHED ONLINE"); });
        RunPosted();
        ExpectSequence(Sequence{"post"} + kEnd + Sequence{"show news"}, view.log);
        EXPECT_EQ(session->Form().status, kOnline);
        Flush();
        view.ExpectBox(kThanks, Answer::kOk);
        Notice("CALL 17 STATUS FINISHED");
        RunPosted();
        ExpectSequence(Sequence{"post"} + kEnd, view.log);
    }
}

TEST_F(SessionLink, DisconnectAnsweredLikeRealSkypeEndsTheExperimentOnce)
{
    // Skype finishes the call inside the hang-up and drops the stream inside the
    // disconnect: one close-down, then the end of the experiment, nothing posted.
    static const Sequence expected = CloseDown(17, 1) + Sequence{"enable link 0", "show news", kThanksBox};
    Operating();
    AnswerCloseDownLikeSkype();
    view.ExpectBox(kThanks, Answer::kOk);
    session->Disconnect();
    ExpectSequence(expected, view.log);
    EXPECT_EQ(session->Form().status, kRestart);
    EXPECT_EQ(view.posted, 0);
}

// --- Supervision: the one-second timer

// Attach 0 twice: the same timer, started again; the discovery timer's wait for
// an answer is over. Any timer's tick polls on the stream there is.
TEST_F(SessionLink, EveryAttachStartsTheOneSecondTimerWhoseTicksPoll)
{
    static const Sequence attached = Sequence{kOpenLink[0], kOpenLink[1], "timer 1 1000", "kill timer 2"} + kOpenLink;
    struct Row {
        const char* what;
        int stream;  // 0: no STREAMS yet
        unsigned timer;
    };
    const Row rows[] = {{"stream 3", 3, 1}, {"before any stream", 0, 1}, {"timer 7", 1, 7}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        StartOver();
        session->Start();
        Flush();
        Attach(0);
        Attach(0);
        ExpectSequence(attached, view.log);
        EXPECT_EQ(view.timers, std::set<unsigned>{1});
        if (r.stream != 0)
            Notice("APPLICATION remotecontrol STREAMS orvanta.robot:" + std::to_string(r.stream));
        Flush();
        session->Tick(r.timer);
        ExpectSequence(Polls(r.stream), view.log);
    }
}

// The sixteenth missed tick is the last quiet one; each after it says so again.
TEST_F(SessionLink, SilentRobotIsReportedFromTheSeventeenthTickWithNoBoxRead)
{
    Operating();
    Tick(5);
    Report("WMRSS RoBoT_ReAdY");
    EXPECT_EQ(session->Form().status, kLinkOk);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Flush();
        Tick(16);
        EXPECT_EQ(Count("show news"), 0);
        Type(TypedBox::kX, "7.5");
        Flush();
        Tick();
        ExpectSequence(Polls() + Sequence{"show news"}, view.log);
        EXPECT_EQ(session->Form().status, kSilent);
        Tick();
        EXPECT_EQ(Count("show news"), 2);
        // A datagram starts the count again.
        Report("WMRSS RoBoT_ReAdY");
    }
}

// --- Discovery: before the first attachment, and after a log-out

// Before it: no answer at all (three ticks), "not available" inside the
// start-up broadcast, "Skype API not found." on the tenth tick, or a log-out
// while linked. Skype announces itself (0x8001); the eleventh tick after it
// sends the discovery, which Skype answers with 0; the next tick polls.
TEST_F(SessionLink, SkypeThatAnnouncesItselfLaterIsFoundWithoutARestart)
{
    const Sequence discovery = Sequence{"broadcast"} + kOpenLink;
    enum Before { kSilence, kAnswered3, kBoxShown, kLoggedOut };
    for (Before before : {kSilence, kAnswered3, kBoxShown, kLoggedOut}) {
        SCOPED_TRACE(before);
        StartOver();
        if (before == kLoggedOut) {
            Operating();
            Notice("USERSTATUS LOGGEDOUT");
        } else {
            if (before == kAnswered3) {
                view.onDiscover = [&] { Attach(3); };
                view.ExpectBox(kNotAvailable, Answer::kOk);
            }
            session->Start();
            RunPosted();
            view.onDiscover = nullptr;
            if (before == kBoxShown)
                view.ExpectBox(kNotFound, Answer::kOk);
            Tick(before == kBoxShown ? 10 : 3);
        }
        Flush();
        Attach(0x8001);
        // The discovery timer runs for it, unless it runs still or supervision ticks.
        const bool timerStarts = before == kAnswered3 || before == kBoxShown;
        ExpectSequence(timerStarts ? Sequence{"timer 2 1000"} : Sequence{}, view.log);
        Tick(10);
        EXPECT_EQ(Count("broadcast"), 0);
        view.onDiscover = [&] { Attach(0); };
        Flush();
        Tick();
        ExpectSequence(before == kLoggedOut ? Polls() + discovery : Sequence{"kill timer 2"} + discovery, view.log);
        EXPECT_EQ(view.timers, std::set<unsigned>{1});
        view.onDiscover = nullptr;
        Flush();
        Tick();
        ExpectSequence(Polls(before == kLoggedOut ? 1 : 0), view.log);
    }
}

TEST_F(SessionLink, SkypeApiNotFoundComesOnceOnTheTenthTickUnlessSkypeAnswered)
{
    // Nobody answers the start-up broadcast: the box on the tenth tick (an
    // unscripted box fails), and the discovery timer stops.
    session->Start();
    Tick(9);
    view.ExpectBox(kNotFound, Answer::kOk);
    Flush();
    Tick();
    ExpectSequence({"kill timer 2", BoxEntry("ErrorMessage", kNotFound, "error")}, view.log);
    EXPECT_TRUE(view.timers.empty());

    // Any answer before the tenth tick: no such box then or later.
    for (std::intptr_t status : {0, 1, 2, 3, 0x8001, 0x8002}) {
        SCOPED_TRACE(status);
        StartOver();
        session->Start();
        Tick(9);
        Attach(status);
        Tick(30);
    }

    // A broadcast that nobody took: the box at start-up, and no timer.
    StartOver();
    view.found = false;
    view.ExpectBox(kNotFound, Answer::kOk);
    session->Start();
    ExpectSequence({"broadcast", BoxEntry("ErrorMessage", kNotFound, "error"), "enable link 0"}, view.log);
    EXPECT_TRUE(view.timers.empty());
}

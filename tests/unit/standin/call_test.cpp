#include <gtest/gtest.h>

#include "ModelTest.h"

namespace standin::test {
namespace {

// "call orvanta.robot", then time in the steps the timeline is made of.
struct Step {
    double seconds;
    Lines sent;
};
const Step kCallTimeline[] = {
    {0.3, {"posted CALL 1402 STATUS ROUTING", "posted CALL 1402 SUBJECT "}},
    {0.3, {"posted CALL 1402 STATUS ROUTING"}},
    {0.3,
     {"posted CALL 1402 STATUS RINGING", "posted CALL 1402 STATUS RINGING", "posted CALL 1402 VAA_INPUT_STATUS FALSE"}},
    {1.9, {}},
    {0.1,
     {"posted CALL 1402 STATUS INPROGRESS", "posted CALL 1402 VIDEO_SEND_STATUS AVAILABLE",
      "posted CALL 1402 VIDEO_STATUS VIDEO_BOTH_ENABLED"}},
    {0.5, {"posted CALL 1402 VIDEO_RECEIVE_STATUS STARTING"}},
    {0.5, {"posted CALL 1402 DURATION 1"}},
    {0.5, {"posted CALL 1402 VIDEO_RECEIVE_STATUS RUNNING"}},
    {0.5, {"posted CALL 1402 DURATION 2"}},
    {1.0, {"posted CALL 1402 DURATION 3"}},
};

class Calls : public AttachedModel {
protected:
    explicit Calls(Config config = {}) : AttachedModel(std::move(config)) { }
    // Places the call and runs it until the video runs and DURATION 3.
    void CallUntilRunning()
    {
        ASSERT_LINES((Lines{"nested CALL 1402 STATUS UNPLACED", "nested CALL 1402 STATUS UNPLACED"}),
                     SendLines("call orvanta.robot"));
        for (const Step& step : kCallTimeline)
            ASSERT_LINES(step.sent, AdvanceLines(step.seconds)) << step.seconds;
    }
};

TEST_F(Calls, PlacedUntilVideoRuns)
{
    CallUntilRunning();
    EXPECT_EQ(m_model.call().status, "INPROGRESS");
    EXPECT_EQ(m_model.call().videoReceive, "RUNNING");
    EXPECT_EQ(m_model.call().duration, 3);
    EXPECT_EQ(m_model.call().partner, "orvanta.robot");
}

TEST_F(Calls, TheReplyCarriesTheCommandId)
{
    EXPECT_LINES((Lines{"nested CALL 1402 STATUS UNPLACED", "nested #5 CALL 1402 STATUS UNPLACED"}),
                 SendLines("#5 CALL orvanta.robot"));
}

TEST_F(Calls, HangUpEchoThenLastDurationAndFinished)
{
    CallUntilRunning();
    EXPECT_LINES(
        (Lines{"nested ALTER CALL 1402 HANGUP", "nested CALL 1402 DURATION 3", "nested CALL 1402 STATUS FINISHED"}),
        SendLines("ALTER CALL 1402 HANGUP"));
    EXPECT_LINES(Lines{}, AdvanceLines(5));
    // Hanging up a finished call says so and finishes nothing again.
    EXPECT_LINES(Lines{"nested ERROR 24 Cannot hangup inactive call"}, SendLines("ALTER CALL 1402 HANGUP"));
    EXPECT_LINES(Lines{"nested CALL 1402 STATUS FINISHED"}, SendLines("GET CALL 1402 STATUS"));
}

TEST_F(Calls, HangUpWhileRinging)
{
    Send("CALL orvanta.robot");
    m_model.Advance(1);
    EXPECT_LINES(
        (Lines{"nested ALTER CALL 1402 END HANGUP", "nested CALL 1402 DURATION 0", "nested CALL 1402 STATUS FINISHED"}),
        SendLines("ALTER CALL 1402 END HANGUP"));
    EXPECT_LINES(Lines{}, AdvanceLines(10));
}

TEST_F(Calls, OldHangUpFormAsRecorded)
{
    CallUntilRunning();
    // The notices of the change come before the reply.
    EXPECT_LINES((Lines{"nested CALL 1402 DURATION 3", "nested CALL 1402 STATUS FINISHED",
                        "nested #1 CALL 1402 STATUS FINISHED"}),
                 SendLines("#1 SET CALL 1402 STATUS FINISHED"));
}

TEST_F(Calls, FarSideHangsUp)
{
    CallUntilRunning();
    EXPECT_LINES((Lines{"posted CALL 1402 DURATION 3", "posted CALL 1402 STATUS FINISHED"}), Sent(m_model.FarHangUp()));
    EXPECT_LINES(Lines{}, AdvanceLines(3));
    EXPECT_LINES(Lines{}, Sent(m_model.FarHangUp()));
}

TEST_F(Calls, FarSideDeclinesBeforeAnswering)
{
    Send("CALL orvanta.robot");
    m_model.Advance(1);
    EXPECT_LINES(Lines{"posted CALL 1402 STATUS REFUSED"}, Sent(m_model.FarHangUp()));
    EXPECT_LINES(Lines{}, AdvanceLines(10));
}

TEST_F(Calls, VideoRejectedWhileRunning)
{
    CallUntilRunning();
    EXPECT_LINES(Lines{"posted CALL 1402 VIDEO_RECEIVE_STATUS REJECTED"}, Sent(m_model.RejectVideo()));
    EXPECT_LINES(Lines{}, Sent(m_model.RejectVideo()));
}

class RejectingCalls : public Calls {
protected:
    static Config Rejecting()
    {
        Config c;
        c.rejectVideo = true;
        return c;
    }
    RejectingCalls() : Calls(Rejecting()) { }
};

TEST_F(RejectingCalls, VideoNeverRuns)
{
    Send("CALL orvanta.robot");
    Lines seen;
    for (int i = 0; i < 50; ++i)
        for (const std::string& line : AdvanceLines(0.1))
            if (line.find("VIDEO_RECEIVE") != std::string::npos)
                seen.push_back(line);
    EXPECT_LINES(
        (Lines{"posted CALL 1402 VIDEO_RECEIVE_STATUS STARTING", "posted CALL 1402 VIDEO_RECEIVE_STATUS REJECTED"}),
        seen);
}

TEST_F(Calls, CallsThatCannotConnectFail)
{
    Send("CALL echo123");
    Lines last;
    for (int i = 0; i < 40; ++i)
        for (const std::string& line : AdvanceLines(0.1))
            last.push_back(line);
    ASSERT_GE(last.size(), 2u);
    EXPECT_LINES((Lines{"posted CALL 1402 FAILUREREASON 2", "posted CALL 1402 STATUS FAILED"}),
                 (Lines{last.end() - 2, last.end()}));

    m_model.SetRobotMode(RobotMode::kOffline);
    Send("CALL orvanta.robot");
    last.clear();
    for (int i = 0; i < 40; ++i)
        for (const std::string& line : AdvanceLines(0.1))
            last.push_back(line);
    EXPECT_LINES((Lines{"posted CALL 1403 FAILUREREASON 3", "posted CALL 1403 STATUS FAILED"}),
                 (Lines{last.end() - 2, last.end()}));
}

TEST_F(Calls, OneCallToTheRobotAtATimeAndIdsCountOn)
{
    Send("CALL orvanta.robot");
    EXPECT_LINES(Lines{"nested ERROR 101 Already a call to that user"}, SendLines("CALL orvanta.robot"));
    Send("ALTER CALL 1402 HANGUP");
    EXPECT_LINES((Lines{"nested CALL 1403 STATUS UNPLACED", "nested CALL 1403 STATUS UNPLACED"}),
                 SendLines("CALL Orvanta.Robot, someone.else"));
    EXPECT_LINES(Lines{"nested ERROR 555 CALL: No proper call ID given"}, SendLines("ALTER CALL 1402 HANGUP"));
}

TEST_F(Calls, PropertiesAndOtherActions)
{
    CallUntilRunning();
    struct Row {
        const char* command;
        Lines sent;
    };
    const Row rows[] = {
        {"GET CALL 1402 DURATION", {"nested CALL 1402 DURATION 3"}},
        {"GET CALL 1402 PARTNER_HANDLE", {"nested CALL 1402 PARTNER_HANDLE orvanta.robot"}},
        {"GET CALL 1402 TYPE", {"nested CALL 1402 TYPE OUTGOING_P2P"}},
        {"GET CALL 1402 VIDEO_RECEIVE_STATUS", {"nested CALL 1402 VIDEO_RECEIVE_STATUS RUNNING"}},
        {"GET CALL 1402 COLOUR", {"nested ERROR 13 Invalid prop"}},
        {"ALTER CALL 1402 FLY", {"nested ERROR 560 CALL: Unknown action"}},
        {"ALTER CALL 1402 END NOW", {"nested ERROR 560 CALL: Unknown action"}},
        {"ALTER CALL 1402 DTMF 5", {"nested ALTER CALL 1402 DTMF 5"}},
        {"SET CALL 1402 DTMF 7", {"nested SET CALL 1402 DTMF 7"}},
        {"ALTER CALL 1402 START_VIDEO_SEND",
         {"nested ALTER CALL 1402 START_VIDEO_SEND", "posted CALL 1402 VIDEO_SEND_STATUS STARTING"}},
    };
    for (const Row& row : rows)
        EXPECT_LINES(row.sent, SendLines(row.command)) << row.command;
    EXPECT_LINES(Lines{"posted CALL 1402 VIDEO_SEND_STATUS RUNNING"}, AdvanceLines(0.5));
}

TEST_F(Calls, NoCallNothingToEnd)
{
    EXPECT_FALSE(m_model.call().active());
    EXPECT_LINES(Lines{}, Sent(m_model.FarHangUp()));
    EXPECT_LINES(Lines{}, Sent(m_model.RejectVideo()));
    EXPECT_LINES(Lines{"note client gone: detached, its applications and streams closed"},
                 Describe(m_model.ClientGone(m_model.session())));
}

TEST_F(Calls, ClientGoneEndsTheCallSilently)
{
    CallUntilRunning();
    m_model.ClientGone(m_model.session());
    EXPECT_FALSE(m_model.call().active());
    m_model.Discover(kClient);
    EXPECT_LINES(Lines{}, AdvanceLines(3));
}

TEST_F(Calls, LogOutEndsTheCall)
{
    CallUntilRunning();
    m_model.LogOut();
    EXPECT_FALSE(m_model.call().active());
}

}  // namespace
}  // namespace standin::test

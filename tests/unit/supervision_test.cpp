// Link supervision: the one-second timer that polls the robot, warns when it is
// silent and repeats the discovery after the Skype user has logged in again.
#include "PanelFixture.h"

#include <climits>

#include "Supervision.h"

namespace {

class SupervisionTest : public PanelTest {
protected:
    // The status texts each of count ticks wrote, "" for a tick that wrote none.
    std::vector<std::string> StatusPerTick(int count)
    {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            Flush();
            desk.Tick();
            std::string written;
            for (const std::string& e : LinkLog())
                if (e.rfind("text IDC_STATUS ", 0) == 0)
                    written = e.substr(16);
            out.push_back(written);
        }
        return out;
    }
    void RobotDatagram() { desk.Notice("APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRSS RoBoT_ReAdY"); }
    // The number of discovery broadcasts each of count ticks sent.
    std::vector<int> BroadcastsPerTick(int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            Flush();
            desk.Tick();
            out.push_back(int(Log(headless::kBroadcast).size()));
        }
        return out;
    }
};

const char kSilent[] = "Sorry Robot is not online now, please try again later";

TEST_F(SupervisionTest, EveryAttachStartsTheOneSecondTimer)
{
    // Attach 0 twice: the same timer, started again; the discovery timer's
    // wait for an answer is over.
    static const Sequence expected = {"timer 1 1000", "kill timer 2", "timer 1 1000"};
    OpenPanel();
    desk.Attach(0);
    desk.Attach(0);
    ExpectSequence(expected, Log(headless::kTimer));
    EXPECT_EQ(desk.Timers(), std::vector<UINT_PTR>{1});
}

TEST_F(SupervisionTest, EachTickSendsTheTwoPolls)
{
    // One tick on stream 3.
    static const Sequence expected = {Datagram("WMCA_QD", 3), Datagram("WMCA_QU", 3)};
    OpenAttached(3);
    desk.Tick();
    ExpectSequence(expected, LinkLog());
}

TEST_F(SupervisionTest, PollsGoOutAlsoBeforeAnyStream)
{
    // One tick after attach 0, no STREAMS yet.
    static const Sequence expected = {Datagram("WMCA_QD", 0), Datagram("WMCA_QU", 0)};
    OpenPanel();
    desk.Attach(0);
    Flush();
    desk.Tick();
    ExpectSequence(expected, LinkLog());
}

TEST_F(SupervisionTest, AnyTimerIdIsATick)
{
    static const Sequence expected = {Datagram("WMCA_QD"), Datagram("WMCA_QU")};
    OpenAttached();
    desk.Deliver(desk.Panel(), WM_TIMER, 7, 0);
    ExpectSequence(expected, LinkLog());
}

TEST_F(SupervisionTest, SilentRobotIsReportedOnTheSeventeenthTick)
{
    OpenAttached();
    std::vector<std::string> expected(16, "");
    expected.push_back(kSilent);
    expected.push_back(kSilent);
    EXPECT_EQ(StatusPerTick(18), expected);
    EXPECT_EQ(desk.Text(IDC_STATUS), kSilent);
}

TEST_F(SupervisionTest, SeventeenthTickWarnsWithTheControlsRead)
{
    // Tick 17 alone: polls, then the status pushed.
    static const Sequence expected = {Datagram("WMCA_QD"), Datagram("WMCA_QU"),
                                      std::string("text IDC_STATUS ") + kSilent};
    OpenAttached();
    desk.Tick(16);
    desk.Type(IDC_X_SET, "7.5");
    Flush();
    desk.Tick();
    ExpectSequence(expected, LinkLog());
    EXPECT_EQ(desk.Text(IDC_X_SET), "7.5");
}

TEST_F(SupervisionTest, DatagramRestartsTheCountAndTheWarningGoesWithTheNext)
{
    OpenAttached();
    desk.Tick(5);
    RobotDatagram();
    std::vector<std::string> expected(16, "");
    expected.push_back(kSilent);
    EXPECT_EQ(StatusPerTick(17), expected);
    RobotDatagram();
    EXPECT_EQ(desk.Text(IDC_STATUS), "Link to Robot OK!");
    EXPECT_EQ(StatusPerTick(16), std::vector<std::string>(16, ""));
}

TEST_F(SupervisionTest, RobotThatFellSilentIsReportedAgain)
{
    // A datagram long ago does not keep "Link to Robot OK!" for ever.
    OpenAttached();
    RobotDatagram();
    desk.Tick(40);
    EXPECT_EQ(desk.Text(IDC_STATUS), kSilent);
}

TEST(Supervision, SignsOfLifeAreCountedAndMissedTicksStopAtTheLargestInt)
{
    CSupervision counts(INT_MAX - 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(counts.MissTick());
    EXPECT_EQ(counts.MissedTicks(), INT_MAX);
    counts.OnSignOfLife();
    counts.OnSignOfLife();
    EXPECT_EQ(counts.ReplyCount(), 2u);
    EXPECT_EQ(counts.MissedTicks(), 0);
    EXPECT_FALSE(counts.MissTick());
}

TEST_F(SupervisionTest, RediscoveryGoesOutOnceElevenTicksAfterApiAvailable)
{
    OpenAttached();
    desk.Notice("USERSTATUS LOGGEDOUT");
    desk.Attach(0x8001);
    std::vector<int> expected(10, 0);
    expected.push_back(1);
    expected.resize(40, 0);
    EXPECT_EQ(BroadcastsPerTick(40), expected);
}

TEST_F(SupervisionTest, RediscoveryAnsweredAttachesAgain)
{
    // The eleventh tick, Skype answering the broadcast with 0.
    static const Sequence expected = {Datagram("WMCA_QD"),
                                      Datagram("WMCA_QU"),
                                      "broadcast SkypeControlAPIDiscover",
                                      "send CREATE APPLICATION remotecontrol",
                                      "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot",
                                      "timer 1 1000"};
    OpenAttached();
    desk.Notice("USERSTATUS LOGGEDOUT");
    desk.Attach(0x8001);
    desk.Tick(10);
    desk.onDiscover = [&] { desk.Attach(0); };
    Flush();
    desk.Tick();
    ExpectSequence(expected, LinkLog());
}

// --- Before the first attachment: the discovery timer

const char kNotFound[] = "Skype API not found.";
const char kNotAvailable[] = "Skype API not available, please log in Skype to operate robot";

TEST_F(SupervisionTest, SkypeThatAnnouncesItselfLaterIsFoundWithoutARestart)
{
    // Before it: no answer at all (three ticks), "not available" inside the
    // start-up broadcast, or "Skype API not found." on the tenth tick. Skype
    // announces itself (0x8001); the eleventh tick after it sends the discovery,
    // which Skype answers with 0.
    static const Sequence opened = {"kill timer 2", "broadcast SkypeControlAPIDiscover",
                                    "send CREATE APPLICATION remotecontrol",
                                    "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot", "timer 1 1000"};
    enum Before { kSilence, kAnswered3, kBoxShown };
    for (Before before : {kSilence, kAnswered3, kBoxShown}) {
        SCOPED_TRACE(before);
        StartOver();
        if (before == kAnswered3) {
            desk.onDiscover = [&] { desk.Attach(3); };
            desk.ExpectBox(kNotAvailable);
        }
        OpenPanel();
        desk.onDiscover = nullptr;
        if (before == kBoxShown)
            desk.ExpectBox(kNotFound);
        desk.Tick(before == kBoxShown ? 10 : 3);
        Flush();
        desk.Attach(0x8001);
        // The discovery timer runs for it, unless it is running still.
        ExpectSequence(before == kSilence ? Sequence{} : Sequence{"timer 2 1000"}, LinkLog());
        EXPECT_EQ(BroadcastsPerTick(10), std::vector<int>(10, 0));
        desk.onDiscover = [&] { desk.Attach(0); };
        Flush();
        desk.Tick();
        ExpectSequence(opened, LinkLog());
        EXPECT_EQ(desk.Timers(), std::vector<UINT_PTR>{1});
        desk.onDiscover = nullptr;
        // Attached: the supervision timer's ticks, which poll.
        Flush();
        desk.Tick();
        ExpectSequence((Sequence{Datagram("WMCA_QD", 0), Datagram("WMCA_QU", 0)}), LinkLog());
    }
}

TEST_F(SupervisionTest, SkypeApiNotFoundComesOnceOnTheTenthTickUnlessSkypeAnswered)
{
    // Nobody answers the start-up broadcast: the box on the tenth tick, once,
    // and then the discovery timer stops.
    static const Sequence box = {"box ErrorMessage | Skype API not found. | stop ok -> IDOK"};
    OpenPanel();
    desk.ExpectBox(kNotFound);
    std::vector<Sequence> boxes;
    for (int i = 0; i < 30; ++i) {
        Flush();
        desk.Tick();
        boxes.push_back(Log(headless::kBox));
    }
    std::vector<Sequence> expected(30);
    expected[9] = box;
    EXPECT_EQ(boxes, expected);
    EXPECT_TRUE(desk.Timers().empty());

    // Any answer before the tenth tick: no such box then or later. Refused and
    // not available have boxes of their own.
    for (LPARAM status : {0, 1, 2, 3, 0x8001, 0x8002}) {
        SCOPED_TRACE(status);
        StartOver();
        OpenPanel();
        desk.onUnscriptedBox = [](const std::string&, UINT) { return int(IDOK); };
        desk.Tick(9);
        desk.Attach(status);
        desk.Tick(30);
        const Sequence shown = Log(headless::kBox);
        EXPECT_EQ(shown.size(), status == 2 || status == 3 ? 1u : 0u);
        for (const std::string& entry : shown)
            EXPECT_EQ(entry.find(kNotFound), std::string::npos) << entry;
    }

    // A broadcast that nobody took: the box at start-up, as ever, and not again.
    StartOver();
    desk.broadcastResult = 0;
    desk.ExpectBox(kNotFound);
    OpenPanel();
    desk.Tick(30);
    EXPECT_TRUE(Log(headless::kBox).empty());
    EXPECT_TRUE(desk.Timers().empty());
}

TEST(Supervision, CountdownRestsBelowZero)
{
    // Started at 0 the discovery is due at once, and once only.
    struct Row {
        int start;
        int due;
    };
    static const Row rows[] = {{0, 1}, {-1, 0}, {INT_MIN + 1, 0}, {INT_MIN, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.start);
        CSupervision counts(0, r.start);
        EXPECT_EQ(counts.CountDown(), r.due == 1);
        for (int i = 0; i < 49; ++i)
            EXPECT_FALSE(counts.CountDown());
        EXPECT_LT(counts.RediscoverCountdown(), 0);
        EXPECT_GE(counts.RediscoverCountdown(), r.start < 0 ? r.start : -1);
    }
}

}  // namespace

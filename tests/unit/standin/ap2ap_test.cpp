#include <gtest/gtest.h>

#include <string>

#include "ModelTest.h"
#include "WireTexts.h"
#include "robotsim.h"

namespace standin::test {
namespace {

const std::string kHomeReport = "WMRP_D|X1500Y0Z1700P-900R0G300";

std::string FromRobot(int stream, const std::string& report)
{
    return "posted " + testsupport::DatagramNotice(stream, report);
}

TEST_F(AttachedModel, CreateAndConnect)
{
    EXPECT_LINES(Lines{"nested CREATE APPLICATION remotecontrol"}, SendLines("CREATE APPLICATION remotecontrol"));
    // The echo and the first feedback inside the send; the rest when the peer answers.
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol CONNECT orvanta.robot",
                        "nested APPLICATION remotecontrol CONNECTING orvanta.robot"}),
                 SendLines("ALTER APPLICATION remotecontrol CONNECT orvanta.robot"));
    EXPECT_EQ(m_model.robotStream(), 0);
    EXPECT_LINES(Lines{}, AdvanceLines(0.2));
    EXPECT_LINES((Lines{"posted APPLICATION remotecontrol CONNECTING ",
                        "posted APPLICATION remotecontrol STREAMS orvanta.robot:1"}),
                 AdvanceLines(0.1));
    EXPECT_EQ(m_model.robotStream(), 1);
    EXPECT_LINES(Lines{"nested APPLICATION remotecontrol STREAMS orvanta.robot:1"},
                 SendLines("GET APPLICATION remotecontrol STREAMS"));
}

TEST_F(AttachedModel, KeywordsInUpperCaseArgumentsAsGivenIdOnTheReplyOnly)
{
    EXPECT_LINES(Lines{"nested #c1 CREATE APPLICATION RemoteControl"},
                 SendLines("#c1 create application RemoteControl"));
    EXPECT_LINES((Lines{"nested #c2 ALTER APPLICATION RemoteControl CONNECT someone",
                        "nested APPLICATION RemoteControl CONNECTING someone"}),
                 SendLines("#c2 alter application RemoteControl connect SomeOne"));
    EXPECT_LINES(Lines{"nested #c3 APPLICATION RemoteControl CONNECTING someone"},
                 SendLines("#c3 GET APPLICATION RemoteControl CONNECTING"));
}

TEST_F(AttachedModel, ConnectToAPeerWithoutTheApplicationEndsWithoutAStream)
{
    Send("CREATE APPLICATION remotecontrol");
    Send("ALTER APPLICATION remotecontrol CONNECT echo123");
    EXPECT_LINES(Lines{"posted APPLICATION remotecontrol CONNECTING "}, AdvanceLines(1));
    Send("CREATE APPLICATION othergame");
    Send("ALTER APPLICATION othergame CONNECT orvanta.robot");
    EXPECT_LINES(Lines{"posted APPLICATION othergame CONNECTING "}, AdvanceLines(1));
    EXPECT_EQ(m_model.robotStream(), 0);
}

TEST_F(AttachedModel, ConnectAgainKeepsTheStream)
{
    OpenRobotStream();
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    EXPECT_LINES((Lines{"posted APPLICATION remotecontrol CONNECTING ",
                        "posted APPLICATION remotecontrol STREAMS orvanta.robot:1"}),
                 AdvanceLines(1));
}

TEST_F(AttachedModel, DatagramToTheRobotAndItsReport)
{
    OpenRobotStream();
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=11",
                        "posted APPLICATION remotecontrol SENDING ", FromRobot(1, kHomeReport)}),
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD"));
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=11",
                        "posted APPLICATION remotecontrol SENDING ", FromRobot(1, "WMRSS|RoBoT_ReAdY")}),
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QU"));
    EXPECT_TRUE(m_model.station().clientPresent());
}

TEST_F(AttachedModel, TargetMovesTheArmAndEndsWithAStepEnd)
{
    OpenRobotStream();
    const Lines sent = SendLines(
        "ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_PCD|X2000Y500Z1000P-900R0G200SP200");
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=43",
                        "posted APPLICATION remotecontrol SENDING "}),
                 sent);
    EXPECT_TRUE(m_model.station().moving());
    Lines reports;
    for (int i = 0; i < 200 && reports.empty(); ++i)
        reports = AdvanceLines(0.05);
    // The pose reached comes before the step end.
    EXPECT_LINES((Lines{FromRobot(1, "WMRP_D|X2000Y500Z1000P-900R0G200"), FromRobot(1, "WMRP_SE")}), reports);
    const robotsim::Pose pose = m_model.station().pose();
    EXPECT_NEAR(pose.x, 200.0, 1e-6);
    EXPECT_NEAR(pose.y, 50.0, 1e-6);
    EXPECT_NEAR(pose.z, 100.0, 1e-6);
}

TEST_F(AttachedModel, JogMovesTheArm)
{
    OpenRobotStream();
    const double before = m_model.station().joints().base;
    Send("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_BSTARTM|1001");
    m_model.Advance(1.0);
    Send("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_BSTOPM|1001");
    EXPECT_GT(m_model.station().joints().base, before + 10);
    EXPECT_FALSE(m_model.station().moving());
}

TEST_F(AttachedModel, TheStationsOwnReportsComeOnTheStream)
{
    OpenRobotStream();
    Send("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_ITD");
    // A client silent for long enough is timed out, on the stream it used.
    Lines seen;
    for (int i = 0; i < 40; ++i)
        for (const std::string& line : AdvanceLines(1.0))
            seen.push_back(line);
    EXPECT_LINES((Lines{FromRobot(1, "WMRSS|RoBoT_TiMeOuT")}), seen);
}

TEST_F(AttachedModel, DatagramsTheStationIgnores)
{
    OpenRobotStream();
    const Batch batch = Send("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 WMCA_QD");
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=7",
                        "posted APPLICATION remotecontrol SENDING "}),
                 Sent(batch));
    EXPECT_FALSE(m_model.station().clientPresent());
    // Empty and over-long datagrams are not sent at all.
    EXPECT_LINES(Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1"},
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1"));
    EXPECT_LINES(Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1"},
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$" + std::string(1400, 'x')));
}

TEST_F(AttachedModel, DatagramForAStreamThatIsNotOpen)
{
    Send("CREATE APPLICATION remotecontrol");
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    // Before STREAMS has come the client still has stream 0.
    const Lines error{"nested ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier"};
    EXPECT_LINES(error, SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:0 Msg$WMCA_QD"));
    m_model.Advance(1);
    EXPECT_LINES(error, SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:2 Msg$WMCA_QD"));
    EXPECT_LINES(error, SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot Msg$WMCA_QD"));
    EXPECT_LINES(error, SendLines("ALTER APPLICATION remotecontrol DATAGRAM"));
}

TEST_F(AttachedModel, DisconnectThenReconnectGivesTheNextNumber)
{
    OpenRobotStream();
    // Both inside the send: the echo and the list without the stream.
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1",
                        "nested APPLICATION remotecontrol STREAMS "}),
                 SendLines("ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1"));
    EXPECT_EQ(m_model.robotStream(), 0);
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    EXPECT_LINES((Lines{"posted APPLICATION remotecontrol CONNECTING ",
                        "posted APPLICATION remotecontrol STREAMS orvanta.robot:2"}),
                 AdvanceLines(1));
    EXPECT_EQ(SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD").front(),
              "nested ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier");
    EXPECT_EQ(SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:2 Msg$WMCA_QD").back(),
              FromRobot(2, kHomeReport));
}

TEST_F(AttachedModel, DeleteClosesTheApplication)
{
    OpenRobotStream();
    EXPECT_LINES(Lines{"nested DELETE APPLICATION remotecontrol"}, SendLines("DELETE APPLICATION remotecontrol"));
    EXPECT_EQ(m_model.robotStream(), 0);
    EXPECT_LINES(Lines{"nested ERROR 541 APPLICATION: operation failed"},
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD"));
    // Re-creating it works, and a new connection counts on.
    EXPECT_LINES(Lines{"nested CREATE APPLICATION remotecontrol"}, SendLines("CREATE APPLICATION remotecontrol"));
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    m_model.Advance(1);
    EXPECT_EQ(m_model.robotStream(), 2);
}

TEST_F(AttachedModel, WriteAndRead)
{
    OpenRobotStream();
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol WRITE orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=14",
                        "posted APPLICATION remotecontrol SENDING "}),
                 SendLines("ALTER APPLICATION remotecontrol WRITE orvanta.robot:1 Hello world!"));
    EXPECT_LINES(Lines{"nested ALTER APPLICATION remotecontrol READ orvanta.robot:1 "},
                 SendLines("ALTER APPLICATION remotecontrol READ orvanta.robot:1"));
}

// Replies after the send returns: the same texts, all posted.
class PostedReplies : public AttachedModel {
protected:
    static Config Posting()
    {
        Config c;
        c.nestReplies = false;
        return c;
    }
    PostedReplies() : AttachedModel(Posting()) { }
};

TEST_F(PostedReplies, NothingIsNested)
{
    EXPECT_LINES(Lines{"posted CREATE APPLICATION remotecontrol"}, SendLines("CREATE APPLICATION remotecontrol"));
    EXPECT_LINES((Lines{"posted ALTER APPLICATION remotecontrol CONNECT orvanta.robot",
                        "posted APPLICATION remotecontrol CONNECTING orvanta.robot"}),
                 SendLines("ALTER APPLICATION remotecontrol CONNECT orvanta.robot"));
    m_model.Advance(1);
    EXPECT_LINES((Lines{"posted ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "posted APPLICATION remotecontrol SENDING orvanta.robot:1=11",
                        "posted APPLICATION remotecontrol SENDING ", FromRobot(1, kHomeReport)}),
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD"));
    // It can be switched while attached.
    m_model.SetNestReplies(true);
    EXPECT_LINES(Lines{"nested PONG"}, SendLines("PING"));
}

// The station answers after a delay on the wire.
class SlowRobot : public AttachedModel {
protected:
    static Config Slow()
    {
        Config c;
        c.robotLatency = 0.1;
        return c;
    }
    SlowRobot() : AttachedModel(Slow()) { }
};

TEST_F(SlowRobot, ReportsArriveLaterAndDieWithTheirStream)
{
    OpenRobotStream();
    EXPECT_EQ(SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD").size(), 3u);
    EXPECT_LINES(Lines{}, AdvanceLines(0.05));
    EXPECT_LINES(Lines{FromRobot(1, kHomeReport)}, AdvanceLines(0.05));
    Send("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD");
    Send("ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1");
    EXPECT_LINES(Lines{}, AdvanceLines(0.5));
}

}  // namespace
}  // namespace standin::test

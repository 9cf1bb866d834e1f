#include <gtest/gtest.h>

#include <algorithm>

#include "FaultTexts.h"
#include "ModelTest.h"
#include "WireTexts.h"

namespace standin::test {
namespace {

TEST_F(AttachedModel, StreamLost)
{
    OpenRobotStream();
    EXPECT_LINES(Lines{"posted APPLICATION remotecontrol STREAMS "}, Sent(m_model.DropStream()));
    EXPECT_EQ(m_model.robotStream(), 0);
    EXPECT_EQ(SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD").front(),
              "nested ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier");
    EXPECT_LINES(Lines{}, Sent(m_model.DropStream()));
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    m_model.Advance(1);
    EXPECT_EQ(m_model.robotStream(), 2);
}

TEST_F(AttachedModel, GarbageIsPostedAsIs)
{
    const std::vector<std::string> garbage = GarbageNotices();
    const Batch batch = m_model.Garbage();
    ASSERT_EQ(batch.size(), garbage.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        EXPECT_EQ(batch[i].kind, Outgoing::Kind::kNotice);
        EXPECT_EQ(batch[i].timing, Timing::kPosted);
        EXPECT_EQ(batch[i].text, garbage[i]);
    }
}

TEST(FaultTexts, GarbageHoldsNoZeroAndNoWordOrvantaActsOn)
{
    for (const std::string& text : GarbageNotices()) {
        EXPECT_EQ(text.find('\0'), std::string::npos) << text;
        for (const std::string& word : ActiveWords())
            EXPECT_EQ(text.find(word), std::string::npos) << text;
    }
    EXPECT_EQ(GarbageNotices(), GarbageNotices());  // the same every time
}

TEST_F(AttachedModel, OversizedNotice)
{
    const Lines texts = Texts(m_model.Oversized(4096));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), 4096u);
    EXPECT_EQ(texts[0].rfind("USER orvanta.robot MOOD_TEXT 0", 0), 0u) << texts[0].substr(0, 40);
    EXPECT_EQ(Texts(m_model.Oversized(5, "APPLICATION"))[0], "APPLI");
    const std::string datagram = testsupport::DatagramNotice(1, "WMRD_U*");
    EXPECT_EQ(Texts(m_model.Oversized(2000, datagram))[0].substr(0, datagram.size() + 3), datagram + "012");
}

TEST_F(AttachedModel, ForeignDatagrams)
{
    OpenRobotStream();
    EXPECT_LINES((Lines{
                     "posted APPLICATION remotecontrol DATAGRAM orvanta.robot:2 Msg$WMRP_D|X3000Y3000Z3000P0R0G0",
                     "posted APPLICATION remotecontrol DATAGRAM intruder.account:1 Msg$WMRD_U*Not the robot",
                     "posted APPLICATION othergame DATAGRAM orvanta.robot:1 Msg$WMRD_U*Not our application",
                 }),
                 Sent(m_model.ForeignDatagrams()));
    // Without a stream: still one no stream was ever numbered.
    m_model.DropStream();
    EXPECT_EQ(Texts(m_model.ForeignDatagrams())[0],
              "APPLICATION remotecontrol DATAGRAM orvanta.robot:2 Msg$WMRP_D|X3000Y3000Z3000P0R0G0");
}

TEST_F(AttachedModel, SilentRobot)
{
    OpenRobotStream();
    m_model.SetRobotMode(RobotMode::kSilent);
    // Skype still sends it; nothing comes back, and the station never heard it.
    EXPECT_LINES((Lines{"nested ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1",
                        "nested APPLICATION remotecontrol SENDING orvanta.robot:1=11",
                        "posted APPLICATION remotecontrol SENDING "}),
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD"));
    EXPECT_FALSE(m_model.station().clientPresent());
    EXPECT_LINES(Lines{}, AdvanceLines(60));
    EXPECT_LINES(Lines{}, Sent(m_model.RobotReport("WMRP_SE")));
    m_model.SetRobotMode(RobotMode::kAnswering);
    EXPECT_EQ(SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QU").back(),
              "posted APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRSS|RoBoT_ReAdY");
}

TEST_F(AttachedModel, InjectAndRobotReport)
{
    EXPECT_LINES(Lines{"posted CALL 7 STATUS FINISHED"}, Sent(m_model.Inject("CALL 7 STATUS FINISHED")));
    const Batch none = m_model.RobotReport("WMRP_SE");
    EXPECT_LINES(Lines{}, Sent(none));
    EXPECT_EQ(none.size(), 1u);  // a note says why
    OpenRobotStream();
    EXPECT_LINES(Lines{"posted APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRP_SE"},
                 Sent(m_model.RobotReport("WMRP_SE")));
}

TEST(Faults, NothingReachesADetachedClient)
{
    SkypeModel model;
    EXPECT_LINES(Lines{}, Sent(model.Garbage()));
    EXPECT_LINES(Lines{}, Sent(model.Oversized(3000)));
    EXPECT_LINES(Lines{}, Sent(model.ForeignDatagrams()));
    EXPECT_LINES(Lines{}, Sent(model.Inject("x")));
    EXPECT_LINES(Lines{}, Sent(model.FarHangUp()));
    EXPECT_LINES(Lines{}, Sent(model.DropStream()));
    EXPECT_LINES(Lines{}, Sent(model.LogOut()));
}

// Every recorded real notice is something the model may send as it is.
TEST_F(AttachedModel, RecordedNoticesCanBeInjected)
{
    const char* recorded[] = {"CALL 8345 STATUS ROUTING", "APPLICATION test SENDING ", "CALL 32493 DURATION 0"};
    for (const char* text : recorded)
        EXPECT_EQ(Texts(m_model.Inject(text)), Lines{text});
}

}  // namespace
}  // namespace standin::test

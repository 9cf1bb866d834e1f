// Faults of the Skype client during an experiment, played by the stand-in:
// the user logging out and in again, the robot's stream breaking, the Skype
// window going away, and a flood of notices Orvanta must ignore.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

const std::string kThanks = "Thanks for using robot!\n\n Hope to see you again!\n\n ";

using Kind = standin::TrafficEntry::Kind;

class Faults : public StandinTest {
protected:
    std::vector<standin::TrafficEntry> entriesSince(std::uint64_t after, Kind kind) const
    {
        std::vector<standin::TrafficEntry> found;
        for (const standin::TrafficEntry& e : trafficSince(after)) {
            if (e.kind == kind)
                found.push_back(e);
        }
        return found;
    }

    // What an operator reads off the panel.
    std::map<int, std::string> panelTexts() const
    {
        std::map<int, std::string> texts;
        for (int id :
             {IDC_STATUS, IDC_X_READ, IDC_Y_READ, IDC_Z_READ, IDC_PITCH_READ, IDC_ROLL_READ, IDC_HAND_READ, IDC_X_SET,
              IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED, IDC_ROBOT_MESSAGE})
            texts[id] = panel.text(id);
        return texts;
    }
};

TEST_F(Faults, LogOutAndInAgainReattachesByItself)
{
    ASSERT_TRUE(startWithStandin());
    ASSERT_TRUE(waitForLink());
    ASSERT_TRUE(callRobot());

    // Logged out: the status says so and the controls go off.
    std::uint64_t mark = trafficMark();
    standin->Play([](standin::SkypeModel& m) { return m.LogOut(); });
    ASSERT_TRUE(WaitFor("\"User offline\"", [&] { return panel.text(IDC_STATUS) == "User offline"; }));
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id) << " while logged out";
    EXPECT_FALSE(standinAttached());

    // Logged in: the 0x8001 broadcast, then Orvanta's own discovery eleven ticks later.
    mark = trafficMark();
    standin->Play([](standin::SkypeModel& m) { return m.LogIn(); });
    ASSERT_TRUE(WaitFor(
        "Orvanta's discovery", [&] { return !entriesSince(mark, Kind::kDiscover).empty(); }, 20000ms))
        << describeTraffic(mark);
    auto broadcasts = entriesSince(mark, Kind::kBroadcast);
    auto discoveries = entriesSince(mark, Kind::kDiscover);
    ASSERT_EQ(broadcasts.size(), 1u) << describeTraffic(mark);
    ASSERT_EQ(discoveries.size(), 1u) << describeTraffic(mark);
    const double delay = discoveries[0].time - broadcasts[0].time;
    EXPECT_GE(delay, 9.5) << "the discovery came too soon after the broadcast";
    EXPECT_LE(delay, 13.0) << "the discovery came too late after the broadcast";

    // Attached again: application, connection and a new stream, and the robot answers.
    ASSERT_TRUE(waitForLink(10000ms));
    const std::vector<std::string> kRelink = {"CREATE APPLICATION remotecontrol",
                                              "ALTER APPLICATION remotecontrol CONNECT " + kRobot};
    ExpectSequence(kRelink, commandsSince(discoveries[0].seq));
    EXPECT_TRUE(standinAttached());
    EXPECT_EQ(robotStream(), 2);
    EXPECT_TRUE(waitForTraffic(DatagramCommand(2, "WMCA_QD"), discoveries[0].seq));
    EXPECT_TRUE(WaitFor("Connect enabled again", [&] { return panel.enabled(IDC_CONNECT); }));
    EXPECT_EQ(entriesSince(mark, Kind::kDiscover).size(), 1u) << "one discovery only";
}

TEST_F(Faults, StreamLostMidSessionEndsTheExperimentOnce)
{
    ASSERT_TRUE(startWithStandin());
    ASSERT_TRUE(waitForLink());
    ASSERT_TRUE(callRobot());
    const int callId = call().id;

    const std::uint64_t mark = trafficMark();
    standin->Play([](standin::SkypeModel& m) { return m.DropStream(); });
    RemoteDialog thanks = orvanta.waitForDialog("Message");
    ASSERT_TRUE(thanks) << orvanta.describeWindows();
    EXPECT_EQ(thanks.messageText(), kThanks);
    EXPECT_TRUE(HoldsFor(
        "one thanks box", [&] { return countDialogs("Message") == 1; }, 2000ms));
    // The close-down, though the stream is gone already.
    const std::vector<std::string> kEnd = {
        DatagramCommand(1, "WMCD"), "ALTER CALL " + std::to_string(callId) + " HANGUP",
        "ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":1", "DELETE APPLICATION remotecontrol"};
    ExpectSequence(kEnd, commandsSince(mark));
    EXPECT_EQ(panel.text(IDC_STATUS), "Please restart this program again for next experiment.");
    // The end ran after the notice had been answered: Skype never counted Orvanta as gone.
    for (const standin::TrafficEntry& e : entriesSince(mark, Kind::kNotice))
        EXPECT_TRUE(e.delivered) << "not answered in time: " << e.text.substr(0, 80);
    EXPECT_TRUE(standinAttached());

    ASSERT_TRUE(thanks.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the thanks box to close", [&] { return countDialogs("Message") == 0; }));
    EXPECT_TRUE(HoldsFor(
        "no second box", [&] { return orvanta.dialogs().empty(); }, 1500ms));
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id) << " after the experiment";
    EXPECT_TRUE(Responds(panel.hwnd()));
}

TEST_F(Faults, SkypeWindowGoneWhileOrvantaRuns)
{
    ASSERT_TRUE(startWithStandin());
    ASSERT_TRUE(waitForLink());
    ASSERT_TRUE(WaitFor("Connect enabled", [&] { return panel.enabled(IDC_CONNECT); }));

    standin.reset();
    // The next poll finds no window: the link is lost, as at a log-out.
    EXPECT_TRUE(WaitFor("\"User offline\"", [&] { return panel.text(IDC_STATUS) == "User offline"; }));
    EXPECT_TRUE(WaitFor("the link controls off", [&] { return AllEnabled(panel, kLinkControls, false); }));
    EXPECT_TRUE(HoldsFor(
        "Orvanta running and answering",
        [&] { return orvanta.running() && Responds(panel.hwnd()) && orvanta.dialogs().empty(); }, 2000ms))
        << orvanta.describeWindows();
    EXPECT_EQ(panel.text(IDC_STATUS), "User offline");

    // Closing still ends it, after the close-down's wait.
    panel.close();
    ASSERT_TRUE(orvanta.waitForExit(12000ms));
    auto code = orvanta.exitCode();
    ASSERT_TRUE(code);
    EXPECT_LT(*code, 0xC0000000u) << "ended by an exception";
}

TEST_F(Faults, FloodOfGarbageNoticesChangesNothing)
{
    ASSERT_TRUE(startWithStandin());
    ASSERT_TRUE(waitForLink());
    ASSERT_TRUE(callRobot());
    // The arm rests at home; its reports keep the Read boxes as they are.
    ASSERT_TRUE(WaitFor("the Read boxes filled", [&] { return panel.text(IDC_Z_READ) == "170"; }));
    const auto before = panelTexts();

    const std::uint64_t mark = trafficMark();
    constexpr int kRounds = 25;
    for (int round = 0; round < kRounds; ++round) {
        standin->Play([](standin::SkypeModel& m) { return m.Garbage(); });
        standin->Play([](standin::SkypeModel& m) { return m.Oversized(4096); });
        standin->Play([](standin::SkypeModel& m) { return m.ForeignDatagrams(); });
    }
    ASSERT_TRUE(standin->WaitIdle(30000)) << "the flood did not drain";
    // Every notice was answered in time: Skype still counts Orvanta as attached.
    size_t sent = 0;
    for (const standin::TrafficEntry& e : entriesSince(mark, Kind::kNotice)) {
        ++sent;
        EXPECT_TRUE(e.delivered) << "not answered: " << e.text.substr(0, 80);
    }
    EXPECT_GE(sent, kRounds * 30u);
    EXPECT_TRUE(standinAttached());
    EXPECT_TRUE(Responds(panel.hwnd()));

    // A tick later the panel reads as it did.
    ASSERT_TRUE(waitForTraffic("Msg$WMRP_D|", trafficMark(), 3000ms));
    EXPECT_TRUE(WaitFor("the robot's report handled", [&] { return panel.text(IDC_STATUS) == "Link to Robot OK!"; }));
    EXPECT_EQ(panelTexts(), before);
    for (int id : kLinkControls)
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id) << " after the flood";
    EXPECT_TRUE(orvanta.noDialogOpen());

    // And it still moves the robot.
    const std::uint64_t moved = trafficMark();
    ASSERT_TRUE(panel.setText(IDC_X_SET, "200"));
    ASSERT_TRUE(panel.setText(IDC_Z_SET, "120"));
    ASSERT_TRUE(panel.setText(IDC_HAND_SET, "30"));
    ASSERT_TRUE(panel.setText(IDC_SPEED, "255"));
    ASSERT_TRUE(panel.click(IDC_MOVE_XYZ));
    ASSERT_TRUE(waitForTraffic("Msg$WMRP_SE", moved, 10000ms));
    EXPECT_TRUE(WaitFor("the new pose read back",
                        [&] { return panel.text(IDC_X_READ) == "200" && panel.text(IDC_Z_READ) == "120"; }));
}

}  // namespace
}  // namespace e2e

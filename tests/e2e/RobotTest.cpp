// The robot station's reports as they reach the panel inside datagram notices:
// the pose, the robot's text, its request, readiness, and the silent robot.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

constexpr int kStream = 4;

const char kSearching[] = "Searching Robot ......";
const char kLinkOk[] = "Link to Robot OK!";
const char kSilent[] = "Sorry Robot is not online now, please try again later";

const std::string kPosition = "WMRP_D|X1234Y-50Z800P-900R0G255";

bool IsFirstPoll(const std::string& line) { return line.ends_with(" Msg$WMCA_QD"); }

struct ControlText {
    int id;
    const char* text;
};

class Robot : public OrvantaTest {
protected:
    // Attached, with the robot's stream known; the video never started.
    ::testing::AssertionResult startLinked()
    {
        skype.answerDiscovery(kAttachSuccess);
        auto started = startOrvanta();
        if (!started)
            return started;
        if (auto linked = skype.waitForCommands(2); !linked)
            return linked;
        auto streams = skype.sendNotice("APPLICATION remotecontrol STREAMS " + kRobot + ":" + std::to_string(kStream));
        if (streams != Answered(1))
            return ::testing::AssertionFailure() << "the STREAMS notice was not taken";
        return ::testing::AssertionSuccess();
    }

    void expectTexts(const std::vector<ControlText>& expected)
    {
        for (const ControlText& control : expected)
            EXPECT_EQ(panel.text(control.id), control.text) << ControlName(control.id);
    }

    size_t firstPolls() const
    {
        auto texts = skype.commandTexts();
        return size_t(std::count_if(texts.begin(), texts.end(), IsFirstPoll));
    }
};

const std::vector<ControlText> kFreshReads = {
    {IDC_X_READ, "0"},     {IDC_Y_READ, "0"},    {IDC_Z_READ, "0"},
    {IDC_PITCH_READ, "0"}, {IDC_ROLL_READ, "0"}, {IDC_HAND_READ, "0"},
};
const std::vector<ControlText> kFreshSets = {
    {IDC_X_SET, "0"},    {IDC_Y_SET, "0"},    {IDC_Z_SET, "0"},   {IDC_PITCH_SET, "-90"},
    {IDC_ROLL_SET, "0"}, {IDC_HAND_SET, "0"}, {IDC_SPEED, "200"},
};

TEST_F(Robot, PositionReportFillsTheReadBoxes)
{
    ASSERT_TRUE(startLinked());
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, kPosition)), Answered(1));
    // Tenths on the wire; the hand in whole millimetres (25, not 25.5).
    expectTexts({{IDC_X_READ, "123.4"},
                 {IDC_Y_READ, "-5"},
                 {IDC_Z_READ, "80"},
                 {IDC_PITCH_READ, "-90"},
                 {IDC_ROLL_READ, "0"},
                 {IDC_HAND_READ, "25"},
                 {IDC_STATUS, kLinkOk}});
    // Without REC the targets stay where they were.
    expectTexts(kFreshSets);
    // Only the attach's two link commands: a report sends nothing back.
    EXPECT_EQ(WithoutPolls(skype.commandTexts()).size(), 2u);
}

// The operator half-way through typing "-5" when a report comes: the report
// shows its pose and leaves the Set boxes as typed.
TEST_F(Robot, PositionReportLeavesABoxBeingTypedIn)
{
    ASSERT_TRUE(startLinked());
    ASSERT_TRUE(panel.setText(IDC_X_SET, "-"));
    ASSERT_TRUE(panel.setText(IDC_Y_SET, "12"));
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, kPosition)), Answered(1));
    expectTexts({{IDC_X_READ, "123.4"},
                 {IDC_HAND_READ, "25"},
                 {IDC_STATUS, kLinkOk},
                 {IDC_X_SET, "-"},
                 {IDC_Y_SET, "12"},
                 {IDC_SPEED, "200"}});
}

TEST_F(Robot, RobotTextShowsWholeInTheMessageBox)
{
    ASSERT_TRUE(startLinked());
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRD_U*Gripper is warm, please wait")), Answered(1));
    EXPECT_EQ(panel.text(IDC_ROBOT_MESSAGE), "*Gripper is warm, please wait");
    EXPECT_EQ(panel.text(IDC_STATUS), kLinkOk);
    // A text report without "*" clears it.
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRD_U")), Answered(1));
    EXPECT_EQ(panel.text(IDC_ROBOT_MESSAGE), "");
}

TEST_F(Robot, RequestIsAnsweredInsideItsNotice)
{
    ASSERT_TRUE(startLinked());
    skype.clear();
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMIT_D")), Answered(1));
    const std::vector<std::string> kExpected = {"notice " + DatagramNotice(kStream, "WMIT_D"),
                                                "command " + DatagramCommand(kStream, "WMCA_ITD"), "done = 1"};
    ExpectSequence(kExpected, WithoutPolls(skype.transcript()));
    EXPECT_EQ(panel.text(IDC_STATUS), kLinkOk);
}

TEST_F(Robot, ReadinessEnablesOnlyConnectAndDisconnect)
{
    ASSERT_TRUE(startLinked());
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRSS RoBoT_ReAdY")), Answered(1));
    EXPECT_TRUE(panel.enabled(IDC_CONNECT));
    EXPECT_TRUE(panel.enabled(IDC_DISCONNECT));
    for (int id : kLinkControls) {
        if (id != IDC_CONNECT && id != IDC_DISCONNECT) {
            EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
        }
    }
    EXPECT_EQ(panel.text(IDC_STATUS), kLinkOk);
}

TEST_F(Robot, ReportOnAnotherStreamChangesNothing)
{
    ASSERT_TRUE(startLinked());
    skype.clear();
    for (const std::string& payload :
         {kPosition, std::string("WMIT_D"), std::string("WMRD_U*other"), std::string("WMRSS RoBoT_ReAdY")})
        ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream + 1, payload)), Answered(1)) << payload;
    expectTexts(kFreshReads);
    expectTexts(kFreshSets);
    EXPECT_EQ(panel.text(IDC_ROBOT_MESSAGE), "");
    EXPECT_EQ(panel.text(IDC_STATUS), kSearching);
    EXPECT_FALSE(panel.enabled(IDC_CONNECT));
    EXPECT_TRUE(WithoutPolls(skype.commandTexts()).empty()) << "the request was answered";
}

// The one slow test (~18 s): the warning counts ticks from the last report,
// also once the robot has answered.
TEST_F(Robot, RobotSilentForMoreThanFifteenTicksIsReported)
{
    // What the status line showed as each tick's first poll went out, that is,
    // after the tick before it; and the report, inside the second tick.
    struct Seen {
        std::mutex lock;
        std::map<size_t, std::string> statusBeforeTick;
    };
    auto seen = std::make_shared<Seen>();
    skype.onCommand([seen, this](const CopyData& command) -> LRESULT {
        std::string text = command.text();
        if (!IsPoll(text))
            return 1;
        size_t tick = firstPolls();
        if (IsFirstPoll(text)) {
            std::string status;
            if (!ReadWindowText(GetDlgItem(command.from, IDC_STATUS), status))
                status = "<no answer>";
            std::lock_guard guard(seen->lock);
            seen->statusBeforeTick[tick] = status;
        } else if (tick == 2) {
            skype.sendNotice(DatagramNotice(kStream, kPosition), command.from);
        }
        return 1;
    });
    ASSERT_TRUE(startLinked());

    // The report came in tick 2; tick 2 + 16 is the first with more than 15 behind it.
    ASSERT_TRUE(WaitFor(
        "the silent-robot warning", [&] { return panel.text(IDC_STATUS) == kSilent; }, 25000ms));
    EXPECT_EQ(firstPolls(), 18u) << "the warning came on the wrong tick";
    {
        std::lock_guard guard(seen->lock);
        auto& before = seen->statusBeforeTick;
        EXPECT_EQ(before[2], kSearching) << "after tick 1";
        EXPECT_EQ(before[3], kLinkOk) << "after the report in tick 2";
        EXPECT_EQ(before[17], kLinkOk) << "after tick 16";
        EXPECT_EQ(before[18], kLinkOk) << "after tick 17, the 15th after the report";
    }
    skype.onCommand(nullptr);

    // The next report brings the good news back.
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRD_U*back")), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), kLinkOk);
}

}  // namespace
}  // namespace e2e

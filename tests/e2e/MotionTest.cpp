// The operator's motion commands with the robot's video running: jogs held and
// released with the mouse, Cartesian targets from the Set boxes, and the two
// homing questions.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

constexpr int kStream = 6;

const std::string kVideoRunning = "CALL 1 VIDEO_RECEIVE_STATUS RUNNING";
const std::string kVideoRejected = "CALL 1 VIDEO_RECEIVE_STATUS REJECTED";

const char kCalibrateQuestion[] =
    "This command will reset the current position\nas the home position.\n\nAre you sure to continue?.";
const char kGotoHomeQuestion[] = "This command will let robot move to its home position\n\nAre you sure to continue?.";
const char kOutOfRange[] = "The target is out of range and was not sent.";

struct ControlText {
    int id;
    const char* text;
};

// The example pose: sent in whole units, kept as typed.
const std::vector<ControlText> kTypedPose = {
    {IDC_X_SET, "12.7"}, {IDC_Y_SET, "-3.2"},    {IDC_Z_SET, "100"}, {IDC_PITCH_SET, "-90"},
    {IDC_ROLL_SET, "0"}, {IDC_HAND_SET, "25.9"}, {IDC_SPEED, "200"},
};
const std::string kTypedPoseTarget = "WMCA_PCD|X120Y-30Z1000P-900R0G250SP200";

class Motion : public OrvantaTest {
protected:
    void SetUp() override
    {
        skype.answerDiscovery(kAttachSuccess);
        ASSERT_TRUE(startOrvanta());
        ASSERT_TRUE(skype.waitForCommands(2));
        ASSERT_EQ(skype.sendNotice("APPLICATION remotecontrol STREAMS " + kRobot + ":" + std::to_string(kStream)),
                  Answered(1));
        ASSERT_EQ(skype.sendNotice(kVideoRunning), Answered(1));
        for (int id : kLinkControls)
            ASSERT_TRUE(panel.enabled(id)) << ControlName(id);
        skype.clear();
    }

    std::vector<std::string> sent() const { return WithoutPolls(skype.commandTexts()); }

    ::testing::AssertionResult waitForSent(size_t count, Millis timeout = kDefaultTimeout)
    {
        auto result = WaitFor(
            std::to_string(count) + " command(s) besides the polls", [&] { return sent().size() >= count; }, timeout);
        if (!result) {
            for (const std::string& line : sent())
                result << "\n  " << line;
        }
        return result;
    }

    // Nothing more than `count` commands besides the polls goes out for a while.
    ::testing::AssertionResult staysAt(size_t count, Millis period = 400ms)
    {
        auto result = HoldsFor(
            "no further command", [&] { return sent().size() <= count; }, period);
        if (!result) {
            for (const std::string& line : sent())
                result << "\n  " << line;
        }
        return result;
    }

    void typePose(const std::vector<ControlText>& pose)
    {
        for (const ControlText& control : pose)
            ASSERT_TRUE(panel.setText(control.id, control.text)) << ControlName(control.id);
    }

    void expectTexts(const std::vector<ControlText>& expected)
    {
        for (const ControlText& control : expected)
            EXPECT_EQ(panel.text(control.id), control.text) << ControlName(control.id);
    }

    // The yes/no question a homing button asks, answered with `answer`.
    void answerQuestion(int button, const char* question, int answer)
    {
        ASSERT_TRUE(panel.clickOpeningBox(button)) << ControlName(button);
        RemoteDialog box = orvanta.waitForDialog("Orvanta");
        ASSERT_TRUE(box) << orvanta.describeWindows();
        EXPECT_EQ(box.messageText(), question);
        EXPECT_EQ(box.owner(), panel.hwnd());
        EXPECT_TRUE(box.hasItem(IDYES) && box.hasItem(IDNO)) << box.describe();
        EXPECT_EQ(MessageBoxIcon(box), "none");
        EXPECT_TRUE(sent().empty()) << "sent before the answer";
        ASSERT_TRUE(box.pressButton(answer));
        ASSERT_TRUE(WaitFor("the question to close", [&] { return !box.exists() || !box.isVisible(); }));
    }
};

TEST_F(Motion, JogRunsFromPressToRelease)
{
    ASSERT_TRUE(panel.press(IDC_ELBOW_DOWN));
    ASSERT_TRUE(waitForSent(1));
    // Held: no stop yet.
    EXPECT_TRUE(staysAt(1));
    ASSERT_TRUE(panel.release(IDC_ELBOW_DOWN));
    ASSERT_TRUE(waitForSent(2));
    EXPECT_TRUE(staysAt(2));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, "WMCA_BSTARTM|1005"),
                                                DatagramCommand(kStream, "WMCA_BSTOPM|1005")};
    ExpectSequence(kExpected, sent());
    EXPECT_TRUE(panel.enabled(IDC_ELBOW_DOWN));
}

// The real pointer, through the window system's own input: what a hand on the
// mouse does, moves at capture time included.
void PointerTo(POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void LeftButton(DWORD flag)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
}

// A pointer that slides off a held jog button: the button draws itself released
// and the joint stops there, once; back on the button and released, nothing more.
TEST_F(Motion, JogStopsWhereThePointerLeavesTheHeldButton)
{
    const std::vector<std::string> kStartStop = {DatagramCommand(kStream, "WMCA_BSTARTM|1005"),
                                                 DatagramCommand(kStream, "WMCA_BSTOPM|1005")};
    {
        SCOPED_TRACE("posted messages");
        ASSERT_TRUE(panel.press(IDC_ELBOW_DOWN));
        ASSERT_TRUE(waitForSent(1));
        EXPECT_TRUE(staysAt(1));  // the window system's own move as the button took the mouse
        ASSERT_TRUE(panel.moveMouse(IDC_ELBOW_DOWN, {-4, 3}));
        ASSERT_TRUE(waitForSent(2));
        ASSERT_TRUE(panel.moveMouse(IDC_ELBOW_DOWN, {3, 3}));
        ASSERT_TRUE(panel.release(IDC_ELBOW_DOWN));
        EXPECT_TRUE(staysAt(2));
        ExpectSequence(kStartStop, sent());
    }
    skype.clear();
    {
        SCOPED_TRACE("the real pointer");
        RECT r{};
        ASSERT_TRUE(GetWindowRect(panel.item(IDC_ELBOW_DOWN), &r));
        const POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        PointerTo(centre);
        LeftButton(MOUSEEVENTF_LEFTDOWN);
        // The button is let go whatever the test's outcome: the next test's pointer is free.
        struct Held {
            bool down = true;
            void release()
            {
                if (std::exchange(down, false))
                    LeftButton(MOUSEEVENTF_LEFTUP);
            }
            ~Held() { release(); }
        } held;
        ASSERT_TRUE(waitForSent(1));
        EXPECT_TRUE(staysAt(1));  // held in place
        PointerTo({r.left - 6, centre.y});
        ASSERT_TRUE(waitForSent(2));
        PointerTo(centre);
        EXPECT_TRUE(staysAt(2));
        held.release();
        EXPECT_TRUE(staysAt(2));
        ExpectSequence(kStartStop, sent());
    }
}

// A step the robot cannot reach ends no step, so the playback waits there; the
// operator's own move takes over, and its step end plays nothing.
TEST_F(Motion, OperatorsOwnMoveEndsAStalledPlayback)
{
    for (const char* x : {"10", "20"}) {
        ASSERT_TRUE(panel.setText(IDC_X_SET, x));
        ASSERT_TRUE(panel.click(IDC_ADD));
    }
    ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 0));
    ASSERT_TRUE(panel.click(IDC_RUN));
    ASSERT_TRUE(waitForSent(1));
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRD_U*Target out of reach")), Answered(1));
    ASSERT_TRUE(panel.setText(IDC_X_SET, "55"));
    ASSERT_TRUE(panel.click(IDC_MOVE_XYZ));
    ASSERT_TRUE(waitForSent(2));
    EXPECT_FALSE(panel.checked(IDC_RUN));
    ASSERT_EQ(skype.sendNotice(DatagramNotice(kStream, "WMRP_SE")), Answered(1));
    EXPECT_TRUE(staysAt(2));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, "WMCA_PCD|X100Y0Z0P-900R0G0SP200"),
                                                DatagramCommand(kStream, "WMCA_PCD|X550Y0Z0P-900R0G0SP200")};
    ExpectSequence(kExpected, sent());
}

TEST_F(Motion, VideoRejectedDuringAJogStopsItAtOnce)
{
    ASSERT_TRUE(panel.press(IDC_ELBOW_DOWN));
    ASSERT_TRUE(waitForSent(1));
    skype.clear();
    // The stop goes out while the notice that disables the button is handled.
    ASSERT_EQ(skype.sendNotice(kVideoRejected), Answered(1));
    const std::vector<std::string> kInsideTheNotice = {
        "notice " + kVideoRejected, "command " + DatagramCommand(kStream, "WMCA_BSTOPM|1005"), "done = 1"};
    ExpectSequence(kInsideTheNotice, WithoutPolls(skype.transcript()));
    EXPECT_FALSE(panel.enabled(IDC_ELBOW_DOWN));
    // The hold is over: the release that follows reaches a disabled button and stops nothing again.
    ASSERT_TRUE(panel.release(IDC_ELBOW_DOWN));
    EXPECT_TRUE(staysAt(1, 600ms));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, "WMCA_BSTOPM|1005")};
    ExpectSequence(kExpected, sent());
}

TEST_F(Motion, MoveToXyzSendsTheSetPoseInWholeUnits)
{
    typePose(kTypedPose);
    ASSERT_TRUE(panel.click(IDC_MOVE_XYZ));
    ASSERT_TRUE(waitForSent(1));
    EXPECT_TRUE(staysAt(1));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, kTypedPoseTarget)};
    ExpectSequence(kExpected, sent());
    expectTexts(kTypedPose);
}

TEST_F(Motion, StepSendsTheSetPoseLikeMoveToXyz)
{
    typePose(kTypedPose);
    ASSERT_TRUE(panel.click(IDC_STEP));
    ASSERT_TRUE(waitForSent(1));
    EXPECT_TRUE(staysAt(1));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, kTypedPoseTarget)};
    ExpectSequence(kExpected, sent());
    expectTexts(kTypedPose);
}

// A form with a box that holds no number sends nothing, keeps what was typed,
// and puts the focus in that box with its text selected.
TEST_F(Motion, MoveWithABoxThatHoldsNoNumberSendsNothing)
{
    typePose(kTypedPose);
    typePose({{IDC_X_SET, "5"}, {IDC_Y_SET, "abc"}, {IDC_Z_SET, "7"}});
    ASSERT_TRUE(panel.click(IDC_MOVE_XYZ));
    // Handled when the click returns.
    const HWND bad = panel.item(IDC_Y_SET);
    EXPECT_EQ(panel.focus(), bad) << "focus on " << ControlName(GetDlgCtrlID(panel.focus()));
    DWORD_PTR selection = 0;
    ASSERT_TRUE(SendMessageTimeoutA(bad, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 3);
    expectTexts({{IDC_X_SET, "5"}, {IDC_Y_SET, "abc"}, {IDC_Z_SET, "7"}, {IDC_PITCH_SET, "-90"}, {IDC_SPEED, "200"}});
    EXPECT_TRUE(staysAt(0));
}

TEST_F(Motion, NoTargetGoesOutWhileTheControlsAreOff)
{
    ASSERT_EQ(skype.sendNotice(kVideoRejected), Answered(1));
    for (int id : {IDC_MOVE_XYZ, IDC_STEP}) {
        EXPECT_FALSE(panel.click(id)) << ControlName(id) << " is usable";
        // Its command reaching the panel all the same: the Set boxes are read
        // and written back ("12.70" shows as "12.7"), and nothing is sent.
        typePose(kTypedPose);
        ASSERT_TRUE(panel.setText(IDC_X_SET, "12.70"));
        ASSERT_TRUE(panel.pressButton(id));
        EXPECT_TRUE(WaitFor("the Set boxes pulled and pushed", [&] { return panel.text(IDC_X_SET) == "12.7"; }))
            << ControlName(id);
        EXPECT_TRUE(staysAt(0)) << ControlName(id);
    }
    expectTexts(kTypedPose);
}

TEST_F(Motion, OutOfRangeTargetIsNotSent)
{
    typePose(kTypedPose);
    ASSERT_TRUE(panel.setText(IDC_X_SET, "300000000"));
    ASSERT_TRUE(panel.clickOpeningBox(IDC_MOVE_XYZ));
    RemoteDialog box = orvanta.waitForDialog("Orvanta");
    ASSERT_TRUE(box) << orvanta.describeWindows();
    EXPECT_EQ(box.messageText(), kOutOfRange);
    EXPECT_EQ(box.owner(), panel.hwnd());
    EXPECT_TRUE(box.hasItem(IDOK)) << box.describe();
    EXPECT_FALSE(box.hasItem(IDNO)) << box.describe();
    EXPECT_TRUE(WaitFor(
        "the information icon", [&] { return MessageBoxIcon(box) == "information"; }, 2000ms))
        << "shows " << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box to close", [&] { return !box.exists() || !box.isVisible(); }));
    EXPECT_TRUE(staysAt(0));
    EXPECT_EQ(panel.text(IDC_X_SET), "300000000");
}

TEST_F(Motion, CalibrateAnsweredYesSetsHomeHere)
{
    answerQuestion(IDC_CALIBRATE, kCalibrateQuestion, IDYES);
    ASSERT_TRUE(waitForSent(1));
    EXPECT_TRUE(staysAt(1));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, "WMCA_BSHP|")};
    ExpectSequence(kExpected, sent());
}

TEST_F(Motion, GotoHomeAnsweredYesMovesHome)
{
    answerQuestion(IDC_GOTO_HOME, kGotoHomeQuestion, IDYES);
    ASSERT_TRUE(waitForSent(1));
    EXPECT_TRUE(staysAt(1));
    const std::vector<std::string> kExpected = {DatagramCommand(kStream, "WMCA_BMTH|")};
    ExpectSequence(kExpected, sent());
}

TEST_F(Motion, HomingAnsweredNoSendsNothing)
{
    answerQuestion(IDC_CALIBRATE, kCalibrateQuestion, IDNO);
    EXPECT_TRUE(staysAt(0));
    answerQuestion(IDC_GOTO_HOME, kGotoHomeQuestion, IDNO);
    EXPECT_TRUE(staysAt(0));
}

}  // namespace
}  // namespace e2e

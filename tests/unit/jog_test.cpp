// Jog buttons: a press starts the joint, the release stops it, and a hold that
// ends any other way stops it at that moment, once.
#include "PanelFixture.h"

#include <functional>

namespace {

const char kNotAvailable[] = "Skype API not available, please log in Skype to operate robot";

std::string Start(int id) { return Datagram("WMCA_BSTARTM|" + std::to_string(id)); }
std::string Stop(int id) { return Datagram("WMCA_BSTOPM|" + std::to_string(id)); }

// The link controls being switched off while 1005 is held: its stop goes out
// as soon as it is disabled.
Sequence DisabledWhileHeld()
{
    Sequence out;
    for (const std::string& entry : LinkControlEntries(0)) {
        out.push_back(entry);
        if (entry == "enable IDC_ELBOW_DOWN 0")
            out.insert(out.end(), {"capture none", Stop(1005)});
    }
    return out;
}

// What ends a hold without a release reaching the button, and what it logs.
struct Interruption {
    const char* name;
    std::function<void(SkypeDesktop&)> act;
    Sequence logged;
};

std::vector<Interruption> Interruptions()
{
    return {
        {"capture taken",
         [](SkypeDesktop& d) { d.TakeCapture(); },
         {"capture " + testsupport::ControlName(0), Stop(1005)}},
        {"panel deactivated", [](SkypeDesktop& d) { d.Deactivate(); }, {"capture none", Stop(1005)}},
        {"box",
         [](SkypeDesktop& d) {
             d.ExpectBox(kNotAvailable);
             d.Attach(3);
         },
         {"capture none", Stop(1005), "box Error Message | " + std::string(kNotAvailable) + " | stop ok -> IDOK"}},
        {"video rejected", [](SkypeDesktop& d) { d.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED"); },
         DisabledWhileHeld()},
        {"logged out", [](SkypeDesktop& d) { d.Notice("USERSTATUS LOGGEDOUT"); }, DisabledWhileHeld()},
    };
}

constexpr unsigned kJogLog = headless::kSend | headless::kCapture | headless::kEnable | headless::kBox;

class Jog : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        OpenOperating();
    }
};

}  // namespace

TEST_F(Jog, EveryButtonStartsOnPressAndStopsOnRelease)
{
    for (int id = IDC_BASE_PLUS; id <= IDC_HAND_OPEN; ++id) {
        Flush();
        desk.Press(id);
        desk.Release(id);
        // Press, release.
        const Sequence expected = {"capture " + testsupport::ControlName(id), Start(id), Stop(id), "capture none"};
        ExpectSequence(expected, Log(kJogLog));
    }
}

TEST_F(Jog, HoldEndedWithoutAReleaseStopsOnceAtThatMoment)
{
    for (const Interruption& cut : Interruptions()) {
        SCOPED_TRACE(cut.name);
        TearDown();
        SetUp();
        desk.Press(IDC_ELBOW_DOWN);
        Flush();
        cut.act(desk);
        ExpectSequence(cut.logged, Log(kJogLog));
        desk.VerifyScriptsTaken();
    }
}

TEST_F(Jog, ReleaseThatNoLongerReachesTheButtonSendsNothingMore)
{
    // Capture taken: the release goes to the other window.
    desk.Press(IDC_ELBOW_DOWN);
    desk.TakeCapture();
    Flush();
    desk.Release(IDC_ELBOW_DOWN);
    EXPECT_TRUE(Sent().empty());

    // Disabled: the release is not delivered at all.
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    desk.Press(IDC_ELBOW_DOWN);
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    Flush();
    desk.Release(IDC_ELBOW_DOWN);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Jog, ReleaseOverTheButtonAfterAnEarlyStopSendsNoSecondStop)
{
    // The panel loses activation mid-hold; the mouse is then released over the button.
    desk.Press(IDC_ELBOW_DOWN);
    desk.Deactivate();
    Flush();
    desk.Release(IDC_ELBOW_DOWN);
    EXPECT_TRUE(Sent().empty());
    // The next hold is a hold of its own.
    desk.Click(IDC_ELBOW_DOWN);
    static const Sequence kNextHold = {Start(1005), Stop(1005)};
    ExpectSequence(kNextHold, Sent());
}

TEST_F(Jog, StartWhoseAnswersEndTheHoldStopsAtThatMoment)
{
    for (const Interruption& cut : Interruptions()) {
        SCOPED_TRACE(cut.name);
        TearDown();
        SetUp();
        bool once = false;
        desk.onCommand = [&](const std::string& command) {
            if (!once && command.find("WMCA_BSTARTM") != std::string::npos) {
                once = true;
                cut.act(desk);
            }
        };
        desk.Press(IDC_ELBOW_DOWN);
        Sequence expected = {"capture IDC_ELBOW_DOWN", Start(1005)};
        expected.insert(expected.end(), cut.logged.begin(), cut.logged.end());
        ExpectSequence(expected, Log(kJogLog));
        desk.VerifyScriptsTaken();
        // The button does not take the mouse again after its hold ended.
        EXPECT_NE(desk.Capture(), desk.Item(IDC_ELBOW_DOWN));
        desk.onCommand = nullptr;
    }
}

TEST_F(Jog, PointerSlidingOffTheHeldButtonStopsItThereOnce)
{
    desk.Press(IDC_ELBOW_DOWN);
    // The window system's own move as the button takes the mouse, from a pointer
    // elsewhere and no button down: the hold goes on. So it does over the button.
    desk.MoveMouse(IDC_ELBOW_DOWN, -40, -40, false);
    desk.MoveMouse(IDC_ELBOW_DOWN, 2, 2);
    EXPECT_EQ(Sent(), Sequence{Start(1005)});
    Flush();
    // Off the button, back onto it, released there: one stop, at the slide.
    desk.MoveMouse(IDC_ELBOW_DOWN, -3, 4);
    EXPECT_EQ(Sent(), Sequence{Stop(1005)});
    desk.MoveMouse(IDC_ELBOW_DOWN, 4, 4);
    desk.Release(IDC_ELBOW_DOWN);
    static const Sequence kOneStop = {Stop(1005), "capture none"};
    ExpectSequence(kOneStop, Log(kJogLog));
}

TEST_F(Jog, DoubleClickPressStartsNothingAndItsReleaseStops)
{
    desk.Press(IDC_WRIST_UP);
    desk.Release(IDC_WRIST_UP);
    desk.DoubleClickPress(IDC_WRIST_UP);
    desk.Release(IDC_WRIST_UP);
    // First click, then the double-click's second press and release.
    static const Sequence kExpected = {Start(1008), Stop(1008), Stop(1008)};
    ExpectSequence(kExpected, Sent());
}

// What every Orvanta end-to-end test starts from: a FakeSkype on the desktop,
// then a fresh Orvanta.exe that has broadcast its discovery to it. The process
// is killed when the test ends (a graceful close costs a 5 s close-down).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ControlNames.h"
#include "DialogProcess.h"
#include "FakeSkype.h"
#include "RemoteDialog.h"
#include "ExpectSequence.h"
#include "WireTexts.h"
#include "SkypeWindow.h"
#include "Wait.h"
#include "link/RobotAccount.h"
#include "res/resource.h"

namespace e2e {

// "IDC_STATUS" for 1016 (testsupport::ControlSymbol), and a message box's text, for
// failure messages; empty for an unknown id.
std::string OrvantaControlName(int id);

// The controls that only a working robot link enables, in the order the
// program switches them.
inline const std::vector<int>& kLinkControls = testsupport::LinkControlIds();

// Whether every control of `ids` is enabled (with `enabled` false: disabled).
// The program switches a group one control at a time and another process sees
// each step, so a wait for a group's new state waits for the whole group.
bool AllEnabled(const RemoteDialog& dialog, std::span<const int> ids, bool enabled = true);

// The window still answers a message sent to it within the time limit: its
// thread pumps, or waits in a send of its own (which handles sent messages).
bool Responds(HWND window, Millis limit = 2000ms);

// The standard icon a message box shows, told apart by its pixels on the screen
// (another process's icon handle cannot be read): "information", "question",
// "warning", "error", "none" when it shows no icon, "unknown" otherwise.
std::string MessageBoxIcon(const RemoteDialog& box);

class OrvantaTest : public ::testing::Test {
protected:
    // Starts Orvanta; configure `skype` (answers, handler) before calling it.
    ::testing::AssertionResult startOrvanta();
    // Fails the test when a box is still open (set allowOpenDialogs to leave one
    // open on purpose), then kills Orvanta.
    void TearDown() override;

    bool allowOpenDialogs = false;

    FakeSkype skype;
    OrvantaProcess orvanta;
    RemoteDialog panel;  // valid after startOrvanta()
};

// For tests that need nothing of Skype but the broadcast: Orvanta starts in SetUp
// and stays detached.
class DetachedOrvantaTest : public OrvantaTest {
protected:
    void SetUp() override { ASSERT_TRUE(startOrvanta()); }
};

using testsupport::DatagramCommand;
using testsupport::DatagramNotice;
using testsupport::IsPoll;
using testsupport::WithoutPolls;

// The robot's account, and the commands and notice that open the stream to it.
inline const std::string kRobot = kRobotAccount;
inline const std::string kCreate = "CREATE APPLICATION remotecontrol";
inline const std::string kConnect = "ALTER APPLICATION remotecontrol CONNECT " + kRobot;
inline const std::string kStreams3 = "APPLICATION remotecontrol STREAMS " + kRobot + ":3";
// The one-second polls and their answers, Skype's echoes of every datagram and
// the call's heartbeat: what the traffic assertions leave out.
bool IsRoutineTraffic(std::string_view text);

// Orvanta against the stand-in Skype client (standin::SkypeWindow, in this
// process) with the robot simulator behind the robot account. The FakeSkype of
// OrvantaTest stays silent.
class StandinTest : public OrvantaTest {
protected:
    // Puts the stand-in on the desktop, then starts Orvanta, which attaches to it.
    ::testing::AssertionResult startWithStandin(standin::WindowOptions options = {});
    void TearDown() override;

    // The stand-in's log after entry `after` (0: all of it).
    std::vector<standin::TrafficEntry> trafficSince(std::uint64_t after) const;
    std::uint64_t trafficMark() const { return standin->LastSeq(); }
    // Commands that reached the stand-in after `after`, taken or ignored, routine lines left out.
    std::vector<std::string> commandsSince(std::uint64_t after) const;
    // Notices the stand-in sent after `after`, routine lines left out.
    std::vector<std::string> noticesSince(std::uint64_t after) const;
    // Waits for a log entry after `after` whose text contains `part`.
    ::testing::AssertionResult waitForTraffic(std::string_view part, std::uint64_t after,
                                              Millis timeout = kDefaultTimeout) const;
    // The stand-in's log for failure messages, routine lines left out.
    std::string describeTraffic(std::uint64_t after = 0) const;

    // Attached, the stream open and the robot answering: "Link to Robot OK!".
    ::testing::AssertionResult waitForLink(Millis timeout = 10000ms);
    // Presses Connect and waits for the call and the robot's video: the link controls on.
    ::testing::AssertionResult callRobot(Millis timeout = 15000ms);

    // Open boxes of Orvanta with this caption.
    int countDialogs(std::string_view caption) const;

    robotsim::Joints joints() const;
    bool robotMoving() const;
    int robotStream() const;
    standin::CallInfo call() const;
    bool standinAttached() const;

    std::unique_ptr<standin::SkypeWindow> standin;
};

}  // namespace e2e

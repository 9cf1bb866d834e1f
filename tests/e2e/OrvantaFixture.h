// What every Orvanta end-to-end test starts from: a FakeSkype on the desktop,
// then a fresh Orvanta.exe that has broadcast its discovery to it. The process
// is killed when the test ends (a graceful close costs a 5 s close-down).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogProcess.h"
#include "FakeSkype.h"
#include "RemoteDialog.h"
#include "Sequence.h"
#include "Wait.h"
#include "link/RobotAccount.h"
#include "res/resource.h"

namespace e2e {

// "IDC_STATUS" for 1016, for failure messages; empty for an unknown id.
std::string OrvantaControlName(int id);

// The controls that only a working robot link enables, in the order the
// program switches them.
extern const std::vector<int> kLinkControls;

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

}  // namespace e2e

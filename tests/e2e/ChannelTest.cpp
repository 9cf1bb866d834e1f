// The Skype API channel as another window sees it: the discovery broadcast,
// and copy-data that must be ignored.
#include <gtest/gtest.h>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

class Channel : public DetachedOrvantaTest {
protected:
    static constexpr char kStartStatus[] = "Searching Robot ......";
};

TEST_F(Channel, DiscoveryBroadcastCarriesThePanelHandle)
{
    // Sent (not posted) before the panel showed: it is all in by now.
    auto seen = skype.discoveries();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].client, panel.hwnd());
    EXPECT_EQ(seen[0].lParam, 0);
    EXPECT_TRUE(seen[0].sent);
    // Unanswered, the program waits: no command, no second broadcast.
    EXPECT_TRUE(HoldsFor(
        "no command without an attach answer", [&] { return skype.commandCount() == 0; }, 1500ms));
    static const std::vector<std::string> kExpected = {"discover"};
    ExpectSequence(kExpected, skype.transcript());
    EXPECT_TRUE(skype.foreignCommands().empty());
}

TEST_F(Channel, UnansweredDiscoveryIsToldAndASkypeThatComesLaterIsFound)
{
    // Nothing answers the start-up broadcast: "Skype API not found." some ten
    // seconds later, shown by the panel's timer.
    RemoteDialog box = orvanta.waitForDialog("ErrorMessage", 20000ms);
    ASSERT_TRUE(box) << orvanta.describeWindows();
    EXPECT_EQ(box.owner(), panel.hwnd());
    EXPECT_EQ(box.messageText(), "Skype API not found.");
    EXPECT_TRUE(WaitFor(
        "the stop icon", [&] { return MessageBoxIcon(box) == "error"; }, 2000ms))
        << "shows " << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box to close", [&] { return orvanta.dialogs().empty(); }));

    // Skype starts and announces itself; the panel's own discovery, some eleven
    // seconds later, is answered with 0, and the link opens without a restart.
    skype.answerDiscovery(kAttachSuccess);
    skype.clear();
    ASSERT_EQ(skype.sendAttach(kAttachApiAvailable), Answered(1));
    ASSERT_TRUE(skype.waitForCommands(2, 20000ms)) << ::testing::PrintToString(skype.transcript());
    const std::vector<std::string> kExpected = {"attach 32769", "done = 1",           "discover",
                                                "attach 0",     "command " + kCreate, "command " + kConnect};
    auto transcript = skype.transcript();
    transcript.resize(std::min(transcript.size(), kExpected.size()));
    ExpectSequence(kExpected, transcript);
    EXPECT_TRUE(HoldsFor(
        "no second box", [&] { return orvanta.dialogs().empty(); }, 1500ms));
}

TEST_F(Channel, ForeignCopyDataIsConsumedWithoutEffect)
{
    // Either would change the status line if it came from the Skype window.
    EXPECT_EQ(skype.sendForeignNotice("USERSTATUS LOGGEDOUT", panel.hwnd()), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), kStartStatus);
    EXPECT_EQ(skype.sendForeignNotice("CONNSTATUS ONLINE", panel.hwnd()), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), kStartStatus);
    EXPECT_TRUE(skype.commands().empty());
    EXPECT_TRUE(orvanta.noDialogOpen());
}

TEST_F(Channel, NoticeBeforeAnyAttachIsConsumedWithoutEffect)
{
    // No Skype window is known yet, so even the Skype window is a stranger.
    EXPECT_EQ(skype.sendNotice("USERSTATUS LOGGEDOUT", panel.hwnd()), Answered(1));
    EXPECT_EQ(skype.sendNotice("CONNSTATUS ONLINE", panel.hwnd()), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), kStartStatus);
    EXPECT_TRUE(skype.commands().empty());
}

TEST_F(Channel, EmptyAndZeroLengthCopyDataAreConsumed)
{
    EXPECT_EQ(skype.sendCopyData({}, 0), Answered(1));
    EXPECT_EQ(skype.sendForeignNotice("", panel.hwnd()), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), kStartStatus);
    EXPECT_TRUE(orvanta.running());
}

}  // namespace
}  // namespace e2e

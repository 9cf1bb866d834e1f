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
    EXPECT_SEQUENCE(kExpected, skype.transcript());
    EXPECT_TRUE(skype.foreignCommands().empty());
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

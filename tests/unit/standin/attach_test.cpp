#include <gtest/gtest.h>

#include "ModelTest.h"

namespace standin::test {
namespace {

// A first discovery while the user is logged in and allows us.
const Lines kAttached = {
    "attach 0",
    "posted CONNSTATUS ONLINE",
    "posted CURRENTUSERHANDLE orvanta.operator",
    "posted USERSTATUS ONLINE",
};

TEST(Attach, SuccessThenStatusNotices)
{
    SkypeModel model;
    const Batch batch = model.Discover(kClient);
    EXPECT_LINES(kAttached, Sent(batch));
    ASSERT_EQ(batch.size(), 4u);
    for (const Outgoing& o : batch) {
        EXPECT_EQ(o.client, kClient);
        EXPECT_EQ(o.session, model.session());
    }
    EXPECT_TRUE(model.attached());
    EXPECT_TRUE(model.Accepts(kClient));
    EXPECT_FALSE(model.Accepts(kOtherClient));
    EXPECT_FALSE(model.Accepts(0));
    EXPECT_EQ(model.discoveries(), 1);
}

TEST(Attach, RefusedAndNotAvailable)
{
    Config refusing;
    refusing.attach = AttachMode::kRefused;
    SkypeModel refused(refusing);
    EXPECT_LINES(Lines{"attach 2"}, Sent(refused.Discover(kClient)));
    EXPECT_FALSE(refused.attached());

    Config loggedOut;
    loggedOut.loggedIn = false;
    SkypeModel unavailable(loggedOut);
    EXPECT_LINES(Lines{"attach 3"}, Sent(unavailable.Discover(kClient)));
    EXPECT_FALSE(unavailable.Accepts(kClient));
}

TEST(Attach, PendingThenSuccessAndNoSecondPrompt)
{
    Config config;
    config.attach = AttachMode::kPendingThenSuccess;
    config.pendingSeconds = 1.5;
    SkypeModel model(config);
    EXPECT_LINES(Lines{"attach 1"}, Sent(model.Discover(kClient)));
    EXPECT_LINES(Lines{}, Sent(model.Advance(1.0)));
    // Asking again meanwhile is told to wait, and does not restart the prompt.
    EXPECT_LINES(Lines{"attach 1"}, Sent(model.Discover(kClient)));
    EXPECT_FALSE(model.Accepts(kClient));
    EXPECT_LINES(kAttached, Sent(model.Advance(0.5)));
    EXPECT_TRUE(model.Accepts(kClient));
    EXPECT_LINES(Lines{}, Sent(model.Advance(5)));
    // Once allowed, always allowed.
    EXPECT_LINES(kAttached, Sent(model.Discover(kClient)));
}

TEST(Attach, CommandsFromOtherWindowsAreNotTaken)
{
    SkypeModel model;
    model.Discover(kClient);
    const Batch batch = model.Command(kOtherClient, "CREATE APPLICATION remotecontrol");
    EXPECT_LINES(Lines{}, Sent(batch));
    ASSERT_EQ(batch.size(), 1u);
    EXPECT_EQ(batch[0].kind, Outgoing::Kind::kNote);
    EXPECT_FALSE(model.applicationExists("remotecontrol"));
}

TEST(Attach, AnotherClientTakesOver)
{
    SkypeModel model;
    model.Discover(kClient);
    const auto first = model.session();
    model.Command(kClient, "CREATE APPLICATION remotecontrol");
    EXPECT_LINES(kAttached, Sent(model.Discover(kOtherClient)));
    EXPECT_NE(model.session(), first);
    EXPECT_TRUE(model.Accepts(kOtherClient));
    EXPECT_FALSE(model.Accepts(kClient));
    EXPECT_FALSE(model.applicationExists("remotecontrol"));
}

TEST(Attach, ClientGoneDetachesSilently)
{
    SkypeModel model;
    model.Discover(kClient);
    model.Command(kClient, "CREATE APPLICATION remotecontrol");
    const auto session = model.session();
    // A stale session changes nothing.
    EXPECT_LINES(Lines{}, Describe(model.ClientGone(session + 7)));
    EXPECT_TRUE(model.attached());
    EXPECT_LINES(Lines{}, Sent(model.ClientGone(session)));
    EXPECT_FALSE(model.attached());
    EXPECT_FALSE(model.applicationExists("remotecontrol"));
    // Nothing is sent to nobody.
    EXPECT_LINES(Lines{}, Sent(model.Inject("USERSTATUS ONLINE")));
    // It may come back with a new discovery.
    EXPECT_LINES(kAttached, Sent(model.Discover(kClient)));
    EXPECT_NE(model.session(), session);
}

// Log-out, discovery meanwhile, log-in, discovery again.
TEST(Attach, LogOutAndLogInAgain)
{
    SkypeModel model;
    model.Discover(kClient);
    model.Command(kClient, "CREATE APPLICATION remotecontrol");
    EXPECT_LINES((Lines{"posted USERSTATUS LOGGEDOUT", "posted CONNSTATUS LOGGEDOUT"}), Sent(model.LogOut()));
    EXPECT_FALSE(model.loggedIn());
    EXPECT_FALSE(model.Accepts(kClient));
    EXPECT_LINES(Lines{"attach 3"}, Sent(model.Discover(kClient)));

    const Batch available = model.LogIn();
    EXPECT_LINES(Lines{"broadcast 0x8001"}, Sent(available));
    EXPECT_EQ(available[0].status, kAttachApiAvailable);
    EXPECT_LINES((Lines{"attach 0", "posted CONNSTATUS CONNECTING", "posted CONNSTATUS ONLINE",
                        "posted CURRENTUSERHANDLE orvanta.operator", "posted USERSTATUS ONLINE"}),
                 Sent(model.Discover(kClient)));
    // The applications went with the old attachment.
    EXPECT_LINES(Lines{"nested ERROR 541 APPLICATION: operation failed"},
                 Sent(model.Command(kClient, "ALTER APPLICATION remotecontrol CONNECT orvanta.robot")));
    // Only the first attachment after a log-in says CONNECTING.
    EXPECT_LINES(kAttached, Sent(model.Discover(kClient)));
}

TEST(Attach, LogOutTwiceAndLogInTwiceAreNoOps)
{
    SkypeModel model;
    EXPECT_LINES(Lines{}, Sent(model.LogIn()));
    model.LogOut();
    EXPECT_LINES(Lines{}, Sent(model.LogOut()));
}

TEST(Attach, DiscoveryWithoutAWindowIsIgnored)
{
    SkypeModel model;
    EXPECT_LINES(Lines{}, Sent(model.Discover(0)));
    EXPECT_FALSE(model.attached());
}

}  // namespace
}  // namespace standin::test

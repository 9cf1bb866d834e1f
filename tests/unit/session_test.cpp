// The operator session over a recording view: what it does on its own (reports,
// ticks, notices) and the effects of the operator's intents, as exact
// sequences, with no window system.
#include "SessionFixture.h"

// Reports, ticks and the link's notices write the news and never read a box the
// operator types in: what is half typed stays as it is.
TEST_F(SessionTest, WhatTheOperatorDidNotAskForReadsNoBoxAndShowsOnlyTheNews)
{
    Operating();
    Type(TypedBox::kX, "-");
    Type(TypedBox::kSpeed, "1.");
    Report("WMRP_D|X1234Y-50Z800P-900R0G255");
    Report("WMRD_U*warm");
    Report("WMRSS|RoBoT_ReAdY");
    Tick();
    Notice("USERSTATUS ONLINE");
    static const Sequence kExpected = {
        "show news",
        "show news",
        "show news",
        "show news",
        "enable connect 1",
        "show news",
        SentDatagram("WMCA_QD"),
        SentDatagram("WMCA_QU"),
        "show news",
    };
    ExpectSequence(kExpected, view.log);
    EXPECT_EQ(session->Form().read.x, 123.4);
    EXPECT_EQ(session->Form().robotText, "*warm");
    EXPECT_EQ(session->Form().status, "Searching Robot, please wait......");
    EXPECT_EQ(view.typed[TypedBox::kX], "-");
    EXPECT_EQ(view.typed[TypedBox::kSpeed], "1.");
}

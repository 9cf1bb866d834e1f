// Link supervision's counts: the signs of life, the missed ticks and the
// re-discovery's countdown. What the session does with them is in
// session_link_test.cpp.
#include <gtest/gtest.h>

#include <climits>

#include "Supervision.h"

namespace {

TEST(Supervision, SignsOfLifeAreCountedAndMissedTicksStopAtTheLargestInt)
{
    CSupervision counts(INT_MAX - 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(counts.MissTick());
    EXPECT_EQ(counts.MissedTicks(), INT_MAX);
    counts.OnSignOfLife();
    counts.OnSignOfLife();
    EXPECT_EQ(counts.ReplyCount(), 2u);
    EXPECT_EQ(counts.MissedTicks(), 0);
    EXPECT_FALSE(counts.MissTick());
}

TEST(Supervision, CountdownRestsBelowZero)
{
    // Started at 0 the discovery is due at once, and once only.
    struct Row {
        int start;
        int due;
    };
    static const Row rows[] = {{0, 1}, {-1, 0}, {INT_MIN + 1, 0}, {INT_MIN, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.start);
        CSupervision counts(0, r.start);
        EXPECT_EQ(counts.CountDown(), r.due == 1);
        for (int i = 0; i < 49; ++i)
            EXPECT_FALSE(counts.CountDown());
        EXPECT_LT(counts.RediscoverCountdown(), 0);
        EXPECT_GE(counts.RediscoverCountdown(), r.start < 0 ? r.start : -1);
    }
}

}  // namespace

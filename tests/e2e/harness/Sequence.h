// Exact comparison of two sequences of lines (commands, transcripts), with a
// readable report: the index of the first difference and both runs side by side.
#pragma once

#include "LineDiff.h"

namespace e2e {

// An expected line ending in '*' matches any actual line that starts with the
// text before it: the mark for a field deliberately not compared.
inline ::testing::AssertionResult SameLines(const std::vector<std::string>& expected,
                                            const std::vector<std::string>& actual)
{
    return testsupport::SameLines(expected, actual, testsupport::Match::kStarEndsLine);
}

}  // namespace e2e

// EXPECT_SEQUENCE(expected, actual): gtest prints the file and line of the call.
#define EXPECT_SEQUENCE(expected, actual) EXPECT_TRUE(::e2e::SameLines((expected), (actual)))
#define ASSERT_SEQUENCE(expected, actual) ASSERT_TRUE(::e2e::SameLines((expected), (actual)))

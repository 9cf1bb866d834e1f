// Exact comparison of two runs of lines (commands, transcripts, log entries) with
// a readable report: the index of the first difference and both runs side by side.
// Shared by the unit tests, the stand-in's tests and the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

using Lines = std::vector<std::string>;

enum class Match {
    kExact,
    // An expected line ending in '*' matches any actual line that starts with the
    // text before it: the mark for a field deliberately not compared.
    kStarEndsLine,
};

::testing::AssertionResult SameLines(const Lines& expected, const Lines& actual, Match match = Match::kExact);

// A text as C source would write it, for failure messages: "a\r\n" -> "a\\r\\n".
std::string Quoted(std::string_view text);

// Runs joined, for tables built from named parts.
Lines operator+(Lines a, const Lines& b);

}  // namespace testsupport

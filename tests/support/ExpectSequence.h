// The one sequence assertion of the unit and the end-to-end tests: a run of lines
// (commands, log entries, transcripts) compared with the expected run, the way
// Wine's user32 tests compare message sequences. A failure points at the line of
// the call and shows the first difference and both runs side by side.
#pragma once

#include <string_view>

#include "LineDiff.h"

namespace testsupport {

// Whether `actual` is `expected`, line for line. An expected line ending in '*'
// matches any actual line that starts with the text before it: the mark for a
// field deliberately not compared (a handle, a time).
::testing::AssertionResult SameSequence(const Lines& expected, const Lines& actual);

// A non-fatal failure at the caller's file and line when the runs differ; context
// names what produced `actual`. (The caller's place comes from the builtins that
// std::source_location stands on: the headless build's clang has no
// <source_location> over this standard library.)
void ExpectSequence(const Lines& expected, const Lines& actual, std::string_view context = {},
                    const char* file = __builtin_FILE(), int line = __builtin_LINE());

}  // namespace testsupport

// One spelling in every test file, as the macros it replaces had.
using testsupport::ExpectSequence;
using testsupport::SameSequence;

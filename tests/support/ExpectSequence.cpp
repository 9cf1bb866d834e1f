#include "ExpectSequence.h"

namespace testsupport {

::testing::AssertionResult SameSequence(const Lines& expected, const Lines& actual)
{
    return SameLines(expected, actual, Match::kStarEndsLine);
}

void ExpectSequence(const Lines& expected, const Lines& actual, std::string_view context, const char* file, int line)
{
    ::testing::AssertionResult same = SameSequence(expected, actual);
    if (same)
        return;
    if (context.empty())
        ADD_FAILURE_AT(file, line) << same.message();
    else
        ADD_FAILURE_AT(file, line) << context << ": " << same.message();
}

}  // namespace testsupport

// Until every call site says SameSequence and ExpectSequence (tests/support).
#pragma once

#include "ExpectSequence.h"

namespace e2e {

inline ::testing::AssertionResult SameLines(const testsupport::Lines& expected, const testsupport::Lines& actual)
{
    return testsupport::SameSequence(expected, actual);
}

}  // namespace e2e

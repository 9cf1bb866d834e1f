// The one way end-to-end tests wait: poll a condition against a deadline while
// pumping the calling thread's messages. No test sleeps to synchronise.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Long enough for a loaded CI machine under Wine, short enough to fail fast.
inline constexpr Millis kDefaultTimeout = 5000ms;

// Dispatches whatever is queued for the calling thread; returns at once.
void PumpMessages();

// Polls `done` every few milliseconds until it holds or `timeout` has passed,
// pumping messages in between. Returns whether it held.
bool WaitUntil(const std::function<bool()>& done, Millis timeout = kDefaultTimeout);

// WaitUntil for assertions: ASSERT_TRUE(WaitFor("the About box", [&] { ... }));
// The failure names what was awaited and for how long.
::testing::AssertionResult WaitFor(std::string_view what, const std::function<bool()>& done,
                                   Millis timeout = kDefaultTimeout);

// Reads of another process's windows (a control's text, a list's lines...) can
// meet the window in the middle of a change: a line counted and gone before it
// is read, a box found and closed before its text is read. Inside a wait such a
// read means "not there yet": the poll counts as not done and the wait goes on.
// Outside a wait it fails the running test. Reads call this when they fail.
void ReadFailed(const std::string& why);
// Whether the calling thread is inside a wait's poll.
bool InsideWait();

// The opposite: `holds` must stay true for the whole `period` (for "nothing
// happens" checks). Fails as soon as it turns false.
::testing::AssertionResult HoldsFor(std::string_view what, const std::function<bool()>& holds, Millis period);

}  // namespace e2e

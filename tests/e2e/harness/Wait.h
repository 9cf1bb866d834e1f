// The one way end-to-end tests wait: poll a condition against a deadline while
// pumping the calling thread's messages. No test sleeps to synchronise.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
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

// The opposite: `holds` must stay true for the whole `period` (for "nothing
// happens" checks). Fails as soon as it turns false.
::testing::AssertionResult HoldsFor(std::string_view what, const std::function<bool()>& holds,
                                    Millis period);

}  // namespace e2e

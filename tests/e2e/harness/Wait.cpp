#include "Wait.h"

#include <windows.h>

#include <string>

namespace e2e {

namespace {
constexpr DWORD kPollMs = 5;

// Waits at most one poll interval, returning early when a message arrives.
void IdleOnePoll()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, kPollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    PumpMessages();
}
}  // namespace

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& done, Millis timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        IdleOnePoll();
    }
}

::testing::AssertionResult WaitFor(std::string_view what, const std::function<bool()>& done,
                                   Millis timeout)
{
    if (WaitUntil(done, timeout))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "timed out after " << timeout.count() << " ms waiting for " << what;
}

::testing::AssertionResult HoldsFor(std::string_view what, const std::function<bool()>& holds,
                                    Millis period)
{
    auto start = std::chrono::steady_clock::now();
    auto deadline = start + period;
    for (;;) {
        PumpMessages();
        if (!holds()) {
            auto after = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start);
            return ::testing::AssertionFailure()
                   << "stopped holding after " << after.count() << " ms: " << what;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return ::testing::AssertionSuccess();
        IdleOnePoll();
    }
}

}  // namespace e2e

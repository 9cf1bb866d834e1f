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

// The poll running on this thread, if any: what its reads could not get.
struct Poll {
    bool readFailed = false;
    std::string lastFailure;
};
thread_local Poll* g_poll = nullptr;

// Runs one poll of a condition. Returns the condition's value, and in `decided`
// whether every read it made got an answer; a poll with a failed read decides
// nothing. Waits nest (a wait inside a condition), so the outer poll is kept.
bool RunPoll(const std::function<bool()>& condition, bool& decided, std::string& lastFailure)
{
    Poll poll;
    Poll* outer = g_poll;
    g_poll = &poll;
    bool value = false;
    try {
        value = condition();
    } catch (...) {
        g_poll = outer;
        throw;
    }
    g_poll = outer;
    decided = !poll.readFailed;
    if (poll.readFailed)
        lastFailure = poll.lastFailure;
    return value;
}

std::string LastReadNote(const std::string& lastFailure)
{
    return lastFailure.empty() ? std::string() : " (last read that got no answer: " + lastFailure + ")";
}
}  // namespace

void ReadFailed(const std::string& why)
{
    if (g_poll) {
        g_poll->readFailed = true;
        g_poll->lastFailure = why;
        return;
    }
    ADD_FAILURE() << why;
}

bool InsideWait() { return g_poll != nullptr; }

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace {
bool WaitUntil(const std::function<bool()>& done, Millis timeout, std::string& lastFailure)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        bool decided = false;
        if (RunPoll(done, decided, lastFailure) && decided)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        IdleOnePoll();
    }
}
}  // namespace

bool WaitUntil(const std::function<bool()>& done, Millis timeout)
{
    std::string ignored;
    return WaitUntil(done, timeout, ignored);
}

::testing::AssertionResult WaitFor(std::string_view what, const std::function<bool()>& done, Millis timeout)
{
    std::string lastFailure;
    if (WaitUntil(done, timeout, lastFailure))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out after " << timeout.count() << " ms waiting for " << what
                                         << LastReadNote(lastFailure);
}

::testing::AssertionResult HoldsFor(std::string_view what, const std::function<bool()>& holds, Millis period)
{
    auto start = std::chrono::steady_clock::now();
    auto deadline = start + period;
    std::string lastFailure;
    bool anyDecided = false;
    for (;;) {
        PumpMessages();
        bool decided = false;
        bool held = RunPoll(holds, decided, lastFailure);
        // A poll whose reads got no answer says neither yes nor no.
        if (decided && !held) {
            auto after = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start);
            return ::testing::AssertionFailure() << "stopped holding after " << after.count() << " ms: " << what;
        }
        anyDecided = anyDecided || decided;
        if (std::chrono::steady_clock::now() >= deadline) {
            if (anyDecided)
                return ::testing::AssertionSuccess();
            return ::testing::AssertionFailure()
                << "no read got an answer in " << period.count() << " ms: " << what << LastReadNote(lastFailure);
        }
        IdleOnePoll();
    }
}

}  // namespace e2e

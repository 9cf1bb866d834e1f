// The Skype API window on a real desktop, the part the stand-in Skype client and
// the end-to-end harness share: hidden top-level windows (a message-only window
// would miss the discovery broadcast) on a thread of their own that does nothing
// but pump, so a client's synchronous sends into them are answered whatever the
// creating thread is doing; sends with a time limit; and a log of what crossed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skypeapi {

// The Desktop API's two registered messages, registered once for the process.
UINT DiscoverMessage();
UINT AttachMessage();

// The outcome of one send with a time limit.
struct Sent {
    bool delivered = false;  // answered within the limit
    LRESULT value = 0;       // the answer; 0 when not delivered
    DWORD error = 0;         // GetLastError() when not delivered (ERROR_TIMEOUT ...)
};

// SendMessageTimeout. No window (`to` null) is not delivered.
Sent SendWithin(HWND to, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, UINT flags = SMTO_NORMAL);
// WM_COPYDATA with wParam `from`: cbData `count`, lpData the bytes (none when count is 0).
Sent SendCopyData(HWND to, HWND from, std::string_view bytes, DWORD count, UINT timeoutMs, ULONG_PTR tag = 0,
                  UINT flags = SMTO_NORMAL);
// A text and its zero byte, as Skype sends a notice and a client a command.
Sent SendText(HWND to, HWND from, std::string_view text, UINT timeoutMs, UINT flags = SMTO_NORMAL);

// Hidden top-level windows on a thread that only pumps. Every member may be
// called from any thread.
class WindowThread {
public:
    struct Window {
        std::string className;
        std::string title;
    };
    // Runs on the thread for every message of window `index` (its handle `hwnd`);
    // returns the answer, or nothing for the default processing. An exception is
    // taken as 0: nothing may unwind through user32.
    using Handler =
        std::function<std::optional<LRESULT>(HWND hwnd, size_t index, UINT msg, WPARAM wParam, LPARAM lParam)>;

    // Makes the windows on the new thread and returns once they exist; throws
    // std::runtime_error when one cannot be made.
    WindowThread(std::vector<Window> windows, Handler handler);
    // Ends the pump once the messages before it are handled, destroys the windows
    // and joins the thread.
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND hwnd(size_t index = 0) const;
    // Runs `action` on the thread after the messages already waiting; false
    // when the thread is gone.
    bool Post(std::function<void()> action) const;
    // True on the window thread itself.
    bool OnThread() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// What crossed between a Skype window and its clients, in order, with a sequence
// number from 1 up that is never reused. Entry is the user's own record, with a
// `seq` member the log sets. Beyond `limit` entries (0: none) the oldest go.
template <class Entry> class EventLog {
public:
    explicit EventLog(size_t limit = 0) : m_limit(limit) { }

    std::uint64_t Add(Entry entry)
    {
        std::lock_guard guard(m_lock);
        entry.seq = m_next++;
        m_entries.push_back(std::move(entry));
        while (m_limit > 0 && m_entries.size() > m_limit)
            m_entries.pop_front();
        return m_entries.back().seq;
    }
    // Changes the entry `seq`, if it is still kept.
    void Update(std::uint64_t seq, const std::function<void(Entry&)>& change)
    {
        std::lock_guard guard(m_lock);
        if (m_entries.empty() || seq < m_entries.front().seq)
            return;
        size_t index = size_t(seq - m_entries.front().seq);
        if (index < m_entries.size())
            change(m_entries[index]);
    }
    // The entries with seq > `after`, oldest first.
    std::vector<Entry> Since(std::uint64_t after = 0) const
    {
        std::lock_guard guard(m_lock);
        std::vector<Entry> out;
        if (m_entries.empty())
            return out;
        // Sequence numbers are consecutive from the oldest entry kept.
        size_t from = after < m_entries.front().seq ? 0 : size_t(after - m_entries.front().seq + 1);
        for (size_t i = from; i < m_entries.size(); ++i)
            out.push_back(m_entries[i]);
        return out;
    }
    std::uint64_t LastSeq() const
    {
        std::lock_guard guard(m_lock);
        return m_next - 1;
    }
    void Clear()
    {
        std::lock_guard guard(m_lock);
        m_entries.clear();
    }
    // Each entry as a line, by the user's Describe.
    std::vector<std::string> Lines(std::string (*describe)(const Entry&)) const
    {
        std::vector<std::string> out;
        for (const Entry& entry : Since())
            out.push_back(describe(entry));
        return out;
    }

private:
    mutable std::mutex m_lock;
    std::deque<Entry> m_entries;
    std::uint64_t m_next = 1;
    size_t m_limit;
};

}  // namespace skypeapi

#include "SkypeWindow.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>

#include "ApiWindow.h"
#include "Scenario.h"

namespace standin {
namespace {

constexpr char kWindowClass[] = "OrvantaSkypeStandinApi";
constexpr UINT kFlushMessage = WM_APP + 1;
constexpr UINT_PTR kTickTimer = 1;
constexpr double kLongestTick = 2.0;  // s: time moves on at most this much in one tick

// SMTO_ABORTIFHUNG: a client that has not pumped for seconds is given up at once.
// Not SMTO_BLOCK: while we wait, the client's own nested commands must get in.
constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;

std::string Hex(HWND h)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)));
    return buf;
}

}  // namespace

std::string Describe(const TrafficEntry& e)
{
    using Kind = TrafficEntry::Kind;
    switch (e.kind) {
    case Kind::kDiscover: return "-> discover";
    case Kind::kCommand: return "-> " + e.text + (e.nested ? " (nested)" : "");
    case Kind::kIgnored: return "-> " + e.text + " (ignored)";
    case Kind::kAttach: return "<- attach " + std::to_string(e.status) + (e.delivered ? "" : " (not answered)");
    case Kind::kBroadcast: return "<- broadcast 0x8001";
    case Kind::kNotice: return "<- " + e.text + (e.nested ? " (nested)" : "") + (e.delivered ? "" : " (not answered)");
    case Kind::kNote: return "-- " + e.text;
    }
    return "?";
}

struct SkypeWindow::Impl {
    static Config Configured(const WindowOptions& options, const std::optional<Scenario>& scenario)
    {
        Config config = options.model;
        if (scenario)
            scenario->Configure(config);
        return config;
    }

    Impl(WindowOptions o, std::optional<Scenario> s)
        : options(std::move(o)),
          scenario(std::move(s)),
          model(Configured(options, scenario)),
          traffic(options.trafficLimit)
    {
    }

    // --- state (under `mutex` unless said otherwise)
    WindowOptions options;
    mutable std::mutex mutex;
    std::optional<Scenario> scenario;
    SkypeModel model;
    std::deque<Outgoing> queue;
    skypeapi::EventLog<TrafficEntry> traffic;  // its own lock
    std::set<std::uint64_t> deadSessions;
    int inFlight = 0;

    HWND hwnd = nullptr;  // set on the window thread by its first message
    std::atomic<bool> flushPosted{false};
    const UINT attachMessage = skypeapi::AttachMessage();
    const UINT discoverMessage = skypeapi::DiscoverMessage();
    // Window thread only.
    int sendDepth = 0;
    bool flushing = false;
    std::chrono::steady_clock::time_point lastTick = std::chrono::steady_clock::now();

    // --- log (under `mutex`)
    std::uint64_t Log(TrafficEntry e)
    {
        e.time = model.now();
        return traffic.Add(std::move(e));
    }
    void LogNote(std::string text)
    {
        TrafficEntry e;
        e.kind = TrafficEntry::Kind::kNote;
        e.text = std::move(text);
        Log(std::move(e));
    }
    void MarkDelivered(std::uint64_t seq, bool delivered)
    {
        traffic.Update(seq, [delivered](TrafficEntry& e) { e.delivered = delivered; });
    }
    // Waits for the next flush; notes too, so the log keeps their order.
    void Enqueue(Batch batch)
    {
        for (Outgoing& o : batch)
            queue.push_back(std::move(o));
    }

    void PostFlush()
    {
        if (!flushPosted.exchange(true))
            PostMessageA(hwnd, kFlushMessage, 0, 0);
    }

    // --- sending (window thread)
    void Deliver(const Outgoing& o, bool nested)
    {
        switch (o.kind) {
        case Outgoing::Kind::kNote: {
            std::lock_guard lock(mutex);
            LogNote(o.text);
            return;
        }
        case Outgoing::Kind::kApiAvailable: {
            PostMessageA(HWND_BROADCAST, attachMessage, reinterpret_cast<WPARAM>(hwnd), kAttachApiAvailable);
            std::lock_guard lock(mutex);
            TrafficEntry e;
            e.kind = TrafficEntry::Kind::kBroadcast;
            e.status = kAttachApiAvailable;
            Log(std::move(e));
            return;
        }
        case Outgoing::Kind::kAttach: SendAttach(o); return;
        case Outgoing::Kind::kNotice: SendNotice(o, nested); return;
        }
    }

    void SendAttach(const Outgoing& o)
    {
        const HWND client = reinterpret_cast<HWND>(o.client);
        std::uint64_t seq;
        {
            std::lock_guard lock(mutex);
            TrafficEntry e;
            e.kind = TrafficEntry::Kind::kAttach;
            e.status = o.status;
            e.peer = client;
            seq = Log(std::move(e));
        }
        ++sendDepth;
        const skypeapi::Sent sent = skypeapi::SendWithin(client, attachMessage, reinterpret_cast<WPARAM>(hwnd),
                                                         o.status, options.sendTimeoutMs, kSendFlags);
        --sendDepth;
        // No answer is required of the attach handler; only a missing one is worth a mark.
        std::lock_guard lock(mutex);
        MarkDelivered(seq, sent.delivered);
        if (!sent.delivered)
            LogNote("attach " + std::to_string(o.status) + " not answered in time (a box up in the client?)");
    }

    void SendNotice(const Outgoing& o, bool nested)
    {
        const HWND client = reinterpret_cast<HWND>(o.client);
        std::uint64_t seq;
        {
            std::lock_guard lock(mutex);
            if (deadSessions.count(o.session)) {
                LogNote("not sent, the client is gone: " + o.text);
                return;
            }
            TrafficEntry e;
            e.kind = TrafficEntry::Kind::kNotice;
            e.text = o.text;
            e.peer = client;
            e.nested = nested;
            seq = Log(std::move(e));
        }
        ++sendDepth;
        const skypeapi::Sent sent = skypeapi::SendText(client, hwnd, o.text, options.sendTimeoutMs, kSendFlags);
        const DWORD error = sent.error;
        --sendDepth;

        std::lock_guard lock(mutex);
        const bool delivered = sent.delivered && sent.value != 0;
        MarkDelivered(seq, delivered);
        if (delivered || deadSessions.count(o.session))
            return;
        // The real client's rule: over a second on a message, or a zero answer, and it is gone.
        deadSessions.insert(o.session);
        if (sent.delivered)
            LogNote("the client answered 0: counted as gone");
        else if (error == ERROR_TIMEOUT)
            LogNote("the client took over " + std::to_string(options.sendTimeoutMs) + " ms: counted as gone");
        else
            LogNote("the client window cannot be reached (error " + std::to_string(error) + "): counted as gone");
        Enqueue(model.ClientGone(o.session));
    }

    void Flush()
    {
        if (flushing)
            return;
        flushing = true;
        for (;;) {
            Outgoing o;
            {
                std::lock_guard lock(mutex);
                if (queue.empty())
                    break;
                o = std::move(queue.front());
                queue.pop_front();
                ++inFlight;
            }
            Deliver(o, false);
            std::lock_guard lock(mutex);
            --inFlight;
        }
        flushing = false;
    }

    // --- messages (window thread)
    void OnDiscover(HWND client, bool sent)
    {
        if (client == hwnd)
            return;
        {
            std::lock_guard lock(mutex);
            TrafficEntry e;
            e.kind = TrafficEntry::Kind::kDiscover;
            e.peer = client;
            e.text = Hex(client) + (sent ? " (sent)" : " (posted)");
            Log(std::move(e));
            Enqueue(model.Discover(reinterpret_cast<ClientId>(client)));
        }
        // The answer goes after the broadcast returns.
        PostFlush();
    }

    LRESULT OnCopyData(HWND from, const COPYDATASTRUCT* data)
    {
        std::string text;
        if (data && data->lpData && data->cbData > 0) {
            const char* bytes = static_cast<const char*>(data->lpData);
            std::size_t length = 0;
            while (length < data->cbData && bytes[length] != '\0')
                ++length;
            text.assign(bytes, length);
        }
        Batch nestedItems;
        bool accepted;
        {
            std::lock_guard lock(mutex);
            accepted = model.Accepts(reinterpret_cast<ClientId>(from));
            TrafficEntry e;
            e.kind = accepted ? TrafficEntry::Kind::kCommand : TrafficEntry::Kind::kIgnored;
            e.text = text;
            e.peer = from;
            e.nested = sendDepth > 0;
            Log(std::move(e));
            if (accepted) {
                // Nested items come first in a batch; a note keeps its place among them.
                bool queued = false;
                for (Outgoing& o : model.Command(reinterpret_cast<ClientId>(from), text)) {
                    const bool now = o.timing == Timing::kNested || (o.kind == Outgoing::Kind::kNote && !queued);
                    if (now) {
                        nestedItems.push_back(std::move(o));
                    } else {
                        queue.push_back(std::move(o));
                        queued = true;
                    }
                }
            }
        }
        for (const Outgoing& o : nestedItems)
            Deliver(o, true);
        PostFlush();
        return accepted ? TRUE : FALSE;
    }

    void OnTick()
    {
        const auto now = std::chrono::steady_clock::now();
        double seconds = std::chrono::duration<double>(now - lastTick).count();
        lastTick = now;
        if (seconds > kLongestTick)
            seconds = kLongestTick;
        {
            std::lock_guard lock(mutex);
            Enqueue(model.Advance(seconds));
            if (scenario)
                Enqueue(scenario->Step(model));
        }
        Flush();
    }

    std::optional<LRESULT> Handle(HWND self, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (!hwnd)
            hwnd = self;
        if (msg == discoverMessage) {
            OnDiscover(reinterpret_cast<HWND>(wParam), InSendMessage() != FALSE);
            return 1;
        }
        if (msg == attachMessage)
            return 0;  // our own 0x8001 coming back
        switch (msg) {
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_TIMER:
            if (wParam == kTickTimer)
                OnTick();
            return 0;
        case kFlushMessage:
            flushPosted = false;
            Flush();
            return 0;
        default: return std::nullopt;
        }
    }

    // Last: its thread ends before the state it works on goes.
    std::unique_ptr<skypeapi::WindowThread> windows;
};

SkypeWindow::SkypeWindow(WindowOptions options)
{
    std::optional<Scenario> scenario;
    if (!options.scenario.empty()) {
        scenario = Scenario::Named(options.scenario);
        if (!scenario)
            throw std::runtime_error("unknown scenario: " + options.scenario);
    }
    m_impl = std::make_unique<Impl>(std::move(options), std::move(scenario));
    Impl* impl = m_impl.get();
    impl->windows = std::make_unique<skypeapi::WindowThread>(
        std::vector<skypeapi::WindowThread::Window>{{kWindowClass, "Skype stand-in API"}},
        [impl](HWND self, size_t, UINT msg, WPARAM wParam, LPARAM lParam) {
            return impl->Handle(self, msg, wParam, lParam);
        });
    // A timer belongs to its window's thread.
    impl->windows->Post([impl] {
        SetTimer(impl->hwnd, kTickTimer, impl->options.tickMs, nullptr);
        impl->lastTick = std::chrono::steady_clock::now();
    });
}

SkypeWindow::~SkypeWindow()
{
    if (m_impl)
        m_impl->windows.reset();
}

HWND SkypeWindow::hwnd() const { return m_impl->hwnd; }

void SkypeWindow::Play(const std::function<Batch(SkypeModel&)>& action)
{
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->Enqueue(action(m_impl->model));
    }
    m_impl->PostFlush();
}

void SkypeWindow::Query(const std::function<void(const SkypeModel&)>& reader) const
{
    std::lock_guard lock(m_impl->mutex);
    reader(m_impl->model);
}

std::vector<TrafficEntry> SkypeWindow::Traffic(std::uint64_t after) const { return m_impl->traffic.Since(after); }

std::uint64_t SkypeWindow::LastSeq() const { return m_impl->traffic.LastSeq(); }

bool SkypeWindow::WaitIdle(DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        {
            std::lock_guard lock(m_impl->mutex);
            if (m_impl->queue.empty() && m_impl->inFlight == 0 && !m_impl->flushPosted)
                return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
}

}  // namespace standin

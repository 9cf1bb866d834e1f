#include "FakeSkype.h"

#include <atomic>
#include <future>
#include <mutex>
#include <ostream>

namespace e2e {

namespace {

// Posted to ourselves: answer the discovery of client wParam once the broadcast handler has returned.
constexpr UINT kAnswerLater = WM_APP + 1;

}  // namespace

std::string Describe(const Event& event)
{
    switch (event.kind) {
    case Event::Discover: return "discover";
    case Event::Command: return "command " + event.text;
    case Event::Foreign: return "foreign " + event.text;
    case Event::Attach: return "attach " + std::to_string(event.value);
    case Event::Notice: return "notice " + event.text;
    case Event::ForeignNotice: return "foreign notice " + event.text;
    case Event::Done: return event.delivered ? "done = " + std::to_string(event.value) : std::string("done timeout");
    case Event::Hang: return "hang " + std::to_string(event.value) + " ms";
    case Event::Answering: return "answering again";
    }
    return "?";
}

void PrintTo(const SendResult& result, std::ostream* out)
{
    if (result.delivered)
        *out << "answered " << result.value;
    else
        *out << "no answer (timed out)";
}

struct FakeSkype::Shared {
    mutable std::mutex lock;
    skypeapi::EventLog<Event> log;
    std::vector<Discovery> discoveries;
    std::vector<CopyData> commands;
    std::vector<CopyData> foreign;
    HWND client = nullptr;
    std::optional<LPARAM> answer;
    AttachTiming timing = AttachTiming::None;
    CommandHandler handler;
    Millis sendTimeout = kSendTimeoutDefault;
    std::atomic<int> sendsRunning{0};
    std::atomic<bool> hung{false};
    std::atomic<bool> wake{false};
    std::atomic<bool> commandWaiting{false};
    std::unique_ptr<skypeapi::WindowThread> windows;  // the Skype window first, then the foreign one

    static constexpr Millis kSendTimeoutDefault = 2000ms;

    void record(Event event) { log.Add(std::move(event)); }

    // Records the send, makes it (to the client when `to` is null), records its answer.
    SendResult send(Event::Kind kind, std::string text, LPARAM value, HWND to,
                    const std::function<skypeapi::Sent(HWND to, UINT timeoutMs)>& make)
    {
        Millis timeout;
        {
            std::lock_guard guard(lock);
            if (!to)
                to = client;
            timeout = sendTimeout;
        }
        record({kind, std::move(text), value});
        ++sendsRunning;
        skypeapi::Sent sent = make(to, UINT(timeout.count()));
        --sendsRunning;
        record({Event::Done, {}, sent.value, sent.delivered});
        return {sent.delivered, sent.value};
    }

    // Runs on our thread: pumps nothing until the period is over or wake is set.
    // GetQueueStatus shows a waiting sent message without handling it.
    void hang(Millis period)
    {
        auto deadline = std::chrono::steady_clock::now() + period;
        while (!wake && std::chrono::steady_clock::now() < deadline) {
            if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)
                commandWaiting = true;
            Sleep(2);
        }
        hung = false;
        record({Event::Answering, {}});
    }

    void answerDiscovery(HWND skype, HWND to, LPARAM status, bool post)
    {
        if (post) {
            record({Event::Attach, {}, status});
            PostMessageW(to, AttachMessage(), WPARAM(skype), status);
            return;
        }
        send(Event::Attach, {}, status, to, [&](HWND client, UINT timeoutMs) {
            return skypeapi::SendWithin(client, AttachMessage(), WPARAM(skype), status, timeoutMs);
        });
    }

    LRESULT onDiscover(HWND skype, WPARAM wParam, LPARAM lParam)
    {
        HWND from = reinterpret_cast<HWND>(wParam);
        std::optional<LPARAM> status;
        AttachTiming when;
        {
            std::lock_guard guard(lock);
            discoveries.push_back({from, lParam, InSendMessage() != FALSE});
            client = from;
            status = answer;
            when = timing;
        }
        record({Event::Discover, {}});
        if (!status || when == AttachTiming::None || !IsWindow(from))
            return 0;
        switch (when) {
        case AttachTiming::Nested: answerDiscovery(skype, from, *status, false); break;
        case AttachTiming::Posted: answerDiscovery(skype, from, *status, true); break;
        case AttachTiming::AfterDiscover: PostMessageW(skype, kAnswerLater, wParam, *status); break;
        case AttachTiming::None: break;
        }
        return 0;
    }

    LRESULT onCopyData(HWND to, bool isSkype, WPARAM wParam, const COPYDATASTRUCT* data)
    {
        CopyData copy;
        copy.to = to;
        copy.from = reinterpret_cast<HWND>(wParam);
        copy.nested = sendsRunning > 0;
        copy.at = std::chrono::steady_clock::now();
        if (data) {
            copy.tag = data->dwData;
            copy.byteCount = data->cbData;
            if (data->lpData && data->cbData)
                copy.bytes.assign(static_cast<const char*>(data->lpData), data->cbData);
        }
        CommandHandler react;
        {
            std::lock_guard guard(lock);
            record({isSkype ? Event::Command : Event::Foreign, copy.text()});
            (isSkype ? commands : foreign).push_back(copy);
            if (isSkype)
                react = handler;
        }
        return react ? react(copy) : 1;
    }

    std::optional<LRESULT> handle(HWND hwnd, size_t index, UINT message, WPARAM wParam, LPARAM lParam)
    {
        bool isSkype = index == 0;
        if (message == WM_COPYDATA)
            return onCopyData(hwnd, isSkype, wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (isSkype && message == DiscoverMessage() && message != 0)
            return onDiscover(hwnd, wParam, lParam);
        if (isSkype && message == kAnswerLater) {
            HWND to = reinterpret_cast<HWND>(wParam);
            if (IsWindow(to))
                answerDiscovery(hwnd, to, lParam, false);
            return 0;
        }
        return std::nullopt;
    }
};

FakeSkype::FakeSkype() : m_shared(std::make_shared<Shared>())
{
    Shared* shared = m_shared.get();
    try {
        shared->windows = std::make_unique<skypeapi::WindowThread>(
            std::vector<skypeapi::WindowThread::Window>{{"OrvantaE2EFakeSkype", "Fake Skype"},
                                                        {"OrvantaE2EForeign", "Foreign"}},
            [shared](HWND hwnd, size_t index, UINT message, WPARAM wParam, LPARAM lParam) {
                return shared->handle(hwnd, index, message, wParam, lParam);
            });
    } catch (const std::exception& error) {
        ADD_FAILURE() << "FakeSkype could not create its windows: " << error.what();
    }
}

FakeSkype::~FakeSkype()
{
    m_shared->wake = true;
    m_shared->windows.reset();
}

HWND FakeSkype::hwnd() const { return m_shared->windows ? m_shared->windows->hwnd(0) : nullptr; }
HWND FakeSkype::foreignHwnd() const { return m_shared->windows ? m_shared->windows->hwnd(1) : nullptr; }

HWND FakeSkype::client() const
{
    std::lock_guard guard(m_shared->lock);
    return m_shared->client;
}

void FakeSkype::answerDiscovery(std::optional<LPARAM> status, AttachTiming timing)
{
    std::lock_guard guard(m_shared->lock);
    m_shared->answer = status;
    m_shared->timing = status ? timing : AttachTiming::None;
}

void FakeSkype::onCommand(CommandHandler handler)
{
    std::lock_guard guard(m_shared->lock);
    m_shared->handler = std::move(handler);
}

std::vector<Event> FakeSkype::events() const { return m_shared->log.Since(); }
std::vector<std::string> FakeSkype::transcript() const { return m_shared->log.Lines(Describe); }

std::vector<Discovery> FakeSkype::discoveries() const
{
    std::lock_guard guard(m_shared->lock);
    return m_shared->discoveries;
}

std::vector<CopyData> FakeSkype::commands() const
{
    std::lock_guard guard(m_shared->lock);
    return m_shared->commands;
}

std::vector<std::string> FakeSkype::commandTexts() const
{
    std::vector<std::string> texts;
    for (const CopyData& command : commands())
        texts.push_back(command.text());
    return texts;
}

std::vector<CopyData> FakeSkype::foreignCommands() const
{
    std::lock_guard guard(m_shared->lock);
    return m_shared->foreign;
}

size_t FakeSkype::commandCount() const
{
    std::lock_guard guard(m_shared->lock);
    return m_shared->commands.size();
}

void FakeSkype::clear()
{
    std::lock_guard guard(m_shared->lock);
    m_shared->log.Clear();
    m_shared->discoveries.clear();
    m_shared->commands.clear();
    m_shared->foreign.clear();
}

::testing::AssertionResult FakeSkype::waitForDiscoveries(size_t count, Millis timeout) const
{
    return WaitFor(
        std::to_string(count) + " discovery broadcast(s)", [&] { return discoveries().size() >= count; }, timeout);
}

::testing::AssertionResult FakeSkype::waitForCommands(size_t count, Millis timeout) const
{
    auto result = WaitFor(
        std::to_string(count) + " command(s)", [&] { return commandCount() >= count; }, timeout);
    if (!result) {
        result << "; got:";
        for (const std::string& line : transcript())
            result << "\n  " << line;
    }
    return result;
}

void FakeSkype::setSendTimeout(Millis timeout)
{
    std::lock_guard guard(m_shared->lock);
    m_shared->sendTimeout = timeout;
}

SendResult FakeSkype::sendAttach(LPARAM status, HWND to)
{
    return m_shared->send(Event::Attach, {}, status, to, [&](HWND client, UINT timeoutMs) {
        return skypeapi::SendWithin(client, AttachMessage(), WPARAM(hwnd()), status, timeoutMs);
    });
}

SendResult FakeSkype::postAttach(LPARAM status, HWND to)
{
    if (!to)
        to = client();
    m_shared->record({Event::Attach, {}, status});
    return {PostMessageW(to, AttachMessage(), WPARAM(hwnd()), status) != 0, 0};
}

SendResult FakeSkype::sendNotice(std::string_view text, HWND to)
{
    std::string bytes(text);
    return sendCopyData(std::string_view(bytes.c_str(), bytes.size() + 1), DWORD(bytes.size() + 1), 0, to);
}

SendResult FakeSkype::sendCopyData(std::string_view bytes, DWORD byteCount, ULONG_PTR tag, HWND to)
{
    std::string shown(bytes.substr(0, std::min<size_t>(bytes.find('\0'), byteCount)));
    return m_shared->send(Event::Notice, shown, 0, to, [&](HWND client, UINT timeoutMs) {
        return skypeapi::SendCopyData(client, hwnd(), bytes, byteCount, timeoutMs, tag);
    });
}

SendResult FakeSkype::sendForeignNotice(std::string_view text, HWND to)
{
    return m_shared->send(Event::ForeignNotice, std::string(text), 0, to, [&](HWND client, UINT timeoutMs) {
        return skypeapi::SendText(client, foreignHwnd(), text, timeoutMs);
    });
}

void FakeSkype::stopAnswering(Millis period)
{
    auto began = std::make_shared<std::promise<void>>();
    auto started = began->get_future();
    Shared* shared = m_shared.get();
    shared->wake = false;
    shared->commandWaiting = false;
    inBackground([shared, began, period] {
        shared->hung = true;
        shared->record({Event::Hang, {}, LPARAM(period.count())});
        began->set_value();
        shared->hang(period);
    });
    if (started.wait_for(kDefaultTimeout) != std::future_status::ready)
        ADD_FAILURE() << "FakeSkype's thread did not begin to hang";
}

void FakeSkype::answerAgain() { m_shared->wake = true; }
bool FakeSkype::hanging() const { return m_shared->hung; }
bool FakeSkype::commandWaiting() const { return m_shared->commandWaiting; }

void FakeSkype::inBackground(std::function<void()> action)
{
    if (!m_shared->windows || !m_shared->windows->Post(std::move(action)))
        ADD_FAILURE() << "FakeSkype's thread is gone";
}

}  // namespace e2e

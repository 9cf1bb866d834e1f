#include "FakeSkype.h"

#include <atomic>
#include <future>
#include <mutex>
#include <ostream>
#include <thread>

namespace e2e {

namespace {

constexpr wchar_t kSkypeClass[] = L"OrvantaE2EFakeSkype";
constexpr wchar_t kForeignClass[] = L"OrvantaE2EForeign";
// Posted to ourselves: answer the discovery of client wParam once the broadcast handler has returned.
constexpr UINT kAnswerLater = WM_APP + 1;
// Posted to ourselves: run the std::function<void()> in lParam (and delete it).
constexpr UINT kRunAction = WM_APP + 2;

}  // namespace

UINT DiscoverMessage()
{
    static const UINT message = RegisterWindowMessageA("SkypeControlAPIDiscover");
    return message;
}

UINT AttachMessage()
{
    static const UINT message = RegisterWindowMessageA("SkypeControlAPIAttach");
    return message;
}

std::string Describe(const Event& event)
{
    switch (event.kind) {
    case Event::Discover: return "discover";
    case Event::Command: return "command " + event.text;
    case Event::Foreign: return "foreign " + event.text;
    case Event::Attach: return "attach " + std::to_string(event.value);
    case Event::Notice: return "notice " + event.text;
    case Event::ForeignNotice: return "foreign notice " + event.text;
    case Event::Done:
        return event.delivered ? "done = " + std::to_string(event.value) : std::string("done timeout");
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
    std::vector<Event> events;
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

    HWND skype = nullptr;
    HWND foreignWnd = nullptr;
    DWORD threadId = 0;
    std::thread thread;

    static constexpr Millis kSendTimeoutDefault = 2000ms;

    void record(Event event)
    {
        std::lock_guard guard(lock);
        events.push_back(std::move(event));
    }

    // Records the send, makes it, records its answer.
    SendResult send(Event::Kind kind, std::string text, LPARAM value, HWND to, UINT message,
                    WPARAM wParam, LPARAM lParam)
    {
        Millis timeout;
        {
            std::lock_guard guard(lock);
            if (!to)
                to = client;
            timeout = sendTimeout;
            events.push_back({kind, std::move(text), value});
        }
        DWORD_PTR result = 0;
        ++sendsRunning;
        bool delivered = to && SendMessageTimeoutW(to, message, wParam, lParam, SMTO_NORMAL,
                                                  UINT(timeout.count()), &result) != 0;
        --sendsRunning;
        record({Event::Done, {}, LPARAM(result), delivered});
        return {delivered, delivered ? LRESULT(result) : 0};
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

    void answerDiscovery(HWND to, LPARAM status, bool post)
    {
        if (post) {
            record({Event::Attach, {}, status});
            PostMessageW(to, AttachMessage(), WPARAM(skype), status);
            return;
        }
        send(Event::Attach, {}, status, to, AttachMessage(), WPARAM(skype), status);
    }

    LRESULT onDiscover(WPARAM wParam, LPARAM lParam)
    {
        HWND from = reinterpret_cast<HWND>(wParam);
        std::optional<LPARAM> status;
        AttachTiming when;
        {
            std::lock_guard guard(lock);
            discoveries.push_back({from, lParam, InSendMessage() != FALSE});
            events.push_back({Event::Discover, {}});
            client = from;
            status = answer;
            when = timing;
        }
        if (!status || when == AttachTiming::None || !IsWindow(from))
            return 0;
        switch (when) {
        case AttachTiming::Nested: answerDiscovery(from, *status, false); break;
        case AttachTiming::Posted: answerDiscovery(from, *status, true); break;
        case AttachTiming::AfterDiscover: PostMessageW(skype, kAnswerLater, wParam, *status); break;
        case AttachTiming::None: break;
        }
        return 0;
    }

    LRESULT onCopyData(HWND to, WPARAM wParam, const COPYDATASTRUCT* data)
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
            bool isSkype = to == skype;
            events.push_back({isSkype ? Event::Command : Event::Foreign, copy.text()});
            (isSkype ? commands : foreign).push_back(copy);
            if (isSkype)
                react = handler;
        }
        return react ? react(copy) : 1;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Shared*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            bool isSkype = hwnd == self->skype || self->skype == nullptr;
            if (message == WM_COPYDATA)
                return self->onCopyData(hwnd, wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            if (isSkype && message == DiscoverMessage() && message != 0)
                return self->onDiscover(wParam, lParam);
            if (isSkype && message == kRunAction) {
                std::unique_ptr<std::function<void()>> action(
                    reinterpret_cast<std::function<void()>*>(lParam));
                (*action)();
                return 0;
            }
            if (isSkype && message == kAnswerLater) {
                HWND to = reinterpret_cast<HWND>(wParam);
                if (IsWindow(to))
                    self->answerDiscovery(to, lParam, false);
                return 0;
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void run(std::promise<void>& ready)
    {
        threadId = GetCurrentThreadId();
        HINSTANCE instance = GetModuleHandleW(nullptr);
        for (const wchar_t* name : {kSkypeClass, kForeignClass}) {
            WNDCLASSW cls{};
            cls.lpfnWndProc = WindowProc;
            cls.hInstance = instance;
            cls.lpszClassName = name;
            RegisterClassW(&cls);  // fails harmlessly when a previous test registered it
        }
        // Top-level and hidden: a broadcast reaches no message-only window.
        skype = CreateWindowExW(WS_EX_TOOLWINDOW, kSkypeClass, L"Fake Skype", WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, instance, this);
        foreignWnd = CreateWindowExW(WS_EX_TOOLWINDOW, kForeignClass, L"Foreign", WS_POPUP, 0, 0, 1,
                                     1, nullptr, nullptr, instance, this);
        // The message queue exists now, so PostThreadMessage(WM_QUIT) cannot be lost.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        ready.set_value();
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DestroyWindow(foreignWnd);
        DestroyWindow(skype);
    }
};

FakeSkype::FakeSkype() : shared_(std::make_shared<Shared>())
{
    std::promise<void> ready;
    auto started = ready.get_future();
    shared_->thread = std::thread([shared = shared_.get(), &ready] { shared->run(ready); });
    started.wait();
    if (!shared_->skype || !shared_->foreignWnd)
        ADD_FAILURE() << "FakeSkype could not create its windows, error " << GetLastError();
}

FakeSkype::~FakeSkype()
{
    shared_->wake = true;
    PostThreadMessageW(shared_->threadId, WM_QUIT, 0, 0);
    shared_->thread.join();
}

HWND FakeSkype::hwnd() const { return shared_->skype; }
HWND FakeSkype::foreignHwnd() const { return shared_->foreignWnd; }

HWND FakeSkype::client() const
{
    std::lock_guard guard(shared_->lock);
    return shared_->client;
}

void FakeSkype::answerDiscovery(std::optional<LPARAM> status, AttachTiming timing)
{
    std::lock_guard guard(shared_->lock);
    shared_->answer = status;
    shared_->timing = status ? timing : AttachTiming::None;
}

void FakeSkype::onCommand(CommandHandler handler)
{
    std::lock_guard guard(shared_->lock);
    shared_->handler = std::move(handler);
}

std::vector<Event> FakeSkype::events() const
{
    std::lock_guard guard(shared_->lock);
    return shared_->events;
}

std::vector<std::string> FakeSkype::transcript() const
{
    std::vector<std::string> lines;
    for (const Event& event : events())
        lines.push_back(Describe(event));
    return lines;
}

std::vector<Discovery> FakeSkype::discoveries() const
{
    std::lock_guard guard(shared_->lock);
    return shared_->discoveries;
}

std::vector<CopyData> FakeSkype::commands() const
{
    std::lock_guard guard(shared_->lock);
    return shared_->commands;
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
    std::lock_guard guard(shared_->lock);
    return shared_->foreign;
}

size_t FakeSkype::commandCount() const
{
    std::lock_guard guard(shared_->lock);
    return shared_->commands.size();
}

void FakeSkype::clear()
{
    std::lock_guard guard(shared_->lock);
    shared_->events.clear();
    shared_->discoveries.clear();
    shared_->commands.clear();
    shared_->foreign.clear();
}

::testing::AssertionResult FakeSkype::waitForDiscoveries(size_t count, Millis timeout) const
{
    return WaitFor(std::to_string(count) + " discovery broadcast(s)",
                   [&] { return discoveries().size() >= count; }, timeout);
}

::testing::AssertionResult FakeSkype::waitForCommands(size_t count, Millis timeout) const
{
    auto result = WaitFor(std::to_string(count) + " command(s)", [&] { return commandCount() >= count; },
                          timeout);
    if (!result) {
        result << "; got:";
        for (const std::string& line : transcript())
            result << "\n  " << line;
    }
    return result;
}

void FakeSkype::setSendTimeout(Millis timeout)
{
    std::lock_guard guard(shared_->lock);
    shared_->sendTimeout = timeout;
}

SendResult FakeSkype::sendAttach(LPARAM status, HWND to)
{
    return shared_->send(Event::Attach, {}, status, to, AttachMessage(), WPARAM(hwnd()), status);
}

SendResult FakeSkype::postAttach(LPARAM status, HWND to)
{
    if (!to)
        to = client();
    shared_->record({Event::Attach, {}, status});
    return {PostMessageW(to, AttachMessage(), WPARAM(hwnd()), status) != 0, 0};
}

SendResult FakeSkype::sendNotice(std::string_view text, HWND to)
{
    std::string bytes(text);
    return sendCopyData(std::string_view(bytes.c_str(), bytes.size() + 1), DWORD(bytes.size() + 1), 0, to);
}

SendResult FakeSkype::sendCopyData(std::string_view bytes, DWORD byteCount, ULONG_PTR tag, HWND to)
{
    std::string data(bytes);
    COPYDATASTRUCT record{tag, byteCount, byteCount ? data.data() : nullptr};
    std::string shown(bytes.substr(0, std::min<size_t>(bytes.find('\0'), byteCount)));
    return shared_->send(Event::Notice, shown, 0, to, WM_COPYDATA, WPARAM(hwnd()), LPARAM(&record));
}

SendResult FakeSkype::sendForeignNotice(std::string_view text, HWND to)
{
    std::string data(text);
    COPYDATASTRUCT record{0, DWORD(data.size() + 1), data.data()};
    return shared_->send(Event::ForeignNotice, data, 0, to, WM_COPYDATA, WPARAM(foreignHwnd()),
                         LPARAM(&record));
}

void FakeSkype::stopAnswering(Millis period)
{
    auto began = std::make_shared<std::promise<void>>();
    auto started = began->get_future();
    Shared* shared = shared_.get();
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

void FakeSkype::answerAgain() { shared_->wake = true; }
bool FakeSkype::hanging() const { return shared_->hung; }
bool FakeSkype::commandWaiting() const { return shared_->commandWaiting; }

void FakeSkype::inBackground(std::function<void()> action)
{
    auto* posted = new std::function<void()>(std::move(action));
    if (!PostMessageW(hwnd(), kRunAction, 0, LPARAM(posted))) {
        delete posted;
        ADD_FAILURE() << "FakeSkype's thread is gone";
    }
}

}  // namespace e2e

#include "ApiWindow.h"

#include <future>
#include <stdexcept>
#include <thread>

#include "SkypeApi.h"

namespace skypeapi {

namespace {
// Posted to the first window: run the std::function<void()> in lParam, and delete it.
constexpr UINT kRunAction = WM_APP + 0x100;
}  // namespace

UINT DiscoverMessage()
{
    static const UINT message = RegisterWindowMessageA(kSkypeDiscoverMessageName);
    return message;
}

UINT AttachMessage()
{
    static const UINT message = RegisterWindowMessageA(kSkypeAttachMessageName);
    return message;
}

Sent SendWithin(HWND to, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, UINT flags)
{
    if (!to)
        return {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(to, msg, wParam, lParam, flags, timeoutMs, &result))
        return {false, 0, GetLastError()};
    return {true, LRESULT(result), 0};
}

Sent SendCopyData(HWND to, HWND from, std::string_view bytes, DWORD count, UINT timeoutMs, ULONG_PTR tag, UINT flags)
{
    std::string data(bytes);
    COPYDATASTRUCT record{tag, count, count ? data.data() : nullptr};
    return SendWithin(to, WM_COPYDATA, WPARAM(from), LPARAM(&record), timeoutMs, flags);
}

Sent SendText(HWND to, HWND from, std::string_view text, UINT timeoutMs, UINT flags)
{
    std::string data(text);
    return SendCopyData(to, from, std::string_view(data.c_str(), data.size() + 1), DWORD(data.size() + 1), timeoutMs, 0,
                        flags);
}

struct WindowThread::Impl {
    // What each window's GWLP_USERDATA points at.
    struct Slot {
        Impl* owner;
        size_t index;
    };

    Handler handler;
    std::vector<Slot> slots;
    std::vector<HWND> hwnds;
    DWORD threadId = 0;
    std::thread thread;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* slot = reinterpret_cast<Slot*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!slot)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        try {
            if (msg == kRunAction && slot->index == 0) {
                std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lParam));
                (*action)();
                return 0;
            }
            if (std::optional<LRESULT> answer = slot->owner->handler(hwnd, slot->index, msg, wParam, lParam))
                return *answer;
        } catch (...) {
            // Nothing may unwind through user32.
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    void Run(const std::vector<Window>& windows, std::promise<void>& ready)
    {
        threadId = GetCurrentThreadId();
        HINSTANCE instance = GetModuleHandleA(nullptr);
        for (size_t i = 0; i < windows.size(); ++i) {
            WNDCLASSA cls{};
            cls.lpfnWndProc = WindowProc;
            cls.hInstance = instance;
            cls.lpszClassName = windows[i].className.c_str();
            RegisterClassA(&cls);  // fails harmlessly when an earlier object registered it
            // Top-level and never shown: broadcasts reach it, nobody sees it.
            HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, windows[i].className.c_str(), windows[i].title.c_str(),
                                        WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, &slots[i]);
            if (!hwnd) {
                for (HWND made : hwnds)
                    DestroyWindow(made);
                ready.set_exception(std::make_exception_ptr(std::runtime_error(
                    "window " + windows[i].title + " could not be made, error " + std::to_string(GetLastError()))));
                return;
            }
            hwnds.push_back(hwnd);
        }
        // The message queue exists now, so PostThreadMessage(WM_QUIT) cannot be lost.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        ready.set_value();
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        for (auto it = hwnds.rbegin(); it != hwnds.rend(); ++it)
            DestroyWindow(*it);
    }
};

WindowThread::WindowThread(std::vector<Window> windows, Handler handler) : m_impl(std::make_unique<Impl>())
{
    m_impl->handler = std::move(handler);
    for (size_t i = 0; i < windows.size(); ++i)
        m_impl->slots.push_back({m_impl.get(), i});
    std::promise<void> ready;
    std::future<void> made = ready.get_future();
    m_impl->thread = std::thread([this, &windows, &ready] { m_impl->Run(windows, ready); });
    try {
        made.get();
    } catch (...) {
        m_impl->thread.join();
        throw;
    }
}

WindowThread::~WindowThread()
{
    PostThreadMessageA(m_impl->threadId, WM_QUIT, 0, 0);
    m_impl->thread.join();
}

HWND WindowThread::hwnd(size_t index) const { return index < m_impl->hwnds.size() ? m_impl->hwnds[index] : nullptr; }

bool WindowThread::Post(std::function<void()> action) const
{
    auto* posted = new std::function<void()>(std::move(action));
    if (PostMessageA(hwnd(0), kRunAction, 0, LPARAM(posted)))
        return true;
    delete posted;
    return false;
}

bool WindowThread::OnThread() const { return GetCurrentThreadId() == m_impl->threadId; }

}  // namespace skypeapi

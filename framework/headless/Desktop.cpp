#include "Desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Resources.h"
#include "Wnd.h"

namespace headless {
namespace {

constexpr std::uintptr_t kHandleBase = 0x10000;
constexpr std::uintptr_t kHandleStep = 0x10;

std::string BoxFlags(UINT type)
{
    std::string icon;
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: icon = "stop"; break;
    case MB_ICONQUESTION: icon = "question"; break;
    case MB_ICONEXCLAMATION: icon = "warning"; break;
    case MB_ICONINFORMATION: icon = "information"; break;
    default: icon = "no-icon"; break;
    }
    std::string buttons;
    switch (type & MB_TYPEMASK) {
    case MB_OK: buttons = "ok"; break;
    case MB_OKCANCEL: buttons = "ok-cancel"; break;
    case MB_YESNO: buttons = "yes-no"; break;
    case MB_YESNOCANCEL: buttons = "yes-no-cancel"; break;
    default: buttons = "buttons-" + std::to_string(type & MB_TYPEMASK); break;
    }
    return icon + " " + buttons;
}

std::string AnswerName(int answer)
{
    switch (answer) {
    case IDOK: return "IDOK";
    case IDCANCEL: return "IDCANCEL";
    case IDYES: return "IDYES";
    case IDNO: return "IDNO";
    default: return std::to_string(answer);
    }
}

Desktop* g_installed = nullptr;

}  // namespace

std::string EscapeForLog(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

Desktop& Desktop::Get()
{
    if (!g_installed) {
        static Desktop plain;
        g_installed = &plain;
    }
    return *g_installed;
}

void Desktop::Install(Desktop& desktop) { g_installed = &desktop; }

Desktop::Desktop() { Desktop::Reset(); }

Desktop::~Desktop()
{
    if (g_installed == this)
        g_installed = nullptr;
}

void Desktop::ReportFailure(const std::string& what)
{
    if (m_user) {
        m_user->Fail(what);
        return;
    }
    std::fprintf(stderr, "headless desktop: %s\n", what.c_str());
    std::abort();
}

void Desktop::Reset()
{
    m_windows.clear();
    m_posted.clear();
    m_waiting.clear();
    m_sendLimits.clear();
    m_capture = nullptr;
    m_focus = nullptr;
    m_pumpDepth = 0;
    onBroadcast = nullptr;
    broadcastResult = 1;
    localAppData.clear();
    shellOpenResult = true;
    dpi = 96;
}

HWND Desktop::AddWindow(const std::string& className, std::function<LRESULT(UINT, WPARAM, LPARAM)> proc)
{
    HWND h = NewWindow(nullptr, className, 0);
    W(h)->proc = std::move(proc);
    return h;
}

Desktop::Window* Desktop::W(HWND h) const
{
    auto v = reinterpret_cast<std::uintptr_t>(h);
    if (v < kHandleBase || (v - kHandleBase) % kHandleStep != 0)
        return nullptr;
    size_t index = (v - kHandleBase) / kHandleStep;
    return index < m_windows.size() ? m_windows[index].get() : nullptr;
}

HWND Desktop::NewWindow(HWND parent, const std::string& className, int id)
{
    auto w = std::make_unique<Window>();
    w->handle = reinterpret_cast<HWND>(kHandleBase + kHandleStep * m_windows.size());
    w->parent = parent;
    w->className = className;
    w->id = id;
    HWND h = w->handle;
    m_windows.push_back(std::move(w));
    if (Window* p = W(parent))
        p->children.push_back(h);
    return h;
}

std::string Desktop::ControlName(int id)
{
    if (id == IDOK)
        return "IDOK";
    if (id == IDCANCEL)
        return "IDCANCEL";
    Desktop& desktop = Get();
    return desktop.m_user ? desktop.m_user->NameControl(id) : std::to_string(id);
}

std::string Desktop::DialogName(int templateId)
{
    const DialogTemplate* t = Resources::Get().Dialog(templateId);
    return t ? t->idName : std::to_string(templateId);
}

void Desktop::Record(Log kind, std::string entry)
{
    if (m_user)
        m_user->Recorded(kind, entry);
}

// --- Top-level dialogs

HWND Desktop::Dialog(int templateId) const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if ((*it)->alive && (*it)->className == "#32770" && (*it)->templateId == templateId)
            return (*it)->handle;
    return nullptr;
}

HWND Desktop::MainDialog() const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if ((*it)->alive && (*it)->className == "#32770" && !(*it)->parent)
            return (*it)->handle;
    return nullptr;
}

// --- Messages

LRESULT Desktop::Deliver(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = W(h);
    if (!w || !w->alive)
        return 0;
    if (w->wnd)
        return w->wnd->WindowProc(msg, wParam, lParam);
    if (w->proc) {
        // Another program's window: the program waits in its send, and a thread
        // waiting in a send handles sent messages only, never posted ones.
        ++m_outgoingSends;
        LRESULT r = w->proc(msg, wParam, lParam);
        --m_outgoingSends;
        return r;
    }
    return Default(h, msg, wParam, lParam);
}

void Desktop::Post(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) { m_posted.push_back({h, msg, wParam, lParam}); }

BOOL Desktop::SendTimed(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result)
{
    if (result)
        *result = 0;
    Window* w = W(h);
    if (!w || !w->alive)
        return FALSE;
    m_sendLimits.push_back(timeoutMs);
    if (w->answering) {
        LRESULT r = Deliver(h, msg, wParam, lParam);
        if (result)
            *result = r;
        return TRUE;
    }
    Waiting waiting{h, msg, wParam, lParam, 0, {}, msg == WM_COPYDATA};
    std::string shown = "message " + std::to_string(msg);
    if (waiting.copyData) {
        const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (record) {
            waiting.tag = record->dwData;
            if (record->lpData && record->cbData)
                waiting.bytes.assign(static_cast<const char*>(record->lpData), record->cbData);
        }
        shown = waiting.bytes.substr(0, waiting.bytes.find('\0'));
    }
    m_waiting.push_back(std::move(waiting));
    Record(kSend, "no answer in " + std::to_string(timeoutMs) + " ms: " + shown);
    return FALSE;
}

void Desktop::StopAnswering(HWND h)
{
    if (Window* w = W(h))
        w->answering = false;
}

void Desktop::AnswerAgain(HWND h)
{
    if (Window* w = W(h))
        w->answering = true;
    for (;;) {
        auto it = std::find_if(m_waiting.begin(), m_waiting.end(), [h](const Waiting& x) { return x.h == h; });
        if (it == m_waiting.end())
            break;
        Waiting waiting = std::move(*it);
        m_waiting.erase(it);
        COPYDATASTRUCT record{waiting.tag, DWORD(waiting.bytes.size()),
                              waiting.bytes.empty() ? nullptr : waiting.bytes.data()};
        Deliver(waiting.h, waiting.msg, waiting.wParam, waiting.copyData ? LPARAM(&record) : waiting.lParam);
    }
    Pump();
}

void Desktop::Pump()
{
    if (m_pumpDepth > 0 || m_outgoingSends > 0)
        return;
    ++m_pumpDepth;
    while (!m_posted.empty()) {
        Posted p = m_posted.front();
        m_posted.pop_front();
        Deliver(p.h, p.msg, p.wParam, p.lParam);
    }
    --m_pumpDepth;
}

void Desktop::SetCaptureTo(HWND h)
{
    HWND old = m_capture;
    m_capture = h;
    if (old != h) {
        Record(kCapture, "capture " + (h ? ControlName(W(h)->id) : std::string("none")));
        if (old)
            Deliver(old, WM_CAPTURECHANGED, 0, LPARAM(h));
    }
}

// --- Scripts

int Desktop::TakeBox(const std::string& text, const std::string& caption, UINT type)
{
    std::string entry = "box " + caption + " | " + EscapeForLog(text) + " | " + BoxFlags(type);
    IUser::BoxAnswer answer = m_user ? m_user->AnswerBox(text, type) : IUser::BoxAnswer{};
    if (!answer.button) {
        ReportFailure("unexpected message box: " + entry);
        Record(kBox, entry + " -> unexpected");
        switch (type & MB_TYPEMASK) {
        case MB_YESNO: return IDNO;
        case MB_YESNOCANCEL: return IDCANCEL;
        default: return IDOK;
        }
    }
    Record(kBox, entry + " -> " + AnswerName(*answer.button));
    if (answer.whileOpen)
        answer.whileOpen();
    return *answer.button;
}

bool Desktop::TakeFileDialog(bool open, const std::string& filter, std::string& path)
{
    std::string entry = std::string(open ? "open-dialog " : "save-dialog ") + filter;
    std::optional<std::string> chosen = m_user ? m_user->AnswerFileDialog(open) : std::nullopt;
    if (!chosen) {
        ReportFailure("unexpected file dialog: " + entry);
        Record(kFileDialog, entry + " -> unexpected");
        return false;
    }
    Record(kFileDialog, entry + " -> " + (chosen->empty() ? std::string("cancel") : *chosen));
    path = *chosen;
    return !path.empty();
}

void Desktop::RunModal(HWND h)
{
    Window* w = W(h);
    if (!w || w->modalEnded)
        return;
    if (m_user && m_user->WorkDialog(w->templateId))
        Pump();
    if (!w->modalEnded) {
        ReportFailure("modal dialog " + DialogName(w->templateId) + " was not ended");
        w->modalEnded = true;
    }
}

void Desktop::Destroy(HWND h)
{
    Window* w = W(h);
    if (!w || !w->alive)
        return;
    Deliver(h, WM_DESTROY, 0, 0);
    for (HWND c : w->children)
        Destroy(c);
    if (m_capture == h)
        m_capture = nullptr;
    w->timers.clear();
    Deliver(h, WM_NCDESTROY, 0, 0);
    w->alive = false;
    w->wnd = nullptr;
}

}  // namespace headless

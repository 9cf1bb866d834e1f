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

std::function<std::string(int)>& ControlNamer()
{
    static std::function<std::string(int)> namer;
    return namer;
}

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

void Desktop::Fail(const std::string& what)
{
    if (onFailure) {
        onFailure(what);
        return;
    }
    std::fprintf(stderr, "headless desktop: %s\n", what.c_str());
    std::abort();
}

void Desktop::Reset()
{
    m_windows.clear();
    m_log.clear();
    m_scripts.clear();
    m_posted.clear();
    m_waiting.clear();
    m_sendLimits.clear();
    m_capture = nullptr;
    m_focus = nullptr;
    m_pumpDepth = 0;
    onBroadcast = nullptr;
    onUnscriptedBox = nullptr;
    broadcastResult = 1;
    localAppData.clear();
    shellOpenResult = true;
    dpi = 96;
    m_foreign = AddWindow("ForeignWindow", [](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
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
    return ControlNamer() ? ControlNamer()(id) : std::to_string(id);
}

std::string Desktop::DialogName(int templateId)
{
    const DialogTemplate* t = Resources::Get().Dialog(templateId);
    return t ? t->idName : std::to_string(templateId);
}

void Desktop::SetControlNamer(std::function<std::string(int id)> namer) { ControlNamer() = std::move(namer); }

void Desktop::Record(Log kind, std::string entry) { m_log.emplace_back(kind, std::move(entry)); }

std::vector<std::string> Desktop::Entries(unsigned kinds) const
{
    std::vector<std::string> out;
    for (const auto& [kind, text] : m_log)
        if (kind & kinds)
            out.push_back(text);
    return out;
}

// --- The program's windows

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

HWND Desktop::Item(int id) const
{
    Window* p = W(MainDialog());
    if (!p)
        return nullptr;
    for (HWND c : p->children)
        if (W(c)->alive && W(c)->id == id)
            return c;
    return nullptr;
}

namespace {
const Desktop::Window& Must(const Desktop& d, HWND h, int id)
{
    Desktop::Window* w = d.W(h);
    if (!w)
        throw std::runtime_error("no control " + Desktop::ControlName(id));
    return *w;
}

// The main dialog's first list box, for the list queries without an id.
Desktop::Window* FirstListBox(const Desktop& d)
{
    if (Desktop::Window* p = d.W(d.MainDialog()))
        for (HWND c : p->children)
            if (d.W(c)->alive && d.W(c)->className == "ListBox")
                return d.W(c);
    return nullptr;
}

const Desktop::Window& ListBox(const Desktop& d, int id)
{
    if (id >= 0)
        return Must(d, d.Item(id), id);
    if (Desktop::Window* w = FirstListBox(d))
        return *w;
    throw std::runtime_error("no list box");
}
}  // namespace

std::string Desktop::Text(int id) const { return Must(*this, Item(id), id).text; }
bool Desktop::Enabled(int id) const { return Must(*this, Item(id), id).enabled; }
int Desktop::Check(int id) const { return Must(*this, Item(id), id).check; }
bool Desktop::Pushed(int id) const { return Must(*this, Item(id), id).pushed; }

std::vector<std::string> Desktop::Lines(int id) const { return ListBox(*this, id).lines; }
int Desktop::Selection(int id) const { return ListBox(*this, id).selection; }

std::string Desktop::SelectedText(int id) const
{
    const Window& w = Must(*this, Item(id), id);
    return w.text.substr(size_t(w.selStart), size_t(w.selEnd - w.selStart));
}

bool Desktop::Redraws(int id) const { return ListBox(*this, id).redraw; }

bool Desktop::Topmost() const { return Must(*this, MainDialog(), 0).topmost; }
int Desktop::Width() const { return Must(*this, MainDialog(), 0).cx; }
int Desktop::Height() const { return Must(*this, MainDialog(), 0).cy; }
int Desktop::Left() const { return Must(*this, MainDialog(), 0).x; }
int Desktop::Top() const { return Must(*this, MainDialog(), 0).y; }

std::vector<std::pair<UINT, std::string>> Desktop::SystemMenu() const
{
    std::vector<std::pair<UINT, std::string>> out;
    for (const HMENU_Item& item : Must(*this, MainDialog(), 0).systemMenu)
        out.emplace_back(item.flags & MF_SEPARATOR ? 0 : UINT(item.id), item.text);
    return out;
}

std::vector<UINT_PTR> Desktop::Timers() const
{
    std::vector<UINT_PTR> out;
    for (const auto& [id, period] : Must(*this, MainDialog(), 0).timers)
        out.push_back(id);
    return out;
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

// --- The operator

void Desktop::Button(int id, UINT msg)
{
    HWND h = Item(id);
    Window* w = W(h);
    if (!w)
        throw std::runtime_error("no control " + ControlName(id));
    // A disabled window gets no mouse input; a captured one gets it all.
    HWND target = m_capture ? m_capture : h;
    if (!W(target)->enabled)
        return;
    Deliver(target, msg, 0, MAKELPARAM(4, 4));
    Pump();
}

void Desktop::Press(int id) { Button(id, WM_LBUTTONDOWN); }
void Desktop::DoubleClickPress(int id) { Button(id, WM_LBUTTONDBLCLK); }
void Desktop::Release(int id) { Button(id, WM_LBUTTONUP); }

void Desktop::MoveMouse(int id, int x, int y, bool leftHeld)
{
    HWND h = Item(id);
    Window* w = W(h);
    if (!w)
        throw std::runtime_error("no control " + ControlName(id));
    HWND target = h;
    if (m_capture && m_capture != h) {
        // The same point in the capturing window's own coordinates, when it is a
        // sibling control; any other window gets the point as it is.
        target = m_capture;
        Window* c = W(target);
        if (c && c->parent == w->parent) {
            x += w->x - c->x;
            y += w->y - c->y;
        }
    }
    if (!W(target)->enabled)
        return;
    Deliver(target, WM_MOUSEMOVE, leftHeld ? MK_LBUTTON : 0, MAKELPARAM(WORD(x), WORD(y)));
    Pump();
}

void Desktop::Click(int id)
{
    Press(id);
    Release(id);
}

void Desktop::Type(int id, const std::string& text)
{
    HWND h = Item(id);
    if (!W(h))
        throw std::runtime_error("no control " + ControlName(id));
    W(h)->text = text;
    // The caret ends after the last character typed.
    W(h)->selStart = W(h)->selEnd = int(text.size());
}

void Desktop::SelectLine(int index)
{
    Window* w = FirstListBox(*this);
    if (!w || !w->enabled)
        return;
    if (index < 0 || index >= int(w->lines.size()))
        return;
    w->selection = index;
    Deliver(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), LBN_SELCHANGE), LPARAM(w->handle));
    Pump();
}

void Desktop::SysCommand(UINT id)
{
    Deliver(MainDialog(), WM_SYSCOMMAND, id, 0);
    Pump();
}

void Desktop::CloseBox() { SysCommand(SC_CLOSE); }

void Desktop::Minimise()
{
    if (Window* p = W(MainDialog())) {
        p->iconic = true;
        Deliver(p->handle, WM_PAINT, 0, 0);
        Pump();
    }
}

void Desktop::Deactivate()
{
    Deliver(MainDialog(), WM_ACTIVATE, WA_INACTIVE, LPARAM(m_foreign));
    Pump();
}

void Desktop::TakeCapture() { SetCaptureTo(m_foreign); }

// --- Other programs

LRESULT Desktop::SendToMain(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = Deliver(MainDialog(), msg, wParam, lParam);
    Pump();
    return r;
}

LRESULT Desktop::CopyData(HWND from, const void* data, DWORD count, PVOID pointerOverride, bool usePointerOverride)
{
    COPYDATASTRUCT record;
    record.dwData = 0;
    record.cbData = count;
    record.lpData = usePointerOverride ? pointerOverride : const_cast<void*>(data);
    return SendToMain(WM_COPYDATA, WPARAM(from), LPARAM(&record));
}

// --- The clock

void Desktop::Tick(int count)
{
    for (int i = 0; i < count; ++i) {
        Window* p = W(MainDialog());
        if (!p)
            return;
        std::vector<UINT_PTR> ids;
        for (const auto& [id, period] : p->timers)
            ids.push_back(id);
        for (UINT_PTR id : ids)
            Deliver(p->handle, WM_TIMER, id, 0);
        Pump();
    }
}

// --- Scripts

void Desktop::ExpectBox(const std::string& text, int answer, std::function<void()> whileOpen)
{
    m_scripts.push_back({Script::kBoxScript, text, answer, false, 0, std::move(whileOpen)});
}

void Desktop::ExpectFileDialog(bool open, const std::string& path)
{
    m_scripts.push_back({Script::kFileScript, path, 0, open, 0, {}});
}

void Desktop::ExpectDialog(int templateId, std::function<void()> whileOpen)
{
    m_scripts.push_back({Script::kDialogScript, {}, 0, false, templateId, std::move(whileOpen)});
}

void Desktop::VerifyScriptsTaken()
{
    std::deque<Script> untaken;
    untaken.swap(m_scripts);
    for (const Script& s : untaken)
        Fail("a scripted " +
             (s.kind == Script::kBoxScript        ? "box \"" + EscapeForLog(s.text) + "\""
                  : s.kind == Script::kFileScript ? std::string("file dialog")
                                                  : "dialog " + std::to_string(s.templateId)) +
             " never came");
}

int Desktop::TakeBox(const std::string& text, const std::string& caption, UINT type)
{
    std::string entry = "box " + caption + " | " + EscapeForLog(text) + " | " + BoxFlags(type);
    if (m_scripts.empty() && onUnscriptedBox) {
        int answer = onUnscriptedBox(text, type);
        Record(kBox, entry + " -> " + AnswerName(answer));
        return answer;
    }
    if (m_scripts.empty() || m_scripts.front().kind != Script::kBoxScript || m_scripts.front().text != text) {
        Fail("unexpected message box: " + entry);
        Record(kBox, entry + " -> unexpected");
        switch (type & MB_TYPEMASK) {
        case MB_YESNO: return IDNO;
        case MB_YESNOCANCEL: return IDCANCEL;
        default: return IDOK;
        }
    }
    Script s = std::move(m_scripts.front());
    m_scripts.pop_front();
    Record(kBox, entry + " -> " + AnswerName(s.answer));
    if (s.whileOpen)
        s.whileOpen();
    return s.answer;
}

bool Desktop::TakeFileDialog(bool open, const std::string& filter, std::string& path)
{
    std::string entry = std::string(open ? "open-dialog " : "save-dialog ") + filter;
    if (m_scripts.empty() || m_scripts.front().kind != Script::kFileScript || m_scripts.front().open != open) {
        Fail("unexpected file dialog: " + entry);
        Record(kFileDialog, entry + " -> unexpected");
        return false;
    }
    Script s = std::move(m_scripts.front());
    m_scripts.pop_front();
    Record(kFileDialog, entry + " -> " + (s.text.empty() ? std::string("cancel") : s.text));
    path = s.text;
    return !path.empty();
}

void Desktop::RunModal(HWND h)
{
    Window* w = W(h);
    if (!w || w->modalEnded)
        return;
    if (!m_scripts.empty() && m_scripts.front().kind == Script::kDialogScript &&
        m_scripts.front().templateId == w->templateId) {
        Script s = std::move(m_scripts.front());
        m_scripts.pop_front();
        if (s.whileOpen)
            s.whileOpen();
        Pump();
    }
    if (!w->modalEnded) {
        Fail("modal dialog " + DialogName(w->templateId) + " was not ended");
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

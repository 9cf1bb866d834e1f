#include "DesktopDriver.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "ControlNames.h"

namespace testsupport {

DesktopDriver::DesktopDriver()
{
    Install(*this);
    SetUser(this);
    DesktopDriver::Reset();
}

void DesktopDriver::Reset()
{
    Desktop::Reset();
    m_log.clear();
    m_scripts.clear();
    onUnscriptedBox = nullptr;
    m_foreign = AddWindow("ForeignWindow", [](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
}

void DesktopDriver::Fail(const std::string& what)
{
    if (onFailure) {
        onFailure(what);
        return;
    }
    std::fprintf(stderr, "headless desktop: %s\n", what.c_str());
    std::abort();
}

// --- The program's controls

HWND DesktopDriver::Item(int id) const
{
    Window* p = W(MainDialog());
    if (!p)
        return nullptr;
    for (HWND c : p->children)
        if (W(c)->alive && W(c)->id == id)
            return c;
    return nullptr;
}

const DesktopDriver::Window& DesktopDriver::Must(HWND h, int id) const
{
    Window* w = W(h);
    if (!w)
        throw std::runtime_error("no control " + ControlName(id));
    return *w;
}

// The main dialog's first list box, for the list queries without an id.
DesktopDriver::Window* DesktopDriver::FirstListBox() const
{
    if (Window* p = W(MainDialog()))
        for (HWND c : p->children)
            if (W(c)->alive && W(c)->className == "ListBox")
                return W(c);
    return nullptr;
}

const DesktopDriver::Window& DesktopDriver::ListBox(int id) const
{
    if (id >= 0)
        return Must(Item(id), id);
    if (Window* w = FirstListBox())
        return *w;
    throw std::runtime_error("no list box");
}

std::string DesktopDriver::Text(int id) const { return Must(Item(id), id).text; }
bool DesktopDriver::Enabled(int id) const { return Must(Item(id), id).enabled; }
int DesktopDriver::Check(int id) const { return Must(Item(id), id).check; }
bool DesktopDriver::Pushed(int id) const { return Must(Item(id), id).pushed; }

std::vector<std::string> DesktopDriver::Lines(int id) const { return ListBox(id).lines; }
int DesktopDriver::Selection(int id) const { return ListBox(id).selection; }

std::string DesktopDriver::SelectedText(int id) const
{
    const Window& w = Must(Item(id), id);
    return w.text.substr(size_t(w.selStart), size_t(w.selEnd - w.selStart));
}

bool DesktopDriver::Redraws(int id) const { return ListBox(id).redraw; }

bool DesktopDriver::Topmost() const { return Must(MainDialog(), 0).topmost; }
int DesktopDriver::Width() const { return Must(MainDialog(), 0).cx; }
int DesktopDriver::Height() const { return Must(MainDialog(), 0).cy; }
int DesktopDriver::Left() const { return Must(MainDialog(), 0).x; }
int DesktopDriver::Top() const { return Must(MainDialog(), 0).y; }

std::vector<std::pair<UINT, std::string>> DesktopDriver::SystemMenu() const
{
    std::vector<std::pair<UINT, std::string>> out;
    for (const headless::HMENU_Item& item : Must(MainDialog(), 0).systemMenu)
        out.emplace_back(item.flags & MF_SEPARATOR ? 0 : UINT(item.id), item.text);
    return out;
}

std::vector<UINT_PTR> DesktopDriver::Timers() const
{
    std::vector<UINT_PTR> out;
    for (const auto& [id, period] : Must(MainDialog(), 0).timers)
        out.push_back(id);
    return out;
}

// --- The operator

void DesktopDriver::Button(int id, UINT msg)
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

void DesktopDriver::Press(int id) { Button(id, WM_LBUTTONDOWN); }
void DesktopDriver::DoubleClickPress(int id) { Button(id, WM_LBUTTONDBLCLK); }
void DesktopDriver::Release(int id) { Button(id, WM_LBUTTONUP); }

void DesktopDriver::MoveMouse(int id, int x, int y, bool leftHeld)
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

void DesktopDriver::Click(int id)
{
    Press(id);
    Release(id);
}

void DesktopDriver::Type(int id, const std::string& text)
{
    HWND h = Item(id);
    if (!W(h))
        throw std::runtime_error("no control " + ControlName(id));
    W(h)->text = text;
    // The caret ends after the last character typed.
    W(h)->selStart = W(h)->selEnd = int(text.size());
}

void DesktopDriver::SelectLine(int index)
{
    Window* w = FirstListBox();
    if (!w || !w->enabled)
        return;
    if (index < 0 || index >= int(w->lines.size()))
        return;
    w->selection = index;
    Deliver(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), LBN_SELCHANGE), LPARAM(w->handle));
    Pump();
}

void DesktopDriver::SysCommand(UINT id)
{
    Deliver(MainDialog(), WM_SYSCOMMAND, id, 0);
    Pump();
}

void DesktopDriver::CloseBox() { SysCommand(SC_CLOSE); }

void DesktopDriver::Minimise()
{
    if (Window* p = W(MainDialog())) {
        p->iconic = true;
        Deliver(p->handle, WM_PAINT, 0, 0);
        Pump();
    }
}

void DesktopDriver::Deactivate()
{
    Deliver(MainDialog(), WM_ACTIVATE, WA_INACTIVE, LPARAM(m_foreign));
    Pump();
}

void DesktopDriver::TakeCapture() { SetCaptureTo(m_foreign); }

// --- Other programs

LRESULT DesktopDriver::SendToMain(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = Deliver(MainDialog(), msg, wParam, lParam);
    Pump();
    return r;
}

LRESULT DesktopDriver::CopyData(HWND from, const void* data, DWORD count, PVOID pointerOverride,
                                bool usePointerOverride)
{
    COPYDATASTRUCT record;
    record.dwData = 0;
    record.cbData = count;
    record.lpData = usePointerOverride ? pointerOverride : const_cast<void*>(data);
    return SendToMain(WM_COPYDATA, WPARAM(from), LPARAM(&record));
}

// --- The clock

void DesktopDriver::Tick(int count)
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

void DesktopDriver::ExpectBox(const std::string& text, int answer, std::function<void()> whileOpen)
{
    m_scripts.push_back({Script::kBoxScript, text, answer, false, 0, std::move(whileOpen)});
}

void DesktopDriver::ExpectFileDialog(bool open, const std::string& path)
{
    m_scripts.push_back({Script::kFileScript, path, 0, open, 0, {}});
}

void DesktopDriver::ExpectDialog(int templateId, std::function<void()> whileOpen)
{
    m_scripts.push_back({Script::kDialogScript, {}, 0, false, templateId, std::move(whileOpen)});
}

void DesktopDriver::VerifyScriptsTaken()
{
    std::deque<Script> untaken;
    untaken.swap(m_scripts);
    for (const Script& s : untaken)
        Fail("a scripted " +
             (s.kind == Script::kBoxScript        ? "box \"" + headless::EscapeForLog(s.text) + "\""
                  : s.kind == Script::kFileScript ? std::string("file dialog")
                                                  : "dialog " + std::to_string(s.templateId)) +
             " never came");
}

DesktopDriver::BoxAnswer DesktopDriver::AnswerBox(const std::string& text, UINT type)
{
    if (m_scripts.empty() && onUnscriptedBox)
        return {onUnscriptedBox(text, type), {}};
    if (m_scripts.empty() || m_scripts.front().kind != Script::kBoxScript || m_scripts.front().text != text)
        return {};
    Script s = std::move(m_scripts.front());
    m_scripts.pop_front();
    return {s.answer, std::move(s.whileOpen)};
}

std::optional<std::string> DesktopDriver::AnswerFileDialog(bool open)
{
    if (m_scripts.empty() || m_scripts.front().kind != Script::kFileScript || m_scripts.front().open != open)
        return std::nullopt;
    std::string path = std::move(m_scripts.front().text);
    m_scripts.pop_front();
    return path;
}

bool DesktopDriver::WorkDialog(int templateId)
{
    if (m_scripts.empty() || m_scripts.front().kind != Script::kDialogScript ||
        m_scripts.front().templateId != templateId)
        return false;
    Script s = std::move(m_scripts.front());
    m_scripts.pop_front();
    if (s.whileOpen)
        s.whileOpen();
    return true;
}

// --- The record

void DesktopDriver::Recorded(headless::Log kind, const std::string& entry) { m_log.emplace_back(kind, entry); }

std::string DesktopDriver::NameControl(int id) { return testsupport::ControlName(id); }

std::vector<std::string> DesktopDriver::Entries(unsigned kinds) const
{
    std::vector<std::string> out;
    for (const auto& [kind, text] : m_log)
        if (kind & kinds)
            out.push_back(text);
    return out;
}

}  // namespace testsupport

// The window-system primitives over the headless desktop.
#include "WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "Desktop.h"
#include "Dialog.h"
#include "App.h"
#include "Resources.h"

using headless::Desktop;

namespace {
Desktop& D() { return Desktop::Get(); }

std::map<std::string, UINT>& RegisteredMessages()
{
    static std::map<std::string, UINT> messages;
    return messages;
}

std::string MessageName(UINT msg)
{
    for (const auto& [name, value] : RegisteredMessages())
        if (value == msg)
            return name;
    return std::to_string(msg);
}

// What the last failed send left for GetLastError.
DWORD g_lastError = 0;

std::string Size(int cx, int cy) { return std::to_string(cx) + "x" + std::to_string(cy); }

// Copy-data sent to a window that is not there (or no longer).
void RecordUndelivered(LPARAM lParam)
{
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    D().Record(headless::kSend,
               std::string("undelivered ") +
                   (record && record->lpData ? static_cast<const char*>(record->lpData) : ""));
}

// Dialog units to pixels for the headless font: 6 x 13 base units.
int DluX(int v) { return v * 6 / 4; }
int DluY(int v) { return v * 13 / 8; }
}  // namespace

namespace ws {

UINT RegisterWindowMessage(const char* name)
{
    auto& messages = RegisteredMessages();
    auto it = messages.find(name);
    if (it != messages.end())
        return it->second;
    UINT value = 0xC000 + UINT(messages.size());
    messages.emplace(name, value);
    return value;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST)
        return BroadcastMessage(msg, wParam, lParam, 0);
    Desktop::Window* w = D().W(hwnd);
    if (msg == WM_COPYDATA && (!w || !w->alive)) {
        RecordUndelivered(lParam);
        return 0;
    }
    return D().Deliver(hwnd, msg, wParam, lParam);
}

BOOL SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w || !w->alive) {
        if (msg == WM_COPYDATA)
            RecordUndelivered(lParam);
        if (result)
            *result = 0;
        g_lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    BOOL answered = D().SendTimed(hwnd, msg, wParam, lParam, timeoutMs, result);
    if (!answered)
        g_lastError = ERROR_TIMEOUT;
    return answered;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!D().W(hwnd))
        return FALSE;
    D().Post(hwnd, msg, wParam, lParam);
    return TRUE;
}

LRESULT BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam, UINT)
{
    D().Record(headless::kBroadcast, "broadcast " + MessageName(msg));
    if (D().onBroadcast)
        D().onBroadcast(msg, wParam, lParam);
    return D().broadcastResult;
}

DWORD GetLastError() { return g_lastError; }

HWND GetDlgItem(HWND dlg, int id)
{
    Desktop::Window* w = D().W(dlg);
    if (!w)
        return nullptr;
    for (HWND c : w->children)
        if (D().W(c)->alive && D().W(c)->id == id)
            return c;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    return w ? w->id : 0;
}

HWND GetParent(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    return w ? w->parent : nullptr;
}

BOOL IsWindow(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    return w && w->alive;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w)
        return FALSE;
    bool wasDisabled = !w->enabled;
    D().Record(headless::kEnable, "enable " + Desktop::ControlName(w->id) + " " + (enable ? "1" : "0"));
    w->enabled = enable != FALSE;
    // A window being disabled cancels its modes and loses the mouse.
    if (!enable && !wasDisabled) {
        D().Deliver(hwnd, WM_CANCELMODE, 0, 0);
        if (D().m_capture == hwnd)
            D().SetCaptureTo(nullptr);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    return w && w->enabled;
}

BOOL IsIconic(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    return w && w->iconic;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w)
        return FALSE;
    std::string entry = "place";
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) {
            w->topmost = true;
            entry += " TOPMOST";
        } else if (insertAfter == HWND_NOTOPMOST) {
            w->topmost = false;
            entry += " NOTOPMOST";
        } else {
            entry += " TOP";
        }
    }
    if (!(flags & SWP_NOSIZE)) {
        w->cx = cx;
        w->cy = cy;
        entry += " " + Size(cx, cy);
    }
    if (!(flags & SWP_NOMOVE)) {
        w->x = x;
        w->y = y;
        entry += " at " + std::to_string(x) + "," + std::to_string(y);
    }
    D().Record(headless::kPlace, entry);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w || !rect)
        return FALSE;
    // A control has no frame. A dialog minimised: the icon's place; otherwise the
    // window less a 4-pixel frame and a 20-pixel small caption.
    if (w->templateId == 0 && w->parent)
        *rect = RECT{0, 0, w->cx, w->cy};
    else if (w->iconic)
        *rect = RECT{0, 0, 37, 37};
    else
        *rect = RECT{0, 0, w->cx - 8, w->cy - 28};
    return TRUE;
}

// Nothing is painted here: a repaint asks nothing the log shows.
BOOL RedrawWindow(HWND hwnd, UINT) { return D().W(hwnd) ? TRUE : FALSE; }

HWND SetCapture(HWND hwnd)
{
    HWND old = D().m_capture;
    D().SetCaptureTo(hwnd);
    return old;
}

BOOL ReleaseCapture()
{
    D().SetCaptureTo(nullptr);
    return TRUE;
}

HWND GetCapture() { return D().m_capture; }

HWND SetFocus(HWND hwnd)
{
    HWND old = D().m_focus;
    D().m_focus = hwnd;
    D().Record(headless::kFocus, "focus " + Desktop::ControlName(D().W(hwnd) ? D().W(hwnd)->id : 0));
    return old;
}

void MessageBeep(UINT) { D().Record(headless::kBeep, "beep"); }

// Every push reaches the control, so the log shows one entry a push for each.
void SetControlText(HWND ctrl, const char* text) { SendMessage(ctrl, WM_SETTEXT, 0, LPARAM(text)); }
void SetControlCheck(HWND ctrl, int check) { SendMessage(ctrl, BM_SETCHECK, WPARAM(check), 0); }

HMENU GetSystemMenu(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w || !(w->style & WS_SYSMENU))
        return nullptr;
    return reinterpret_cast<HMENU>(hwnd);
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text)
{
    Desktop::Window* w = D().W(reinterpret_cast<HWND>(menu));
    if (!w)
        return FALSE;
    w->systemMenu.push_back({flags, id, text ? text : ""});
    D().Record(headless::kMenu,
               flags & MF_SEPARATOR ? std::string("menu separator")
                                    : "menu " + std::to_string(id) + " " + (text ? text : ""));
    return TRUE;
}

CString LoadString(UINT id)
{
    auto text = headless::Resources::Get().String(id);
    return text ? CString(*text) : CString();
}

bool LoadFileVersion(unsigned version[4]) { return headless::Resources::Get().FileVersion(version); }

HICON LoadIcon(int id)
{
    static std::map<int, HICON__> icons;
    if (!headless::Resources::Get().HasIcon(id))
        return nullptr;
    auto [it, inserted] = icons.try_emplace(id, HICON__{id});
    return &it->second;
}

int GetSystemMetrics(int index) { return index == SM_CXICON || index == SM_CYICON ? 32 : 0; }

UINT GetDpiForWindow(HWND) { return D().dpi; }
const RECT* MessageRect(LPARAM lParam) { return reinterpret_cast<const RECT*>(lParam); }

HDC BeginPaint(HWND hwnd) { return reinterpret_cast<HDC>(hwnd); }

void EndPaint(HWND) { }

BOOL DrawIcon(HDC, int x, int y, HICON icon)
{
    D().Record(headless::kPaint,
               "paint icon " + std::to_string(icon ? icon->id : 0) + " at " + std::to_string(x) + "," +
                   std::to_string(y));
    return TRUE;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT periodMs)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w)
        return 0;
    w->timers[id] = periodMs;
    D().Record(headless::kTimer, "timer " + std::to_string(id) + " " + std::to_string(periodMs));
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w || !w->timers.erase(id))
        return FALSE;
    D().Record(headless::kTimer, "kill timer " + std::to_string(id));
    return TRUE;
}

int MessageBox(HWND, const char* text, const char* caption, UINT type)
{
    return D().TakeBox(text ? text : "", caption ? caption : "", type);
}

bool GetFileName(bool open, HWND, const char* filter, std::filesystem::path& path, unsigned cap)
{
    // The filter as the dialog shows it: "name|pattern" pairs.
    std::string shown;
    for (const char* p = filter; p && *p; p += std::strlen(p) + 1)
        shown += (shown.empty() ? "" : "|") + std::string(p);
    std::string chosen;
    if (!D().TakeFileDialog(open, shown, chosen))
        return false;
    if (chosen.size() >= cap)
        return false;
    path = chosen;
    return true;
}

HWND CreateDialog(int templateId, HWND parent, CDialog* dlg)
{
    const headless::DialogTemplate* t = headless::Resources::Get().Dialog(templateId);
    if (!t)
        return nullptr;
    HWND h = D().NewWindow(parent, "#32770", 0);
    Desktop::Window* w = D().W(h);
    w->templateId = templateId;
    w->style = t->style;
    w->exStyle = t->exStyle;
    w->text = t->caption;
    w->topmost = (t->exStyle & WS_EX_TOPMOST) != 0;
    w->cx = DluX(t->cx) + 8;
    w->cy = DluY(t->cy) + 28;
    if (t->style & DS_CENTER) {
        w->x = (1024 - w->cx) / 2;
        w->y = (768 - w->cy) / 2;
    }
    for (const headless::ControlTemplate& c : t->controls) {
        HWND ch = D().NewWindow(h, c.className, c.id);
        Desktop::Window* cw = D().W(ch);
        cw->style = c.style;
        cw->exStyle = c.exStyle;
        cw->text = c.text;
        cw->enabled = !(c.style & WS_DISABLED);
        cw->x = DluX(c.x);
        cw->y = DluY(c.y);
        cw->cx = DluX(c.cx);
        cw->cy = DluY(c.cy);
    }
    D().Record(headless::kDialog, "dialog " + t->idName);
    dlg->Attach(h);
    w->wnd = dlg;
    D().Deliver(h, WM_INITDIALOG, 0, 0);
    return D().W(h)->alive ? h : nullptr;
}

void RunModalLoop(HWND hwnd) { D().RunModal(hwnd); }

void EndModalLoop(HWND hwnd)
{
    if (Desktop::Window* w = D().W(hwnd)) {
        if (!w->modalEnded)
            D().Record(headless::kDialog, "end " + Desktop::DialogName(w->templateId));
        w->modalEnded = true;
    }
}

BOOL DestroyWindow(HWND hwnd)
{
    Desktop::Window* w = D().W(hwnd);
    if (!w || !w->alive)
        return FALSE;
    if (w->className == "#32770")
        D().Record(headless::kDialog, "destroy " + Desktop::DialogName(w->templateId));
    D().Destroy(hwnd);
    return TRUE;
}

void SubclassWindow(HWND hwnd, CWnd* wnd)
{
    if (Desktop::Window* w = D().W(hwnd)) {
        w->wnd = wnd;
        w->subclassed = true;
    }
}

// Also run when a dialog's object lets go of its window: the window then gets
// its own processing only, as on Windows.
void UnsubclassWindow(HWND hwnd)
{
    if (Desktop::Window* w = D().W(hwnd)) {
        w->wnd = nullptr;
        w->subclassed = false;
    }
}

LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return D().Default(hwnd, msg, wParam, lParam);
}

void Sleep(DWORD ms) { D().Record(headless::kSleep, "sleep " + std::to_string(ms)); }

std::filesystem::path LocalAppDataFolder() { return D().localAppData; }

bool ShellOpen(HWND, const std::filesystem::path& file)
{
    D().Record(headless::kShell, "shell open " + file.string());
    return D().shellOpenResult;
}

}  // namespace ws

// Headless, the "message loop" delivers whatever has been posted.
int CWinApp::Run()
{
    Desktop::Get().Pump();
    return 0;
}

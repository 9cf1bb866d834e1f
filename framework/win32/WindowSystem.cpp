// The window-system primitives over Win32. Each is the Win32 call of its name;
// the only logic here is the boundary between user32 and our window objects.
#include "WindowSystem.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "Dialog.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// The dialog procedure reports an unhandled message to the dialog manager by
// answering FALSE. DefaultProc on one of our dialogs marks the message so; the
// marker belongs to the innermost dialog-procedure call, since messages nest.
thread_local bool* t_pDialogUnhandled = nullptr;

// Our bookkeeping of windows lives in the process, not in window properties:
// under Wine every property read is a call to the server, and a subclassed list
// box reads its old procedure twice for every line it is given.
// The procedure a subclassed window had before ours.
std::unordered_map<HWND, WNDPROC>& OldProcs()
{
    static std::unordered_map<HWND, WNDPROC> procs;
    return procs;
}

WNDPROC OldProcOf(HWND hwnd)
{
    auto it = OldProcs().find(hwnd);
    return it == OldProcs().end() ? nullptr : it->second;
}

// Windows whose modal loop has been asked to end.
std::unordered_set<HWND>& EndedModalLoops()
{
    static std::unordered_set<HWND> ended;
    return ended;
}

CWnd* ObjectOf(HWND hwnd) { return CWnd::FromHandlePermanent(hwnd); }

// Results of these messages go straight back from the dialog procedure;
// every other result goes through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg)
{
    return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || msg == WM_CTLCOLORMSGBOX || msg == WM_CTLCOLOREDIT ||
        msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSCROLLBAR ||
        msg == WM_CTLCOLORSTATIC || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = ObjectOf(hwnd);
    if (msg == WM_INITDIALOG && !wnd) {
        wnd = reinterpret_cast<CDialog*>(lParam);
        wnd->Attach(hwnd);
    }
    if (!wnd)
        return FALSE;
    bool unhandled = false;
    bool* outer = t_pDialogUnhandled;
    t_pDialogUnhandled = &unhandled;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through user32.
        unhandled = true;
    }
    t_pDialogUnhandled = outer;
    if (unhandled)
        return FALSE;
    if (ReturnsDirectly(msg))
        return INT_PTR(result);
    // Under Wine, reading our own window's extra bytes is local; writing them
    // calls the server.
    if (GetWindowLongPtrA(hwnd, DWLP_MSGRESULT) != result)
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = OldProcOf(hwnd);
    CWnd* wnd = ObjectOf(hwnd);
    LRESULT result = 0;
    if (!wnd) {
        result = old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    } else {
        try {
            result = wnd->WindowProc(msg, wParam, lParam);
        } catch (...) {
            result = old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : 0;
        }
    }
    // The window is gone and its handle free for another one.
    if (msg == WM_NCDESTROY)
        OldProcs().erase(hwnd);
    return result;
}

bool IsOurDialog(HWND hwnd) { return reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hwnd, DWLP_DLGPROC)) == DialogProc; }

}  // namespace

namespace ws {

UINT RegisterWindowMessage(const char* name) { return RegisterWindowMessageA(name); }
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(hwnd, msg, wParam, lParam);
}

BOOL SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result)
{
    DWORD_PTR answer = 0;
    BOOL answered = SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) != 0;
    if (result)
        *result = answered ? LRESULT(answer) : 0;
    return answered;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return PostMessageA(hwnd, msg, wParam, lParam); }
// A plain SendMessage(HWND_BROADCAST) waits on every top-level window: one whose
// thread pumps nothing would hold us for ever.
LRESULT BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(HWND_BROADCAST, msg, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer);
}

DWORD GetLastError() { return ::GetLastError(); }

// Under Wine GetDlgItem asks the server for the dialog's children every time
// (about 0.1 ms), and data exchange looks up some thirty controls a run. A
// control found once is checked instead, which takes no server call for our
// own windows.
HWND GetDlgItem(HWND dlg, int id)
{
    static std::unordered_map<HWND, std::unordered_map<int, HWND>> found;
    auto dialog = found.find(dlg);
    if (dialog != found.end()) {
        auto control = dialog->second.find(id);
        if (control != dialog->second.end()) {
            HWND ctrl = control->second;
            if (::IsWindow(ctrl) && ::GetParent(ctrl) == dlg && ::GetDlgCtrlID(ctrl) == id)
                return ctrl;
            dialog->second.erase(control);
        }
    }
    HWND ctrl = ::GetDlgItem(dlg, id);
    if (ctrl)
        found[dlg][id] = ctrl;
    return ctrl;
}
int GetDlgCtrlID(HWND hwnd) { return ::GetDlgCtrlID(hwnd); }
HWND GetParent(HWND hwnd) { return ::GetParent(hwnd); }
BOOL IsWindow(HWND hwnd) { return ::IsWindow(hwnd); }
BOOL EnableWindow(HWND hwnd, BOOL enable) { return ::EnableWindow(hwnd, enable); }
BOOL IsWindowEnabled(HWND hwnd) { return ::IsWindowEnabled(hwnd); }
BOOL IsIconic(HWND hwnd) { return ::IsIconic(hwnd); }

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}

BOOL GetClientRect(HWND hwnd, RECT* rect) { return ::GetClientRect(hwnd, rect); }
BOOL RedrawWindow(HWND hwnd, UINT flags) { return ::RedrawWindow(hwnd, nullptr, nullptr, flags); }
HWND SetCapture(HWND hwnd) { return ::SetCapture(hwnd); }
BOOL ReleaseCapture() { return ::ReleaseCapture(); }
HWND GetCapture() { return ::GetCapture(); }
HWND SetFocus(HWND hwnd) { return ::SetFocus(hwnd); }
void MessageBeep(UINT type) { ::MessageBeep(type); }

// Compared as the control holds it, in UTF-16: WM_SETTEXT converts an 8-bit
// text through the ANSI code page, and two texts that read back alike through
// it may still show differently.
void SetControlText(HWND ctrl, const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length > 0 && GetWindowTextLengthW(ctrl) == length - 1) {
        std::wstring wanted(size_t(length), L'\0'), shown(size_t(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text, -1, wanted.data(), length);
        if (GetWindowTextW(ctrl, shown.data(), length) == length - 1 && shown == wanted)
            return;
    }
    SendMessageA(ctrl, WM_SETTEXT, 0, LPARAM(text));
}

void SetControlCheck(HWND ctrl, int check)
{
    if (SendMessageA(ctrl, BM_GETCHECK, 0, 0) != check)
        SendMessageA(ctrl, BM_SETCHECK, WPARAM(check), 0);
}

HMENU GetSystemMenu(HWND hwnd) { return ::GetSystemMenu(hwnd, FALSE); }
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text) { return AppendMenuA(menu, flags, id, text); }

CString LoadString(UINT id)
{
    char buf[1024];
    int n = LoadStringA(Instance(), id, buf, sizeof buf);
    return n > 0 ? CString(buf, n) : CString();
}

// The version resource holds a VS_FIXEDFILEINFO after its key, 32-bit aligned;
// its signature finds it without version.dll.
bool LoadFileVersion(unsigned version[4])
{
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));  // RT_VERSION
    HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DWORD size = info ? SizeofResource(nullptr, info) : 0;
    for (DWORD at = 0; bytes && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, bytes + at, sizeof fixed);
        if (fixed.dwSignature != 0xFEEF04BD)
            continue;
        version[0] = HIWORD(fixed.dwFileVersionMS);
        version[1] = LOWORD(fixed.dwFileVersionMS);
        version[2] = HIWORD(fixed.dwFileVersionLS);
        version[3] = LOWORD(fixed.dwFileVersionLS);
        return true;
    }
    return false;
}

HICON LoadIcon(int id) { return LoadIconA(Instance(), MAKEINTRESOURCEA(id)); }
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

const RECT* MessageRect(LPARAM lParam)
{
    const auto* rect = reinterpret_cast<const RECT*>(lParam);
    MEMORY_BASIC_INFORMATION info{};
    if (!rect || ::VirtualQuery(rect, &info, sizeof info) != sizeof info || info.State != MEM_COMMIT)
        return nullptr;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(info.Protect & readable) || (info.Protect & PAGE_GUARD))
        return nullptr;
    // The whole rectangle lies in the region.
    const auto* end = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    return reinterpret_cast<const char*>(rect + 1) <= end ? rect : nullptr;
}

// Windows 10 1607 and later; looked up, as Windows 7 and 8 lack it.
UINT GetDpiForWindow(HWND hwnd)
{
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (fn) {
        if (UINT dpi = fn(hwnd))
            return dpi;
    }
    int dpi = 0;
    if (HDC dc = ::GetDC(nullptr)) {
        dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
        ::ReleaseDC(nullptr, dc);
    }
    return dpi > 0 ? UINT(dpi) : 96;
}

// One paint at a time per thread, as WM_PAINT handlers never nest.
namespace {
PAINTSTRUCT g_paint;
}
HDC BeginPaint(HWND hwnd) { return ::BeginPaint(hwnd, &g_paint); }
void EndPaint(HWND hwnd) { ::EndPaint(hwnd, &g_paint); }
BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return ::DrawIcon(dc, x, y, icon); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT periodMs) { return ::SetTimer(hwnd, id, periodMs, nullptr); }
BOOL KillTimer(HWND hwnd, UINT_PTR id) { return ::KillTimer(hwnd, id); }

namespace {
// A box's text is UTF-8 (a file's name may hold any character); a text that
// is not is taken through the ANSI code page, as before.
std::wstring BoxText(const char* text)
{
    if (!text)
        return {};
    for (UINT page : {UINT(CP_UTF8), UINT(CP_ACP)}) {
        DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        int length = MultiByteToWideChar(page, flags, text, -1, nullptr, 0);
        if (length <= 0)
            continue;
        std::wstring wide(size_t(length), L'\0');
        MultiByteToWideChar(page, flags, text, -1, wide.data(), length);
        wide.resize(size_t(length - 1));
        return wide;
    }
    return {};
}
}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxW(owner, BoxText(text).c_str(), caption ? BoxText(caption).c_str() : nullptr, type);
}

bool GetFileName(bool open, HWND owner, const char* filter, std::filesystem::path& path, unsigned cap)
{
    // The filter's pairs of strings end in an empty one: converted whole.
    size_t filterLength = 0;
    while (filter && filter[filterLength])
        filterLength += std::strlen(filter + filterLength) + 1;
    std::wstring wideFilter(filterLength + 1, L'\0');
    if (filterLength > 0)
        MultiByteToWideChar(CP_ACP, 0, filter, int(filterLength), wideFilter.data(), int(filterLength));
    std::wstring name = path.native();
    name.resize(cap, L'\0');
    name.back() = L'\0';

    // The wide dialog: a name outside the ANSI code page comes back as it is.
    OPENFILENAMEW ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = wideFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = cap;
    // The Explorer look; no other option: an open name need not exist, and a
    // save replaces a file without asking.
    ofn.Flags = OFN_EXPLORER;
    if (!(open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn)))
        return false;
    path = std::filesystem::path(name.c_str());
    return true;
}

HWND CreateDialog(int templateId, HWND parent, CDialog* dlg)
{
    return CreateDialogParamA(Instance(), MAKEINTRESOURCEA(templateId), parent, DialogProc, LPARAM(dlg));
}

// The dialog's own loop: runs until EndModalLoop marks the window, or the
// application is asked to quit.
void RunModalLoop(HWND hwnd)
{
    // A template without WS_VISIBLE is shown when its modal run starts.
    if (!::IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (::IsWindow(hwnd) && !EndedModalLoops().count(hwnd)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    EndedModalLoops().erase(hwnd);
}

void EndModalLoop(HWND hwnd)
{
    EndedModalLoops().insert(hwnd);
    PostMessageA(hwnd, WM_NULL, 0, 0);  // wakes the loop
}

// A handle can be given to a new window once this one is gone.
BOOL DestroyWindow(HWND hwnd)
{
    BOOL destroyed = ::DestroyWindow(hwnd);
    EndedModalLoops().erase(hwnd);
    return destroyed;
}

void SubclassWindow(HWND hwnd, CWnd*)
{
    if (OldProcOf(hwnd))
        return;
    OldProcs()[hwnd] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, LONG_PTR(SubclassProc)));
}

void UnsubclassWindow(HWND hwnd)
{
    WNDPROC old = OldProcOf(hwnd);
    if (!old)
        return;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, LONG_PTR(old));
    OldProcs().erase(hwnd);
}

LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (WNDPROC old = OldProcOf(hwnd))
        return CallWindowProcA(old, hwnd, msg, wParam, lParam);
    if (IsOurDialog(hwnd)) {
        if (t_pDialogUnhandled)
            *t_pDialogUnhandled = true;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Sleep(DWORD ms) { ::Sleep(ms); }

std::filesystem::path LocalAppDataFolder()
{
    const wchar_t* folder = _wgetenv(L"LOCALAPPDATA");
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path();
}

bool ShellOpen(HWND owner, const std::filesystem::path& file)
{
    auto opened = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
    if (opened(ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)))
        return true;
    // No program is associated with the file's kind (a bare Wine prefix has
    // none for .log): Notepad reads any text.
    return opened(
        ShellExecuteW(owner, L"open", L"notepad.exe", (L"\"" + file.native() + L"\"").c_str(), nullptr, SW_SHOWNORMAL));
}

}  // namespace ws

// The seam between the portable program and the window system underneath.
//
// Everything the program and the portable framework ask of the window system goes
// through these functions. framework/win32/ implements each with the Win32 call of
// the same name; framework/headless/ implements them over in-memory windows (see
// headless/Desktop.h), which the tests drive through tests/support/DesktopDriver. Controls are driven by their own messages
// (WM_SETTEXT, BM_SETCHECK, LB_INSERTSTRING ...) through SendMessage, as on Windows.
#pragma once
#include <filesystem>

#include "String.h"
#include "winapi.h"

class CWnd;
class CDialog;

namespace ws {

// Messages and transport.
UINT RegisterWindowMessage(const char* name);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// SendMessageTimeout with SMTO_NORMAL: messages sent to the caller meanwhile are
// still handled. FALSE when the window did not answer within timeoutMs (the
// message stays queued there and is handled later; GetLastError answers
// ERROR_TIMEOUT) or is no window (ERROR_INVALID_WINDOW_HANDLE).
BOOL SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// SendMessageTimeout(HWND_BROADCAST, ..., SMTO_ABORTIFHUNG): every top-level
// window gets it, each within timeoutMs, and a hung one is skipped, so no other
// program can hold the caller up. Nonzero when the broadcast went out.
LRESULT BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs);
// The calling thread's last error, as a failed call left it.
DWORD GetLastError();

// Windows and controls.
HWND GetDlgItem(HWND dlg, int id);
int GetDlgCtrlID(HWND hwnd);
HWND GetParent(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL GetClientRect(HWND hwnd, RECT* rect);
// Repaints (RDW_INVALIDATE ...) or paints at once (RDW_UPDATENOW) a window.
BOOL RedrawWindow(HWND hwnd, UINT flags);
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// Keyboard focus to a window of this thread; answers the window that had it.
HWND SetFocus(HWND hwnd);
void MessageBeep(UINT type);

// What data exchange shows in a control. WM_SETTEXT repaints an edit or a
// static even when its text stays the same, so the win32 back end leaves alone
// a control that shows the text (or the check state) already; the result is
// that of the message.
void SetControlText(HWND ctrl, const char* text);
void SetControlCheck(HWND ctrl, int check);

// System menu.
HMENU GetSystemMenu(HWND hwnd);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text);

// Resources.
CString LoadString(UINT id);
// The program's file version from its version block (FILEVERSION), most
// significant part first; false when there is none.
bool LoadFileVersion(unsigned version[4]);
HICON LoadIcon(int id);
int GetSystemMetrics(int index);
// Dots per inch of the display a window shows on (96 at 100 %): GetDpiForWindow
// where the system has it, else the screen's.
UINT GetDpiForWindow(HWND hwnd);
// The rectangle a message's lParam points to, or nullptr when it points to no
// readable memory of this process: any program can post any message to a window.
const RECT* MessageRect(LPARAM lParam);

// Painting of a window's client area (WM_PAINT).
HDC BeginPaint(HWND hwnd);
void EndPaint(HWND hwnd);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// Timers deliver WM_TIMER to the window.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT periodMs);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Modal boxes.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// filter: pairs of NUL-terminated strings ending in an empty one; path: the
// initial name, and the chosen one, of at most cap characters with the end.
// Returns false on Cancel.
bool GetFileName(bool open, HWND owner, const char* filter, std::filesystem::path& path, unsigned cap);

// Dialogs. CreateDialog builds the template's windows and delivers WM_INITDIALOG
// (and every later message) to dlg->WindowProc. RunModalLoop returns once
// EndModalLoop has been asked for that window.
HWND CreateDialog(int templateId, HWND parent, CDialog* dlg);
void RunModalLoop(HWND hwnd);
void EndModalLoop(HWND hwnd);
BOOL DestroyWindow(HWND hwnd);

// Subclassing: afterwards every message to hwnd goes to wnd->WindowProc, and
// DefaultProc gives the control's own processing.
void SubclassWindow(HWND hwnd, CWnd* wnd);
void UnsubclassWindow(HWND hwnd);
LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Kernel.
void Sleep(DWORD ms);
// The user's local application-data folder (%LOCALAPPDATA%); empty when unknown.
std::filesystem::path LocalAppDataFolder();

// Shell: opens a document with its "open" verb (Notepad for a text file by
// default); false when nothing could open it.
bool ShellOpen(HWND owner, const std::filesystem::path& file);

}  // namespace ws

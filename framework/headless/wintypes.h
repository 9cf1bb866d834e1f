// Win32 types and constants for the headless build, with the values <windows.h>
// gives them, so the program's code compiles unchanged against the in-memory
// window system.
#pragma once
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using UINT_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using PVOID = void*;
using LPCSTR = const char*;

struct HWND__;
using HWND = HWND__*;
struct HICON__ {
    int id;
};
using HICON = HICON__*;
using HCURSOR = HICON;
struct HMENU__;
using HMENU = HMENU__*;
struct HDC__;
using HDC = HDC__*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct POINT {
    LONG x, y;
};
struct RECT {
    LONG left, top, right, bottom;
};
struct SIZE {
    LONG cx, cy;
};

struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    PVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

inline WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(lo) | (WPARAM(hi) << 16); }
inline LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(DWORD(lo) | (DWORD(hi) << 16)); }

#define HWND_BROADCAST ((HWND)(std::intptr_t)0xffff)
#define HWND_TOP ((HWND)(std::intptr_t)0)
#define HWND_TOPMOST ((HWND)(std::intptr_t)-1)
#define HWND_NOTOPMOST ((HWND)(std::intptr_t)-2)

enum : UINT {
    WM_NULL = 0x0000,
    WM_DESTROY = 0x0002,
    WM_ACTIVATE = 0x0006,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUERYENDSESSION = 0x0011,
    WM_CANCELMODE = 0x001F,
    WM_ICONERASEBKGND = 0x0027,
    WM_QUERYDRAGICON = 0x0037,
    WM_COPYDATA = 0x004A,
    WM_SETICON = 0x0080,
    WM_NCDESTROY = 0x0082,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_CAPTURECHANGED = 0x0215,
    WM_DPICHANGED = 0x02E0,
    WM_USER = 0x0400,
};
enum : UINT { WA_INACTIVE = 0, WA_ACTIVE = 1 };
enum : UINT { MK_LBUTTON = 0x0001 };

enum : UINT {
    BM_GETCHECK = 0x00F0,
    BM_SETCHECK = 0x00F1,
    BM_GETSTATE = 0x00F2,
    BM_SETSTATE = 0x00F3,
    BM_CLICK = 0x00F5,
};
enum : UINT { EM_SETSEL = 0x00B1 };
enum : int { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_PUSHED = 4 };
enum : UINT { BN_CLICKED = 0, LBN_SELCHANGE = 1 };

enum : UINT {
    LB_ADDSTRING = 0x0180,
    LB_INSERTSTRING = 0x0181,
    LB_DELETESTRING = 0x0182,
    LB_RESETCONTENT = 0x0184,
    LB_SETCURSEL = 0x0186,
    LB_GETCURSEL = 0x0188,
    LB_GETTEXT = 0x0189,
    LB_GETTEXTLEN = 0x018A,
    LB_GETCOUNT = 0x018B,
    LB_INITSTORAGE = 0x01A8,
};
enum : int { LB_ERR = -1 };

enum : UINT {
    RDW_INVALIDATE = 0x0001,
    RDW_ERASE = 0x0004,
    RDW_ALLCHILDREN = 0x0080,
    RDW_UPDATENOW = 0x0100,
    RDW_FRAME = 0x0400,
};

enum : UINT { SC_CLOSE = 0xF060, SC_MINIMIZE = 0xF020, SC_RESTORE = 0xF120 };
enum : UINT { MF_STRING = 0x0000, MF_SEPARATOR = 0x0800 };

enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOACTIVATE = 0x0010,
    SWP_SHOWWINDOW = 0x0040,
};

enum : UINT {
    MB_OK = 0x0000,
    MB_OKCANCEL = 0x0001,
    MB_YESNOCANCEL = 0x0003,
    MB_YESNO = 0x0004,
    MB_ICONSTOP = 0x0010,
    MB_ICONERROR = 0x0010,
    MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030,
    MB_ICONWARNING = 0x0030,
    MB_ICONINFORMATION = 0x0040,
    MB_ICONASTERISK = 0x0040,
    MB_TYPEMASK = 0x000F,
    MB_ICONMASK = 0x00F0,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

enum : int { ICON_SMALL = 0, ICON_BIG = 1 };
enum : int { SM_CXICON = 11, SM_CYICON = 12 };

// Window styles the resource reader understands.
enum : DWORD {
    WS_OVERLAPPED = 0x00000000,
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000,
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
    WS_MINIMIZEBOX = 0x00020000,
    WS_MAXIMIZEBOX = 0x00010000,
    WS_EX_DLGMODALFRAME = 0x00000001,
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_TRANSPARENT = 0x00000020,
    WS_EX_TOOLWINDOW = 0x00000080,
    WS_EX_CLIENTEDGE = 0x00000200,
    WS_EX_STATICEDGE = 0x00020000,
    WS_EX_APPWINDOW = 0x00040000,
    DS_MODALFRAME = 0x80,
    DS_SETFONT = 0x40,
    DS_CENTER = 0x0800,
    DS_3DLOOK = 0x0004,
    DS_FIXEDSYS = 0x0008,
    DS_SHELLFONT = 0x0048,
    BS_PUSHBUTTON = 0x0,
    BS_DEFPUSHBUTTON = 0x1,
    BS_CHECKBOX = 0x2,
    BS_AUTOCHECKBOX = 0x3,
    BS_GROUPBOX = 0x7,
    BS_TYPEMASK = 0xF,
    BS_PUSHLIKE = 0x1000,
    BS_MULTILINE = 0x2000,
    ES_LEFT = 0x0,
    ES_CENTER = 0x1,
    ES_RIGHT = 0x2,
    ES_MULTILINE = 0x4,
    ES_AUTOHSCROLL = 0x80,
    ES_READONLY = 0x800,
    ES_NUMBER = 0x2000,
    SS_LEFT = 0x0,
    SS_CENTER = 0x1,
    SS_RIGHT = 0x2,
    SS_ICON = 0x3,
    SS_NOPREFIX = 0x80,
    SS_SUNKEN = 0x1000,
    SS_CENTERIMAGE = 0x200,
    LBS_NOTIFY = 0x1,
    LBS_SORT = 0x2,
    LBS_NOINTEGRALHEIGHT = 0x100,
    LBS_STANDARD = 0xA00003,
};

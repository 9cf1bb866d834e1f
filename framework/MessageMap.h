// Message maps: a class's map is a static table of entries, searched in order;
// the first entry that matches a message handles it. A class's OnWndMsg searches
// its own table and then hands the message to its base class.
//
// Handlers get cracked arguments; the cracking is done once, here:
//   Clicked / SelChange / Command   void OnX()                 WM_COMMAND by id and code
//   Timer                           void OnTimer(UINT_PTR id)  WM_TIMER
//   SysCommand                      void OnSysCommand(UINT id, LPARAM lParam)
//   Paint                           void OnPaint()             WM_PAINT
//   QueryDragIcon                   HCURSOR OnQueryDragIcon()  WM_QUERYDRAGICON
//   LButtonDown / LButtonUp         void OnLButtonX(UINT flags, POINT pt)
//   MouseMove                       void OnMouseMove(UINT flags, POINT pt)
//   CaptureChanged                  void OnCaptureChanged(HWND newCapture)
//   CancelMode                      void OnCancelMode()        WM_CANCELMODE
//   Activate                        void OnActivate(UINT state, HWND other)
//   InitDialog                      BOOL OnInitDialog()        WM_INITDIALOG, answers its result
//   DpiChanged                      void OnDpiChanged(UINT dpi, const RECT* suggested)  WM_DPICHANGED
//   QueryEndSession                 BOOL OnQueryEndSession()   WM_QUERYENDSESSION, answers its result
//   CopyData                        void OnCopyData(HWND from, const COPYDATASTRUCT* data)  WM_COPYDATA, answers TRUE
//   Registered                      void OnX(HWND from, LPARAM value)  a registered message whose
//                                   wParam names a window (its id read when the message comes); answers 1
//   Message                         void OnX()                 any other message, posted ones included
//   Message                         void OnX()                 a message of the program's own (WM_APP + n)
#pragma once
#include <span>
#include <variant>

#include "WindowSystem.h"
#include "winapi.h"

template <class T> struct MsgMapEntry {
    using VoidFn = void (T::*)();
    using TimerFn = void (T::*)(UINT_PTR);
    using SysCommandFn = void (T::*)(UINT, LPARAM);
    using IconFn = HCURSOR (T::*)();
    using MouseFn = void (T::*)(UINT, POINT);
    using CaptureFn = void (T::*)(HWND);
    using ActivateFn = void (T::*)(UINT, HWND);
    using InitFn = BOOL (T::*)();
    using DpiFn = void (T::*)(UINT, const RECT*);
    using CopyDataFn = void (T::*)(HWND, const COPYDATASTRUCT*);
    using WindowValueFn = void (T::*)(HWND, LPARAM);
    using Handler = std::variant<VoidFn, TimerFn, SysCommandFn, IconFn, MouseFn, CaptureFn, ActivateFn, InitFn, DpiFn,
                                 CopyDataFn, WindowValueFn>;

    UINT message;
    UINT code;  // WM_COMMAND: notification code
    UINT id;    // WM_COMMAND: control id
    Handler handler;
    // A registered message: its number, known only once it has been registered.
    const UINT* registered = nullptr;
};

namespace msgmap {

template <class T> MsgMapEntry<T> Command(UINT id, UINT code, void (T::*fn)()) { return {WM_COMMAND, code, id, fn}; }
template <class T> MsgMapEntry<T> Clicked(UINT id, void (T::*fn)()) { return {WM_COMMAND, BN_CLICKED, id, fn}; }
template <class T> MsgMapEntry<T> SelChange(UINT id, void (T::*fn)()) { return {WM_COMMAND, LBN_SELCHANGE, id, fn}; }
template <class T> MsgMapEntry<T> Timer(void (T::*fn)(UINT_PTR)) { return {WM_TIMER, 0, 0, fn}; }
template <class T> MsgMapEntry<T> SysCommand(void (T::*fn)(UINT, LPARAM)) { return {WM_SYSCOMMAND, 0, 0, fn}; }
template <class T> MsgMapEntry<T> Paint(void (T::*fn)()) { return {WM_PAINT, 0, 0, fn}; }
template <class T> MsgMapEntry<T> QueryDragIcon(HCURSOR (T::*fn)()) { return {WM_QUERYDRAGICON, 0, 0, fn}; }
template <class T> MsgMapEntry<T> LButtonDown(void (T::*fn)(UINT, POINT)) { return {WM_LBUTTONDOWN, 0, 0, fn}; }
template <class T> MsgMapEntry<T> LButtonUp(void (T::*fn)(UINT, POINT)) { return {WM_LBUTTONUP, 0, 0, fn}; }
template <class T> MsgMapEntry<T> MouseMove(void (T::*fn)(UINT, POINT)) { return {WM_MOUSEMOVE, 0, 0, fn}; }
template <class T> MsgMapEntry<T> CaptureChanged(void (T::*fn)(HWND)) { return {WM_CAPTURECHANGED, 0, 0, fn}; }
template <class T> MsgMapEntry<T> CancelMode(void (T::*fn)()) { return {WM_CANCELMODE, 0, 0, fn}; }
template <class T> MsgMapEntry<T> Activate(void (T::*fn)(UINT, HWND)) { return {WM_ACTIVATE, 0, 0, fn}; }
template <class T> MsgMapEntry<T> InitDialog(BOOL (T::*fn)()) { return {WM_INITDIALOG, 0, 0, fn}; }
template <class T> MsgMapEntry<T> DpiChanged(void (T::*fn)(UINT, const RECT*)) { return {WM_DPICHANGED, 0, 0, fn}; }
template <class T> MsgMapEntry<T> Message(UINT message, void (T::*fn)()) { return {message, 0, 0, fn}; }
template <class T> MsgMapEntry<T> QueryEndSession(BOOL (T::*fn)()) { return {WM_QUERYENDSESSION, 0, 0, fn}; }
template <class T> MsgMapEntry<T> CopyData(void (T::*fn)(HWND, const COPYDATASTRUCT*))
{
    return {WM_COPYDATA, 0, 0, fn};
}
template <class T> MsgMapEntry<T> Registered(const UINT& message, void (T::*fn)(HWND, LPARAM))
{
    return {0, 0, 0, fn, &message};
}

inline POINT PointFromLParam(LPARAM lp)
{
    return POINT{LONG(short(LOWORD(DWORD(lp)))), LONG(short(HIWORD(DWORD(lp))))};
}

// Searches map for msg and calls the first matching handler; false when none matches.
template <class T>
bool Dispatch(T* self, std::span<const MsgMapEntry<T>> map, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    for (const MsgMapEntry<T>& e : map) {
        const UINT message = e.registered ? *e.registered : e.message;
        if (message != msg || (e.registered && message == 0))
            continue;
        if (msg == WM_COMMAND && (e.id != LOWORD(wp) || e.code != HIWORD(wp)))
            continue;
        result = 0;
        std::visit(
            [&](auto fn) {
                using Fn = decltype(fn);
                using E = MsgMapEntry<T>;
                if constexpr (std::is_same_v<Fn, typename E::VoidFn>)
                    (self->*fn)();
                else if constexpr (std::is_same_v<Fn, typename E::TimerFn>)
                    (self->*fn)(UINT_PTR(wp));
                else if constexpr (std::is_same_v<Fn, typename E::SysCommandFn>)
                    (self->*fn)(UINT(wp), lp);
                else if constexpr (std::is_same_v<Fn, typename E::IconFn>)
                    result = LRESULT((self->*fn)());
                else if constexpr (std::is_same_v<Fn, typename E::MouseFn>)
                    (self->*fn)(UINT(wp), PointFromLParam(lp));
                else if constexpr (std::is_same_v<Fn, typename E::CaptureFn>)
                    (self->*fn)(HWND(lp));
                else if constexpr (std::is_same_v<Fn, typename E::ActivateFn>)
                    (self->*fn)(UINT(LOWORD(wp)), HWND(lp));
                else if constexpr (std::is_same_v<Fn, typename E::InitFn>)
                    result = LRESULT((self->*fn)());
                else if constexpr (std::is_same_v<Fn, typename E::DpiFn>)
                    (self->*fn)(UINT(HIWORD(DWORD(wp))), ws::MessageRect(lp));
                else if constexpr (std::is_same_v<Fn, typename E::CopyDataFn>) {
                    (self->*fn)(HWND(wp), reinterpret_cast<const COPYDATASTRUCT*>(lp));
                    result = TRUE;
                } else if constexpr (std::is_same_v<Fn, typename E::WindowValueFn>) {
                    (self->*fn)(HWND(wp), lp);
                    result = 1;
                }
            },
            e.handler);
        return true;
    }
    return false;
}

}  // namespace msgmap

// CWnd: a window object bound to a window handle, with message-map dispatch.
#pragma once
#include "MessageMap.h"
#include "String.h"
#include "WindowSystem.h"

class CDataExchange;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a handle by SubclassWindow or a dialog's creation.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Every message to the window comes here: OnWndMsg, then DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The message map of this class and its bases; true when a handler took it.
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window's own processing (the control class's, or the dialog manager's).
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    bool SubclassWindow(HWND hwnd);
    void Attach(HWND hwnd);
    HWND Detach();
    virtual BOOL DestroyWindow();

    // Data exchange between controls and members.
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Called when a control's text cannot be read into its member; the read then
    // stops at that control. By default the control takes the focus with its text
    // selected, and a beep sounds.
    virtual void OnDataExchangeFailure(int id);

    // Thin wrappers over the window system, acting on this window.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    void SetWindowText(const char* text);
    CString GetWindowText() const;
    void SetDlgItemText(int id, const char* text);
    CString GetDlgItemText(int id) const;
    BOOL EnableWindow(BOOL enable = TRUE);
    // WM_SETREDRAW: while off, changes to the window do not repaint it.
    void SetRedraw(BOOL redraw = TRUE);
    BOOL RedrawWindow(UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void EnableDlgItem(int id, BOOL enable);
    void CheckDlgButton(int id, UINT check);  // BST_CHECKED or BST_UNCHECKED
    UINT IsDlgButtonChecked(int id) const;
    BOOL IsIconic() const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(RECT* rect) const;
    HMENU GetSystemMenu() const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    UINT_PTR SetTimer(UINT_PTR id, UINT periodMs);
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

protected:
    // Cancel a mouse capture that one of this window's controls holds.
    void CancelChildCapture();
};

// Holds a window's redraw off for a bulk change (filling a list, say) and, when
// it goes, turns it back on and repaints the window once. Turning it on does
// not repaint by itself, and the scroll bars are part of the frame.
class CRedrawOff {
public:
    explicit CRedrawOff(CWnd& wnd) : m_wnd(wnd) { m_wnd.SetRedraw(FALSE); }
    ~CRedrawOff()
    {
        m_wnd.SetRedraw(TRUE);
        m_wnd.RedrawWindow(RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    CRedrawOff(const CRedrawOff&) = delete;
    CRedrawOff& operator=(const CRedrawOff&) = delete;

private:
    CWnd& m_wnd;
};

// The text of any window, by WM_GETTEXTLENGTH and WM_GETTEXT.
CString WindowTextOf(HWND hwnd);

// Runs a modal box owned by owner: first tells the owner to cancel its modes
// (mouse capture among them), as Windows does for the active window.
void PrepareForModal(HWND owner);

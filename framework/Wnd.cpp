#include "Wnd.h"

#include <unordered_map>

#include "App.h"
#include "DataExchange.h"

namespace {
std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}
}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    auto it = HandleMap().find(hwnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(msg, wParam, lParam, result))
        result = DefWindowProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY && m_hWnd)
        Detach();
    return result;
}

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ws::DefaultProc(m_hWnd, msg, wParam, lParam);
}

void CWnd::Attach(HWND hwnd)
{
    m_hWnd = hwnd;
    HandleMap()[hwnd] = this;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd) {
        auto it = HandleMap().find(hwnd);
        if (it != HandleMap().end() && it->second == this)
            HandleMap().erase(it);
        ws::UnsubclassWindow(hwnd);
    }
    m_hWnd = nullptr;
    return hwnd;
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return false;
    Attach(hwnd);
    ws::SubclassWindow(hwnd, this);
    return true;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ws::DestroyWindow(m_hWnd);
}

void CWnd::DoDataExchange(CDataExchange*) { }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

// The box the read stopped at takes the focus with its text selected, ready to
// be typed over.
void CWnd::OnDataExchangeFailure(int id)
{
    if (HWND ctrl = GetDlgItem(id)) {
        ws::SetFocus(ctrl);
        ws::SendMessage(ctrl, EM_SETSEL, 0, -1);
    }
    // A beep, not a box: reads can run inside another program's synchronous
    // send, and a modal box there would hold that program up.
    ws::MessageBeep(MB_ICONEXCLAMATION);
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ws::SendMessage(m_hWnd, msg, wParam, lParam);
}

HWND CWnd::GetDlgItem(int id) const { return ws::GetDlgItem(m_hWnd, id); }
int CWnd::GetDlgCtrlID() const { return ws::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandlePermanent(ws::GetParent(m_hWnd)); }

void CWnd::SetWindowText(const char* text) { ws::SendMessage(m_hWnd, WM_SETTEXT, 0, LPARAM(text)); }

CString WindowTextOf(HWND hwnd)
{
    int n = int(ws::SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
    if (n <= 0)
        return {};
    std::string buf(size_t(n) + 1, '\0');
    int got = int(ws::SendMessage(hwnd, WM_GETTEXT, WPARAM(buf.size()), LPARAM(buf.data())));
    buf.resize(size_t(got < 0 ? 0 : (got > n ? n : got)));
    return CString(std::move(buf));
}

CString CWnd::GetWindowText() const { return WindowTextOf(m_hWnd); }

void CWnd::SetDlgItemText(int id, const char* text) { ws::SendMessage(GetDlgItem(id), WM_SETTEXT, 0, LPARAM(text)); }

CString CWnd::GetDlgItemText(int id) const { return WindowTextOf(GetDlgItem(id)); }

BOOL CWnd::EnableWindow(BOOL enable) { return ws::EnableWindow(m_hWnd, enable); }
void CWnd::CheckDlgButton(int id, UINT check) { ws::SendMessage(GetDlgItem(id), BM_SETCHECK, check, 0); }
UINT CWnd::IsDlgButtonChecked(int id) const { return UINT(ws::SendMessage(GetDlgItem(id), BM_GETCHECK, 0, 0)); }
void CWnd::SetRedraw(BOOL redraw) { ws::SendMessage(m_hWnd, WM_SETREDRAW, WPARAM(redraw), 0); }
BOOL CWnd::RedrawWindow(UINT flags) { return ws::RedrawWindow(m_hWnd, flags); }
void CWnd::EnableDlgItem(int id, BOOL enable) { ws::EnableWindow(GetDlgItem(id), enable); }
BOOL CWnd::IsIconic() const { return ws::IsIconic(m_hWnd); }

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ws::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWnd::GetClientRect(RECT* rect) const { ws::GetClientRect(m_hWnd, rect); }
HMENU CWnd::GetSystemMenu() const { return ws::GetSystemMenu(m_hWnd); }

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return HICON(ws::SendMessage(m_hWnd, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, LPARAM(icon)));
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT periodMs) { return ws::SetTimer(m_hWnd, id, periodMs); }

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    CString title = caption ? CString(caption) : AfxGetAppName();
    PrepareForModal(m_hWnd);
    return ws::MessageBox(m_hWnd, text, title, type);
}

void CWnd::CancelChildCapture()
{
    HWND capture = ws::GetCapture();
    if (capture && capture != m_hWnd && ws::GetParent(capture) == m_hWnd)
        ws::ReleaseCapture();
}

void PrepareForModal(HWND owner)
{
    if (owner && ws::IsWindow(owner))
        ws::SendMessage(owner, WM_CANCELMODE, 0, 0);
}

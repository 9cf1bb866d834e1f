// Window presentation: On Top, the compact and expanded sizes, the minimised icon.
#include "ControlPanelDlg.h"

namespace {
constexpr int kCompactWidth = 315, kCompactHeight = 350;
constexpr int kExpandedWidth = 325, kExpandedHeight = 640;
}  // namespace

void CControlPanelDlg::ToggleOnTop()
{
    TakeCheck(IDC_ON_TOP, m_bOnTop);
    ShowOnTop();
}

// The placement that m_bOnTop says, and the whole form shown.
void CControlPanelDlg::ShowOnTop()
{
    SetWindowPos(m_bOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateData(FALSE);
}

// Both sizes place the window topmost, whatever On Top shows.
void CControlPanelDlg::ToggleMoreLess()
{
    CString text;
    if (m_bExpanded == 0) {
        SetWindowPos(HWND_TOPMOST, 0, 0, kExpandedWidth, kExpandedHeight, SWP_NOMOVE | SWP_SHOWWINDOW);
        m_bExpanded = 1;
        text = "<<<< Less";
    } else {
        SetWindowPos(HWND_TOPMOST, 0, 0, kCompactWidth, kCompactHeight, SWP_NOMOVE | SWP_SHOWWINDOW);
        m_bExpanded = 0;
        text = "More >>>>";
    }
    if (GetDlgItem(IDC_MORE))
        SetDlgItemText(IDC_MORE, text);
}

void CControlPanelDlg::OnPaint()
{
    if (!IsIconic()) {
        DefWindowProc(WM_PAINT, 0, 0);
        return;
    }
    HDC dc = ws::BeginPaint(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, WPARAM(dc), 0);
    int cxIcon = ws::GetSystemMetrics(SM_CXICON);
    int cyIcon = ws::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ws::DrawIcon(dc, x, y, m_hIcon);
    ws::EndPaint(m_hWnd);
}

// The icon shown while the minimised window is dragged.
HCURSOR CControlPanelDlg::OnQueryDragIcon() { return HCURSOR(m_hIcon); }

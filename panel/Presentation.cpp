// Window presentation: On Top, the compact and expanded sizes, the minimised icon.
#include "ControlPanelDlg.h"

namespace {
// In pixels at 96 dots per inch (100 %); the dialog template grows with the
// display's scale, so the window grows with it.
constexpr int kCompactWidth = 315, kCompactHeight = 350;
constexpr int kExpandedWidth = 325, kExpandedHeight = 640;
}  // namespace

SIZE CControlPanelDlg::PanelSize(bool expanded) const
{
    int dpi = int(ws::GetDpiForWindow(m_hWnd));
    auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    return expanded ? SIZE{scaled(kExpandedWidth), scaled(kExpandedHeight)}
                    : SIZE{scaled(kCompactWidth), scaled(kCompactHeight)};
}

// Moved to a display of another scale: the system suggests the place and size.
// A rectangle of no sensible size (the message can come from any program) is not
// taken.
void CControlPanelDlg::OnDpiChanged(UINT dpi, const RECT* suggested)
{
    if (!suggested || dpi == 0)
        return;
    const int width = suggested->right - suggested->left, height = suggested->bottom - suggested->top;
    const int limit = (kExpandedHeight * 4 * int(dpi < 960 ? dpi : 960)) / 96;
    if (width <= 0 || height <= 0 || width > limit || height > limit)
        return;
    SetWindowPos(nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

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
        SIZE size = PanelSize(true);
        SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);
        m_bExpanded = 1;
        text = "<<<< Less";
    } else {
        SIZE size = PanelSize(false);
        SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);
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

// The control panel: its message map, start-up and close, and its
// presentation (On Top, the compact and expanded sizes, the display's scale,
// the minimised icon). Every message of the operator's work goes to the
// session as an intent.
//
// Controls: jog buttons 1001-1012, Move To XYZ 1013, Connect 1014, Disconnect
// 1015, status 1016, Read/Set edits 1017-1030, robot text 1031, speed 1032,
// ADD/DEL/STEP/CHG/LOAD/SAVE 1033-1038, RUN 1039, note 1040, step list 1041,
// On Top 1042, REC 1043, Backward 1044, More 1045, About 1046.
#include "ControlPanelDlg.h"

#include "AboutDlg.h"
#include "Files.h"

const MsgMapEntry<CControlPanelDlg> CControlPanelDlg::kMessageMap[] = {
    // Skype: its attachment answers and its notices.
    msgmap::Registered(g_uAttachMsg, &CControlPanelDlg::OnAttachAnswer),
    msgmap::CopyData(&CControlPanelDlg::OnCopyData),
    // The window and the system.
    msgmap::SysCommand(&CControlPanelDlg::OnSysCommand),
    msgmap::QueryEndSession(&CControlPanelDlg::OnQueryEndSession),
    msgmap::Paint(&CControlPanelDlg::OnPaint),
    msgmap::QueryDragIcon(&CControlPanelDlg::OnQueryDragIcon),
    msgmap::DpiChanged(&CControlPanelDlg::OnDpiChanged),
    // The session's timers and the work it posted.
    msgmap::Timer(&CControlPanelDlg::OnTimer),
    msgmap::Message(kSessionPostedMsg, &CControlPanelDlg::OnSessionPosted),
    // Presentation.
    msgmap::Clicked(IDC_ABOUT, &CControlPanelDlg::OnAbout),
    msgmap::Clicked(IDC_ON_TOP, &CControlPanelDlg::OnOnTop),
    msgmap::Clicked(IDC_MORE, &CControlPanelDlg::OnMoreLess),
    // The operator's intents.
    msgmap::Clicked(IDC_CONNECT, &CControlPanelDlg::OnConnect),
    msgmap::Clicked(IDC_DISCONNECT, &CControlPanelDlg::OnDisconnect),
    msgmap::Clicked(IDC_MOVE_XYZ, &CControlPanelDlg::OnMoveTo),
    msgmap::Clicked(IDC_STEP, &CControlPanelDlg::OnMoveTo),
    msgmap::Clicked(IDC_CALIBRATE, &CControlPanelDlg::OnCalibrate),
    msgmap::Clicked(IDC_GOTO_HOME, &CControlPanelDlg::OnGoHome),
    msgmap::Clicked(IDC_ADD, &CControlPanelDlg::OnAdd),
    msgmap::Clicked(IDC_DEL, &CControlPanelDlg::OnDel),
    msgmap::Clicked(IDC_CHG, &CControlPanelDlg::OnChg),
    msgmap::SelChange(IDC_STEP_LIST, &CControlPanelDlg::OnSelectStep),
    msgmap::Clicked(IDC_REC, &CControlPanelDlg::OnRec),
    msgmap::Clicked(IDC_RUN, &CControlPanelDlg::OnRun),
    msgmap::Clicked(IDC_BACKWARD, &CControlPanelDlg::OnBackward),
    msgmap::Clicked(IDC_LOAD, &CControlPanelDlg::OnLoad),
    msgmap::Clicked(IDC_SAVE, &CControlPanelDlg::OnSave),
};

CControlPanelDlg::CControlPanelDlg(CWnd* parent) : CDialog(IDD, parent), m_hIcon(ws::LoadIcon(IDR_MAINFRAME))
{
    m_channel.Listen(&m_session.Skype());
}

bool CControlPanelDlg::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return msgmap::Dispatch<CControlPanelDlg>(this, kMessageMap, msg, wParam, lParam, result) ||
        CDialog::OnWndMsg(msg, wParam, lParam, result);
}

void CControlPanelDlg::OnOK()
{
    if (m_session.ReadForm() && m_session.MayDiscardSteps())
        EndDialog(IDOK);
}

void CControlPanelDlg::OnCancel()
{
    if (m_session.MayDiscardSteps())
        CDialog::OnCancel();
}

namespace {
// %LOCALAPPDATA%\Orvanta\Logs; empty when the user has no such folder.
std::filesystem::path SessionLogFolder()
{
    std::filesystem::path folder = ws::LocalAppDataFolder();
    return folder.empty() ? folder : folder / "Orvanta" / "Logs";
}
}  // namespace

BOOL CControlPanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Before anything is sent: an attach answer can come inside the broadcast.
    m_log.Open(SessionLogFolder());

    if (HMENU menu = GetSystemMenu()) {
        CString about = ws::LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ws::AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
            ws::AppendMenu(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
        CString log = ws::LoadString(IDS_SESSIONLOG);
        if (!log.IsEmpty())
            ws::AppendMenu(menu, MF_STRING, IDM_SESSIONLOG, log);
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    for (int i = 0; i < kJogCount; ++i)
        m_jog[i].m_nCtrlId = IDC_BASE_PLUS + i;

    m_session.Start();

    m_bOnTop = 1;
    ShowOnTop();
    SIZE size = PanelSize(false);
    SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);

    m_bExpanded = false;
    return TRUE;
}

// The link is closed down before the window goes, and the log written out
// after it.
BOOL CControlPanelDlg::DestroyWindow()
{
    m_session.CloseDown();
    m_log.Close();
    return CDialog::DestroyWindow();
}

void CControlPanelDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    // The close box, Alt+F4 and Close: unsaved steps are asked about first. A
    // command with its low bits set is not exactly SC_CLOSE: default processing.
    if (id == SC_CLOSE) {
        if (m_session.MayDiscardSteps())
            EndDialog(1);
        return;
    }
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
        return;
    }
    if ((id & 0xFFF0) == IDM_SESSIONLOG) {
        ShowSessionLog();
        return;
    }
    DefWindowProc(WM_SYSCOMMAND, id, lParam);
}

void CControlPanelDlg::ShowSessionLog()
{
    std::filesystem::path file = m_log.File();
    if (!file.empty()) {
        m_log.Flush();  // the viewer reads what has been written
        ws::ShellOpen(m_hWnd, file);
        return;
    }
    std::filesystem::path folder = m_log.Folder();
    std::string shown = folder.empty() ? std::string("%LOCALAPPDATA%\\Orvanta\\Logs") : os::PathText(folder);
    CString text = "The session log could not be written.\n\nFolder: ";
    text += shown.c_str();
    MessageBox(text, "Session Log", MB_ICONEXCLAMATION | MB_OK);
}

void CControlPanelDlg::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}

// --- Presentation

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

// The window follows the box; the whole form is shown again.
void CControlPanelDlg::OnOnTop()
{
    m_bOnTop = Checked(IDC_ON_TOP) ? 1 : 0;
    ShowOnTop();
}

// The placement that m_bOnTop says, and the whole form shown.
void CControlPanelDlg::ShowOnTop()
{
    SetWindowPos(m_bOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateData(FALSE);
}

// Both sizes place the window topmost, whatever On Top shows.
void CControlPanelDlg::OnMoreLess()
{
    CString text;
    if (!m_bExpanded) {
        SIZE size = PanelSize(true);
        SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);
        m_bExpanded = true;
        text = "<<<< Less";
    } else {
        SIZE size = PanelSize(false);
        SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);
        m_bExpanded = false;
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

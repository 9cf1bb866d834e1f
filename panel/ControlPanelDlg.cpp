// The control panel: construction, message map, data exchange and start-up.
//
// Controls: jog buttons 1001-1012, Move To XYZ 1013, Connect 1014, Disconnect
// 1015, status 1016, Read/Set edits 1017-1030, robot text 1031, speed 1032,
// ADD/DEL/STEP/CHG/LOAD/SAVE 1033-1038, RUN 1039, note 1040, step list 1041,
// On Top 1042, REC 1043, Backward 1044, More 1045, About 1046.
#include "ControlPanelDlg.h"

#include "AboutDlg.h"
#include "DataExchange.h"
#include "Files.h"

#include <utility>

const MsgMapEntry<CControlPanelDlg> CControlPanelDlg::kMessageMap[] = {
    // Skype: its attachment answers and its notices.
    msgmap::Registered(g_uAttachMsg, &CControlPanelDlg::OnAttachAnswer),
    msgmap::CopyData(&CControlPanelDlg::OnCopyData),
    msgmap::SysCommand(&CControlPanelDlg::OnSysCommand),
    msgmap::QueryEndSession(&CControlPanelDlg::OnQueryEndSession),
    msgmap::Paint(&CControlPanelDlg::OnPaint),
    msgmap::QueryDragIcon(&CControlPanelDlg::OnQueryDragIcon),
    msgmap::DpiChanged(&CControlPanelDlg::OnDpiChanged),
    msgmap::Timer(&CControlPanelDlg::OnTimer),
    msgmap::Message(kExperimentEndMsg, &CControlPanelDlg::OnExperimentEnd),
    msgmap::Message(kPostedBoxMsg, &CControlPanelDlg::OnPostedBox),
    msgmap::Message(kMsgTargetNotSent, &CControlPanelDlg::OnTargetNotSent),
    msgmap::Clicked(IDC_ABOUT, &CControlPanelDlg::OnAbout),
    msgmap::Clicked(IDC_ON_TOP, &CControlPanelDlg::ToggleOnTop),
    msgmap::Clicked(IDC_MORE, &CControlPanelDlg::ToggleMoreLess),
    msgmap::Clicked(IDC_CONNECT, &CControlPanelDlg::OnConnect),
    msgmap::Clicked(IDC_DISCONNECT, &CControlPanelDlg::OnDisconnect),
    msgmap::Clicked(IDC_MOVE_XYZ, &CControlPanelDlg::OnSetPose),
    msgmap::Clicked(IDC_STEP, &CControlPanelDlg::OnSetPose),
    msgmap::Clicked(IDC_CALIBRATE, &CControlPanelDlg::OnCalibrate),
    msgmap::Clicked(IDC_GOTO_HOME, &CControlPanelDlg::OnGotoHome),
    msgmap::Clicked(IDC_ADD, &CControlPanelDlg::AddStep),
    msgmap::Clicked(IDC_DEL, &CControlPanelDlg::DeleteStep),
    msgmap::Clicked(IDC_CHG, &CControlPanelDlg::ChangeStep),
    msgmap::SelChange(IDC_STEP_LIST, &CControlPanelDlg::LoadSelectedStep),
    msgmap::Clicked(IDC_REC, &CControlPanelDlg::OnRec),
    msgmap::Clicked(IDC_RUN, &CControlPanelDlg::OnRun),
    msgmap::Clicked(IDC_BACKWARD, &CControlPanelDlg::OnBackward),
    msgmap::Clicked(IDC_LOAD, &CControlPanelDlg::LoadTrajectory),
    msgmap::Clicked(IDC_SAVE, &CControlPanelDlg::SaveTrajectory),
};

CControlPanelDlg::CControlPanelDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_strStatus("Searching Robot ......"),
      m_dPitchRead(0),
      m_dPitchSet(-90.0),
      m_dRollRead(0),
      m_dRollSet(0),
      m_dXRead(0),
      m_dXSet(0),
      m_dYRead(0),
      m_dYSet(0),
      m_dZRead(0),
      m_dZSet(0),
      m_dHandRead(0),
      m_dHandSet(0),
      m_dSpeed(200.0),
      m_bRec(0),
      m_bOnTop(0),
      m_bRun(0),
      m_bBackward(0),
      m_bControlsEnabled(0),
      m_hIcon(ws::LoadIcon(IDR_MAINFRAME)),
      m_bExpanded(0)
{
    m_channel.Listen(&m_link);
}

bool CControlPanelDlg::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return msgmap::Dispatch<CControlPanelDlg>(this, kMessageMap, msg, wParam, lParam, result) ||
        CDialog::OnWndMsg(msg, wParam, lParam, result);
}

// Another program's message of the same number finds nothing due and shows nothing.
void CControlPanelDlg::OnTargetNotSent()
{
    if (!std::exchange(m_bTargetNotSentDue, false))
        return;
    MessageBox("The target is out of range and was not sent.", nullptr, MB_ICONINFORMATION | MB_OK);
}

// Log-off or shut-down: unsaved steps may hold it up.
BOOL CControlPanelDlg::OnQueryEndSession() { return MayDiscardSteps() ? TRUE : FALSE; }

// The form is read first, as the dialog's own OK does.
void CControlPanelDlg::OnOK()
{
    if (UpdateData(TRUE) && MayDiscardSteps())
        EndDialog(IDOK);
}

void CControlPanelDlg::OnCancel()
{
    if (MayDiscardSteps())
        CDialog::OnCancel();
}

void CControlPanelDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STEP_LIST, m_listSteps);
    for (int i = 0; i < kJogCount; ++i)
        DDX_Control(pDX, IDC_BASE_PLUS + i, m_jog[i]);
    DDX_Text(pDX, IDC_STATUS, m_strStatus);
    DDX_Text(pDX, IDC_PITCH_READ, m_dPitchRead);
    DDX_Text(pDX, IDC_PITCH_SET, m_dPitchSet);
    DDX_Text(pDX, IDC_ROLL_READ, m_dRollRead);
    DDX_Text(pDX, IDC_ROLL_SET, m_dRollSet);
    DDX_Text(pDX, IDC_X_READ, m_dXRead);
    DDX_Text(pDX, IDC_X_SET, m_dXSet);
    DDX_Text(pDX, IDC_Y_READ, m_dYRead);
    DDX_Text(pDX, IDC_Y_SET, m_dYSet);
    DDX_Text(pDX, IDC_Z_READ, m_dZRead);
    DDX_Text(pDX, IDC_Z_SET, m_dZSet);
    DDX_Text(pDX, IDC_HAND_READ, m_dHandRead);
    DDX_Text(pDX, IDC_HAND_SET, m_dHandSet);
    DDX_Text(pDX, IDC_ROBOT_MESSAGE, m_strRobotMessage);
    DDX_Text(pDX, IDC_NOTE, m_strNote);
    DDX_Text(pDX, IDC_SPEED, m_dSpeed);
    DDX_Check(pDX, IDC_REC, m_bRec);
    DDX_Check(pDX, IDC_ON_TOP, m_bOnTop);
    DDX_Check(pDX, IDC_RUN, m_bRun);
    DDX_Check(pDX, IDC_BACKWARD, m_bBackward);
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

    m_link.Start();

    m_bOnTop = 1;
    ShowOnTop();
    SIZE size = PanelSize(false);
    SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);

    m_bExpanded = 0;
    return TRUE;
}

void CControlPanelDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    // The close box, Alt+F4 and Close: unsaved steps are asked about first. A
    // command with its low bits set is not exactly SC_CLOSE: default processing.
    if (id == SC_CLOSE) {
        if (MayDiscardSteps())
            EndDialog(1);
        return;
    }
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
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

// Reports and ticks read every second: a box the operator is typing in neither
// sounds nor loses the focus to them.
void CControlPanelDlg::OnDataExchangeFailure(int id)
{
    if (!m_bUnasked)
        CDialog::OnDataExchangeFailure(id);
}

// The check boxes' fields follow their clicks alone: while REC's question is
// up, say, REC shows checked and nothing records yet.
int CControlPanelDlg::PullControls()
{
    const bool outer = m_bUnasked;
    const int checks[4] = {m_bRec, m_bOnTop, m_bRun, m_bBackward};
    m_bUnasked = true;
    BOOL pulled = UpdateData(TRUE);
    m_bUnasked = outer;
    m_bRec = checks[0];
    m_bOnTop = checks[1];
    m_bRun = checks[2];
    m_bBackward = checks[3];
    return pulled;
}

// The link is closed down before the window goes, and the log written out
// after it.
BOOL CControlPanelDlg::DestroyWindow()
{
    m_link.CloseDownLink();
    m_log.Close();
    return CDialog::DestroyWindow();
}

// The robot's sign of life, written the way a report writes.
void CControlPanelDlg::ShowRobotAlive(const char* text)
{
    PullControls();
    m_strStatus = text;
    PushNews(0);
}

void CControlPanelDlg::ShowBox(const char* text, const char* caption, Box kind)
{
    MessageBox(text, caption, (kind == Box::kError ? MB_ICONSTOP : MB_ICONINFORMATION) | MB_OK);
}

void CControlPanelDlg::PostBox(const char* text, const char* caption, Box kind)
{
    m_postedBoxes.push_back({text, caption, kind});
    PostMessage(kPostedBoxMsg);
}

// Another program's message of the same number finds no box due and shows nothing.
void CControlPanelDlg::OnPostedBox()
{
    if (m_postedBoxes.empty())
        return;
    PostedBox box = std::move(m_postedBoxes.front());
    m_postedBoxes.pop_front();
    ShowBox(box.text.c_str(), box.caption.c_str(), box.kind);
}

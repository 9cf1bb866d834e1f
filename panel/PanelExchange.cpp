// The control panel's data exchange, and the session's effects as the panel
// shows them: the form's boxes, the groups of controls, boxes, file dialogs
// and the step list.
#include <algorithm>
#include <climits>

#include "ControlPanelDlg.h"
#include "DataExchange.h"
#include "FileDialog.h"

namespace {
// The groups' controls, in the order they are switched.
const int kLinkControls[] = {
    IDC_CONNECT,       IDC_DISCONNECT,    IDC_MOVE_XYZ,       IDC_BASE_PLUS,  IDC_BASE_MINUS,
    IDC_SHOULDER_DOWN, IDC_SHOULDER_UP,   IDC_ELBOW_DOWN,     IDC_ELBOW_UP,   IDC_WRIST_DOWN,
    IDC_WRIST_UP,      IDC_WRISTROT_PLUS, IDC_WRISTROT_MINUS, IDC_HAND_CLOSE, IDC_HAND_OPEN,
    IDC_CALIBRATE,     IDC_GOTO_HOME,     IDC_STEP,           IDC_RUN,        IDC_REC,
};
const int kRecLockControls[] = {IDC_STEP, IDC_RUN, IDC_LOAD, IDC_SAVE, IDC_ADD, IDC_DEL, IDC_CHG, IDC_MOVE_XYZ};
const int kConnectControls[] = {IDC_CONNECT, IDC_DISCONNECT};

const char kFilter[] = "Trajectory (*.txt)|*.txt|";
// "0,0,0,0,0,0,0" and its line end: about the most steps a file can hold is
// its size over this.
constexpr long long kShortestLine = 14;
}  // namespace

// The binding of the controls, and at start-up the whole form shown.
void CControlPanelDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STEP_LIST, m_listSteps);
    for (int i = 0; i < kJogCount; ++i)
        DDX_Control(pDX, IDC_BASE_PLUS + i, m_jog[i]);
    if (!pDX->m_bSaveAndValidate) {
        PanelForm form = m_session.Form();
        ExchangeForm(pDX, form, kFormAll);
    }
}

// In the order the boxes stand in the template's tab order, which is the order
// a read stops in.
void CControlPanelDlg::ExchangeForm(CDataExchange* pDX, PanelForm& form, unsigned parts)
{
    const bool news = parts & kFormNews, pose = parts & kFormSetPose;
    if (news)
        DDX_Text(pDX, IDC_STATUS, form.status);
    if (news)
        DDX_Text(pDX, IDC_PITCH_READ, form.read.pitch);
    if (pose)
        DDX_Text(pDX, IDC_PITCH_SET, form.set.pitch);
    if (news)
        DDX_Text(pDX, IDC_ROLL_READ, form.read.roll);
    if (pose)
        DDX_Text(pDX, IDC_ROLL_SET, form.set.roll);
    if (news)
        DDX_Text(pDX, IDC_X_READ, form.read.x);
    if (pose)
        DDX_Text(pDX, IDC_X_SET, form.set.x);
    if (news)
        DDX_Text(pDX, IDC_Y_READ, form.read.y);
    if (pose)
        DDX_Text(pDX, IDC_Y_SET, form.set.y);
    if (news)
        DDX_Text(pDX, IDC_Z_READ, form.read.z);
    if (pose)
        DDX_Text(pDX, IDC_Z_SET, form.set.z);
    if (news)
        DDX_Text(pDX, IDC_HAND_READ, form.read.hand);
    if (pose)
        DDX_Text(pDX, IDC_HAND_SET, form.set.hand);
    if (news)
        DDX_Text(pDX, IDC_ROBOT_MESSAGE, form.robotText);
    if (parts & kFormNote)
        DDX_Text(pDX, IDC_NOTE, form.note);
    if (parts & kFormSpeed)
        DDX_Text(pDX, IDC_SPEED, form.speed);
    if (parts & kFormRec)
        DDX_Check(pDX, IDC_REC, form.rec);
    if ((parts & kFormChecks) == kFormChecks)  // the whole form: On Top's box with it
        DDX_Check(pDX, IDC_ON_TOP, m_bOnTop);
    if (parts & kFormRun)
        DDX_Check(pDX, IDC_RUN, form.run);
    if (parts & kFormBackward)
        DDX_Check(pDX, IDC_BACKWARD, form.backward);
}

bool CControlPanelDlg::Read(PanelForm& form, unsigned parts, bool asked)
{
    const bool outer = m_bUnasked;
    m_bUnasked = !asked;
    CDataExchange dx(this, TRUE);
    bool read = true;
    try {
        ExchangeForm(&dx, form, parts & kFormTyped);
    } catch (const CDataExchange::Failure&) {
        read = false;
    }
    m_bUnasked = outer;
    return read;
}

void CControlPanelDlg::Show(const PanelForm& form, unsigned parts)
{
    PanelForm shown = form;
    CDataExchange dx(this, FALSE);
    ExchangeForm(&dx, shown, parts);
}

// A read the operator did not ask for may find a box half-way through typing
// ("-" on the way to "-5"): it neither sounds nor takes the focus.
void CControlPanelDlg::OnDataExchangeFailure(int id)
{
    if (!m_bUnasked)
        CDialog::OnDataExchangeFailure(id);
}

void CControlPanelDlg::EnableGroup(Group group, bool enable)
{
    auto each = [this, enable](const auto& ids) {
        for (int id : ids)
            EnableDlgItem(id, enable ? TRUE : FALSE);
    };
    switch (group) {
    case Group::kLink: each(kLinkControls); break;
    case Group::kRecLock: each(kRecLockControls); break;
    case Group::kConnect: each(kConnectControls); break;
    }
}

ISessionView::Answer CControlPanelDlg::Box(const char* text, const char* caption, BoxKind kind)
{
    UINT type = MB_OK;
    switch (kind) {
    case BoxKind::kError: type = MB_ICONSTOP | MB_OK; break;
    case BoxKind::kInfo: type = MB_ICONINFORMATION | MB_OK; break;
    case BoxKind::kYesNo: type = MB_YESNO; break;
    case BoxKind::kYesNoCancel: type = MB_YESNOCANCEL; break;
    }
    switch (MessageBox(text, caption, type)) {
    case IDYES: return Answer::kYes;
    case IDNO: return Answer::kNo;
    case IDCANCEL: return Answer::kCancel;
    default: return Answer::kOk;
    }
}

std::filesystem::path CControlPanelDlg::AskFile(bool open)
{
    CFileDialog dialog(open ? TRUE : FALSE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return {};
    return dialog.GetPathName();
}

// A list box repaints itself and its scroll bar on every line added: the list
// is filled unseen and painted once, when this returns.
void CControlPanelDlg::ShowStepsLoaded(const std::vector<std::string>& lines, long long fileSize, int selected)
{
    CRedrawOff bulk(m_listSteps);
    m_listSteps.ResetContent();
    if (fileSize > 0)
        m_listSteps.InitStorage(int(std::min<long long>(fileSize / kShortestLine, INT_MAX)),
                                UINT(std::min<long long>(fileSize, UINT_MAX)));
    for (const std::string& line : lines)
        m_listSteps.AddString(line.c_str());
    m_listSteps.SetCurSel(selected);
}

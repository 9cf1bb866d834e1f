// Recording and playback. The check boxes have toggled before these handlers
// run; each field takes its box's new state at the click, so that no step end
// after the click plays or records on, and no write checks the box again.
#include "App.h"
#include "ControlPanelDlg.h"
#include "PlaybackOrder.h"
#include "RobotProtocol.h"

namespace {
// Locked while recording, in the order they are switched.
const int kRecLockGroup[] = {IDC_STEP, IDC_RUN, IDC_LOAD, IDC_SAVE, IDC_ADD, IDC_DEL, IDC_CHG, IDC_MOVE_XYZ};
const char kNotSent[] = "The target is out of range and was not sent.";
}  // namespace

int CControlPanelDlg::TakeCheck(int id, int& field)
{
    field = IsDlgButtonChecked(id) == BST_CHECKED ? 1 : 0;
    return field;
}

// REC on reads the form first: a form that cannot be read starts nothing and
// changes nothing, and the bad box takes the focus. Recording starts only once
// the question is answered Yes.
void CControlPanelDlg::OnRec()
{
    if (!TakeCheck(IDC_REC, m_bRec)) {
        for (int id : kRecLockGroup)
            EnableDlgItem(id, TRUE);
        return;
    }
    const BOOL read = UpdateData(TRUE);
    m_bRec = 0;  // nothing records while the question is up
    if (!read ||
        AfxMessageBox("This command will clear the previous steps.\n\nAre you sure to continue?.", MB_YESNO) != IDYES) {
        CheckDlgButton(IDC_REC, BST_UNCHECKED);
        return;
    }
    m_bRec = 1;
    CopyReadToSet();  // the current pose becomes the first step
    UpdateData(FALSE);
    m_steps.Clear();
    m_listSteps.ResetContent();
    AddStep();
    for (int id : kRecLockGroup)
        EnableDlgItem(id, FALSE);
}

// RUN on plays the highlighted step: it is loaded into the Set values, as a
// click on its line loads it, and sent; each step-end report then plays the
// next one. With no line highlighted the Set values are sent as they are, and
// the first step end goes on with line 0. A form that cannot be read, or a
// target that cannot be sent, starts nothing, and RUN shows it.
void CControlPanelDlg::OnRun()
{
    if (!TakeCheck(IDC_RUN, m_bRun) || m_steps.Count() < 1)
        return;
    if (!UpdateData(TRUE)) {
        EndPlayback();
        return;
    }
    if (std::optional<StepLine> step = m_steps.Step(m_listSteps.GetCurSel()))
        TakeStep(*step);
    UpdateData(FALSE);
    std::optional<std::string> command = CartesianTargetCommand(
        WholeTarget({m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet}), WholeSpeed(m_dSpeed));
    if (!command) {
        EndPlayback();  // before the box: a step end while it is up plays nothing
        MessageBox(kNotSent, nullptr, MB_ICONINFORMATION | MB_OK);
        return;
    }
    SendPlayedTarget(*command);
}

// Only selects: the step is not loaded into the Set values (RUN loads it).
void CControlPanelDlg::OnBackward()
{
    if (TakeCheck(IDC_BACKWARD, m_bBackward))
        m_listSteps.SetCurSel(m_steps.Count() - 1);
    else
        m_listSteps.SetCurSel(0);
}

void CControlPanelDlg::OnStepEnd()
{
    if (m_bRun == 1)
        PlayNextStep();
    else if (m_bRec == 1)
        RecordStep();
}

// The next line is highlighted, loaded into the Set values and sent. A line that
// does not read, or whose target cannot be sent, ends the playback there; the
// operator is told of the second by a box once this report has been handled.
void CControlPanelDlg::PlayNextStep()
{
    std::optional<int> next = NextPlaybackLine(m_listSteps.GetCurSel(), m_steps.Count(), m_bBackward == 1);
    if (!next) {
        EndPlayback();
        return;
    }
    m_listSteps.SetCurSel(*next);
    std::optional<StepLine> step = m_steps.Step(*next);
    if (!step) {
        EndPlayback();
        return;
    }
    PushNews(TakeStep(*step));
    std::optional<std::string> command = StepTargetCommand(*step);
    if (!command) {
        EndPlayback();
        m_bTargetNotSentDue = true;
        ws::PostMessage(m_hWnd, kMsgTargetNotSent, 0, 0);
        return;
    }
    SendPlayedTarget(*command);
}

void CControlPanelDlg::SendPlayedTarget(const std::string& command)
{
    if (m_bControlsEnabled == 1)
        SendDatagram(command.c_str());
}

// Every step end appends one step after the highlighted line: the pose the
// robot reported, with the last speed and note that could be read. A box being
// typed in keeps its last value; a speed whose step could not be played takes
// that of the step before.
void CControlPanelDlg::RecordStep()
{
    PullControls();
    const int at = m_listSteps.GetCurSel() + 1;
    double values[7] = {m_dXRead, m_dYRead, m_dZRead, m_dPitchRead, m_dRollRead, m_dHandRead, m_dSpeed};
    std::string line = FormatStepLine(values, m_strNote.str());
    std::optional<StepLine> step = ParseStepLine(line);
    if (!step || !StepTargetCommand(*step)) {
        std::optional<StepLine> before = m_steps.Step(at - 1);
        values[6] = before ? before->values[6] : 0;
        line = FormatStepLine(values, m_strNote.str());
        if (!ParseStepLine(line))
            return;
    }
    m_steps.Insert(at, line);
    m_listSteps.InsertString(at, line.c_str());
    m_listSteps.SetCurSel(at);
}

// RUN shows unchecked; nothing else is written.
void CControlPanelDlg::EndPlayback()
{
    m_bRun = 0;
    CheckDlgButton(IDC_RUN, BST_UNCHECKED);
}

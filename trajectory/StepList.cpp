// The step list: adding, changing, deleting and selecting steps. The list's own
// line texts are the only storage of the trajectory.
#include "ControlPanelDlg.h"
#include "StepLine.h"

CString CControlPanelDlg::FormatStepLine() const
{
    const double values[7] = {m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet, m_dSpeed};
    return ::FormatStepLine(values, m_strNote);
}

// A line is written only from a form read whole, and only when it reads back:
// a line that does not would be skipped by LOAD and by playback.
bool CControlPanelDlg::StepFits(const char* refusal)
{
    const double values[7] = {m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet, m_dSpeed};
    if (StepValuesFit(values))
        return true;
    MessageBox(refusal, nullptr, MB_ICONINFORMATION | MB_OK);
    return false;
}

// Inserts after the selected line (at the top when none) and selects the new one.
void CControlPanelDlg::AddStep()
{
    if (!PullControls() || !StepFits("The step is out of range and was not added."))
        return;
    CString line = FormatStepLine();
    int at = m_listSteps.GetCurSel() + 1;
    m_listSteps.InsertString(at, line);
    m_listSteps.SetCurSel(at);
    PullControls();
}

// The line that moves up takes the selection; none when the last line went.
void CControlPanelDlg::DeleteStep()
{
    int selected = m_listSteps.GetCurSel();
    m_listSteps.DeleteString(selected);
    m_listSteps.SetCurSel(selected);
}

void CControlPanelDlg::ChangeStep()
{
    if (!PullControls())
        return;
    int selected = m_listSteps.GetCurSel();
    if (selected == LB_ERR || !StepFits("The step is out of range and was not changed."))
        return;
    CString line = FormatStepLine();
    m_listSteps.DeleteString(selected);
    m_listSteps.InsertString(selected, line);
    m_listSteps.SetCurSel(selected);
}

// The list's selection-change notice; the program's own selections do not send it.
void CControlPanelDlg::LoadSelectedStep()
{
    int selected = m_listSteps.GetCurSel();
    if (selected != LB_ERR) {
        CString text;
        m_listSteps.GetText(selected, text);
        if (std::optional<StepLine> step = ParseStepLine(text.str())) {
            double* fields[7] = {&m_dXSet, &m_dYSet, &m_dZSet, &m_dPitchSet, &m_dRollSet, &m_dHandSet, &m_dSpeed};
            for (int i = 0; i < 7; ++i)
                *fields[i] = step->values[i];
            if (step->hasNote)
                m_strNote = CString(step->note);
        }
    }
    PushControls();
}

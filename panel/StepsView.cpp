// The step list as the operator edits it: ADD, DEL and CHG, and a line the
// operator selects loading into the Set values. The steps are kept in m_steps;
// the list box shows them, line for line, and holds the selection.
#include "ControlPanelDlg.h"
#include "PlaybackOrder.h"
#include "StepLine.h"

std::string CControlPanelDlg::FormatSetStep() const
{
    const double values[7] = {m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet, m_dSpeed};
    return FormatStepLine(values, m_strNote.str());
}

// A line is written only from a form read whole, only when it reads back (a
// line that does not would be skipped by LOAD and by playback), and only when
// its target can be sent (playback would stop at it).
bool CControlPanelDlg::StepFits(const char* refusal)
{
    const double values[7] = {m_dXSet, m_dYSet, m_dZSet, m_dPitchSet, m_dRollSet, m_dHandSet, m_dSpeed};
    if (StepValuesFit(values)) {
        std::optional<StepLine> step = ParseStepLine(FormatStepLine(values, std::string()));
        if (step && StepTargetCommand(*step))
            return true;
    }
    MessageBox(refusal, nullptr, MB_ICONINFORMATION | MB_OK);
    return false;
}

// The Set values and, when the step has one, the note take the step's.
unsigned CControlPanelDlg::TakeStep(const StepLine& step)
{
    double* fields[7] = {&m_dXSet, &m_dYSet, &m_dZSet, &m_dPitchSet, &m_dRollSet, &m_dHandSet, &m_dSpeed};
    for (int i = 0; i < 7; ++i)
        *fields[i] = step.values[i];
    if (!step.hasNote)
        return kTypedPose | kTypedSpeed;
    m_strNote = CString(step.note);
    return kTypedPose | kTypedSpeed | kTypedNote;
}

// Inserts after the selected line (at the top when none) and selects the new one.
void CControlPanelDlg::AddStep()
{
    if (!UpdateData(TRUE) || !StepFits("The step is out of range and was not added."))
        return;
    std::string line = FormatSetStep();
    int at = m_listSteps.GetCurSel() + 1;
    m_steps.Insert(at, line);
    m_listSteps.InsertString(at, line.c_str());
    m_listSteps.SetCurSel(at);
}

// The line that moves up takes the selection; none when the last line went.
void CControlPanelDlg::DeleteStep()
{
    int selected = m_listSteps.GetCurSel();
    m_steps.Erase(selected);
    m_listSteps.DeleteString(selected);
    m_listSteps.SetCurSel(selected);
}

void CControlPanelDlg::ChangeStep()
{
    if (!UpdateData(TRUE))
        return;
    int selected = m_listSteps.GetCurSel();
    if (selected == LB_ERR || !StepFits("The step is out of range and was not changed."))
        return;
    std::string line = FormatSetStep();
    m_steps.Replace(selected, line);
    m_listSteps.DeleteString(selected);
    m_listSteps.InsertString(selected, line.c_str());
    m_listSteps.SetCurSel(selected);
}

// The list's selection-change notice; the program's own selections do not send
// it. Only the boxes the step changes are written: a box the operator is typing
// in that the step does not fill keeps what it shows.
void CControlPanelDlg::LoadSelectedStep()
{
    PullControls();
    unsigned typed = 0;
    if (std::optional<StepLine> step = m_steps.Step(m_listSteps.GetCurSel()))
        typed = TakeStep(*step);
    PushNews(typed);
}

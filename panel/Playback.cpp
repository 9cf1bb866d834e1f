// Recording and playback. The check boxes have toggled before these handlers
// run; the handlers look at the fields as they were before the click.
#include "App.h"
#include "ControlPanelDlg.h"

namespace {
// Locked while recording, in the order they are switched.
const int kRecLockGroup[] = {IDC_STEP, IDC_RUN, IDC_LOAD, IDC_SAVE, IDC_ADD, IDC_DEL, IDC_CHG, IDC_MOVE_XYZ};
}  // namespace

void CControlPanelDlg::OnRec()
{
    if (m_bRec == 0) {
        if (AfxMessageBox("This command will clear the previous steps.\n\nAre you sure to continue?.", MB_YESNO) !=
            IDYES) {
            m_bRec = 0;
            PushControls();
            return;
        }
        PullControls();
        CopyReadToSet();  // the current pose becomes the first step
        PushControls();
        m_steps.Clear();
        m_listSteps.ResetContent();
        AddStep();
        for (int id : kRecLockGroup)
            EnableDlgItem(id, FALSE);
    } else {
        for (int id : kRecLockGroup)
            EnableDlgItem(id, TRUE);
    }
}

// Sends the Set values, normally those of the step the operator selected; each
// step-end report then plays the next one. A form that cannot be read starts
// nothing, and RUN shows it.
void CControlPanelDlg::OnRun()
{
    if (m_steps.Count() >= 1 && m_bRun == 0 && !SendSetPose())
        CheckDlgButton(IDC_RUN, BST_UNCHECKED);
}

// Only selects: the step is not loaded into the Set values.
void CControlPanelDlg::OnBackward()
{
    bool switchingOff = m_bBackward == 1;
    PullControls();
    if (switchingOff)
        m_listSteps.SetCurSel(0);
    else
        m_listSteps.SetCurSel(m_steps.Count() - 1);
    PushControls();
}

void CControlPanelDlg::OnStepEnd()
{
    if (m_bRun == 1) {
        int next = m_listSteps.GetCurSel() + (m_bBackward == 0 ? 1 : -1);
        if (next < 0 || next >= m_steps.Count()) {
            EndPlayback(PullControls());
            return;
        }
        BOOL pulled = PullControls();
        m_listSteps.SetCurSel(next);
        // A line that does not read is no step: sending would repeat the one before.
        if (!m_steps.Step(next)) {
            EndPlayback(pulled);
            return;
        }
        LoadSelectedStep();
        SendSetPose();
        PushControls();
    } else if (m_bRec == 1) {
        AddStep();  // the Set values hold the last reported pose
    }
}

// RUN shows unchecked. After a pull that stopped at a box the operator is typing
// in, RUN is all that is written.
void CControlPanelDlg::EndPlayback(BOOL pulled)
{
    m_bRun = 0;
    if (pulled)
        PushControls();
    else
        CheckDlgButton(IDC_RUN, BST_UNCHECKED);
}

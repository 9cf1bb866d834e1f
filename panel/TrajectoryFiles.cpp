// LOAD and SAVE: the step list to and from a trajectory file, behind the file
// dialogs.
#include <algorithm>
#include <climits>

#include "App.h"
#include "ControlPanelDlg.h"
#include "FileDialog.h"
#include "Files.h"
#include "TrajectoryFile.h"

namespace {
const char kFilter[] = "Trajectory (*.txt)|*.txt|";
// "0,0,0,0,0,0,0" and its line end: about the most steps a file can hold is
// its size over this.
constexpr long kShortestLine = 14;
}  // namespace

void CControlPanelDlg::LoadTrajectory()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return;
    CString path = dialog.GetPathName();

    std::optional<TrajectoryRead> file = ReadTrajectory(path.str());
    if (!file) {
        // A new trajectory: its ".txt" file is made empty, but an existing one is
        // never touched.
        CreateTrajectoryIfMissing(path.str() + ".txt");
        m_steps.Clear();
        m_listSteps.ResetContent();
        return;
    }

    // A list box repaints itself and its scroll bar on every line added: the
    // list is filled unseen and painted once, when this goes.
    CRedrawOff bulk(m_listSteps);
    m_steps.Clear();
    m_listSteps.ResetContent();
    if (file->size > 0)
        m_listSteps.InitStorage(int(std::min<long long>(file->size / kShortestLine, INT_MAX)),
                                UINT(std::min<long long>(file->size, UINT_MAX)));
    for (const StepLine& step : file->steps) {
        TakeStep(step);
        m_steps.Append(RewriteStepLine(step));
        m_listSteps.AddString(m_steps.Lines().back().c_str());
    }
    // The edits still show what they showed: the controls are not pushed.
    m_listSteps.SetCurSel(0);
}

// A failed save leaves the previous file as it was, and says so.
void CControlPanelDlg::SaveTrajectory()
{
    CFileDialog dialog(FALSE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return;
    CString path = dialog.GetPathName();
    if (path.Find(".txt") < 0)
        path += ".txt";

    if (::SaveTrajectory(path.str(), m_steps.Lines(), ws::ReplaceFile))
        return;
    CString text;
    text.Format("The trajectory could not be saved to %s.", path.GetString());
    AfxMessageBox(text, MB_ICONSTOP | MB_OK);
}

// LOAD and SAVE: the step list to and from a trajectory file, behind the file
// dialogs; and the question before unsaved steps are thrown away.
#include <algorithm>
#include <climits>

#include "App.h"
#include "ControlPanelDlg.h"
#include "FileDialog.h"
#include "Files.h"
#include "TrajectoryFile.h"

namespace {
const char kFilter[] = "Trajectory (*.txt)|*.txt|";
const char kUnsavedQuestion[] = "The trajectory has changes that are not saved.\n\nSave them?";
// "0,0,0,0,0,0,0" and its line end: about the most steps a file can hold is
// its size over this.
constexpr long kShortestLine = 14;
}  // namespace

void CControlPanelDlg::LoadTrajectory()
{
    if (!MayDiscardSteps())
        return;
    CFileDialog dialog(TRUE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return;
    const std::filesystem::path& path = dialog.GetPathName();

    TrajectoryRead file = ReadTrajectory(path);
    if (file.result == TrajectoryRead::kMissing) {
        // A new trajectory: its ".txt" file is made empty, but an existing one is
        // never touched.
        std::filesystem::path created = path;
        created += ".txt";
        CreateTrajectoryIfMissing(created);
        m_steps.Clear();
        m_steps.Unchanged();
        m_listSteps.ResetContent();
        return;
    }
    if (file.result != TrajectoryRead::kRead) {
        // The file is there: neither it nor the list on the screen is thrown away.
        AfxMessageBox(TrajectoryReadFailure(path, file).c_str(), MB_ICONSTOP | MB_OK);
        return;
    }

    // A list box repaints itself and its scroll bar on every line added: the
    // list is filled unseen and painted once, when this goes.
    CRedrawOff bulk(m_listSteps);
    m_steps.Clear();
    m_listSteps.ResetContent();
    if (file.size > 0)
        m_listSteps.InitStorage(int(std::min<long long>(file.size / kShortestLine, INT_MAX)),
                                UINT(std::min<long long>(file.size, UINT_MAX)));
    for (const StepLine& step : file.steps) {
        TakeStep(step);
        m_steps.Append(RewriteStepLine(step));
        m_listSteps.AddString(m_steps.Lines().back().c_str());
    }
    m_steps.Unchanged();
    // The edits still show what they showed: the controls are not pushed.
    m_listSteps.SetCurSel(0);
}

void CControlPanelDlg::SaveTrajectory() { SaveSteps(); }

// A failed save leaves the previous file as it was, and says so.
bool CControlPanelDlg::SaveSteps()
{
    CFileDialog dialog(FALSE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return false;
    std::filesystem::path path = dialog.GetPathName();
    if (path.native().find(std::filesystem::path(".txt").native()) == std::filesystem::path::string_type::npos)
        path += ".txt";

    if (::SaveTrajectory(path, m_steps.Lines())) {
        m_steps.Unchanged();
        return true;
    }
    CString text;
    text.Format("The trajectory could not be saved to %s.", os::PathText(path).c_str());
    AfxMessageBox(text, MB_ICONSTOP | MB_OK);
    return false;
}

// Yes saves through SAVE's dialog and goes on only once the steps are saved;
// No goes on; Cancel stops.
bool CControlPanelDlg::MayDiscardSteps()
{
    if (!m_steps.Changed())
        return true;
    switch (AfxMessageBox(kUnsavedQuestion, MB_YESNOCANCEL)) {
    case IDYES: return SaveSteps();
    case IDNO: return true;
    default: return false;
    }
}

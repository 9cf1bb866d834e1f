// Trajectory files: the step list to and from a text file, one step line a line.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "App.h"
#include "ControlPanelDlg.h"
#include "FileDialog.h"
#include "Files.h"
#include "StepLine.h"

namespace {
const char kFilter[] = "Trajectory (*.txt)|*.txt|";
// "0,0,0,0,0,0,0" and its line end: about the most steps a file can hold is
// its size over this.
constexpr long kShortestLine = 14;

// The size of a file just opened, its position left at the start; 0 when unknown.
long FileSize(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? size : 0;
}

// The next line of the file without its line end, whatever its length; false at
// the end of the file. A long line is one line: read in pieces, its tail could
// pass for a step of its own.
bool ReadLine(FILE* file, std::string& line)
{
    line.clear();
    int c;
    while ((c = std::getc(file)) != EOF && c != '\n')
        line += char(c);
    return c == '\n' || !line.empty();
}

bool FileExists(const char* path)
{
    if (FILE* f = std::fopen(path, "r")) {
        std::fclose(f);
        return true;
    }
    return false;
}
} // namespace

void CControlPanelDlg::LoadTrajectory()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return;
    CString path = dialog.GetPathName();

    FILE* file = std::fopen(path, "r");
    if (!file) {
        // A new trajectory: its ".txt" file is made empty, but an existing one is
        // never touched.
        CString created = path + ".txt";
        if (!FileExists(created))
            if (FILE* f = std::fopen(created, "w"))
                std::fclose(f);
        m_listSteps.ResetContent();
        return;
    }

    // A list box repaints itself and its scroll bar on every line added: the
    // list is filled unseen and painted once, when this goes.
    CRedrawOff bulk(m_listSteps);
    m_listSteps.ResetContent();
    if (long size = FileSize(file); size > 0)
        m_listSteps.InitStorage(int(std::min<long long>(size / kShortestLine, INT_MAX)),
                                UINT(std::min<long long>(size, UINT_MAX)));
    std::string line;
    while (ReadLine(file, line)) {
        // A zero byte ends the line's text, as it ends any C string.
        std::optional<StepLine> step = ParseStepLine(line.c_str());
        if (!step)
            continue;
        double* fields[7] = {&m_dXSet, &m_dYSet, &m_dZSet, &m_dPitchSet, &m_dRollSet, &m_dHandSet, &m_dSpeed};
        for (int i = 0; i < 7; ++i)
            *fields[i] = step->values[i];
        if (step->hasNote)
            m_strNote = CString(step->note);
        m_listSteps.AddString(RewriteStepLine(*step));
    }
    std::fclose(file);
    // The edits still show what they showed: the controls are not pushed.
    m_listSteps.SetCurSel(0);
}

// The new content goes to a temporary file beside the target, which replaces the
// target only once every line is written and the file closed cleanly: a failed
// save leaves the previous file as it was, and says so.
void CControlPanelDlg::SaveTrajectory()
{
    CFileDialog dialog(FALSE, nullptr, nullptr, 0, kFilter);
    if (dialog.DoModal() != IDOK)
        return;
    CString path = dialog.GetPathName();
    if (path.Find(".txt") < 0)
        path += ".txt";

    std::string temporary = path.str() + ".orvanta-tmp";
    bool written = false;
    if (FILE* file = std::fopen(temporary.c_str(), "w")) {
        written = true;
        int count = m_listSteps.GetCount();
        for (int i = 0; i < count && written; ++i) {
            CString line;
            m_listSteps.GetText(i, line);
            written = std::fprintf(file, "%s\n", line.GetString()) >= 0;
        }
        // Some devices report a failed write only when the file is closed.
        written = std::fflush(file) == 0 && !std::ferror(file) && written;
        written = std::fclose(file) == 0 && written;
    }
    if (written && ws::ReplaceFile(temporary.c_str(), path))
        return;
    std::remove(temporary.c_str());
    CString text;
    text.Format("The trajectory could not be saved to %s.", path.GetString());
    AfxMessageBox(text, MB_ICONSTOP | MB_OK);
}

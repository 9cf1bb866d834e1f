#include "AboutDlg.h"

#include "WindowSystem.h"

// The version line comes from the version block, so the two never disagree.
BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    unsigned version[4];
    if (ws::LoadFileVersion(version)) {
        CString text;
        text.Format("Orvanta Version %u.%u", version[0], version[1]);
        SetDlgItemText(IDC_ABOUT_VERSION, text);
    }
    return TRUE;
}

#include "ClientApp.h"

#include "ControlPanelDlg.h"

CClientApp theApp;

// Runs the panel modally for the whole life of the process; FALSE then ends the
// program instead of entering a message loop of its own.
BOOL CClientApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CControlPanelDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

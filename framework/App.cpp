#include "App.h"

namespace {
CWinApp* g_pApp = nullptr;
}

const MsgMapEntry<CWinApp> CWinApp::kMessageMap[] = {
    msgmap::Command(ID_HELP, 0, &CWinApp::OnHelp),
};

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_pApp = this; }

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

bool CWinApp::OnCmdMsg(UINT id, UINT code)
{
    LRESULT ignored = 0;
    return msgmap::Dispatch<CWinApp>(this, kMessageMap, WM_COMMAND, MAKEWPARAM(WORD(id), WORD(code)), 0, ignored);
}

void CWinApp::OnHelp() { AfxMessageBox("No help file is installed for this program.", MB_ICONINFORMATION); }

CString CWinApp::GetAppName() const
{
    if (m_pszAppName && *m_pszAppName)
        return CString(m_pszAppName);
    return ws::LoadString(AFX_IDS_APP_TITLE);
}

CWinApp* AfxGetApp() { return g_pApp; }

CString AfxGetAppName() { return g_pApp ? g_pApp->GetAppName() : ws::LoadString(AFX_IDS_APP_TITLE); }

void AfxEnableControlContainer() { }

int AfxMessageBox(const char* text, UINT type)
{
    HWND owner = g_pApp && g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
    PrepareForModal(owner);
    return ws::MessageBox(owner, text, AfxGetAppName(), type);
}

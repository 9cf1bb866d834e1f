// CWinApp: the application object, and the framework's global helpers.
#pragma once
#include "MessageMap.h"
#include "String.h"
#include "Wnd.h"

// The framework's own command and string ids.
enum : UINT {
    ID_HELP = 0xE146,            // 57670
    AFX_IDS_APP_TITLE = 0xE000,  // the program's name, in the string table
};

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // The program's start; FALSE ends the program without a message loop.
    virtual BOOL InitInstance();
    // The message loop, run when InitInstance answers TRUE.
    virtual int Run();

    // Commands the windows leave unhandled; true when the application took it.
    virtual bool OnCmdMsg(UINT id, UINT code);
    // The framework's help handler.
    void OnHelp();

    // Obsolete switches kept for the program's start-up; modern Windows draws
    // three-dimensional controls and needs no control container set-up.
    BOOL Enable3dControls() { return TRUE; }

    CString GetAppName() const;

    const char* m_pszAppName;
    CWnd* m_pMainWnd = nullptr;

private:
    static const MsgMapEntry<CWinApp> kMessageMap[];
};

CWinApp* AfxGetApp();
// The application's name: the one it was given, else the string table's title.
CString AfxGetAppName();
void AfxEnableControlContainer();
// A box owned by the main window, with the application's name as its caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// CClientApp: the application object; the process runs the control panel.
#pragma once
#include "App.h"

class CClientApp : public CWinApp {
public:
    CClientApp() = default;
    BOOL InitInstance() override;
};

extern CClientApp theApp;

// CAboutDlg: the About box.
#pragma once
#include "Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) { }

protected:
    BOOL OnInitDialog() override;
};

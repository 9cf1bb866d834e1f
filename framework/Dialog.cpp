#include "Dialog.h"

#include "App.h"

const MsgMapEntry<CDialog> CDialog::kMessageMap[] = {
    msgmap::InitDialog(&CDialog::OnInitDialog),    msgmap::Clicked(IDOK, &CDialog::OnOK),
    msgmap::Clicked(IDCANCEL, &CDialog::OnCancel), msgmap::CancelMode(&CDialog::OnCancelMode),
    msgmap::Activate(&CDialog::OnActivate),
};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) { }

bool CDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msgmap::Dispatch<CDialog>(this, kMessageMap, msg, wParam, lParam, result)) {
        // A cancelled mode and a deactivation still get the dialog manager's own
        // processing after ours.
        if (msg == WM_CANCELMODE || msg == WM_ACTIVATE)
            result = DefWindowProc(msg, wParam, lParam);
        return true;
    }
    if (msg == WM_COMMAND && lParam == 0) {
        // Menu and accelerator commands nobody here handles go to the application.
        if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam)))
            return true;
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
}

INT_PTR CDialog::DoModal()
{
    // Without a parent of its own a dialog is owned by the main window, as long
    // as that is another window.
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (CWinApp* app = AfxGetApp(); !parent && app && app->m_pMainWnd && app->m_pMainWnd != this)
        parent = app->m_pMainWnd->m_hWnd;
    PrepareForModal(parent);
    bool reenable = parent && ws::IsWindowEnabled(parent);
    if (reenable)
        ws::EnableWindow(parent, FALSE);
    m_nModalResult = -1;
    HWND hwnd = ws::CreateDialog(int(m_nIDTemplate), parent, this);
    if (!hwnd) {
        if (reenable)
            ws::EnableWindow(parent, TRUE);
        return -1;
    }
    if (m_nModalResult == -1)
        ws::RunModalLoop(hwnd);
    if (reenable)
        ws::EnableWindow(parent, TRUE);
    if (m_hWnd)
        DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::Create(CWnd* parent)
{
    if (parent)
        m_pParentWnd = parent;
    m_nModalResult = -1;
    return ws::CreateDialog(int(m_nIDTemplate), m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, this) != nullptr;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_hWnd)
        ws::EndModalLoop(m_hWnd);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnCancelMode() { CancelChildCapture(); }

void CDialog::OnActivate(UINT state, HWND)
{
    if (state == WA_INACTIVE)
        CancelChildCapture();
}

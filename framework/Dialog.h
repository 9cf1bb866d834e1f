// CDialog: a dialog built from a template, run modally or modelessly.
#pragma once
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog until EndDialog, then destroys its window (through the
    // virtual DestroyWindow) and answers the EndDialog result; -1 when the
    // window could not be made.
    virtual INT_PTR DoModal();
    // Makes the dialog's window without a modal run.
    BOOL Create(CWnd* parent = nullptr);
    void EndDialog(int result);
    bool HasEnded() const { return m_nModalResult != -1; }
    int GetModalResult() const { return m_nModalResult; }

    virtual BOOL OnInitDialog();
    // OK reads every control and ends the dialog only when the read succeeds.
    virtual void OnOK();
    virtual void OnCancel();

    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;

private:
    void OnCancelMode();
    void OnActivate(UINT state, HWND other);
    static const MsgMapEntry<CDialog> kMessageMap[];
};

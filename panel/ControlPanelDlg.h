// CControlPanelDlg: the control panel, Orvanta's one window, and the view of
// the operator session. It turns each message into an intent of the session
// (its message map is the list of them) and shows each of the session's
// effects in its controls, through the data exchange. It keeps nothing of the
// operator's work: that is the session's (session/). The class is defined in
// ControlPanelDlg.cpp (messages, presentation) and PanelExchange.cpp (the data
// exchange and the session's effects).
#pragma once
#include <string>

#include "Controls.h"
#include "Dialog.h"
#include "JogButton.h"
#include "RobotSession.h"
#include "SessionLog.h"
#include "SkypeChannel.h"
#include "resource.h"

class CControlPanelDlg : public CDialog, public IJogTarget, private ISessionView {
public:
    explicit CControlPanelDlg(CWnd* parent = nullptr);

    enum { IDD = IDD_CONTROL_PANEL };
    static constexpr int kJogCount = 12;

    const CLinkController& Link() const { return m_session.Link(); }
    // The jog buttons' holds (they find their parent by this interface).
    void JogStart(int jogId) override { m_session.JogStart(jogId); }
    void JogStop(int jogId) override { m_session.JogStop(jogId); }

    BOOL DestroyWindow() override;
    void OnDataExchangeFailure(int id) override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // --- Messages (ControlPanelDlg.cpp), in the order of the map.
    void OnAttachAnswer(HWND skypeWnd, LPARAM status) { m_channel.OnAttachAnswer(status, skypeWnd); }
    void OnCopyData(HWND from, const COPYDATASTRUCT* data) { m_channel.OnCopyData(from, data); }
    void OnSysCommand(UINT id, LPARAM lParam);
    BOOL OnQueryEndSession() { return m_session.MayDiscardSteps() ? TRUE : FALSE; }
    void OnPaint();
    HCURSOR OnQueryDragIcon() { return HCURSOR(m_hIcon); }
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    void OnTimer(UINT_PTR id) { m_session.Tick(unsigned(id)); }
    void OnSessionPosted() { m_session.RunPosted(); }
    void OnAbout();
    void OnOnTop();
    void OnMoreLess();
    void OnConnect() { m_session.Connect(); }
    void OnDisconnect() { m_session.Disconnect(); }
    void OnMoveTo() { m_session.MoveTo(); }
    void OnCalibrate() { m_session.Calibrate(); }
    void OnGoHome() { m_session.GoHome(); }
    void OnAdd() { m_session.Add(); }
    void OnDel() { m_session.Del(); }
    void OnChg() { m_session.Chg(); }
    void OnSelectStep() { m_session.SelectStep(m_listSteps.GetCurSel()); }
    void OnRec() { m_session.Rec(Checked(IDC_REC)); }
    void OnRun() { m_session.Run(Checked(IDC_RUN)); }
    void OnBackward() { m_session.Backward(Checked(IDC_BACKWARD)); }
    void OnLoad() { m_session.Load(); }
    void OnSave() { m_session.Save(); }
    // Enter reads the form first, as a dialog's own OK does; Enter and Escape
    // close the panel, unsaved steps asked about first.
    void OnOK() override;
    void OnCancel() override;

    bool Checked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
    // The window's compact or expanded size at its display's scale.
    SIZE PanelSize(bool expanded) const;
    // The placement that On Top's box says, and the whole form shown.
    void ShowOnTop();
    // "Session Log...": the log in its viewer, or why there is none.
    void ShowSessionLog();

    // --- The session's effects (PanelExchange.cpp).
    bool Read(PanelForm& form, unsigned parts, bool asked) override;
    void Show(const PanelForm& form, unsigned parts) override;
    void EnableGroup(Group group, bool enable) override;
    Answer Box(const char* text, const char* caption, BoxKind kind) override;
    void Post() override { PostMessage(kSessionPostedMsg); }
    std::filesystem::path AskFile(bool open) override;
    void ShowStepsCleared() override { m_listSteps.ResetContent(); }
    void ShowStepInserted(int at, const std::string& line) override { m_listSteps.InsertString(at, line.c_str()); }
    void ShowStepDeleted(int at) override { m_listSteps.DeleteString(at); }
    void ShowSelection(int at) override { m_listSteps.SetCurSel(at); }
    void ShowStepsLoaded(const std::vector<std::string>& lines, long long fileSize, int selected) override;
    void StartTimer(unsigned id, unsigned periodMs) override { SetTimer(id, periodMs); }
    void StopTimer(unsigned id) override { KillTimer(id); }
    void CancelJog() override { CancelChildCapture(); }
    void Wait(unsigned ms) override { ws::Sleep(ms); }
    // The form's boxes in their order on the panel, the parts named.
    void ExchangeForm(CDataExchange* pDX, PanelForm& form, unsigned parts);

    CListBox m_listSteps;
    CJogButton m_jog[kJogCount];
    HICON m_hIcon;
    // Presentation, the view's own: On Top's box and the window's size.
    int m_bOnTop = 0;
    bool m_bExpanded = false;
    // A read the operator did not ask for is under way: a box that holds no
    // number then neither sounds nor takes the focus.
    bool m_bUnasked = false;

    CSessionLog m_log;
    CSkypeChannel m_channel{*this, m_log};
    CRobotSession m_session{m_channel, *this};

    static const MsgMapEntry<CControlPanelDlg> kMessageMap[];
    // Posted by the session: work that waits for the message under way.
    static constexpr UINT kSessionPostedMsg = WM_APP + 1;
};

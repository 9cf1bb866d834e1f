// CControlPanelDlg: the control panel, the one window of Orvanta.
//
// The panel owns the values shown in the controls and the step list. It wires
// the Skype channel to the link controller, which keeps the link's state and
// shows it through the panel (ILinkView). Its behaviour is spread over the
// folders by subject:
//   panel/       construction, data exchange, enabling, presentation, wiring
//   link/        the Skype channel, the link controller and its supervision
//   robot/       the robot protocol: reports parsed, commands composed
//   trajectory/  the steps as values: step lines, the step list, trajectory files
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "Controls.h"
#include "Dialog.h"
#include "JogButton.h"
#include "LinkController.h"
#include "RobotProtocol.h"
#include "SessionLog.h"
#include "SkypeChannel.h"
#include "StepList.h"
#include "resource.h"

class CControlPanelDlg : public CDialog, private ILinkView {
public:
    explicit CControlPanelDlg(CWnd* parent = nullptr);

    enum { IDD = IDD_CONTROL_PANEL };
    static constexpr int kJogCount = 12;

    // Values and controls. The operator's own actions read and show the whole
    // form with UpdateData; a read answers FALSE when a box holds no number: the
    // read stopped there, and the fields after it keep their values.
    void EnableLinkControls(int enable) override;

    // The link to the robot, read-only: its state is the link controller's.
    const CLinkController& Link() const { return m_link; }
    void SendDatagram(const char* command) { m_link.SendDatagram(command); }

    // A robot report: the datagram's text from its first "$".
    void OnRobotReport(const RobotReport& report);
    // The jog buttons' press and release.
    void SendJogStart(int id);
    void SendJogStop(int id);

    // Presentation. On Top's click: the window follows the box.
    void ToggleOnTop();
    void ShowOnTop();
    void ToggleMoreLess();

    BOOL DestroyWindow() override;
    void OnDataExchangeFailure(int id) override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // Bound to controls (exchange order in DoDataExchange).
    CListBox m_listSteps;
    CJogButton m_jog[kJogCount];
    CString m_strStatus;
    double m_dPitchRead, m_dPitchSet, m_dRollRead, m_dRollSet;
    double m_dXRead, m_dXSet, m_dYRead, m_dYSet, m_dZRead, m_dZSet;
    double m_dHandRead, m_dHandSet;
    CString m_strRobotMessage;
    CString m_strNote;
    double m_dSpeed;
    int m_bRec, m_bOnTop, m_bRun, m_bBackward;

    // The link controls' state.
    std::uint8_t m_bControlsEnabled;

    // Presentation.
    HICON m_hIcon;
    std::uint8_t m_bExpanded;

    void OnAttachAnswer(HWND skypeWnd, LPARAM status) { m_channel.OnAttachAnswer(status, skypeWnd); }
    void OnCopyData(HWND from, const COPYDATASTRUCT* data) { m_channel.OnCopyData(from, data); }
    void OnSysCommand(UINT id, LPARAM lParam);
    BOOL OnQueryEndSession();
    void OnTargetNotSent();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    // The window's compact or expanded size at its display's scale.
    SIZE PanelSize(bool expanded) const;
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    void OnAbout();
    // "Session Log...": the log in its viewer, or why there is none.
    void ShowSessionLog();
    void OnTimer(UINT_PTR id) { m_link.OnTimer(unsigned(id)); }
    void OnExperimentEnd() { m_link.RunExperimentEnd(); }
    void OnConnect() { m_link.CallRobot(); }
    void OnDisconnect() { m_link.CloseRobotLink(); }
    void OnSetPose();
    void OnCalibrate();
    void OnGotoHome();
    void OnRec();
    void OnRun();
    void OnBackward();
    void LoadTrajectory();
    void SaveTrajectory();
    // SAVE's dialog and save; true once the steps are in a file.
    bool SaveSteps();
    // Before the step list is thrown away (a close, LOAD): when it has unsaved
    // changes, asks whether to save them. False when the operator cancelled or
    // the save did not happen: nothing may go on.
    bool MayDiscardSteps();
    // Enter and Escape close the panel, the steps asked about first.
    void OnOK() override;
    void OnCancel() override;

    // Motion.
    // Move To XYZ and STEP; false when the form could not be read and nothing was sent.
    bool SendSetPose();
    void SendCartesianTarget(const RobotPose& target, double speed);
    void EndPlaybackForOperatorMove();
    // The Set values (speed apart) take the Read values: the robot's pose.
    void CopyReadToSet();

    // The step list.
    void AddStep();
    void DeleteStep();
    void ChangeStep();
    void LoadSelectedStep();
    void OnStepEnd();
    // The line of the Set values and the note.
    std::string FormatSetStep() const;
    // Answers the typed groups it changed.
    unsigned TakeStep(const StepLine& step);

    // The boxes the operator types in, in groups: a write that the operator did
    // not ask for shows only those of them that its handler changed.
    enum Typed : unsigned { kTypedPose = 1, kTypedSpeed = 2, kTypedNote = 4 };
    // The news: the status, the Read boxes, the robot's text, and the typed
    // groups named. Check boxes are written by the handler that changes them.
    void PushNews(unsigned typed);
    // A check box's field follows its box at the click; answers the new state.
    int TakeCheck(int id, int& field);
    // RUN unchecked: no step end plays anything until RUN is checked again.
    void EndPlayback();
    // A step end while RUN is checked, and while REC is.
    void PlayNextStep();
    void RecordStep();
    // Sent only while the link controls are enabled; playback's own send, apart
    // from the operator's Move To XYZ.
    void SendPlayedTarget(const std::string& command);
    // ADD and CHG: whether a line of the Set values would read back and its
    // target be sent; when not, a box says refusal.
    bool StepFits(const char* refusal);
    // Posted by a step end that reached a step which cannot be sent: the box
    // comes after the notice has been handled.
    static constexpr UINT kMsgTargetNotSent = WM_USER + 0x100;
    // Posted and not shown yet: another program's message of the same number shows nothing.
    bool m_bTargetNotSentDue = false;

    // A read or write that the operator did not ask for is under way (a robot
    // report, a tick, a notice): the operator may be half-way through typing a
    // number, so a read that stops at it is no error of theirs.
    bool m_bUnasked = false;

    // The link controller's view of the panel. Its reads and writes are never
    // the operator's: the read is silent, the write shows only the news.
    int PullControls() override;
    void PushControls() override { PushNews(0); }
    void SetStatus(const char* text) override { m_strStatus = text; }
    void ShowRobotAlive(const char* text) override;
    void ShowBox(const char* text, const char* caption, Box kind) override;
    void PostBox(const char* text, const char* caption, Box kind) override;
    void StartTimer(unsigned id, unsigned periodMs) override { SetTimer(id, periodMs); }
    void StopTimer(unsigned id) override { KillTimer(id); }
    void PostExperimentEnd() override { PostMessage(kExperimentEndMsg); }
    void CancelJog() override { CancelChildCapture(); }
    void Wait(unsigned ms) override { ws::Sleep(ms); }
    void ShowRobotReport(const RobotReport& report) override { OnRobotReport(report); }

    CSessionLog m_log;
    CSkypeChannel m_channel{*this, m_log};
    CLinkController m_link{m_channel, *this};
    // The trajectory; m_listSteps shows it line for line.
    StepList m_steps;

    static const MsgMapEntry<CControlPanelDlg> kMessageMap[];
    // Posted by the link controller: the end of the experiment, after Skype's notice.
    static constexpr UINT kExperimentEndMsg = WM_APP + 1;
    // Posted with each box the link asks to show later: one message, one box.
    static constexpr UINT kPostedBoxMsg = WM_APP + 2;
    struct PostedBox {
        std::string text, caption;
        Box kind;
    };
    std::deque<PostedBox> m_postedBoxes;
    void OnPostedBox();
};

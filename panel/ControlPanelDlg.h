// CControlPanelDlg: the control panel, the one window of Orvanta.
//
// The panel owns every piece of state the program has: the values shown in the
// controls, the Skype link, the robot link counters and the step list. Its
// behaviour is spread over the folders by subject:
//   panel/       construction, data exchange, enabling, presentation
//   link/        the Skype channel, the link controller and its supervision
//   robot/       the robot protocol: reports parsed, commands composed
//   trajectory/  the steps as values: step lines, the step list, trajectory files
#pragma once
#include <cstdint>

#include "Controls.h"
#include "Dialog.h"
#include "JogButton.h"
#include "RobotProtocol.h"
#include "SessionLog.h"
#include "StepList.h"
#include "resource.h"

class CControlPanelDlg : public CDialog {
public:
    explicit CControlPanelDlg(CWnd* parent = nullptr);

    enum { IDD = IDD_CONTROL_PANEL };
    static constexpr int kJogCount = 12;

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

    // Link state.
    std::uint8_t m_bSkypeLinked;
    HWND m_hSkypeWnd;
    int m_nCallId;
    int m_nStreamId;
    std::uint32_t m_nReplyCount;
    int m_nMissedTicks;
    int m_nRediscoverCountdown;
    std::uint8_t m_bControlsEnabled;

    // Presentation.
    HICON m_hIcon;
    std::uint8_t m_bExpanded;

    // Values and controls. A pull answers FALSE when a box holds no number: the
    // read stopped there, and the fields after it keep their values.
    BOOL PullControls() { return UpdateData(TRUE); }
    void PushControls() { UpdateData(FALSE); }
    void EnableLinkControls(int enable);

    // Skype channel.
    LRESULT SendSkypeCommand(const char* text);
    LRESULT BroadcastDiscover();
    void OnAttachAnswer(LPARAM status, HWND skypeWnd);
    void OnSkypeNotice(const char* notice);
    // A WM_COPYDATA: a notice when it comes from the attached Skype window.
    void OnCopyData(HWND from, const COPYDATASTRUCT* data);

    // Link controller.
    void OpenRobotLink();
    void SendDatagram(const char* command);
    void CallRobot();
    void CloseRobotLink();
    void EndExperiment();
    void StartSupervisionTimer();

    // A robot report: the datagram's text from its first "$".
    void OnRobotReport(const char* payload);
    // The jog buttons' press and release.
    void SendJogStart(int id);
    void SendJogStop(int id);

    // Presentation.
    void ToggleOnTop();
    void ToggleMoreLess();

    BOOL DestroyWindow() override;
    void OnDataExchangeFailure(int id) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();
    // "Session Log...": the log in its viewer, or why there is none.
    void ShowSessionLog();
    void OnTimer(UINT_PTR id);
    void OnSetPose() { SendSetPose(); }
    void OnCalibrate();
    void OnGotoHome();
    void OnRec();
    void OnRun();
    void OnBackward();
    void LoadTrajectory();
    void SaveTrajectory();

    // Motion.
    // Move To XYZ and STEP; false when the form could not be read and nothing was sent.
    bool SendSetPose();
    void SendCartesianTarget(const RobotPose& target, double speed);
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
    void TakeStep(const StepLine& step);
    void CloseDownLink();

    void ShowExperimentEnd(bool closeDown);
    // After a report's pull: everything when it succeeded, else only the report's news.
    void PushReport(BOOL pulled);
    void PushReportNews();
    void EndPlayback(BOOL pulled);
    // ADD and CHG: whether a line of the Set values would read back; when not, a
    // box says refusal.
    bool StepFits(const char* refusal);

    // An EndExperiment is running (its close-down or its box): notices that
    // would run it again leave it alone.
    bool m_bEndingExperiment = false;
    // A close-down is sending its commands. Skype's answers to them (the call
    // finished, the stream gone) end the experiment once, after it, not by a
    // second close-down inside it.
    bool m_bClosingLink = false;
    bool m_bEndPending = false;
    // A robot report is being handled: the operator may be half-way through
    // typing a number, so a pull that stops at it is no error of theirs.
    bool m_bInReport = false;
    // Skype left the last command unanswered within the time limit.
    bool m_bSkypeSilent = false;
    // Sends to Skype under way, nested ones counted: what arrives meanwhile is nested.
    int m_nSendDepth = 0;

    CSessionLog m_log;
    // The trajectory; m_listSteps shows it line for line.
    StepList m_steps;

    static const MsgMapEntry<CControlPanelDlg> kMessageMap[];
};

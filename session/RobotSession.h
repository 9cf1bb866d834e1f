// CRobotSession: the operator's session with the robot, window-free. It owns
// the form, the step list, the link controller (with its supervision),
// playback and recording. The view hands it the operator's intents and Skype's
// messages, and it answers with effects through ISessionView: what to show,
// which controls to switch, which box to put up.
//
// Nothing the session does on its own (a report, a tick, a notice) reads or
// writes a box the operator types in, except what its handler changes (the Set
// values a recording or a playback takes): what the operator is typing stays
// in the boxes until an action of the operator's reads it.
#pragma once
#include <array>
#include <deque>
#include <string>

#include "LinkController.h"
#include "PanelForm.h"
#include "SessionView.h"
#include "StepList.h"

class CRobotSession final : private ILinkView {
public:
    CRobotSession(ISkypeCommands& skype, ISessionView& view) : m_view(view), m_link(skype, *this) { }

    const PanelForm& Form() const { return m_form; }
    const StepList& Steps() const { return m_steps; }
    // The highlighted step; -1 for none.
    int Selected() const { return m_selected; }
    const CLinkController& Link() const { return m_link; }
    // Where the Skype channel hands Skype's answers and notices.
    ISkypeListener& Skype() { return m_link; }

    // Start-up: the discovery. The window is going: the link closes down.
    void Start() { m_link.Start(); }
    void CloseDown() { m_link.CloseDownLink(); }
    // Any timer the session started.
    void Tick(unsigned timerId) { m_link.OnTimer(timerId); }
    // One piece of the work the session posted (ISessionView::Post).
    void RunPosted();

    // The link.
    void Connect() { m_link.CallRobot(); }
    void Disconnect() { m_link.CloseRobotLink(); }

    // Motion. Move To XYZ and STEP send the Set values as typed.
    void MoveTo();
    void JogStart(int jogId);
    void JogStop(int jogId);
    void Calibrate();
    void GoHome();

    // The check boxes, as the click left them.
    void Rec(bool checked);
    void Run(bool checked);
    void Backward(bool checked);

    // The step list: ADD, DEL, CHG, and the operator's choice of a line.
    void Add();
    void Del();
    void Chg();
    void SelectStep(int index);
    // LOAD and SAVE, each behind its file dialog.
    void Load();
    void Save() { SaveSteps(); }
    // Before the steps are thrown away (a close, the end of the user's
    // session): unsaved changes are asked about. False: nothing may go on.
    bool MayDiscardSteps();
    // The operator's read of the form, as OK's: false when a box holds no number.
    bool ReadForm() { return m_view.Read(m_form, kFormTyped, true); }

private:
    using BoxKind = ISessionView::BoxKind;
    static constexpr char kNotSent[] = "The target is out of range and was not sent.";

    // ILinkView: the link's news.
    void ShowStatus(const char* text) override;
    void EnableLinkControls(int enable) override;
    void ShowBox(const char* text, const char* caption, Box kind) override;
    void PostBox(const char* text, const char* caption, Box kind) override;
    void StartTimer(unsigned id, unsigned periodMs) override { m_view.StartTimer(id, periodMs); }
    void StopTimer(unsigned id) override { m_view.StopTimer(id); }
    void PostExperimentEnd() override;
    void CancelJog() override;
    void Wait(unsigned ms) override { m_view.Wait(ms); }
    void ShowRobotReport(const RobotReport& report) override;

    // Motion.
    void SendDatagram(const char* command) { m_link.SendDatagram(command); }
    void SendCartesianTarget(const RobotPose& target, double speed);
    // A move of the operator's own ends a playback.
    void EndPlaybackForOperatorMove();
    bool Ask(const char* question)
    {
        return m_view.Box(question, nullptr, BoxKind::kYesNo) == ISessionView::Answer::kYes;
    }

    // Steps, playback and recording.
    // As a list box takes an index: one outside the list is none (-1).
    int LineOrNone(int at) const;
    void Select(int at);
    void InsertStep(int at, const std::string& line);
    // The Set values and the speed, in a step line's order.
    std::array<double, 7> SetStepValues() const;
    std::string FormatSetStep() const;
    bool StepFits(const char* refusal);
    // The Set values, the speed and (when it has one) the note take the step's;
    // answers the parts it changed.
    unsigned TakeStep(const StepLine& step);
    void OnStepEnd();
    void PlayNextStep();
    void RecordStep();
    void SendPlayedTarget(const std::string& command);
    // RUN unchecked: no step end plays anything until RUN is checked again.
    void EndPlayback();
    bool SaveSteps();

    // What waits for the message under way to be answered.
    struct Posted {
        bool experimentEnd = false;
        std::string text, caption;
        BoxKind kind = BoxKind::kInfo;
    };
    void Post(Posted posted);

    ISessionView& m_view;
    PanelForm m_form;
    StepList m_steps;
    int m_selected = -1;
    // The link controls are on: the Cartesian targets may go out.
    bool m_bControlsEnabled = false;
    std::deque<Posted> m_posted;
    CLinkController m_link;
};

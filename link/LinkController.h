// The link controller: Skype's attachment, its notices in their fixed order of
// tests, the app-to-app connection to the robot station, the call, supervision
// and the close-down. It knows no window: it sends through ISkypeCommands and
// shows through ILinkView.
#pragma once
#include <cstdint>
#include <string>

#include "RobotProtocol.h"
#include "SkypeLink.h"
#include "Supervision.h"

// What the link controller asks of whoever shows the link: the operator
// session. Nothing here reads what the operator types.
class ILinkView {
public:
    enum class Box { kError, kMessage };  // a stop icon, an information icon

    // The status line's next text, shown at once with the rest of the news.
    virtual void ShowStatus(const char* text) = 0;
    // Also gates the Cartesian targets.
    virtual void EnableLinkControls(int enable) = 0;
    virtual void ShowBox(const char* text, const char* caption, Box kind) = 0;
    // The same box, shown once the message under way has been answered (posted):
    // Skype drops a client that holds one of its messages for more than a second.
    virtual void PostBox(const char* text, const char* caption, Box kind) = 0;
    virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
    virtual void StopTimer(unsigned id) = 0;
    // Calls the controller's RunExperimentEnd once the message under way has
    // been answered (a posted message): Skype drops a client that holds one of
    // its messages for more than a second.
    virtual void PostExperimentEnd() = 0;
    // A jog button held stops: its release goes out now.
    virtual void CancelJog() = 0;
    // Blocks the whole program.
    virtual void Wait(unsigned ms) = 0;
    // A datagram from the robot, read.
    virtual void ShowRobotReport(const RobotReport& report) = 0;

protected:
    ~ILinkView() = default;
};

class CLinkController final : public ISkypeListener {
public:
    CLinkController(ISkypeCommands& skype, ILinkView& view) : m_skype(skype), m_view(view) { }

    // Start-up: the discovery, a box when nobody takes it, the link controls off.
    // An attach answer inside the broadcast runs at once. When none has come
    // within ten seconds, the discovery timer says so.
    void Start();

    void OnAttachAnswer(std::intptr_t status) override;
    void OnSkypeNotice(const char* notice) override;
    void OnSkypeGone() override;

    // Connect: a call to the robot's account.
    void CallRobot();
    // Sent whatever the link state is.
    void SendDatagram(const char* command);
    // Disconnect.
    void CloseRobotLink() { CloseDown(Close::kLink); }
    // The window is about to be destroyed.
    void CloseDownLink() { CloseDown(Close::kWindow); }
    // Any timer of the panel: the discovery timer's ticks, or else supervision's.
    void OnTimer(unsigned id);
    // The supervision timer.
    void OnTick();
    // Before the first attachment: the ten seconds start-up gives Skype to
    // answer, and the re-discovery after Skype has announced itself.
    void OnDiscoveryTick();
    // The end of the experiment that a notice asked for (PostExperimentEnd).
    void RunExperimentEnd();

    int CallId() const { return m_nCallId; }
    int StreamId() const { return m_nStreamId; }
    bool Linked() const { return m_bSkypeLinked != 0; }
    const CSupervision& Supervision() const { return m_supervision; }

private:
    static constexpr char kNotFoundText[] = "Skype API not found.";

    enum class Close { kLink, kWindow };
    // idle; closing: a close-down is sending its commands; ending: the end of the
    // experiment is shown (its status, close-down and box), or due once the
    // close-down under way is over.
    enum class State { kIdle, kClosing, kEnding };

    void LogOut();
    void StartDiscoveryTimer();
    void StopDiscoveryTimer();
    void OpenRobotLink();
    void CloseDown(Close what);
    void EndExperiment();
    void ShowExperimentEnd(bool closeDown);
    void Send(const std::string& command) { m_skype.Send(command.c_str()); }

    ISkypeCommands& m_skype;
    ILinkView& m_view;
    std::uint8_t m_bSkypeLinked = 0;
    int m_nCallId = 0;
    int m_nStreamId = 0;
    State m_state = State::kIdle;
    // A notice has asked for the end of the experiment; RunExperimentEnd runs it.
    bool m_bEndPosted = false;
    // The supervision timer runs from the first attachment on.
    bool m_bSupervising = false;
    bool m_bDiscoveryTimer = false;
    // Discovery ticks left until "Skype API not found."; 0: not waiting for it.
    int m_nNotFoundTicks = 0;
    CSupervision m_supervision;
};

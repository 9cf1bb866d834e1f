// A Skype client as one attached API client sees it: discovery and attachment,
// the text commands and their replies, status notices, app-to-app streams to the
// robot station (a robotsim::Station behind the robot account) and a video call.
// Portable and deterministic: the model never waits and never sends; every entry
// point returns what Skype would send, in order, and time moves only by Advance.
//
// Each returned item says when the client gets it:
//   kNested  inside the send of the command that caused it (the client's
//            SendMessage has not returned yet), as real Skype may;
//   kPosted  after that send has returned (and for anything not caused by a
//            command: attach answers, timers, faults).
// Items of one batch come nested ones first, then posted ones, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "SkypeApi.h"
#include "robotsim.h"

namespace standin {

class CommandText;

// The client's window handle, as a number.
using ClientId = std::uintptr_t;

// How a discovery is answered while a user is logged in (logged out: always 3).
enum class AttachMode { kSuccess, kPendingThenSuccess, kRefused };

// kSilent: the stream stays up but the station neither gets datagrams nor sends any.
// kOffline: the robot account is not online: connects end without a stream, calls fail.
enum class RobotMode { kAnswering, kSilent, kOffline };

enum class Timing { kNested, kPosted };

struct Outgoing {
    enum class Kind {
        kNotice,        // WM_COPYDATA text to `client`
        kAttach,        // the attach message with lParam `status` to `client`
        kApiAvailable,  // the attach message with lParam 0x8001 to every top-level window
        kNote,          // nothing is sent: a line for the traffic log
    };
    Kind kind = Kind::kNotice;
    Timing timing = Timing::kPosted;
    std::string text;           // the notice, or the note
    ClientId client = 0;        // kNotice, kAttach
    long status = 0;            // kAttach
    std::uint64_t session = 0;  // the attachment a notice belongs to (kAttach: the new one, or 0)
};
using Batch = std::vector<Outgoing>;

struct Config {
    std::string userHandle = "orvanta.operator";  // our own Skype name
    bool loggedIn = true;
    AttachMode attach = AttachMode::kSuccess;
    RobotMode robot = RobotMode::kAnswering;
    bool nestReplies = true;      // replies and immediate notices inside the command's send
    bool rejectVideo = false;     // the far side's video is rejected instead of running
    double pendingSeconds = 1.5;  // the user "thinks" before allowing access
    double connectSeconds = 0.3;  // CONNECT until the stream is up
    double ringSeconds = 2.0;     // RINGING until the robot answers
    double robotLatency = 0.0;    // s from the station to us; 0: posted with the command's batch
    int firstCallId = 1402;
};

struct CallInfo {
    int id = 0;
    std::string partner;
    std::string status;  // UNPLACED ROUTING RINGING INPROGRESS FINISHED FAILED REFUSED
    int duration = 0;    // whole seconds in progress
    std::string videoStatus = "VIDEO_NONE";
    std::string videoSend = "NOT_AVAILABLE";
    std::string videoReceive = "NOT_AVAILABLE";
    bool active() const { return id != 0 && status != "FINISHED" && status != "FAILED" && status != "REFUSED"; }
};

class SkypeModel {
public:
    static constexpr std::size_t kMaxDatagram = 1400;
    static constexpr std::size_t kMaxApplicationName = 32;

    explicit SkypeModel(Config config = {});
    // Its timers point back at it.
    SkypeModel(const SkypeModel&) = delete;
    SkypeModel& operator=(const SkypeModel&) = delete;

    // --- what the glue feeds in
    // The discovery broadcast; `client` is its wParam.
    Batch Discover(ClientId client);
    // Whether a WM_COPYDATA from `from` is taken: only the attached client's are.
    bool Accepts(ClientId from) const;
    // One command text from the attached client (the glue checks Accepts first).
    Batch Command(ClientId from, std::string_view text);
    // Moves time on: timed notices, call durations, the station's motion and reports.
    Batch Advance(double seconds);
    // A send of `session` timed out or was answered 0: Skype counts the client as
    // gone and forgets it (its applications and streams), silently.
    Batch ClientGone(std::uint64_t session);

    // --- faults
    void SetAttachMode(AttachMode mode) { m_config.attach = mode; }
    void SetRobotMode(RobotMode mode) { m_config.robot = mode; }
    void SetNestReplies(bool nested) { m_config.nestReplies = nested; }
    // USERSTATUS LOGGEDOUT, CONNSTATUS LOGGEDOUT; the client is detached, discovery answers 3.
    Batch LogOut();
    // The 0x8001 broadcast; the next discovery is answered 0 with fresh status notices.
    Batch LogIn();
    // The robot's stream breaks: the STREAMS list without it.
    Batch DropStream();
    // The robot side ends the call: a last DURATION and STATUS FINISHED (REFUSED before it was answered).
    Batch FarHangUp();
    // The far side's video is rejected: now if a call runs, and for calls to come.
    Batch RejectVideo();
    // Notices Orvanta does not know or that only look like its own; harmless by its rules.
    Batch Garbage();
    // One notice `bytes` long (the terminating zero not counted), starting with `head`.
    Batch Oversized(std::size_t bytes, std::string_view head = "USER orvanta.robot MOOD_TEXT ");
    // Datagrams for another stream, from another user and for another application.
    Batch ForeignDatagrams();
    // Any text, as a notice.
    Batch Inject(std::string text);
    // A report from the station on the robot's stream, as if the station had sent it.
    Batch RobotReport(std::string_view report);

    // --- state
    const Config& config() const { return m_config; }
    double now() const { return m_now; }
    bool loggedIn() const { return m_config.loggedIn; }
    bool attached() const { return m_client != 0; }
    ClientId client() const { return m_client; }
    std::uint64_t session() const { return m_session; }
    int discoveries() const { return m_discoveries; }
    bool applicationExists(std::string_view name) const { return m_apps.count(std::string(name)) != 0; }
    // The open stream number to the robot account (0: none).
    int robotStream() const;
    // The latest call (id 0: none yet).
    const CallInfo& call() const { return m_call; }
    const robotsim::Station& station() const { return m_station; }
    robotsim::Station& station() { return m_station; }

private:
    struct Stream {
        std::string user;
        int number;
    };
    struct Application {
        std::vector<Stream> streams;
        std::vector<std::string> connecting;
    };
    struct Timer {
        double at;
        std::uint64_t order;
        std::function<void()> fire;
    };
    class Collect;

    // Output of the running entry point.
    void Emit(Timing timing, std::string text);
    void Immediate(std::string text);  // nested when replies are
    void Posted(std::string text);
    void Note(std::string text);
    void After(double seconds, std::function<void()> fire);
    void Detach();

    void AttachSuccess(ClientId client);
    void OnlineNotices(bool afterLogIn);
    void Dispatch(CommandText& cmd);
    void CmdGet(CommandText& cmd, const std::string& reply);
    void CmdSet(CommandText& cmd, const std::string& reply);
    void CmdCreate(CommandText& cmd, const std::string& reply);
    void CmdDelete(CommandText& cmd, const std::string& reply);
    void CmdAlterApplication(CommandText& cmd, const std::string& reply);
    void CmdAlterCall(CommandText& cmd, const std::string& reply);
    void CmdCall(CommandText& cmd, const std::string& reply);

    void FinishConnect(std::string app, std::string user, std::uint64_t session);
    Stream* FindStream(Application& app, std::string_view id);
    std::string StreamList(const Application& app) const;
    void ToRobot(const std::string& app, const Stream& s, std::string_view text);
    void FromRobot(const std::vector<std::string>& reports);
    void DeliverReport(int stream, const std::string& report);

    void CallStep(int id, const char* expected, std::function<void(CallInfo&)> step);
    void StartDurationTicks(int id);
    void EndCall(Timing timing);
    void VideoReceive(Timing timing, const char* status);

    void StepStation(double until);

    Config m_config;
    double m_now = 0;
    Batch* m_out = nullptr;
    Timing m_immediate = Timing::kPosted;

    ClientId m_client = 0;
    ClientId m_pending = 0;
    std::uint64_t m_session = 0;
    std::uint64_t m_sessions = 0;
    bool m_afterLogIn = false;
    int m_discoveries = 0;
    std::vector<ClientId> m_allowed;  // clients the user has let in once
    std::string m_userStatus = "ONLINE";

    std::map<std::string, Application> m_apps;
    std::map<std::string, int> m_streamCounts;  // by user: numbers go up on every connection
    CallInfo m_call;
    int m_nextCallId;

    robotsim::Station m_station;
    std::vector<Timer> m_timers;
    std::uint64_t m_timerOrder = 0;
};

}  // namespace standin

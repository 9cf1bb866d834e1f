// The commands Skype takes from its API client, answered the way the real client
// answers them: upper-case keywords, the arguments as given (Skype names in
// lower case), "#id " only on the reply itself, ERROR replies for what is
// malformed.
#include <algorithm>

#include "CommandText.h"
#include "RobotAccount.h"
#include "SkypeModel.h"

namespace standin {
namespace {

constexpr std::string_view kUserStatuses[] = {"ONLINE", "OFFLINE", "SKYPEME", "AWAY", "NA", "DND", "INVISIBLE"};

// Call set-up, in seconds after the CALL command.
constexpr double kRoutingAt = 0.3;
constexpr double kRoutingAgainAt = 0.6;
constexpr double kRingingAt = 0.9;
constexpr double kVideoStartingAfter = 0.5;  // after INPROGRESS
constexpr double kVideoRunningAfter = 1.5;
constexpr double kVideoSendStartSeconds = 0.5;

std::string Join(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty())
            out += ' ';
        out += w;
    }
    return out;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

}  // namespace

void SkypeModel::Dispatch(CommandText& cmd)
{
    const std::string& reply = cmd.replyPrefix();
    const std::string keyword = Upper(cmd.Next());
    if (keyword.empty()) {
        Immediate(reply + ErrorText(1));
    } else if (keyword == "PROTOCOL") {
        // Protocol 8 is the newest this client speaks; a lower wish is granted.
        int wanted = 0;
        if (!ParseNumber(cmd.Next(), wanted) || wanted < 1)
            Immediate(reply + ErrorText(27));
        else
            Immediate(reply + "PROTOCOL " + std::to_string(std::min(wanted, 8)));
    } else if (keyword == "NAME") {
        Immediate(reply + (cmd.Rest().empty() ? ErrorText(1) : std::string("OK")));
    } else if (keyword == "PING") {
        Immediate(reply + "PONG");
    } else if (keyword == "GET") {
        CmdGet(cmd, reply);
    } else if (keyword == "SET") {
        CmdSet(cmd, reply);
    } else if (keyword == "CREATE") {
        CmdCreate(cmd, reply);
    } else if (keyword == "DELETE") {
        CmdDelete(cmd, reply);
    } else if (keyword == "ALTER") {
        const std::string_view type = cmd.Next();
        if (type.empty())
            Immediate(reply + ErrorText(526));
        else if (EqualsNoCase(type, "APPLICATION"))
            CmdAlterApplication(cmd, reply);
        else if (EqualsNoCase(type, "CALL"))
            CmdAlterCall(cmd, reply);
        else
            Immediate(reply + ErrorText(527));
    } else if (keyword == "CALL") {
        CmdCall(cmd, reply);
    } else {
        Immediate(reply + ErrorText(2));
    }
}

// --- GET / SET

void SkypeModel::CmdGet(CommandText& cmd, const std::string& reply)
{
    const std::string what = Upper(cmd.Next());
    if (what == "CURRENTUSERHANDLE") {
        Immediate(reply + "CURRENTUSERHANDLE " + m_config.userHandle);
    } else if (what == "USERSTATUS") {
        Immediate(reply + "USERSTATUS " + m_userStatus);
    } else if (what == "CONNSTATUS") {
        Immediate(reply + "CONNSTATUS ONLINE");
    } else if (what == "SKYPEVERSION") {
        Immediate(reply + "SKYPEVERSION 2.5.0.130");
    } else if (what == "APPLICATION") {
        const std::string name(cmd.Next());
        const auto app = m_apps.find(name);
        if (app == m_apps.end()) {
            Immediate(reply + ErrorText(543));
            return;
        }
        const std::string property = Upper(cmd.Next());
        const std::string head = reply + "APPLICATION " + name + " " + property + " ";
        if (property == "STREAMS")
            Immediate(head + StreamList(app->second));
        else if (property == "CONNECTING")
            Immediate(head + Join(app->second.connecting));
        else if (property == "SENDING" || property == "RECEIVED")
            Immediate(head);  // datagrams go at once and nothing is ever left to read
        else
            Immediate(reply + ErrorText(544));
    } else if (what == "CALL") {
        int id = 0;
        if (!ParseNumber(cmd.Next(), id)) {
            Immediate(reply + ErrorText(11));
            return;
        }
        if (m_call.id == 0 || id != m_call.id) {
            Immediate(reply + ErrorText(12));
            return;
        }
        const std::string property = Upper(cmd.Next());
        std::string value;
        if (property == "STATUS")
            value = m_call.status;
        else if (property == "DURATION")
            value = std::to_string(m_call.duration);
        else if (property == "PARTNER_HANDLE")
            value = m_call.partner;
        else if (property == "TYPE")
            value = "OUTGOING_P2P";
        else if (property == "VIDEO_STATUS")
            value = m_call.videoStatus;
        else if (property == "VIDEO_SEND_STATUS")
            value = m_call.videoSend;
        else if (property == "VIDEO_RECEIVE_STATUS")
            value = m_call.videoReceive;
        else if (property == "SUBJECT")
            value = "";
        else {
            Immediate(reply + ErrorText(13));
            return;
        }
        Immediate(reply + "CALL " + std::to_string(id) + " " + property + " " + value);
    } else {
        Immediate(reply + ErrorText(7));
    }
}

void SkypeModel::CmdSet(CommandText& cmd, const std::string& reply)
{
    if (cmd.Take("USERSTATUS")) {
        const std::string status = Upper(cmd.Next());
        if (std::find(std::begin(kUserStatuses), std::end(kUserStatuses), status) == std::end(kUserStatuses)) {
            Immediate(reply + ErrorText(28));
            return;
        }
        // The reply, then the notice of the change.
        m_userStatus = status;
        Immediate(reply + "USERSTATUS " + status);
        Posted("USERSTATUS " + status);
        return;
    }
    if (!cmd.Take("CALL")) {
        Immediate(reply + ErrorText(2));
        return;
    }
    int id = 0;
    if (!ParseNumber(cmd.Next(), id)) {
        Immediate(reply + ErrorText(19));
        return;
    }
    if (m_call.id == 0 || id != m_call.id) {
        Immediate(reply + ErrorText(20));
        return;
    }
    const std::string callId = std::to_string(id);
    if (cmd.Take("STATUS")) {
        if (!cmd.Take("FINISHED")) {
            Immediate(reply + ErrorText(1));
        } else if (!m_call.active()) {
            Immediate(reply + ErrorText(24));
        } else {
            // As recorded: the notices of the change come before the reply.
            EndCall(m_immediate);
            Immediate(reply + "CALL " + callId + " STATUS FINISHED");
        }
    } else if (cmd.Take("DTMF")) {
        Immediate(reply + "SET CALL " + callId + " DTMF " + std::string(cmd.Rest()));
    } else {
        Immediate(reply + ErrorText(1));
    }
}

// --- applications

void SkypeModel::CmdCreate(CommandText& cmd, const std::string& reply)
{
    const std::string_view type = cmd.Next();
    if (type.empty()) {
        Immediate(reply + ErrorText(536));
        return;
    }
    if (!EqualsNoCase(type, "APPLICATION")) {
        Immediate(reply + ErrorText(537));
        return;
    }
    const std::string name(cmd.Next());
    if (name.empty() || name.size() > kMaxApplicationName) {
        Immediate(reply + ErrorText(540));
        return;
    }
    if (m_apps.count(name)) {
        Immediate(reply + ErrorText(541));
        return;
    }
    m_apps[name];
    Immediate(reply + "CREATE APPLICATION " + name);
}

void SkypeModel::CmdDelete(CommandText& cmd, const std::string& reply)
{
    const std::string_view type = cmd.Next();
    if (type.empty()) {
        Immediate(reply + ErrorText(538));
        return;
    }
    if (!EqualsNoCase(type, "APPLICATION")) {
        Immediate(reply + ErrorText(539));
        return;
    }
    const std::string name(cmd.Next());
    if (name.empty()) {
        Immediate(reply + ErrorText(542));
        return;
    }
    if (!m_apps.count(name)) {
        Immediate(reply + ErrorText(541));
        return;
    }
    // Its streams close with it; Skype says nothing more about them.
    m_apps.erase(name);
    Immediate(reply + "DELETE APPLICATION " + name);
}

SkypeModel::Stream* SkypeModel::FindStream(Application& app, std::string_view id)
{
    const std::size_t colon = id.rfind(':');
    int number = 0;
    if (colon == std::string_view::npos || !ParseNumber(id.substr(colon + 1), number))
        return nullptr;
    const std::string user = Lower(id.substr(0, colon));
    for (Stream& s : app.streams)
        if (s.user == user && s.number == number)
            return &s;
    return nullptr;
}

std::string SkypeModel::StreamList(const Application& app) const
{
    std::vector<std::string> ids;
    for (const Stream& s : app.streams)
        ids.push_back(s.user + ":" + std::to_string(s.number));
    return Join(ids);
}

void SkypeModel::CmdAlterApplication(CommandText& cmd, const std::string& reply)
{
    const std::string name(cmd.Next());
    const std::string action = Upper(cmd.Next());
    if (name.empty() || action.empty()) {
        Immediate(reply + ErrorText(545));
        return;
    }
    static constexpr std::string_view kActions[] = {"CONNECT", "DISCONNECT", "DATAGRAM", "WRITE", "READ"};
    if (std::find(std::begin(kActions), std::end(kActions), action) == std::end(kActions)) {
        Immediate(reply + ErrorText(546));
        return;
    }
    const auto found = m_apps.find(name);
    if (found == m_apps.end()) {
        Immediate(reply + ErrorText(541));
        return;
    }
    Application& app = found->second;
    const std::string echo = reply + "ALTER APPLICATION " + name + " " + action + " ";
    const std::string notice = "APPLICATION " + name + " ";

    if (action == "CONNECT") {
        const std::string user = Lower(cmd.Next());
        if (user.empty()) {
            Immediate(reply + ErrorText(547));
            return;
        }
        Immediate(echo + user);
        if (std::find(app.connecting.begin(), app.connecting.end(), user) == app.connecting.end())
            app.connecting.push_back(user);
        Immediate(notice + "CONNECTING " + Join(app.connecting));
        const std::uint64_t session = m_session;
        After(m_config.connectSeconds, [this, name, user, session] { FinishConnect(name, user, session); });
        return;
    }

    const std::string_view id = cmd.Next();
    Stream* stream = FindStream(app, id);
    if (!stream) {
        const int code = action == "DISCONNECT" ? 548 : action == "WRITE" ? 549 : action == "READ" ? 550 : 551;
        Immediate(reply + ErrorText(code));
        return;
    }
    const std::string streamId = stream->user + ":" + std::to_string(stream->number);

    if (action == "DISCONNECT") {
        app.streams.erase(app.streams.begin() + (stream - app.streams.data()));
        Immediate(echo + streamId);
        Immediate(notice + "STREAMS " + StreamList(app));
    } else if (action == "DATAGRAM") {
        const std::string_view text = cmd.Rest();
        Immediate(echo + streamId);
        if (text.empty()) {
            Note("empty datagram: nothing sent");
        } else if (text.size() > kMaxDatagram) {
            Note("datagram over " + std::to_string(kMaxDatagram) + " bytes: not sent");
        } else {
            Immediate(notice + "SENDING " + streamId + "=" + std::to_string(text.size()));
            Posted(notice + "SENDING ");
            ToRobot(name, *stream, text);
        }
    } else if (action == "WRITE") {
        // Stream writes are counted two bytes long, as Skype 1.4 does; the station reads datagrams only.
        Immediate(echo + streamId);
        Immediate(notice + "SENDING " + streamId + "=" + std::to_string(cmd.Rest().size() + 2));
        Posted(notice + "SENDING ");
    } else {
        Immediate(echo + streamId + " ");
    }
}

void SkypeModel::FinishConnect(std::string name, std::string user, std::uint64_t session)
{
    if (session == 0 || session != m_session)
        return;
    const auto found = m_apps.find(name);
    if (found == m_apps.end())
        return;
    Application& app = found->second;
    app.connecting.erase(std::remove(app.connecting.begin(), app.connecting.end(), user), app.connecting.end());
    Posted("APPLICATION " + name + " CONNECTING " + Join(app.connecting));
    const bool reachable = user == kRobotAccount && name == kApplicationName && m_config.robot != RobotMode::kOffline;
    if (!reachable) {
        Note(user + " has no application " + name + " online: no stream");
        return;
    }
    const bool open =
        std::any_of(app.streams.begin(), app.streams.end(), [&](const Stream& s) { return s.user == user; });
    if (!open)
        app.streams.push_back(Stream{user, ++m_streamCounts[user]});
    Posted("APPLICATION " + name + " STREAMS " + StreamList(app));
}

// --- calls

void SkypeModel::CmdCall(CommandText& cmd, const std::string& reply)
{
    // Several targets would make a conference; the first one is called.
    std::string_view targets = cmd.Rest();
    const std::string user = Lower(Trim(targets.substr(0, targets.find(','))));
    if (user.empty() || user.find(' ') != std::string::npos) {
        Immediate(reply + ErrorText(34));
        return;
    }
    if (user == Lower(m_config.userHandle)) {
        Immediate(reply + ErrorText(94));
        return;
    }
    if (m_call.active() && m_call.partner == user) {
        Immediate(reply + ErrorText(101));
        return;
    }
    m_call = CallInfo{};
    m_call.id = m_nextCallId++;
    m_call.partner = user;
    m_call.status = "UNPLACED";
    const int id = m_call.id;
    const std::string head = "CALL " + std::to_string(id) + " ";
    // The status notice comes before the reply that says the same.
    Immediate(head + "STATUS UNPLACED");
    Immediate(reply + head + "STATUS UNPLACED");

    After(kRoutingAt, [this, id, head] {
        CallStep(id, "UNPLACED", [&](CallInfo& c) {
            c.status = "ROUTING";
            Posted(head + "STATUS ROUTING");
            Posted(head + "SUBJECT ");
        });
    });
    After(kRoutingAgainAt,
          [this, id, head] { CallStep(id, "ROUTING", [&](CallInfo&) { Posted(head + "STATUS ROUTING"); }); });
    After(kRingingAt, [this, id, head] {
        CallStep(id, "ROUTING", [&](CallInfo& c) {
            c.status = "RINGING";
            Posted(head + "STATUS RINGING");
            Posted(head + "STATUS RINGING");
            Posted(head + "VAA_INPUT_STATUS FALSE");
        });
    });
    const double answerAt = kRingingAt + m_config.ringSeconds;
    After(answerAt, [this, id, head] {
        CallStep(id, "RINGING", [&](CallInfo& c) {
            if (c.partner != kRobotAccount || m_config.robot == RobotMode::kOffline) {
                // Nobody else exists here; the robot, when offline, cannot be reached.
                Posted(head + "FAILUREREASON " + (c.partner == kRobotAccount ? "3" : "2"));
                c.status = "FAILED";
                Posted(head + "STATUS FAILED");
                return;
            }
            c.status = "INPROGRESS";
            c.videoSend = "AVAILABLE";
            c.videoStatus = "VIDEO_BOTH_ENABLED";
            c.videoReceive = "AVAILABLE";
            Posted(head + "STATUS INPROGRESS");
            Posted(head + "VIDEO_SEND_STATUS AVAILABLE");
            Posted(head + "VIDEO_STATUS VIDEO_BOTH_ENABLED");
            StartDurationTicks(id);
        });
    });
    After(answerAt + kVideoStartingAfter, [this, id] {
        CallStep(id, "INPROGRESS", [&](CallInfo& c) {
            if (c.videoReceive == "AVAILABLE")
                VideoReceive(Timing::kPosted, "STARTING");
        });
    });
    After(answerAt + kVideoRunningAfter, [this, id] {
        CallStep(id, "INPROGRESS", [&](CallInfo& c) {
            if (c.videoReceive == "STARTING")
                VideoReceive(Timing::kPosted, m_config.rejectVideo ? "REJECTED" : "RUNNING");
        });
    });
}

void SkypeModel::CallStep(int id, const char* expected, std::function<void(CallInfo&)> step)
{
    if (m_call.id != id || m_call.status != expected)
        return;
    step(m_call);
}

// The heartbeat: one DURATION a second while the call is in progress.
void SkypeModel::StartDurationTicks(int id)
{
    After(1.0, [this, id] {
        CallStep(id, "INPROGRESS", [&](CallInfo& c) {
            ++c.duration;
            Posted("CALL " + std::to_string(id) + " DURATION " + std::to_string(c.duration));
            StartDurationTicks(id);
        });
    });
}

void SkypeModel::EndCall(Timing timing)
{
    if (!m_call.active())
        return;
    const std::string head = "CALL " + std::to_string(m_call.id) + " ";
    Emit(timing, head + "DURATION " + std::to_string(m_call.duration));
    m_call.status = "FINISHED";
    Emit(timing, head + "STATUS FINISHED");
}

void SkypeModel::VideoReceive(Timing timing, const char* status)
{
    m_call.videoReceive = status;
    Emit(timing, "CALL " + std::to_string(m_call.id) + " VIDEO_RECEIVE_STATUS " + status);
}

void SkypeModel::CmdAlterCall(CommandText& cmd, const std::string& reply)
{
    int id = 0;
    if (!ParseNumber(cmd.Next(), id) || m_call.id == 0 || id != m_call.id) {
        Immediate(reply + ErrorText(555));
        return;
    }
    const std::string action = Upper(cmd.Next());
    const std::string callId = std::to_string(id);
    const std::string echo = reply + "ALTER CALL " + callId + " " + action;
    const std::string head = "CALL " + callId + " ";
    const bool inProgress = m_call.status == "INPROGRESS";

    if (action == "HANGUP" || action == "END") {
        std::string how;
        if (action == "END") {
            how = Upper(cmd.Next());
            if (how != "HANGUP" && how != "REDIRECT_TO_VOICEMAIL" && how != "FORWARD_CALL") {
                Immediate(reply + ErrorText(560));
                return;
            }
            how.insert(0, " ");
        }
        // A finished call stays finished: no second STATUS FINISHED.
        if (!m_call.active()) {
            Immediate(reply + ErrorText(24));
            return;
        }
        Immediate(echo + how);
        EndCall(m_immediate);
    } else if (action == "ANSWER" || action == "HOLD" || action == "RESUME" || action == "TRANSFER" ||
               action == "JOIN_CONFERENCE") {
        Immediate(echo);
    } else if (action == "DTMF") {
        Immediate(echo + " " + std::string(cmd.Rest()));
    } else if (action == "START_VIDEO_SEND") {
        Immediate(echo);
        if (inProgress && m_call.videoSend == "AVAILABLE") {
            m_call.videoSend = "STARTING";
            Posted(head + "VIDEO_SEND_STATUS STARTING");
            After(kVideoSendStartSeconds, [this, id, head] {
                CallStep(id, "INPROGRESS", [&](CallInfo& c) {
                    if (c.videoSend != "STARTING")
                        return;
                    c.videoSend = "RUNNING";
                    Posted(head + "VIDEO_SEND_STATUS RUNNING");
                });
            });
        }
    } else if (action == "STOP_VIDEO_SEND") {
        Immediate(echo);
        if (inProgress && m_call.videoSend != "AVAILABLE") {
            m_call.videoSend = "AVAILABLE";
            Posted(head + "VIDEO_SEND_STATUS STOPPING");
            Posted(head + "VIDEO_SEND_STATUS AVAILABLE");
        }
    } else if (action == "START_VIDEO_RECEIVE") {
        Immediate(echo);
        if (inProgress && m_call.videoReceive == "AVAILABLE") {
            VideoReceive(Timing::kPosted, "STARTING");
            VideoReceive(Timing::kPosted, m_config.rejectVideo ? "REJECTED" : "RUNNING");
        }
    } else if (action == "STOP_VIDEO_RECEIVE") {
        Immediate(echo);
        if (inProgress && m_call.videoReceive == "RUNNING") {
            VideoReceive(Timing::kPosted, "STOPPING");
            VideoReceive(Timing::kPosted, "AVAILABLE");
        }
    } else {
        Immediate(reply + ErrorText(560));
    }
}

}  // namespace standin

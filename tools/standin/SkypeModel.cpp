// Attachment, time, the robot's side and the faults. The commands themselves
// are in Commands.cpp.
#include "SkypeModel.h"

#include <algorithm>
#include <cmath>

#include "CommandText.h"
#include "FaultTexts.h"
#include "RobotAccount.h"

namespace standin {
namespace {
// s: a timer this close past the end of an Advance is due (sums of steps round).
constexpr double kTimeSlack = 1e-9;
}  // namespace

// Points the model's output at a fresh batch for one entry point.
class SkypeModel::Collect {
public:
    Collect(SkypeModel& model, Timing immediate) : m_model(model), m_savedOut(model.m_out), m_savedTiming(model.m_immediate)
    {
        model.m_out = &m_batch;
        model.m_immediate = immediate;
    }
    ~Collect()
    {
        m_model.m_out = m_savedOut;
        m_model.m_immediate = m_savedTiming;
    }
    Collect(const Collect&) = delete;
    Collect& operator=(const Collect&) = delete;

    // Nested items reach the client before anything posted, whatever order they were made in.
    Batch Take()
    {
        std::stable_partition(m_batch.begin(), m_batch.end(),
                              [](const Outgoing& o) { return o.timing == Timing::kNested; });
        return std::move(m_batch);
    }

private:
    SkypeModel& m_model;
    Batch m_batch;
    Batch* m_savedOut;
    Timing m_savedTiming;
};

SkypeModel::SkypeModel(Config config) : m_config(std::move(config)), m_nextCallId(m_config.firstCallId) { }

// --- output

void SkypeModel::Emit(Timing timing, std::string text)
{
    // Nobody attached, nobody to tell.
    if (!m_out || m_client == 0)
        return;
    Outgoing o;
    o.kind = Outgoing::Kind::kNotice;
    o.timing = timing;
    o.text = std::move(text);
    o.client = m_client;
    o.session = m_session;
    m_out->push_back(std::move(o));
}

void SkypeModel::Immediate(std::string text) { Emit(m_immediate, std::move(text)); }
void SkypeModel::Posted(std::string text) { Emit(Timing::kPosted, std::move(text)); }

void SkypeModel::Note(std::string text)
{
    if (!m_out)
        return;
    Outgoing o;
    o.kind = Outgoing::Kind::kNote;
    o.text = std::move(text);
    m_out->push_back(std::move(o));
}

void SkypeModel::After(double seconds, std::function<void()> fire)
{
    if (!(seconds > 0)) {
        fire();
        return;
    }
    m_timers.push_back(Timer{m_now + seconds, ++m_timerOrder, std::move(fire)});
}

// --- attachment

Batch SkypeModel::Discover(ClientId client)
{
    Collect collect(*this, Timing::kPosted);
    ++m_discoveries;
    auto answer = [&](long status) {
        Outgoing o;
        o.kind = Outgoing::Kind::kAttach;
        o.client = client;
        o.status = status;
        m_out->push_back(std::move(o));
    };
    if (client == 0) {
        Note("discovery without a window handle: ignored");
    } else if (!m_config.loggedIn) {
        answer(kAttachNotAvailable);
    } else if (m_config.attach == AttachMode::kRefused) {
        answer(kAttachRefused);
    } else if (m_config.attach == AttachMode::kSuccess ||
               std::find(m_allowed.begin(), m_allowed.end(), client) != m_allowed.end()) {
        AttachSuccess(client);
    } else {
        // The user is asked first; a repeated discovery meanwhile is told to wait again.
        answer(kAttachPendingAuthorization);
        if (m_pending != client) {
            m_pending = client;
            After(m_config.pendingSeconds, [this, client] {
                if (m_pending != client || !m_config.loggedIn)
                    return;
                m_pending = 0;
                m_allowed.push_back(client);
                AttachSuccess(client);
            });
        }
    }
    return collect.Take();
}

void SkypeModel::AttachSuccess(ClientId client)
{
    if (m_client != client) {
        if (m_client != 0) {
            Note("another client attaches: the old one is detached");
            Detach();
        }
        m_client = client;
        m_session = ++m_sessions;
    }
    Outgoing o;
    o.kind = Outgoing::Kind::kAttach;
    o.client = client;
    o.status = kAttachSuccess;
    o.session = m_session;
    m_out->push_back(std::move(o));
    OnlineNotices(m_afterLogIn);
    m_afterLogIn = false;
}

void SkypeModel::OnlineNotices(bool afterLogIn)
{
    if (afterLogIn)
        Posted("CONNSTATUS CONNECTING");
    Posted("CONNSTATUS ONLINE");
    Posted("CURRENTUSERHANDLE " + m_config.userHandle);
    Posted("USERSTATUS " + m_userStatus);
}

bool SkypeModel::Accepts(ClientId from) const { return m_client != 0 && from == m_client; }

void SkypeModel::Detach()
{
    m_client = 0;
    m_session = 0;
    m_apps.clear();
}

Batch SkypeModel::ClientGone(std::uint64_t session)
{
    Collect collect(*this, Timing::kPosted);
    if (session == 0 || session != m_session)
        return collect.Take();
    Note("client gone: detached, its applications and streams closed");
    Detach();
    if (m_call.active()) {
        // The station hangs up on an operator whose program has gone.
        m_call.status = "FINISHED";
        Note("call " + std::to_string(m_call.id) + " ended by the robot side");
    }
    return collect.Take();
}

// --- time

Batch SkypeModel::Advance(double seconds)
{
    Collect collect(*this, Timing::kPosted);
    double end = m_now;
    if (std::isfinite(seconds) && seconds > 0)
        end += seconds;
    for (;;) {
        auto due = std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
            return a.at < b.at || (a.at == b.at && a.order < b.order);
        });
        if (due == m_timers.end() || due->at > end + kTimeSlack)
            break;
        const double at = due->at;
        std::function<void()> fire = std::move(due->fire);
        m_timers.erase(due);
        StepStation(at);
        fire();
    }
    StepStation(end);
    return collect.Take();
}

void SkypeModel::StepStation(double until)
{
    if (!(until > m_now))
        return;
    const std::vector<std::string> reports = m_station.Advance(until - m_now);
    m_now = until;
    FromRobot(reports);
}

// --- the robot's side

int SkypeModel::robotStream() const
{
    const auto app = m_apps.find(kApplicationName);
    if (app == m_apps.end())
        return 0;
    for (const Stream& s : app->second.streams)
        if (s.user == kRobotAccount)
            return s.number;
    return 0;
}

void SkypeModel::ToRobot(const std::string& app, const Stream& s, std::string_view text)
{
    if (app != kApplicationName || s.user != kRobotAccount)
        return;
    if (m_config.robot != RobotMode::kAnswering)
        return;
    constexpr std::string_view kWrap = "Msg$";
    if (text.substr(0, kWrap.size()) != kWrap) {
        Note("datagram without Msg$: the station ignores it");
        return;
    }
    FromRobot(m_station.Receive(text.substr(kWrap.size())));
}

void SkypeModel::FromRobot(const std::vector<std::string>& reports)
{
    if (m_config.robot != RobotMode::kAnswering)
        return;
    const int stream = robotStream();
    if (stream == 0)
        return;
    for (const std::string& report : reports) {
        if (m_config.robotLatency > 0)
            After(m_config.robotLatency, [this, stream, report] { DeliverReport(stream, report); });
        else
            DeliverReport(stream, report);
    }
}

void SkypeModel::DeliverReport(int stream, const std::string& report)
{
    // A report still on its way when the stream closed is lost with it.
    if (m_config.robot != RobotMode::kAnswering || stream == 0 || robotStream() != stream)
        return;
    Posted(std::string("APPLICATION ") + kApplicationName + " DATAGRAM " + kRobotAccount + ":" +
           std::to_string(stream) + " Msg$" + report);
}

Batch SkypeModel::RobotReport(std::string_view report)
{
    Collect collect(*this, Timing::kPosted);
    if (robotStream() == 0 || m_config.robot != RobotMode::kAnswering)
        Note("no stream to the robot, or it is silent: report not sent");
    else
        DeliverReport(robotStream(), std::string(report));
    return collect.Take();
}

// --- faults

Batch SkypeModel::LogOut()
{
    Collect collect(*this, Timing::kPosted);
    if (!m_config.loggedIn) {
        Note("already logged out");
        return collect.Take();
    }
    Posted("USERSTATUS LOGGEDOUT");
    Posted("CONNSTATUS LOGGEDOUT");
    m_config.loggedIn = false;
    m_pending = 0;
    if (m_client != 0)
        Note("user logged out: client detached");
    Detach();
    if (m_call.active())
        m_call.status = "FINISHED";
    return collect.Take();
}

Batch SkypeModel::LogIn()
{
    Collect collect(*this, Timing::kPosted);
    if (m_config.loggedIn) {
        Note("already logged in");
        return collect.Take();
    }
    m_config.loggedIn = true;
    m_afterLogIn = true;
    m_userStatus = "ONLINE";
    Outgoing o;
    o.kind = Outgoing::Kind::kApiAvailable;
    o.status = kAttachApiAvailable;
    m_out->push_back(std::move(o));
    return collect.Take();
}

Batch SkypeModel::DropStream()
{
    Collect collect(*this, Timing::kPosted);
    const auto app = m_apps.find(kApplicationName);
    if (robotStream() == 0) {
        Note("no stream to the robot to drop");
        return collect.Take();
    }
    std::vector<Stream>& streams = app->second.streams;
    streams.erase(
        std::remove_if(streams.begin(), streams.end(), [](const Stream& s) { return s.user == kRobotAccount; }),
        streams.end());
    Posted("APPLICATION " + app->first + " STREAMS " + StreamList(app->second));
    return collect.Take();
}

Batch SkypeModel::FarHangUp()
{
    Collect collect(*this, Timing::kPosted);
    if (!m_call.active()) {
        Note("no call to end");
    } else if (m_call.status == "INPROGRESS") {
        EndCall(Timing::kPosted);
    } else {
        // Not answered yet: the far side declines.
        m_call.status = "REFUSED";
        Posted("CALL " + std::to_string(m_call.id) + " STATUS REFUSED");
    }
    return collect.Take();
}

Batch SkypeModel::RejectVideo()
{
    Collect collect(*this, Timing::kPosted);
    m_config.rejectVideo = true;
    if (m_call.active() && m_call.status == "INPROGRESS" && m_call.videoReceive != "REJECTED" &&
        m_call.videoReceive != "NOT_AVAILABLE")
        VideoReceive(Timing::kPosted, "REJECTED");
    return collect.Take();
}

Batch SkypeModel::Garbage()
{
    Collect collect(*this, Timing::kPosted);
    for (std::string& text : GarbageNotices())
        Posted(std::move(text));
    return collect.Take();
}

Batch SkypeModel::Oversized(std::size_t bytes, std::string_view head)
{
    Collect collect(*this, Timing::kPosted);
    Posted(OversizedNotice(bytes, head));
    return collect.Take();
}

Batch SkypeModel::ForeignDatagrams()
{
    Collect collect(*this, Timing::kPosted);
    const int mine = robotStream();
    const auto counted = m_streamCounts.find(kRobotAccount);
    const int other = mine != 0 ? mine + 1 : (counted == m_streamCounts.end() ? 0 : counted->second) + 1;
    const std::string app = std::string("APPLICATION ") + kApplicationName + " DATAGRAM ";
    Posted(app + kRobotAccount + ":" + std::to_string(other) + " Msg$WMRP_D|X3000Y3000Z3000P0R0G0");
    Posted(app + "intruder.account:1 Msg$WMRD_U*Not the robot");
    Posted(std::string("APPLICATION othergame DATAGRAM ") + kRobotAccount + ":" + std::to_string(mine != 0 ? mine : 1) +
           " Msg$WMRD_U*Not our application");
    return collect.Take();
}

Batch SkypeModel::Inject(std::string text)
{
    Collect collect(*this, Timing::kPosted);
    Posted(std::move(text));
    return collect.Take();
}

// --- commands

Batch SkypeModel::Command(ClientId from, std::string_view text)
{
    Collect collect(*this, m_config.nestReplies ? Timing::kNested : Timing::kPosted);
    if (!Accepts(from)) {
        Note("command from a window that is not attached: ignored");
        return collect.Take();
    }
    CommandText cmd(text);
    Dispatch(cmd);
    return collect.Take();
}

}  // namespace standin

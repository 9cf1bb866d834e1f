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
    Collect(SkypeModel& model, Timing immediate) : model_(model), savedOut_(model.out_), savedTiming_(model.immediate_)
    {
        model.out_ = &batch_;
        model.immediate_ = immediate;
    }
    ~Collect()
    {
        model_.out_ = savedOut_;
        model_.immediate_ = savedTiming_;
    }
    Collect(const Collect&) = delete;
    Collect& operator=(const Collect&) = delete;

    // Nested items reach the client before anything posted, whatever order they were made in.
    Batch Take()
    {
        std::stable_partition(batch_.begin(), batch_.end(),
                              [](const Outgoing& o) { return o.timing == Timing::kNested; });
        return std::move(batch_);
    }

private:
    SkypeModel& model_;
    Batch batch_;
    Batch* savedOut_;
    Timing savedTiming_;
};

SkypeModel::SkypeModel(Config config) : config_(std::move(config)), nextCallId_(config_.firstCallId) { }

// --- output

void SkypeModel::Emit(Timing timing, std::string text)
{
    // Nobody attached, nobody to tell.
    if (!out_ || client_ == 0)
        return;
    Outgoing o;
    o.kind = Outgoing::Kind::kNotice;
    o.timing = timing;
    o.text = std::move(text);
    o.client = client_;
    o.session = session_;
    out_->push_back(std::move(o));
}

void SkypeModel::Immediate(std::string text) { Emit(immediate_, std::move(text)); }
void SkypeModel::Posted(std::string text) { Emit(Timing::kPosted, std::move(text)); }

void SkypeModel::Note(std::string text)
{
    if (!out_)
        return;
    Outgoing o;
    o.kind = Outgoing::Kind::kNote;
    o.text = std::move(text);
    out_->push_back(std::move(o));
}

void SkypeModel::After(double seconds, std::function<void()> fire)
{
    if (!(seconds > 0)) {
        fire();
        return;
    }
    timers_.push_back(Timer{now_ + seconds, ++timerOrder_, std::move(fire)});
}

// --- attachment

Batch SkypeModel::Discover(ClientId client)
{
    Collect collect(*this, Timing::kPosted);
    ++discoveries_;
    auto answer = [&](long status) {
        Outgoing o;
        o.kind = Outgoing::Kind::kAttach;
        o.client = client;
        o.status = status;
        out_->push_back(std::move(o));
    };
    if (client == 0) {
        Note("discovery without a window handle: ignored");
    } else if (!config_.loggedIn) {
        answer(kAttachNotAvailable);
    } else if (config_.attach == AttachMode::kRefused) {
        answer(kAttachRefused);
    } else if (config_.attach == AttachMode::kSuccess ||
               std::find(allowed_.begin(), allowed_.end(), client) != allowed_.end()) {
        AttachSuccess(client);
    } else {
        // The user is asked first; a repeated discovery meanwhile is told to wait again.
        answer(kAttachPendingAuthorization);
        if (pending_ != client) {
            pending_ = client;
            After(config_.pendingSeconds, [this, client] {
                if (pending_ != client || !config_.loggedIn)
                    return;
                pending_ = 0;
                allowed_.push_back(client);
                AttachSuccess(client);
            });
        }
    }
    return collect.Take();
}

void SkypeModel::AttachSuccess(ClientId client)
{
    if (client_ != client) {
        if (client_ != 0) {
            Note("another client attaches: the old one is detached");
            Detach();
        }
        client_ = client;
        session_ = ++sessions_;
    }
    Outgoing o;
    o.kind = Outgoing::Kind::kAttach;
    o.client = client;
    o.status = kAttachSuccess;
    o.session = session_;
    out_->push_back(std::move(o));
    OnlineNotices(afterLogIn_);
    afterLogIn_ = false;
}

void SkypeModel::OnlineNotices(bool afterLogIn)
{
    if (afterLogIn)
        Posted("CONNSTATUS CONNECTING");
    Posted("CONNSTATUS ONLINE");
    Posted("CURRENTUSERHANDLE " + config_.userHandle);
    Posted("USERSTATUS " + userStatus_);
}

bool SkypeModel::Accepts(ClientId from) const { return client_ != 0 && from == client_; }

void SkypeModel::Detach()
{
    client_ = 0;
    session_ = 0;
    apps_.clear();
}

Batch SkypeModel::ClientGone(std::uint64_t session)
{
    Collect collect(*this, Timing::kPosted);
    if (session == 0 || session != session_)
        return collect.Take();
    Note("client gone: detached, its applications and streams closed");
    Detach();
    if (call_.active()) {
        // The station hangs up on an operator whose program has gone.
        call_.status = "FINISHED";
        Note("call " + std::to_string(call_.id) + " ended by the robot side");
    }
    return collect.Take();
}

// --- time

Batch SkypeModel::Advance(double seconds)
{
    Collect collect(*this, Timing::kPosted);
    double end = now_;
    if (std::isfinite(seconds) && seconds > 0)
        end += seconds;
    for (;;) {
        auto due = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
            return a.at < b.at || (a.at == b.at && a.order < b.order);
        });
        if (due == timers_.end() || due->at > end + kTimeSlack)
            break;
        const double at = due->at;
        std::function<void()> fire = std::move(due->fire);
        timers_.erase(due);
        StepStation(at);
        fire();
    }
    StepStation(end);
    return collect.Take();
}

void SkypeModel::StepStation(double until)
{
    if (!(until > now_))
        return;
    const std::vector<std::string> reports = station_.Advance(until - now_);
    now_ = until;
    FromRobot(reports);
}

// --- the robot's side

int SkypeModel::robotStream() const
{
    const auto app = apps_.find(kApplicationName);
    if (app == apps_.end())
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
    if (config_.robot != RobotMode::kAnswering)
        return;
    constexpr std::string_view kWrap = "Msg$";
    if (text.substr(0, kWrap.size()) != kWrap) {
        Note("datagram without Msg$: the station ignores it");
        return;
    }
    FromRobot(station_.Receive(text.substr(kWrap.size())));
}

void SkypeModel::FromRobot(const std::vector<std::string>& reports)
{
    if (config_.robot != RobotMode::kAnswering)
        return;
    const int stream = robotStream();
    if (stream == 0)
        return;
    for (const std::string& report : reports) {
        if (config_.robotLatency > 0)
            After(config_.robotLatency, [this, stream, report] { DeliverReport(stream, report); });
        else
            DeliverReport(stream, report);
    }
}

void SkypeModel::DeliverReport(int stream, const std::string& report)
{
    // A report still on its way when the stream closed is lost with it.
    if (config_.robot != RobotMode::kAnswering || stream == 0 || robotStream() != stream)
        return;
    Posted(std::string("APPLICATION ") + kApplicationName + " DATAGRAM " + kRobotAccount + ":" +
           std::to_string(stream) + " Msg$" + report);
}

Batch SkypeModel::RobotReport(std::string_view report)
{
    Collect collect(*this, Timing::kPosted);
    if (robotStream() == 0 || config_.robot != RobotMode::kAnswering)
        Note("no stream to the robot, or it is silent: report not sent");
    else
        DeliverReport(robotStream(), std::string(report));
    return collect.Take();
}

// --- faults

Batch SkypeModel::LogOut()
{
    Collect collect(*this, Timing::kPosted);
    if (!config_.loggedIn) {
        Note("already logged out");
        return collect.Take();
    }
    Posted("USERSTATUS LOGGEDOUT");
    Posted("CONNSTATUS LOGGEDOUT");
    config_.loggedIn = false;
    pending_ = 0;
    if (client_ != 0)
        Note("user logged out: client detached");
    Detach();
    if (call_.active())
        call_.status = "FINISHED";
    return collect.Take();
}

Batch SkypeModel::LogIn()
{
    Collect collect(*this, Timing::kPosted);
    if (config_.loggedIn) {
        Note("already logged in");
        return collect.Take();
    }
    config_.loggedIn = true;
    afterLogIn_ = true;
    userStatus_ = "ONLINE";
    Outgoing o;
    o.kind = Outgoing::Kind::kApiAvailable;
    o.status = kAttachApiAvailable;
    out_->push_back(std::move(o));
    return collect.Take();
}

Batch SkypeModel::DropStream()
{
    Collect collect(*this, Timing::kPosted);
    const auto app = apps_.find(kApplicationName);
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
    if (!call_.active()) {
        Note("no call to end");
    } else if (call_.status == "INPROGRESS") {
        EndCall(Timing::kPosted);
    } else {
        // Not answered yet: the far side declines.
        call_.status = "REFUSED";
        Posted("CALL " + std::to_string(call_.id) + " STATUS REFUSED");
    }
    return collect.Take();
}

Batch SkypeModel::RejectVideo()
{
    Collect collect(*this, Timing::kPosted);
    config_.rejectVideo = true;
    if (call_.active() && call_.status == "INPROGRESS" && call_.videoReceive != "REJECTED" &&
        call_.videoReceive != "NOT_AVAILABLE")
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
    const auto counted = streamCounts_.find(kRobotAccount);
    const int other = mine != 0 ? mine + 1 : (counted == streamCounts_.end() ? 0 : counted->second) + 1;
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
    Collect collect(*this, config_.nestReplies ? Timing::kNested : Timing::kPosted);
    if (!Accepts(from)) {
        Note("command from a window that is not attached: ignored");
        return collect.Take();
    }
    CommandText cmd(text);
    Dispatch(cmd);
    return collect.Take();
}

}  // namespace standin

#include "Scenario.h"

#include <algorithm>

namespace standin {
namespace {

constexpr double kNotAvailableLogInAfter = 5.0;  // s after the first discovery was answered 3
constexpr double kLogOutAfter = 8.0;             // s attached
constexpr double kLogInAfter = 3.0;              // s logged out
constexpr double kStreamLife = 10.0;             // s of stream before it breaks / the robot falls silent
constexpr int kCallLife = 10;                    // s into the call before the robot hangs up
constexpr double kGarbagePeriod = 2.0;
constexpr double kOversizedPeriod = 5.0;
constexpr std::size_t kOversizedBytes = 4096;
constexpr double kForeignPeriod = 2.0;

// In the order of Kind.
const std::vector<Scenario::Entry> kScenarios = {
    {"well-behaved", "a well-behaved Skype with the robot online (the default)"},
    {"refuse", "the user refuses access: attach status 2"},
    {"not-available", "nobody logged in: attach status 3; the user logs in 5 s later (0x8001)"},
    {"pending", "the user is asked first: attach status 1, then 0"},
    {"logout", "8 s after attaching the user logs out, and back in 3 s later"},
    {"drop-stream", "the robot's stream breaks 10 s after it opened"},
    {"far-hangup", "the robot hangs up 10 s into the call"},
    {"reject-video", "the robot's video is rejected"},
    {"garbage", "a burst of garbage notices every 2 s while attached"},
    {"oversized", "a 4096-byte notice every 5 s while attached"},
    {"foreign-stream", "datagrams for other streams every 2 s while the stream is open"},
    {"silent-robot", "the robot stops answering 10 s after its stream opened"},
    {"robot-offline", "the robot account is offline: no stream, calls fail"},
};

Outgoing NoteItem(std::string text)
{
    Outgoing o;
    o.kind = Outgoing::Kind::kNote;
    o.text = std::move(text);
    return o;
}

void Append(Batch& to, Batch from)
{
    for (Outgoing& o : from)
        to.push_back(std::move(o));
}

}  // namespace

const std::vector<Scenario::Entry>& Scenario::List() { return kScenarios; }

std::optional<Scenario> Scenario::Named(std::string_view name)
{
    for (std::size_t i = 0; i < kScenarios.size(); ++i)
        if (kScenarios[i].name == name)
            return Scenario(static_cast<Kind>(i));
    return std::nullopt;
}

std::string_view Scenario::name() const { return kScenarios[static_cast<std::size_t>(m_kind)].name; }

void Scenario::Configure(Config& config) const
{
    switch (m_kind) {
    case Kind::kRefuse: config.attach = AttachMode::kRefused; break;
    case Kind::kNotAvailable: config.loggedIn = false; break;
    case Kind::kPending: config.attach = AttachMode::kPendingThenSuccess; break;
    case Kind::kRejectVideo: config.rejectVideo = true; break;
    case Kind::kRobotOffline: config.robot = RobotMode::kOffline; break;
    default: break;
    }
}

bool Scenario::Every(bool on, double now, double period)
{
    if (!on) {
        m_lastRepeat = -1;
        return false;
    }
    if (m_lastRepeat < 0) {
        m_lastRepeat = now;
        return false;
    }
    if (now < m_lastRepeat + period)
        return false;
    m_lastRepeat = now;
    return true;
}

Batch Scenario::Step(SkypeModel& model)
{
    const double now = model.now();
    if (!model.attached())
        m_attachedAt = -1;
    else if (m_attachedAt < 0)
        m_attachedAt = now;
    if (model.robotStream() == 0)
        m_streamAt = -1;
    else if (m_streamAt < 0)
        m_streamAt = now;

    Batch out;
    switch (m_kind) {
    case Kind::kNotAvailable:
        if (m_stage == 0 && model.discoveries() > 0 && !model.loggedIn()) {
            m_mark = now;
            m_stage = 1;
        } else if (m_stage == 1 && now >= m_mark + kNotAvailableLogInAfter) {
            m_stage = 2;
            Append(out, model.LogIn());
        }
        break;
    case Kind::kLogOut:
        if (m_stage == 0 && m_attachedAt >= 0 && now >= m_attachedAt + kLogOutAfter) {
            m_stage = 1;
            m_mark = now;
            Append(out, model.LogOut());
        } else if (m_stage == 1 && now >= m_mark + kLogInAfter) {
            m_stage = 2;
            Append(out, model.LogIn());
        }
        break;
    case Kind::kDropStream:
        if (m_stage == 0 && m_streamAt >= 0 && now >= m_streamAt + kStreamLife) {
            m_stage = 1;
            Append(out, model.DropStream());
        }
        break;
    case Kind::kFarHangUp:
        if (m_stage == 0 && model.call().status == "INPROGRESS" && model.call().duration >= kCallLife) {
            m_stage = 1;
            Append(out, model.FarHangUp());
        }
        break;
    case Kind::kGarbage:
        if (Every(model.attached(), now, kGarbagePeriod))
            Append(out, model.Garbage());
        break;
    case Kind::kOversized:
        if (Every(model.attached(), now, kOversizedPeriod))
            Append(out, model.Oversized(kOversizedBytes));
        break;
    case Kind::kForeignStream:
        if (Every(model.robotStream() != 0, now, kForeignPeriod))
            Append(out, model.ForeignDatagrams());
        break;
    case Kind::kSilentRobot:
        if (m_stage == 0 && m_streamAt >= 0 && now >= m_streamAt + kStreamLife) {
            m_stage = 1;
            model.SetRobotMode(RobotMode::kSilent);
            out.push_back(NoteItem("the robot stops answering"));
        }
        break;
    default: break;
    }
    return out;
}

}  // namespace standin

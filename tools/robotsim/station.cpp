#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "robotsim.h"
#include "robotsim_command.h"

namespace robotsim {
namespace {

constexpr double kTimeSlack = 1e-9;      // s: events this close to now are due
constexpr double kPositionSlack = 1e-7;  // degrees / mm: at a limit
constexpr double kNever = std::numeric_limits<double>::infinity();

struct Button {
    int id;
    Axis axis;
    int dir;
};

// Panel buttons: pairs of (increase/decrease) per axis as the client numbers them.
constexpr Button kButtons[] = {
    {1001, Axis::kBase, +1},     {1002, Axis::kBase, -1},      // rotate + / -
    {1003, Axis::kShoulder, -1}, {1004, Axis::kShoulder, +1},  // down / up
    {1005, Axis::kElbow, -1},    {1006, Axis::kElbow, +1},     // down / up
    {1007, Axis::kWrist, -1},    {1008, Axis::kWrist, +1},     // down / up
    {1009, Axis::kWristRot, +1}, {1010, Axis::kWristRot, -1},  // rotate + / -
    {1011, Axis::kGrip, -1},     {1012, Axis::kGrip, +1},      // close / open
};

const Button* FindButton(int id)
{
    for (const Button& b : kButtons)
        if (b.id == id)
            return &b;
    return nullptr;
}

std::string Text(std::string_view message)
{
    std::string s(kTextPrefix);
    s += message;
    return s;
}

long long Tenths(double v)
{
    if (!std::isfinite(v))
        return 0;
    // Keeps the report printable for any pose; real ones are far inside this.
    v = std::clamp(v * 10.0, -2e9, 2e9);
    return std::llround(v);
}

}  // namespace

Station::Station() = default;

bool Station::moving() const
{
    if (m_move)
        return true;
    return std::any_of(m_jogs.begin(), m_jogs.end(), [](const Jog& j) { return j.dir != 0; });
}

std::string Station::PositionReport(const Pose& p)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "WMRP_D|X%lldY%lldZ%lldP%lldR%lldG%lld", Tenths(p.x), Tenths(p.y), Tenths(p.z),
                  Tenths(p.pitch), Tenths(p.roll), Tenths(p.grip));
    return buf;
}

double Station::Rate(Axis a) const { return Info(a).maxRate * m_speed / 255.0; }

void Station::Heard()
{
    if (!m_client) {
        m_client = true;
        m_identPending = false;
        m_nextIdent = m_now + kIdentPeriod;
    }
    m_timedOut = false;
    m_lastHeard = m_now;
}

void Station::StopAll()
{
    m_move.reset();
    for (Jog& j : m_jogs)
        j = Jog{};
}

std::vector<std::string> Station::Receive(std::string_view text)
{
    std::vector<std::string> out;
    const Command c = ParseCommand(text);
    if (c.kind == CommandKind::kUnknown)
        return out;
    Heard();

    switch (c.kind) {
    case CommandKind::kUnknown: break;
    case CommandKind::kQueryPosition: out.push_back(PositionReport(pose())); break;
    case CommandKind::kQueryState: out.emplace_back(StateReport()); break;
    case CommandKind::kIdentAnswer: m_identPending = false; break;
    case CommandKind::kLeave:
        StopAll();
        m_client = false;
        m_identPending = false;
        break;
    case CommandKind::kSetHome:
        m_home = m_joints;
        out.push_back(Text("Home position set"));
        break;
    case CommandKind::kGoHome:
        for (Jog& j : m_jogs)
            j = Jog{};
        StartMove(m_home, out);
        break;
    case CommandKind::kTarget: {
        if (!c.valid) {
            out.push_back(Text("Bad target command ignored"));
            break;
        }
        const Pose target{c.x / 10.0, c.y / 10.0, c.z / 10.0, c.pitch / 10.0, c.roll / 10.0, c.grip / 10.0};
        const AxisInfo& grip = Info(Axis::kGrip);
        if (target.grip < grip.min || target.grip > grip.max) {
            out.push_back(Text("Gripper opening out of range"));
            break;
        }
        // A rejected target leaves whatever motion is running alone and ends no step.
        const std::optional<Joints> goal = Inverse(target, m_joints);
        if (!goal) {
            out.push_back(Text("Target out of reach"));
            break;
        }
        m_speed = std::clamp(c.speed, 1, 255);
        for (Jog& j : m_jogs)
            j = Jog{};
        StartMove(*goal, out);
        break;
    }
    case CommandKind::kJogStart:
        if (!c.valid || !FindButton(c.button)) {
            out.push_back(Text("Unknown jog button"));
            break;
        }
        StartJog(c.button, out);
        break;
    case CommandKind::kJogStop: {
        const Button* b = c.valid ? FindButton(c.button) : nullptr;
        if (!b) {
            out.push_back(Text("Unknown jog button"));
            break;
        }
        // Either button of a pair stops the axis.
        m_jogs[static_cast<int>(b->axis)] = Jog{};
        break;
    }
    }
    return out;
}

void Station::StartMove(const Joints& to, std::vector<std::string>& out)
{
    // Joint-interpolated: every axis arrives together, the slowest one sets the time.
    double duration = 0.0;
    for (int i = 0; i < kAxisCount; ++i) {
        const Axis a = static_cast<Axis>(i);
        duration = std::max(duration, std::fabs(Get(to, a) - Get(m_joints, a)) / Rate(a));
    }
    if (duration <= kTimeSlack) {
        m_joints = to;
        m_move.reset();
        out.push_back(PositionReport(pose()));  // the pose reached, then its step end
        out.emplace_back(kStepEnd);
        return;
    }
    m_move = Move{m_joints, to, m_now, duration};
}

void Station::StartJog(int button, std::vector<std::string>& out)
{
    const Button& b = *FindButton(button);
    const AxisInfo& info = Info(b.axis);
    const double v = Get(m_joints, b.axis);
    // Jogging takes over from a Cartesian move, which then ends without a step end.
    m_move.reset();
    Jog& jog = m_jogs[static_cast<int>(b.axis)];
    if ((b.dir > 0 && v >= info.max - kPositionSlack) || (b.dir < 0 && v <= info.min + kPositionSlack)) {
        jog = Jog{};
        out.push_back(Text(std::string(info.name) + " at limit"));
        return;
    }
    jog.dir = b.dir;
}

double Station::NextEvent() const
{
    double next = kNever;
    if (m_move)
        next = std::min(next, m_move->start + m_move->duration);
    for (int i = 0; i < kAxisCount; ++i) {
        const Jog& jog = m_jogs[i];
        if (jog.dir == 0)
            continue;
        const Axis a = static_cast<Axis>(i);
        const double limit = jog.dir > 0 ? Info(a).max : Info(a).min;
        const double toLimit = (limit - Get(m_joints, a)) / (jog.dir * Rate(a));
        next = std::min({next, m_lastHeard + kJogDeadman, m_now + std::max(0.0, toLimit)});
    }
    if (m_client)
        next = std::min({next, m_lastHeard + kClientSilence, m_nextIdent});
    return next;
}

void Station::Integrate(double until)
{
    const double dt = until - m_now;
    m_now = until;
    if (m_move) {
        const double f = std::min(1.0, (m_now - m_move->start) / m_move->duration);
        for (int i = 0; i < kAxisCount; ++i) {
            const Axis a = static_cast<Axis>(i);
            const double from = Get(m_move->from, a);
            Set(m_joints, a, from + (Get(m_move->to, a) - from) * f);
        }
    }
    for (int i = 0; i < kAxisCount; ++i) {
        const Jog& jog = m_jogs[i];
        if (jog.dir == 0)
            continue;
        const Axis a = static_cast<Axis>(i);
        const double v = Get(m_joints, a) + jog.dir * Rate(a) * dt;
        Set(m_joints, a, std::clamp(v, Info(a).min, Info(a).max));
    }
}

void Station::FireDue(std::vector<std::string>& out)
{
    if (m_move && m_now >= m_move->start + m_move->duration - kTimeSlack) {
        m_joints = m_move->to;  // land exactly on the target, free of interpolation noise
        m_move.reset();
        // The pose reached goes out before the step end, so that a client recording
        // the step has it.
        out.push_back(PositionReport(pose()));
        out.emplace_back(kStepEnd);
    }
    for (int i = 0; i < kAxisCount; ++i) {
        Jog& jog = m_jogs[i];
        if (jog.dir == 0)
            continue;
        const Axis a = static_cast<Axis>(i);
        const AxisInfo& info = Info(a);
        const double limit = jog.dir > 0 ? info.max : info.min;
        if (std::fabs(Get(m_joints, a) - limit) <= kPositionSlack) {
            Set(m_joints, a, limit);
            jog = Jog{};
            out.push_back(Text(std::string(info.name) + " at limit"));
        } else if (m_now >= m_lastHeard + kJogDeadman - kTimeSlack) {
            jog = Jog{};
            out.push_back(Text(std::string(info.name) + " jog stopped: the client is silent"));
        }
    }
    if (m_client && m_now >= m_lastHeard + kClientSilence - kTimeSlack) {
        // The client has gone quiet: stop for safety and wait for it to come back.
        StopAll();
        m_client = false;
        m_identPending = false;
        m_timedOut = true;
        out.emplace_back(kStateTimeout);
    }
    if (m_client && m_now >= m_nextIdent - kTimeSlack) {
        m_identPending = true;
        m_nextIdent += kIdentPeriod;
        out.emplace_back(kIdentRequest);
    }
}

std::vector<std::string> Station::Advance(double seconds)
{
    std::vector<std::string> out;
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return out;
    const double end = m_now + seconds;
    // Step from event to event so a long Advance gives the same result as many short ones.
    // Every pass either reaches `end` or fires an event; the cap is only a backstop.
    for (int pass = 0; pass < 100000 && m_now < end; ++pass) {
        Integrate(std::min(end, NextEvent()));
        FireDue(out);
    }
    if (m_now < end)
        Integrate(end);
    return out;
}

}  // namespace robotsim

#include <cmath>

#include "robotsim.h"

namespace robotsim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLimitSlack = 1e-9;  // rounding noise tolerated at a joint limit

double Rad(double deg) { return deg * kPi / 180.0; }
double Deg(double rad) { return rad * 180.0 / kPi; }

// To (-180, 180].
double Wrap180(double a)
{
    a = std::fmod(a, 360.0);
    if (a > 180.0)
        a -= 360.0;
    if (a <= -180.0)
        a += 360.0;
    return a;
}

// Clamps a value within rounding noise of its limits; false when truly outside.
bool FitLimits(Axis a, double& v)
{
    const AxisInfo& info = Info(a);
    if (v < info.min - kLimitSlack || v > info.max + kLimitSlack)
        return false;
    if (v < info.min)
        v = info.min;
    if (v > info.max)
        v = info.max;
    return true;
}

struct Planar {
    double r[5], z[5];
};

Planar Chain(const Joints& j)
{
    const double s = Rad(j.shoulder);
    const double e = Rad(j.shoulder + j.elbow);
    const double w = Rad(j.shoulder + j.elbow + j.wrist);
    Planar p{};
    p.r[0] = 0.0;
    p.z[0] = 0.0;
    p.r[1] = 0.0;
    p.z[1] = kBaseHeight;
    p.r[2] = p.r[1] + kUpperArm * std::cos(s);
    p.z[2] = p.z[1] + kUpperArm * std::sin(s);
    p.r[3] = p.r[2] + kForearm * std::cos(e);
    p.z[3] = p.z[2] + kForearm * std::sin(e);
    p.r[4] = p.r[3] + kTool * std::cos(w);
    p.z[4] = p.z[3] + kTool * std::sin(w);
    return p;
}

double Square(double v) { return v * v; }

}  // namespace

double Get(const Joints& j, Axis a)
{
    switch (a) {
    case Axis::kBase: return j.base;
    case Axis::kShoulder: return j.shoulder;
    case Axis::kElbow: return j.elbow;
    case Axis::kWrist: return j.wrist;
    case Axis::kWristRot: return j.wristRot;
    case Axis::kGrip: return j.grip;
    }
    return 0.0;
}

void Set(Joints& j, Axis a, double value)
{
    switch (a) {
    case Axis::kBase: j.base = value; break;
    case Axis::kShoulder: j.shoulder = value; break;
    case Axis::kElbow: j.elbow = value; break;
    case Axis::kWrist: j.wrist = value; break;
    case Axis::kWristRot: j.wristRot = value; break;
    case Axis::kGrip: j.grip = value; break;
    }
}

Pose Forward(const Joints& j)
{
    const Planar p = Chain(j);
    const double yaw = Rad(j.base);
    Pose out;
    out.x = p.r[4] * std::cos(yaw);
    out.y = p.r[4] * std::sin(yaw);
    out.z = p.z[4];
    out.pitch = Wrap180(j.shoulder + j.elbow + j.wrist);
    out.roll = j.wristRot;
    out.grip = j.grip;
    return out;
}

std::optional<Joints> Inverse(const Pose& t, const Joints& near)
{
    for (double v : {t.x, t.y, t.z, t.pitch, t.roll, t.grip})
        if (!std::isfinite(v))
            return std::nullopt;
    if (t.z < kMinZ)
        return std::nullopt;

    Joints fixed = near;
    fixed.wristRot = t.roll;
    fixed.grip = t.grip;
    if (!FitLimits(Axis::kWristRot, fixed.wristRot) || !FitLimits(Axis::kGrip, fixed.grip))
        return std::nullopt;

    // Wrist axis position in the arm's plane, from the tool tip back along the tool.
    const double reach = std::hypot(t.x, t.y);
    const double phi = Rad(t.pitch);
    const double along = std::cos(phi) * kTool;
    const double wz = t.z - kBaseHeight - std::sin(phi) * kTool;

    std::optional<Joints> best;
    double bestCost = 0.0;
    // The arm may face the target (reach > 0) or turn away and reach back over itself.
    for (int facing : {1, -1}) {
        double base = reach < 1e-9 ? near.base : Deg(std::atan2(t.y, t.x));
        if (facing < 0)
            base = Wrap180(base + 180.0);
        if (!FitLimits(Axis::kBase, base))
            continue;
        const double wr = facing * reach - along;
        double c2 = (wr * wr + wz * wz - Square(kUpperArm) - Square(kForearm)) / (2.0 * kUpperArm * kForearm);
        if (c2 > 1.0 + 1e-12 || c2 < -1.0 - 1e-12)
            continue;
        c2 = std::fmin(1.0, std::fmax(-1.0, c2));
        for (int bend : {-1, 1}) {
            const double q2 = bend * std::acos(c2);
            const double q1 =
                std::atan2(wz, wr) - std::atan2(kForearm * std::sin(q2), kUpperArm + kForearm * std::cos(q2));
            Joints j = fixed;
            j.base = base;
            j.shoulder = Wrap180(Deg(q1));
            j.elbow = Deg(q2);
            j.wrist = Wrap180(t.pitch - j.shoulder - j.elbow);
            if (!FitLimits(Axis::kShoulder, j.shoulder) || !FitLimits(Axis::kElbow, j.elbow) ||
                !FitLimits(Axis::kWrist, j.wrist))
                continue;
            const double cost = Square(j.base - near.base) + Square(j.shoulder - near.shoulder) +
                Square(j.elbow - near.elbow) + Square(j.wrist - near.wrist);
            if (!best || cost < bestCost) {
                best = j;
                bestCost = cost;
            }
        }
    }
    return best;
}

SideView Side(const Joints& j)
{
    const Planar p = Chain(j);
    SideView v{};
    v.yaw = j.base;
    for (int i = 0; i < 5; ++i)
        v.points[i] = {p.r[i], p.z[i]};
    return v;
}

std::array<Point3, 5> JointPositions(const Joints& j)
{
    const Planar p = Chain(j);
    const double c = std::cos(Rad(j.base)), s = std::sin(Rad(j.base));
    std::array<Point3, 5> out{};
    for (int i = 0; i < 5; ++i)
        out[i] = {p.r[i] * c, p.r[i] * s, p.z[i]};
    return out;
}

}  // namespace robotsim

#include "ArmSketch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace standin {
namespace {

constexpr double kMargin = 20.0;  // mm around the reach

std::string Fixed(double v)
{
    char buf[32];
    // Keeps "-0.0" off the screen.
    if (std::fabs(v) < 0.05)
        v = 0.0;
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

}  // namespace

ViewMap::ViewMap(Rect panel, double uMin, double uMax, double vMin, double vMax)
{
    const double width = std::max(1.0, panel.right - panel.left);
    const double height = std::max(1.0, panel.bottom - panel.top);
    m_scale = std::min(width / (uMax - uMin), height / (vMax - vMin));
    // Centre the model window in the panel.
    m_x0 = panel.left + (width - (uMax - uMin) * m_scale) / 2 - uMin * m_scale;
    m_y0 = panel.top + (height - (vMax - vMin) * m_scale) / 2 + vMax * m_scale;
}

Point ViewMap::operator()(double u, double v) const { return {m_x0 + u * m_scale, m_y0 - v * m_scale}; }

ArmSketch Sketch(const robotsim::Joints& joints, Rect topPanel, Rect sidePanel)
{
    const double r = kReach + kMargin;
    const ViewMap top(topPanel, -r, r, -r, r);
    const ViewMap side(sidePanel, -r, r, -kMargin, robotsim::kBaseHeight + r);

    ArmSketch s{};
    const auto points = robotsim::JointPositions(joints);
    const robotsim::SideView view = robotsim::Side(joints);
    for (std::size_t i = 0; i < points.size(); ++i) {
        s.top[i] = top(points[i].x, points[i].y);
        s.side[i] = side(view.points[i].r, view.points[i].z);
    }

    // The jaws lie along the tool, open across it by the gripper's opening.
    const robotsim::SidePoint wrist = view.points[3], tip = view.points[4];
    double dr = tip.r - wrist.r, dz = tip.z - wrist.z;
    const double length = std::hypot(dr, dz);
    if (length > 1e-9) {
        dr /= length;
        dz /= length;
    } else {
        dr = 0;
        dz = -1;
    }
    const double half = std::max(0.0, joints.grip) / 2;
    const double nr = -dz * half, nz = dr * half;
    s.jawA = {side(tip.r - dr * kJawLength + nr, tip.z - dz * kJawLength + nz), side(tip.r + nr, tip.z + nz)};
    s.jawB = {side(tip.r - dr * kJawLength - nr, tip.z - dz * kJawLength - nz), side(tip.r - nr, tip.z - nz)};

    s.reachCentre = top(0, 0);
    s.reachRadius = kReach * top.scale();
    s.tableLeft = side(-r, 0);
    s.tableRight = side(r, 0);
    return s;
}

std::string PoseText(const robotsim::Pose& p)
{
    return "X " + Fixed(p.x) + "  Y " + Fixed(p.y) + "  Z " + Fixed(p.z) + "  P " + Fixed(p.pitch) + "  R " +
        Fixed(p.roll) + "  G " + Fixed(p.grip);
}

std::string JointText(const robotsim::Joints& j)
{
    std::string out;
    for (int i = 0; i < robotsim::kAxisCount; ++i) {
        const auto axis = static_cast<robotsim::Axis>(i);
        if (!out.empty())
            out += "  ";
        out += robotsim::Info(axis).name;
        out += ' ';
        out += Fixed(robotsim::Get(j, axis));
    }
    return out;
}

}  // namespace standin

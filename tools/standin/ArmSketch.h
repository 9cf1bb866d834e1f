// Where the arm's parts go in the stand-in's drawing: millimetres mapped into a
// top-view and a side-view panel, as plain numbers any painter can use.
#pragma once

#include <array>
#include <string>

#include "robotsim.h"

namespace standin {

struct Point {
    double x, y;  // pixels, y down
};
struct Rect {
    double left, top, right, bottom;
};

// One uniform scale from a window of the model (u right, v up, mm) into a
// panel, centred, keeping its proportions.
class ViewMap {
public:
    ViewMap(Rect panel, double uMin, double uMax, double vMin, double vMax);
    Point operator()(double u, double v) const;
    double scale() const { return m_scale; }  // pixels per mm

private:
    double m_scale, m_x0, m_y0;
};

struct ArmSketch {
    // Base foot, shoulder, elbow, wrist, tool tip.
    std::array<Point, 5> top;   // seen from above: +X right, +Y up
    std::array<Point, 5> side;  // in the arm's plane: reach right, height up
    // Side view gripper: two jaws, each from its root to the tool tip's level.
    std::array<Point, 2> jawA, jawB;
    // Top view: the circle the tip can reach; side view: the table.
    Point reachCentre;
    double reachRadius;
    Point tableLeft, tableRight;
};

inline constexpr double kReach = robotsim::kUpperArm + robotsim::kForearm + robotsim::kTool;
inline constexpr double kJawLength = 25.0;  // mm

ArmSketch Sketch(const robotsim::Joints& joints, Rect topPanel, Rect sidePanel);

// "X 150.0  Y 0.0  Z 170.0  P -90.0  R 0.0  G 30.0"
std::string PoseText(const robotsim::Pose& pose);
// "Base 0.0  Shoulder 90.0  Elbow -90.0  Wrist -90.0  Wrist rotation 0.0  Gripper 30.0"
std::string JointText(const robotsim::Joints& joints);

}  // namespace standin

#include <gtest/gtest.h>

#include <cmath>

#include "ArmSketch.h"

namespace standin {
namespace {

constexpr Rect kTopPanel{10, 20, 210, 220};    // 200 x 200
constexpr Rect kSidePanel{10, 240, 410, 440};  // 400 x 200

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool Inside(Point p, Rect r) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

TEST(ViewMap, KeepsProportionsAndCentres)
{
    const ViewMap map(Rect{0, 0, 400, 200}, -10, 10, 0, 10);
    EXPECT_DOUBLE_EQ(map.scale(), 20.0);  // height decides: 200 px for 10 mm
    const Point lowLeft = map(-10, 0), highRight = map(10, 10);
    EXPECT_DOUBLE_EQ(lowLeft.x, 0.0);
    EXPECT_DOUBLE_EQ(lowLeft.y, 200.0);  // up is up
    EXPECT_DOUBLE_EQ(highRight.x, 400.0);
    EXPECT_DOUBLE_EQ(highRight.y, 0.0);
    const ViewMap narrow(Rect{0, 0, 100, 400}, -1, 1, -1, 1);
    EXPECT_DOUBLE_EQ(narrow(0, 0).y, 200.0);  // centred in the spare height
}

TEST(Sketch, HomePoseFitsAndShowsTheGripperOpening)
{
    const ArmSketch s = Sketch(robotsim::kHomeJoints, kTopPanel, kSidePanel);
    for (Point p : s.top)
        EXPECT_TRUE(Inside(p, kTopPanel)) << p.x << "," << p.y;
    for (Point p : s.side)
        EXPECT_TRUE(Inside(p, kSidePanel)) << p.x << "," << p.y;

    const double scale = 200.0 / (robotsim::kBaseHeight + kReach + 40.0);
    // Tool pointing down: the jaws hang vertically, 30 mm apart.
    EXPECT_NEAR(Distance(s.jawA[1], s.jawB[1]), 30.0 * scale, 1e-9);
    EXPECT_NEAR(s.jawA[0].x, s.jawA[1].x, 1e-9);
    EXPECT_NEAR(s.jawA[1].y - s.jawA[0].y, kJawLength * scale, 1e-9);
    // The tip is 150 mm out and 170 mm up from the foot.
    EXPECT_NEAR(s.side[4].x - s.side[0].x, 150.0 * scale, 1e-9);
    EXPECT_NEAR(s.side[0].y - s.side[4].y, 170.0 * scale, 1e-9);
    EXPECT_NEAR(s.tableLeft.y, s.side[0].y, 1e-9);
}

TEST(Sketch, TopViewTurnsWithTheBase)
{
    robotsim::Joints j = robotsim::kHomeJoints;
    j.base = 90;  // towards +Y: up on the screen
    const ArmSketch s = Sketch(j, kTopPanel, kSidePanel);
    EXPECT_NEAR(s.top[4].x, s.reachCentre.x, 1e-9);
    EXPECT_LT(s.top[4].y, s.reachCentre.y);
    EXPECT_NEAR(s.reachCentre.x, 110.0, 1e-9);
    EXPECT_NEAR(s.reachRadius, kReach * 200.0 / (2 * (kReach + 20.0)), 1e-9);
}

TEST(Sketch, ClosedGripperJawsMeet)
{
    robotsim::Joints j = robotsim::kHomeJoints;
    j.grip = 0;
    const ArmSketch s = Sketch(j, kTopPanel, kSidePanel);
    EXPECT_NEAR(Distance(s.jawA[1], s.jawB[1]), 0.0, 1e-9);
}

TEST(Sketch, Texts)
{
    EXPECT_EQ(PoseText(robotsim::Forward(robotsim::kHomeJoints)), "X 150.0  Y 0.0  Z 170.0  P -90.0  R 0.0  G 30.0");
    EXPECT_EQ(JointText(robotsim::kHomeJoints),
              "Base 0.0  Shoulder 90.0  Elbow -90.0  Wrist -90.0  Wrist rotation 0.0  Gripper 30.0");
    robotsim::Pose p;
    p.x = -0.04;
    p.y = -12.345;
    EXPECT_EQ(PoseText(p).substr(0, 16), "X 0.0  Y -12.3  ");
}

}  // namespace
}  // namespace standin

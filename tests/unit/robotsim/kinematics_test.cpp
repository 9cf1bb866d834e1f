#include <gtest/gtest.h>

#include <cmath>

#include "robotsim.h"

namespace robotsim {
namespace {

void ExpectPose(const Pose& a, const Pose& b, double tol = 1e-6)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
    EXPECT_NEAR(std::remainder(a.pitch - b.pitch, 360.0), 0, tol);  // +-180 is one pitch
    EXPECT_NEAR(a.roll, b.roll, tol);
    EXPECT_NEAR(a.grip, b.grip, tol);
}

bool InLimits(const Joints& j)
{
    for (int i = 0; i < kAxisCount; ++i) {
        const double v = Get(j, static_cast<Axis>(i));
        if (v < kAxes[i].min || v > kAxes[i].max)
            return false;
    }
    return true;
}

TEST(Kinematics, HomeIsPitchDownAboveTable)
{
    ExpectPose(Forward(kHomeJoints), {150, 0, 170, -90, 0, 30});
    ASSERT_TRUE(InLimits(kHomeJoints));
}

// The tabletop workspace the client works in: gripper down, 100..250 mm out, any yaw
// within +-150 degrees, from the table up to 150 mm.
TEST(Kinematics, PitchDownWorkspaceRoundTrips)
{
    for (double reach = 100; reach <= 250; reach += 10)
        for (double yaw = -150; yaw <= 150; yaw += 25)
            for (double z = 0; z <= 150; z += 10)
                for (double roll : {-180.0, 0.0, 95.0}) {
                    const double a = yaw * 3.14159265358979323846 / 180;
                    const Pose target{reach * std::cos(a), reach * std::sin(a), z, -90, roll, 12};
                    const auto j = Inverse(target, kHomeJoints);
                    ASSERT_TRUE(j) << reach << " " << yaw << " " << z;
                    EXPECT_TRUE(InLimits(*j));
                    ExpectPose(Forward(*j), target);
                }
}

// Any joint configuration: its own pose solves back to it when started next to it.
// Loose on the joints: at a straight elbow the pose barely depends on them.
TEST(Kinematics, JointGridRoundTrips)
{
    int checked = 0;
    for (double b = -160; b <= 160; b += 40)
        for (double s = -20; s <= 160; s += 20)
            for (double e = -160; e <= 160; e += 20)
                for (double w = -120; w <= 120; w += 30) {
                    const Joints j{b, s, e, w, 33, 20};
                    const Pose p = Forward(j);
                    if (p.z < kMinZ || std::hypot(p.x, p.y) < 1)
                        continue;
                    const auto back = Inverse(p, j);
                    ASSERT_TRUE(back) << b << " " << s << " " << e << " " << w;
                    EXPECT_NEAR(back->base, b, 1e-5);
                    EXPECT_NEAR(back->shoulder, s, 1e-5);
                    EXPECT_NEAR(back->elbow, e, 1e-5);
                    EXPECT_NEAR(back->wrist, w, 1e-5);
                    ExpectPose(Forward(*back), p, 1e-9);
                    ++checked;
                }
    EXPECT_GT(checked, 3000);
}

TEST(Kinematics, RejectsUnreachableTargets)
{
    EXPECT_FALSE(Inverse({400, 0, 100, -90, 0, 30}, kHomeJoints));    // too far
    EXPECT_FALSE(Inverse({200, 0, -5, -90, 0, 30}, kHomeJoints));     // in the table
    EXPECT_FALSE(Inverse({200, 0, 100, -90, 181, 30}, kHomeJoints));  // roll past limit
    EXPECT_FALSE(Inverse({200, 0, 100, -90, 0, 61}, kHomeJoints));    // gripper too wide
    EXPECT_FALSE(Inverse({NAN, 0, 100, -90, 0, 30}, kHomeJoints));
}

TEST(Kinematics, SideViewAndJointPositionsFollowTheLinks)
{
    const SideView v = Side(kHomeJoints);
    const double r[] = {0, 0, 0, 150, 150}, z[] = {0, 100, 250, 250, 170};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(v.points[i].r, r[i], 1e-9);
        EXPECT_NEAR(v.points[i].z, z[i], 1e-9);
    }
    Joints turned = kHomeJoints;
    turned.base = 90;
    const auto p = JointPositions(turned);
    EXPECT_NEAR(p[4].x, 0, 1e-9);
    EXPECT_NEAR(p[4].y, 150, 1e-9);
    EXPECT_NEAR(p[4].z, 170, 1e-9);
}

}  // namespace
}  // namespace robotsim

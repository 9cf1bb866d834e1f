#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "robotsim.h"
#include "robotsim_command.h"

namespace robotsim {
namespace {

using Reports = std::vector<std::string>;

int Count(const Reports& r, std::string_view what) { return static_cast<int>(std::count(r.begin(), r.end(), what)); }

bool HasText(const Reports& r, std::string_view part)
{
    return std::any_of(r.begin(), r.end(), [&](const std::string& s) {
        return s.rfind(kTextPrefix, 0) == 0 && s.find(part) != std::string::npos;
    });
}

// Runs like a connected client: small time steps, both polls every second.
Reports RunPolled(Station& s, double seconds, double step = 0.05)
{
    Reports out;
    const int perSecond = static_cast<int>(std::lround(1 / step));
    const int steps = static_cast<int>(std::lround(seconds / step));
    for (int i = 0; i < steps; ++i) {
        if (i % perSecond == 0) {
            s.Receive("WMCA_QD");
            s.Receive("WMCA_QU");
        }
        for (auto& r : s.Advance(step))
            out.push_back(r);
    }
    return out;
}

double SecondsToStepEnd(int speed)
{
    Station s;
    s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP" + std::to_string(speed));
    double t = 0;
    while (s.moving() && t < 100)
        t += 0.01, s.Advance(0.01), s.Receive("WMCA_QD");
    return t;
}

TEST(Command, ParsesTargetsAndRejectsBrokenOnes)
{
    const Command c = ParseCommand("WMCA_PCD|X-1230Y45Z0P-900R10G255SP200\r\n");
    ASSERT_EQ(c.kind, CommandKind::kTarget);
    ASSERT_TRUE(c.valid);
    EXPECT_EQ(c.x, -1230);
    EXPECT_EQ(c.y, 45);
    EXPECT_EQ(c.pitch, -900);
    EXPECT_EQ(c.grip, 255);
    EXPECT_EQ(c.speed, 200);
    for (const char* bad : {"WMCA_PCD|X", "WMCA_PCD|X99999999999Y0Z0P0R0G0SP1", "WMCA_PCD|X1Y2Z3P4R5G6SP",
                            "WMCA_PCD|X1Y2Z3P4R5G6SP7Q", "WMCA_PCD|X 1Y2Z3P4R5G6SP7", "WMCA_PCD|Y1X2Z3P4R5G6SP7"})
        EXPECT_FALSE(ParseCommand(bad).valid) << bad;
    EXPECT_EQ(ParseCommand("WMCA_BSTARTM|1004").button, 1004);
    EXPECT_FALSE(ParseCommand("WMCA_BSTARTM|abc").valid);
    EXPECT_FALSE(ParseCommand("WMCA_BSTOPM|").valid);
    for (const char* other : {"", "WMCA_QDX", "wmca_qd", "Msg$WMCA_QD", "WMRP_SE"})
        EXPECT_EQ(ParseCommand(other).kind, CommandKind::kUnknown) << other;
}

TEST(Station, PositionReportFormat)
{
    EXPECT_EQ(Station::PositionReport({123.4, -5, 80, -90, 0, 25.5}), "WMRP_D|X1234Y-50Z800P-900R0G255");
    EXPECT_EQ(Station::PositionReport({-0.04, 0.06, 0, 0, -179.96, 0}), "WMRP_D|X0Y1Z0P0R-1800G0");
    Station s;
    EXPECT_EQ(s.Receive("WMCA_QD"), Reports{"WMRP_D|X1500Y0Z1700P-900R0G300"});
    EXPECT_EQ(s.Receive("WMCA_QU"), Reports{"WMRSS|RoBoT_ReAdY"});
    s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP1");
    EXPECT_EQ(Count(s.Advance(20), kStateTimeout), 1);
    EXPECT_FALSE(s.moving());
}

TEST(Station, ReachesTargetWithOneStepEnd)
{
    Station s;
    EXPECT_TRUE(s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP200").empty());
    EXPECT_TRUE(s.moving());
    const Reports r = RunPolled(s, 15);
    EXPECT_EQ(Count(r, kStepEnd), 1);
    EXPECT_FALSE(s.moving());
    EXPECT_EQ(s.Receive("WMCA_QD"), Reports{"WMRP_D|X2000Y0Z1000P-900R0G300"});
}

TEST(Station, NewTargetReplacesMoveAndSpeedSetsDuration)
{
    Station s;
    s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP200");
    s.Advance(0.3);
    EXPECT_TRUE(s.Receive("WMCA_PCD|X1500Y1000Z500P-900R900G100SP255").empty());
    EXPECT_EQ(Count(RunPolled(s, 15), kStepEnd), 1);
    EXPECT_EQ(s.Receive("WMCA_QD"), Reports{"WMRP_D|X1500Y1000Z500P-900R900G100"});
    EXPECT_EQ(s.speed(), 255);
    const double fast = SecondsToStepEnd(200), slow = SecondsToStepEnd(100);
    EXPECT_GT(fast, 0.2);
    EXPECT_NEAR(slow / fast, 2.0, 0.05);
    Station crawl;  // SP0 clamps to 1: crawling, not stopped
    crawl.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP0");
    EXPECT_EQ(crawl.speed(), 1);
    crawl.Advance(1);
    EXPECT_TRUE(crawl.moving());
    EXPECT_GT(crawl.joints().shoulder, kHomeJoints.shoulder - 1);
    EXPECT_LT(crawl.joints().shoulder, kHomeJoints.shoulder - 0.01);
    // Already there: the pose reached, then the step end, at once.
    EXPECT_TRUE(s.Receive("WMCA_PCD|X1500Y1000Z500P-900R900G100SP9999") ==
                (Reports{Station::PositionReport(s.pose()), "WMRP_SE"}));
    EXPECT_EQ(s.speed(), 255);
}

TEST(Station, UnreachableTargetIsRejectedWithoutMotion)
{
    Station s;
    EXPECT_EQ(s.Receive("WMCA_PCD|X9000Y0Z1000P-900R0G300SP200"), Reports{"WMRD_U*Target out of reach"});
    EXPECT_TRUE(HasText(s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G900SP200"), "Gripper"));
    EXPECT_FALSE(s.moving());
    EXPECT_EQ(Count(RunPolled(s, 5), kStepEnd), 0);
    EXPECT_EQ(s.Receive("WMCA_QD"), Reports{"WMRP_D|X1500Y0Z1700P-900R0G300"});
}

struct JogCase {
    int button;
    Axis axis;
    int dir;
};

TEST(Station, EachJogButtonMovesOnlyItsJoint)
{
    const JogCase cases[] = {{1001, Axis::kBase, 1},      {1002, Axis::kBase, -1},  {1003, Axis::kShoulder, -1},
                             {1004, Axis::kShoulder, 1},  {1005, Axis::kElbow, -1}, {1006, Axis::kElbow, 1},
                             {1007, Axis::kWrist, -1},    {1008, Axis::kWrist, 1},  {1009, Axis::kWristRot, 1},
                             {1010, Axis::kWristRot, -1}, {1011, Axis::kGrip, -1},  {1012, Axis::kGrip, 1}};
    for (const JogCase& c : cases) {
        Station s;
        EXPECT_TRUE(s.Receive("WMCA_BSTARTM|" + std::to_string(c.button)).empty());
        s.Advance(0.5);
        s.Receive("WMCA_BSTOPM|" + std::to_string(c.button));
        const Joints stopped = s.joints();
        s.Advance(1);
        for (int i = 0; i < kAxisCount; ++i) {
            const Axis a = static_cast<Axis>(i);
            const double moved = Get(s.joints(), a) - Get(kHomeJoints, a);
            EXPECT_EQ(Get(s.joints(), a), Get(stopped, a)) << c.button;
            if (a == c.axis)
                EXPECT_NEAR(moved, c.dir * 0.5 * kAxes[i].maxRate * kDefaultSpeed / 255, 1e-9) << c.button;
            else
                EXPECT_EQ(moved, 0) << c.button;
        }
    }
}

TEST(Station, JogStopsAtLimitAndByDeadman)
{
    Station s;
    s.Receive("WMCA_BSTARTM|1004");
    EXPECT_TRUE(HasText(RunPolled(s, 2.5), "Shoulder at limit"));
    EXPECT_EQ(s.joints().shoulder, 160);
    EXPECT_TRUE(HasText(s.Receive("WMCA_BSTARTM|1004"), "at limit"));
    EXPECT_FALSE(s.moving());

    Station d;
    d.Receive("WMCA_BSTARTM|1001");
    Reports r = d.Advance(2.9);
    EXPECT_TRUE(d.jogging(Axis::kBase));
    for (auto& x : d.Advance(7))
        r.push_back(x);
    EXPECT_TRUE(HasText(r, "Base jog stopped"));
    EXPECT_NEAR(d.joints().base, 3 * 60.0 * kDefaultSpeed / 255, 1e-9);

    // The dead-man watches the client, not the jog: a client that polls keeps a
    // held jog going, and one that falls silent stops it 3 s after its last word.
    Station k;
    k.Receive("WMCA_PCD|X1500Y0Z1700P-900R0G300SP20");  // slow, so no limit comes first
    k.Receive("WMCA_BSTARTM|1001");
    RunPolled(k, 1.2, 0.1);  // polled at 0, 1 s
    k.Receive("WMCA_QD");    // heard at 1.2 s
    Reports silent = k.Advance(2.9);
    EXPECT_TRUE(k.jogging(Axis::kBase));
    EXPECT_TRUE(silent.empty());
    silent = k.Advance(0.2);
    EXPECT_FALSE(k.jogging(Axis::kBase));
    EXPECT_EQ(silent, Reports{"WMRD_U*Base jog stopped: the client is silent"});
}

TEST(Station, HomeAndLeaving)
{
    Station s;
    EXPECT_EQ(s.Receive("WMCA_BMTH|"), (Reports{"WMRP_D|X1500Y0Z1700P-900R0G300", "WMRP_SE"}));  // already there
    s.Receive("WMCA_BSTARTM|1002");
    s.Advance(1);
    s.Receive("WMCA_BSTOPM|1002");
    EXPECT_TRUE(HasText(s.Receive("WMCA_BSHP|"), "Home"));
    const Joints newHome = s.joints();
    s.Receive("WMCA_BSTARTM|1003");
    s.Advance(1);
    EXPECT_TRUE(s.Receive("WMCA_BMTH|").empty());
    EXPECT_FALSE(s.jogging(Axis::kShoulder));
    EXPECT_EQ(Count(RunPolled(s, 5), kStepEnd), 1);
    EXPECT_EQ(s.joints().base, newHome.base);
    EXPECT_EQ(s.joints().shoulder, newHome.shoulder);

    s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP200");
    s.Advance(0.2);
    s.Receive("WMCA_BSTARTM|1012");  // takes over from the move, which ends no step
    EXPECT_FALSE(s.jogging(Axis::kShoulder));
    EXPECT_EQ(Count(s.Advance(1), kStepEnd), 0);
    s.Receive("WMCD");
    const Joints left = s.joints();
    EXPECT_TRUE(s.Advance(60).empty());
    EXPECT_FALSE(s.moving());
    EXPECT_FALSE(s.clientPresent());
    EXPECT_EQ(s.joints().shoulder, left.shoulder);
}

TEST(Station, TimesOutAfterSilenceAndIdentRequestsEveryThirtySeconds)
{
    Station s;
    s.Receive("WMCA_BSTARTM|1001");
    s.Receive("WMCA_BSTOPM|1001");
    EXPECT_TRUE(s.Advance(9.9).empty());
    EXPECT_EQ(s.Advance(0.2), Reports{"WMRSS|RoBoT_TiMeOuT"});
    EXPECT_TRUE(s.timedOut());
    EXPECT_EQ(s.StateReport(), kStateTimeout);
    EXPECT_EQ(s.Receive("WMCA_QU"), Reports{"WMRSS|RoBoT_ReAdY"});
    s.Receive("WMCA_PCD|X2000Y0Z1000P-900R0G300SP1");
    EXPECT_EQ(Count(s.Advance(20), kStateTimeout), 1);
    EXPECT_FALSE(s.moving());

    Station p;
    p.Receive("WMCA_QD");
    const Reports r = RunPolled(p, 95);
    EXPECT_EQ(Count(r, kIdentRequest), 3);
    EXPECT_EQ(Count(r, kStateTimeout), 0);
    EXPECT_TRUE(p.identPending());
    p.Receive("WMCA_ITD");
    EXPECT_FALSE(p.identPending());

    Station quiet;  // no client, no requests
    EXPECT_TRUE(quiet.Advance(100).empty());
}

TEST(Station, MalformedCommandsDoNothing)
{
    const std::string junk[] = {"",
                                "WMCA_PCD|X",
                                "WMCA_PCD|X99999999999Y0Z0P0R0G0SP100",
                                "WMCA_BSTARTM|abc",
                                "WMCA_BSTARTM|999",
                                "WMCA_BSTARTM|1001x",
                                "WMCA_BSTARTM|-1001",
                                "garbage",
                                std::string("WMCA_PCD|X20\0Y0", 15),
                                std::string(5000, 'X'),
                                "|||",
                                "WMCA_"};
    Station s;
    for (const std::string& j : junk) {
        for (const std::string& r : s.Receive(j))
            EXPECT_EQ(r.rfind(kTextPrefix, 0), 0u) << j;
        EXPECT_FALSE(s.moving()) << j;
    }
    EXPECT_EQ(Count(s.Advance(2), kStepEnd), 0);
    EXPECT_TRUE(s.Advance(-1).empty());
    EXPECT_TRUE(s.Advance(NAN).empty());
    EXPECT_EQ(s.Receive("WMCA_QD"), Reports{"WMRP_D|X1500Y0Z1700P-900R0G300"});
}

TEST(Station, OneLongAdvanceMatchesManyShortOnes)
{
    Station a, b;
    for (Station* s : {&a, &b})
        s->Receive("WMCA_PCD|X-1200Y1800Z300P-450R-300G500SP120");
    a.Advance(4);
    for (int i = 0; i < 400; ++i)
        b.Advance(0.01);
    for (int i = 0; i < kAxisCount; ++i)
        EXPECT_NEAR(Get(a.joints(), static_cast<Axis>(i)), Get(b.joints(), static_cast<Axis>(i)), 1e-9);
}

}  // namespace
}  // namespace robotsim

// A simulated robot station: a five-joint tabletop arm with a gripper that speaks the
// WMCA_/WMR* datagram protocol. Portable (standard library only) and deterministic:
// time moves only through Station::Advance.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace robotsim {

// Tool tip pose in the base frame: mm, Z up from the table; angles in degrees.
struct Pose {
    double x = 0, y = 0, z = 0;
    double pitch = 0;  // tool axis against horizontal in the arm's plane; -90 = pointing down
    double roll = 0;   // wrist rotation
    double grip = 0;   // gripper opening, mm
};

// Degrees (grip in mm). The shoulder is the upper arm's elevation above horizontal;
// elbow and wrist are relative to the previous link, positive raising the link.
struct Joints {
    double base = 0, shoulder = 0, elbow = 0, wrist = 0, wristRot = 0, grip = 0;
};

enum class Axis { kBase, kShoulder, kElbow, kWrist, kWristRot, kGrip };
inline constexpr int kAxisCount = 6;

struct AxisInfo {
    const char* name;
    double min, max;  // degrees, mm for the gripper
    double maxRate;   // per second at speed 255
};

inline constexpr std::array<AxisInfo, kAxisCount> kAxes{{
    {"Base", -170.0, 170.0, 60.0},
    {"Shoulder", -20.0, 160.0, 50.0},
    {"Elbow", -160.0, 160.0, 60.0},
    {"Wrist", -135.0, 135.0, 90.0},
    {"Wrist rotation", -180.0, 180.0, 120.0},
    {"Gripper", 0.0, 60.0, 30.0},
}};

inline const AxisInfo& Info(Axis a) { return kAxes[static_cast<int>(a)]; }
double Get(const Joints& j, Axis a);
void Set(Joints& j, Axis a, double value);

// Link lengths, mm.
inline constexpr double kBaseHeight = 100.0;  // table to shoulder axis
inline constexpr double kUpperArm = 150.0;    // shoulder to elbow
inline constexpr double kForearm = 150.0;     // elbow to wrist
inline constexpr double kTool = 80.0;         // wrist axis to tool tip
inline constexpr double kMinZ = 0.0;          // the tool tip stays above the table

// Upper arm vertical, forearm level, tool pointing down: X150 Y0 Z170 P-90 R0 G30.
inline constexpr Joints kHomeJoints{0.0, 90.0, -90.0, -90.0, 0.0, 30.0};

Pose Forward(const Joints& j);
// The joint solution for `target` closest to `near`, or nothing when the target is out
// of reach, below the table or needs a joint past its limits.
std::optional<Joints> Inverse(const Pose& target, const Joints& near);

// For drawing. Side view: r is the horizontal distance from the base axis along the
// base yaw (negative when reaching backwards), z the height above the table.
struct SidePoint {
    double r, z;
};
struct SideView {
    double yaw;                       // base rotation, degrees, counter-clockwise from +X
    std::array<SidePoint, 5> points;  // base foot, shoulder, elbow, wrist, tool tip
};
SideView Side(const Joints& j);

struct Point3 {
    double x, y, z;
};
std::array<Point3, 5> JointPositions(const Joints& j);  // same points as Side, in 3-D

// Reports, without the transport's "Msg$" wrapping.
inline constexpr std::string_view kStepEnd = "WMRP_SE";
inline constexpr std::string_view kStateReady = "WMRSS|RoBoT_ReAdY";
inline constexpr std::string_view kStateTimeout = "WMRSS|RoBoT_TiMeOuT";
inline constexpr std::string_view kIdentRequest = "WMIT_D";
inline constexpr std::string_view kTextPrefix = "WMRD_U*";

inline constexpr int kDefaultSpeed = 200;
inline constexpr double kJogDeadman = 3.0;      // s a jog runs on without a datagram from the client
inline constexpr double kClientSilence = 10.0;  // s without a command before time-out
inline constexpr double kIdentPeriod = 30.0;    // s between WMIT_D requests

// How the station answers:
//  WMCA_QD -> position report; WMCA_QU -> state report (ready, or time-out until the
//  next command). Any recognised command makes the client present and resets its
//  silence timer; unrecognised text is ignored.
//  PCD: accepted -> no immediate answer, joint-interpolated move, WMRP_SE on arrival
//  (at once if already there). Rejected or malformed -> text report only, no step end,
//  and any motion already running carries on. A new target replaces the current move;
//  a replaced or interrupted move (jog, WMCD, time-out) ends no step.
//  Jogs: one per axis, stopped by either button of the pair, a limit (text) or the
//  dead-man (text): kJogDeadman s with no datagram from the client. A live client
//  polls every second, so a held jog runs on; a client that has gone stops the arm. BMTH moves home like a PCD; BSHP stores the current joints (text).
//  After kClientSilence s of silence: all motion stops, WMRSS|RoBoT_TiMeOuT is sent
//  once and the client is forgotten. While present, WMIT_D every kIdentPeriod s.
class Station {
public:
    Station();

    // One command (the text after "Msg$"); returns the reports sent at once in answer.
    std::vector<std::string> Receive(std::string_view command);
    // Moves time on; returns the reports motion and timers produce, in order.
    std::vector<std::string> Advance(double seconds);

    Pose pose() const { return Forward(m_joints); }
    const Joints& joints() const { return m_joints; }
    const Joints& home() const { return m_home; }
    bool moving() const;
    bool jogging(Axis a) const { return m_jogs[static_cast<int>(a)].dir != 0; }
    bool clientPresent() const { return m_client; }
    bool timedOut() const { return m_timedOut; }
    bool identPending() const { return m_identPending; }
    int speed() const { return m_speed; }
    double now() const { return m_now; }

    // "WMRP_D|X..Y..Z..P..R..G.." in tenths, rounded to nearest, half away from zero.
    static std::string PositionReport(const Pose& p);
    std::string_view StateReport() const { return m_timedOut ? kStateTimeout : kStateReady; }

private:
    struct Move {
        Joints from, to;
        double start, duration;
    };
    struct Jog {
        int dir = 0;  // -1, 0, +1
    };

    void Heard();
    void StartMove(const Joints& to, std::vector<std::string>& out);
    void StartJog(int button, std::vector<std::string>& out);
    void StopAll();
    double Rate(Axis a) const;
    double NextEvent() const;
    void Integrate(double until);
    void FireDue(std::vector<std::string>& out);

    double m_now = 0;
    Joints m_joints = kHomeJoints;
    Joints m_home = kHomeJoints;
    int m_speed = kDefaultSpeed;
    std::optional<Move> m_move;
    std::array<Jog, kAxisCount> m_jogs{};
    bool m_client = false;
    bool m_timedOut = false;
    bool m_identPending = false;
    double m_lastHeard = 0;
    double m_nextIdent = 0;
};

}  // namespace robotsim

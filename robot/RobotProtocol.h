// The robot station's protocol: the reports it sends and the commands it takes,
// as the text inside the datagrams. Numbers travel as signed decimal integers,
// lengths and angles in tenths of a millimetre or degree.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// A pose in millimetres and degrees; the hand is its opening in millimetres.
struct RobotPose {
    double x, y, z, pitch, roll, hand;
};

struct RobotReport {
    enum Kind {
        kNone,      // no effect of its own: unknown, a state other than ready, a position that does not read
        kPosition,  // "WMRP_D|X..Y..Z..P..R..G..": pose
        kReady,     // "WMRSS" with "RoBoT_ReAdY"
        kText,      // "WMRD_U": text, from its first "*"; empty when it has none
        kStepEnd,   // "WMRP_SE"
        kRequest,   // "WMIT_D": to be answered with kRequestAnswer
    };
    Kind kind = kNone;
    RobotPose pose{};
    std::string text;
};

// payload: the datagram's text from its first "$". The report's names are looked
// for anywhere in it, in the order above; the first found decides. The position
// comes in tenths and the hand in tenths cut to whole millimetres.
RobotReport ParseRobotReport(std::string_view payload);

// Every datagram between the client and the station holds this marker and then
// the command or report.
constexpr char kDatagramMarker[] = "Msg$";
// The polls the client sends every second: the pose, and the station's state.
constexpr char kPositionQuery[] = "WMCA_QD";
constexpr char kStateQuery[] = "WMCA_QU";

constexpr char kRequestAnswer[] = "WMCA_ITD";
constexpr char kSetHomeCommand[] = "WMCA_BSHP|";
constexpr char kGoHomeCommand[] = "WMCA_BMTH|";

// jogId: the jog button's control id, which the station knows the joints by.
std::string JogStartCommand(int jogId);
std::string JogStopCommand(int jogId);
// What tells the station that the client leaves.
constexpr char kLeaveCommand[] = "WMCD";
// A command the arm must get even from a slow Skype: a jog stop, or the client
// leaving; either one lost would leave the arm moving.
bool IsVitalCommand(std::string_view command);

// The target as Move To XYZ and STEP send it: every value cut toward zero to a
// whole millimetre, degree or speed step.
RobotPose WholeTarget(const RobotPose& pose);
double WholeSpeed(double speed);

// "WMCA_PCD|X..Y..Z..P..R..G..SP..": the pose in tenths, the speed as it is,
// each cut toward zero. Nothing when a value does not fit a signed 32-bit
// number (nan included): a target is never sent wrapped.
std::optional<std::string> CartesianTargetCommand(const RobotPose& pose, double speed);

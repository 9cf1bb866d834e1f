#include "RobotProtocol.h"

#include <cmath>
#include <cstdint>

#include "Scan.h"

namespace {
bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The wire number of a value: cut toward zero; nothing when it does not fit a
// signed 32-bit number (nan included).
bool ToWire(double value, int& out)
{
    double cut = std::trunc(value);
    if (!(cut >= double(INT32_MIN) && cut <= double(INT32_MAX)))
        return false;
    out = int(cut);
    return true;
}
}  // namespace

RobotReport ParseRobotReport(std::string_view text)
{
    RobotReport report;
    if (Contains(text, "WMRP_D")) {
        size_t bar = text.find('|');
        int x, y, z, p, r, g;
        if (bar != std::string_view::npos &&
            Scanner(text.substr(bar))
                    .Lit("|X")
                    .Int(x)
                    .Lit("Y")
                    .Int(y)
                    .Lit("Z")
                    .Int(z)
                    .Lit("P")
                    .Int(p)
                    .Lit("R")
                    .Int(r)
                    .Lit("G")
                    .Int(g)
                    .Items() == 6) {
            report.kind = RobotReport::kPosition;
            report.pose = {x * 0.1, y * 0.1, z * 0.1, p * 0.1, r * 0.1, double(g / 10)};
        }
    } else if (Contains(text, "WMRSS")) {
        if (Contains(text, "RoBoT_ReAdY"))
            report.kind = RobotReport::kReady;
    } else if (Contains(text, "WMRD_U")) {
        report.kind = RobotReport::kText;
        if (size_t star = text.find('*'); star != std::string_view::npos)
            report.text = text.substr(star);
    } else if (Contains(text, "WMRP_SE")) {
        report.kind = RobotReport::kStepEnd;
    } else if (Contains(text, "WMIT_D")) {
        report.kind = RobotReport::kRequest;
    }
    return report;
}

std::string JogStartCommand(int jogId) { return "WMCA_BSTARTM|" + std::to_string(jogId); }

std::string JogStopCommand(int jogId) { return "WMCA_BSTOPM|" + std::to_string(jogId); }

bool IsVitalCommand(std::string_view command)
{
    return command == kLeaveCommand || command.starts_with("WMCA_BSTOPM|");
}

RobotPose WholeTarget(const RobotPose& p)
{
    return {std::trunc(p.x),     std::trunc(p.y),    std::trunc(p.z),
            std::trunc(p.pitch), std::trunc(p.roll), std::trunc(p.hand)};
}

double WholeSpeed(double speed) { return std::trunc(speed); }

std::optional<std::string> CartesianTargetCommand(const RobotPose& p, double speed)
{
    static const char* const kNames[7] = {"X", "Y", "Z", "P", "R", "G", "SP"};
    const double scaled[7] = {p.x * 10.0, p.y * 10.0, p.z * 10.0, p.pitch * 10.0, p.roll * 10.0, p.hand * 10.0, speed};
    std::string command = "WMCA_PCD|";
    for (int i = 0; i < 7; ++i) {
        int wire;
        if (!ToWire(scaled[i], wire))
            return std::nullopt;
        command += kNames[i] + std::to_string(wire);
    }
    return command;
}

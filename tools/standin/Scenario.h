// Canned fault scenarios (the program's --script names). A scenario sets the
// model up before the start and plays its faults when the session reaches a
// milestone (attached, stream open, so many seconds into the call), so it does
// not depend on how fast the client gets there.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "SkypeModel.h"

namespace standin {

class Scenario {
public:
    struct Entry {
        std::string_view name;
        std::string_view description;
    };
    static const std::vector<Entry>& List();
    // Nothing for an unknown name.
    static std::optional<Scenario> Named(std::string_view name);

    std::string_view name() const;
    // Settings the scenario needs from the start.
    void Configure(Config& config) const;
    // Call after every change of the model (the glue does after each tick); returns
    // what the faults it plays send.
    Batch Step(SkypeModel& model);

private:
    enum class Kind {
        kWellBehaved,
        kRefuse,
        kNotAvailable,
        kPending,
        kLogOut,
        kDropStream,
        kFarHangUp,
        kRejectVideo,
        kGarbage,
        kOversized,
        kForeignStream,
        kSilentRobot,
        kRobotOffline,
    };
    explicit Scenario(Kind kind) : m_kind(kind) { }
    // Every `period` s while `on`, starting `period` s after it became true.
    bool Every(bool on, double now, double period);

    Kind m_kind;
    int m_stage = 0;
    double m_mark = 0;
    double m_attachedAt = -1;
    double m_streamAt = -1;
    double m_lastRepeat = -1;
};

}  // namespace standin

// Parsing of the client's command texts; kept apart from Station so it can be tested
// on its own.
#pragma once

#include <string_view>

namespace robotsim {

enum class CommandKind {
    kUnknown,  // not a client command at all: ignored
    kQueryPosition,
    kQueryState,
    kIdentAnswer,
    kLeave,
    kSetHome,
    kGoHome,
    kTarget,
    kJogStart,
    kJogStop,
};

struct Command {
    CommandKind kind = CommandKind::kUnknown;
    bool valid = false;  // the arguments parsed; always true for commands without any
    // kTarget, as sent: tenths of mm / degrees, speed unclamped.
    int x = 0, y = 0, z = 0, pitch = 0, roll = 0, grip = 0, speed = 0;
    // kJogStart / kJogStop: the button id as sent (its range is checked by the station).
    int button = 0;
};

Command ParseCommand(std::string_view text);

}  // namespace robotsim

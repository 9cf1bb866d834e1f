#include "robotsim_command.h"

#include <charconv>

namespace robotsim {
namespace {

// Reads a decimal int at the front of `s`; fails on no digits or overflow.
bool TakeInt(std::string_view& s, int& value)
{
    const char* first = s.data();
    const char* last = first + s.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr == first)
        return false;
    s.remove_prefix(static_cast<std::size_t>(ptr - first));
    return true;
}

bool TakeTag(std::string_view& s, std::string_view tag)
{
    if (s.substr(0, tag.size()) != tag)
        return false;
    s.remove_prefix(tag.size());
    return true;
}

// "X%dY%dZ%dP%dR%dG%dSP%d", nothing after.
bool ParseTarget(std::string_view s, Command& c)
{
    return TakeTag(s, "X") && TakeInt(s, c.x) && TakeTag(s, "Y") && TakeInt(s, c.y) && TakeTag(s, "Z") &&
        TakeInt(s, c.z) && TakeTag(s, "P") && TakeInt(s, c.pitch) && TakeTag(s, "R") && TakeInt(s, c.roll) &&
        TakeTag(s, "G") && TakeInt(s, c.grip) && TakeTag(s, "SP") && TakeInt(s, c.speed) && s.empty();
}

bool ParseButton(std::string_view s, Command& c) { return TakeInt(s, c.button) && s.empty(); }

}  // namespace

Command ParseCommand(std::string_view text)
{
    // Datagrams may arrive with a terminator or line end left on.
    while (!text.empty()) {
        char last = text.back();
        if (last != '\0' && last != ' ' && last != '\r' && last != '\n' && last != '\t')
            break;
        text.remove_suffix(1);
    }
    std::string_view keyword = text;
    std::string_view args;
    if (auto bar = text.find('|'); bar != std::string_view::npos) {
        keyword = text.substr(0, bar);
        args = text.substr(bar + 1);
    }

    Command c;
    c.valid = true;
    if (keyword == "WMCA_QD") {
        c.kind = CommandKind::kQueryPosition;
    } else if (keyword == "WMCA_QU") {
        c.kind = CommandKind::kQueryState;
    } else if (keyword == "WMCA_ITD") {
        c.kind = CommandKind::kIdentAnswer;
    } else if (keyword == "WMCD") {
        c.kind = CommandKind::kLeave;
    } else if (keyword == "WMCA_BSHP") {
        c.kind = CommandKind::kSetHome;
    } else if (keyword == "WMCA_BMTH") {
        c.kind = CommandKind::kGoHome;
    } else if (keyword == "WMCA_PCD") {
        c.kind = CommandKind::kTarget;
        c.valid = ParseTarget(args, c);
    } else if (keyword == "WMCA_BSTARTM") {
        c.kind = CommandKind::kJogStart;
        c.valid = ParseButton(args, c);
    } else if (keyword == "WMCA_BSTOPM") {
        c.kind = CommandKind::kJogStop;
        c.valid = ParseButton(args, c);
    } else {
        c.valid = false;
    }
    return c;
}

}  // namespace robotsim

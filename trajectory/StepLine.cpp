#include "StepLine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "Scan.h"

namespace {
std::string Numbers(const char* format, auto... values)
{
    std::string out(size_t(std::snprintf(nullptr, 0, format, values...)), '\0');
    std::snprintf(out.data(), out.size() + 1, format, values...);
    return out;
}

bool Blank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}
}  // namespace

std::string FormatStepLine(const double v[7], const std::string& note)
{
    std::string line = Numbers("%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f", v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    return Blank(note) ? line : line + ":" + note;
}

bool StepValuesFit(const double values[7]) { return ParseStepLine(FormatStepLine(values, std::string())).has_value(); }

std::optional<StepLine> ParseStepLine(std::string_view line)
{
    StepLine step{};
    Scanner scan(line);
    scan.Int(step.values[0]);
    for (int i = 1; i < 7; ++i)
        scan.Lit(",").Int(step.values[i]);
    step.hasNote = line.find(':') != std::string_view::npos;
    if (step.hasNote) {
        scan.Lit(":").Word(step.note, kMaxNoteLength);
        if (scan.Items() != 8)
            return std::nullopt;
    } else if (scan.Items() != 7) {
        return std::nullopt;
    }
    return step;
}

std::string RewriteStepLine(const StepLine& s)
{
    const int* v = s.values;
    std::string line = Numbers("%d,%d,%d,%d,%d,%d,%d", v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    return s.hasNote ? line + ":" + s.note : line;
}

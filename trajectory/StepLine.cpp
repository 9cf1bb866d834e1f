#include "StepLine.h"

#include <algorithm>
#include <cctype>

#include "Scan.h"

namespace {
bool Blank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}
} // namespace

CString FormatStepLine(const double v[7], const CString& note)
{
    CString line;
    if (Blank(note.str()))
        line.Format("%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f", v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    else
        line.Format("%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f:%s", v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                    note.GetString());
    return line;
}

bool StepValuesFit(const double values[7])
{
    return ParseStepLine(FormatStepLine(values, CString()).str()).has_value();
}

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

CString RewriteStepLine(const StepLine& s)
{
    const int* v = s.values;
    CString line;
    if (s.hasNote)
        line.Format("%d,%d,%d,%d,%d,%d,%d:%s", v[0], v[1], v[2], v[3], v[4], v[5], v[6], s.note.c_str());
    else
        line.Format("%d,%d,%d,%d,%d,%d,%d", v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    return line;
}

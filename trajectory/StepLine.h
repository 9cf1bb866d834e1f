// Step lines: the text form of one trajectory step, shared by the step list and
// trajectory files. Seven numbers, X, Y, Z, pitch, roll, hand and speed, and an
// optional note: "10,20,30,-90,0,25,200" or "10,20,30,-90,0,25,200:grip".
#pragma once
#include <optional>
#include <string>
#include <string_view>

struct StepLine {
    int values[7];
    bool hasNote;      // the line had a ":" (and so a note word)
    std::string note;  // its first word, at most kMaxNoteLength characters
};

// The note store holds 52 bytes: a longer note word keeps its first 51 characters.
constexpr size_t kMaxNoteLength = 51;

// Writes the numbers with no decimals ("%.0f", rounding to the nearest), the ":"
// and the note only when the note holds more than white space: a line with a
// ":" and no note word does not read back.
std::string FormatStepLine(const double values[7], const std::string& note);

// Whether the line of these values reads back: each whole number fits a line's
// signed 32-bit number.
bool StepValuesFit(const double values[7]);

// Reads a line as "%d,%d,%d,%d,%d,%d,%d:%s" does from its first character. A line
// with a ":" is accepted only with all eight items, one without only with the
// seven numbers; anything after them is ignored.
std::optional<StepLine> ParseStepLine(std::string_view line);

// The line again from what was read: "%d,...,%d" or "%d,...,%d:%s".
std::string RewriteStepLine(const StepLine& step);

// Step lines: reading any text, and the lines ADD and CHG write.
//
// Properties:
// - a line that reads is written again (as LOAD does) to a line that reads as
//   the same step, and is written the same way again;
// - every line ADD or CHG writes reads back as the Set values it was made from
//   (each rounded to the nearest whole number) and the note: its first word, cut
//   to what the note store holds, or no note when the note is blank.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

#include "DataExchange.h"
#include "FuzzSupport.h"
#include "StepLine.h"

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", unsigned(static_cast<unsigned char>(c)));
            out += hex;
        }
    }
    return out + "\"";
}

bool SameStep(const StepLine& a, const StepLine& b)
{
    for (int i = 0; i < 7; ++i)
        if (a.values[i] != b.values[i])
            return false;
    return a.hasNote == b.hasNote && (!a.hasNote || a.note == b.note);
}

// The program reads lines as C strings: a line ends at a zero byte.
void ReadAnyLine(std::string line)
{
    line.resize(std::min(line.size(), line.find('\0')));
    std::optional<StepLine> step = ParseStepLine(line);
    if (!step)
        return;
    std::string rewritten = RewriteStepLine(*step);
    std::optional<StepLine> again = ParseStepLine(rewritten);
    FUZZ_PROPERTY(again && SameStep(*step, *again),
                  "the line " + Quoted(line) + " is written again as " + Quoted(rewritten) +
                      ", which does not read as the same step");
    FUZZ_PROPERTY(RewriteStepLine(*again) == rewritten,
                  "the line " + Quoted(rewritten) + " is not written again as itself");
}

// What a Set box may hold: numbers in their many forms, and anything else.
std::string BoxText(FuzzedDataProvider& in)
{
    char text[64];
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: std::snprintf(text, sizeof text, "%d", in.ConsumeIntegralInRange(-1000, 1000)); return text;
    case 1: std::snprintf(text, sizeof text, "%" PRId64, in.ConsumeIntegral<int64_t>()); return text;
    case 2:
        std::snprintf(text, sizeof text, "%d.%u", in.ConsumeIntegralInRange(-1000, 1000),
                      unsigned(in.ConsumeIntegralInRange(0, 999)));
        return text;
    case 3: std::snprintf(text, sizeof text, "%.17g", in.ConsumeFloatingPoint<double>()); return text;
    default: return in.ConsumeRandomLengthString(24);
    }
}

// Notes of the shapes that matter: none, blanks, words, and words longer than
// the note store.
std::string NoteText(FuzzedDataProvider& in)
{
    static const std::string kNotes[] = {"", " ", " \t ", "grip", "open hand", "  lead", std::string(60, 'n'), "a\tb"};
    return kNotes[in.ConsumeIntegralInRange<size_t>(0, std::size(kNotes) - 1)];
}

// An edit holds no zero byte.
std::string EditText(std::string text)
{
    std::erase(text, '\0');
    return text;
}

// The note as it reads back: nothing when blank, else its first word.
std::optional<std::string> NoteReadBack(const std::string& note)
{
    size_t first = 0;
    while (first < note.size() && IsSpace(note[first]))
        ++first;
    if (first == note.size())
        return std::nullopt;
    size_t end = first;
    while (end < note.size() && !IsSpace(note[end]))
        ++end;
    return note.substr(first, std::min(end - first, kMaxNoteLength));
}

const int kBoxes[] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED};

// The line at the selection was just written from the Set boxes and the note,
// read whole by the click's pull.
void CheckWritten(const SkypeDesktop& desk, const std::string& line, const char* by)
{
    double values[7];
    for (int i = 0; i < 7; ++i)
        values[i] = ParseDouble(desk.Text(kBoxes[i])).value_or(std::nan(""));
    const std::string typedNote = desk.Text(IDC_NOTE);
    std::string context = std::string(by) + " wrote " + Quoted(line) + " from the values";
    for (double v : values) {
        char text[40];
        std::snprintf(text, sizeof text, " %.17g", v);
        context += text;
    }
    context += " and the note " + Quoted(typedNote);

    std::optional<StepLine> step = ParseStepLine(line);
    FUZZ_PROPERTY(step, context + ": the line does not read back");
    for (int i = 0; i < 7; ++i)
        FUZZ_PROPERTY(double(step->values[i]) == std::nearbyint(values[i]),
                      context + ": value " + std::to_string(i) + " reads back as " + std::to_string(step->values[i]));
    std::optional<std::string> note = NoteReadBack(typedNote);
    FUZZ_PROPERTY(step->hasNote == note.has_value(), context + (note ? ": the note is lost" : ": a note appears"));
    if (note)
        FUZZ_PROPERTY(step->note == *note, context + ": the note reads back as " + Quoted(step->note));
}

void WriteThroughThePanel(FuzzedDataProvider& in)
{
    fuzz::Panel panel(fuzz::Panel::State::Open);
    SkypeDesktop& desk = panel.desk;
    // A step that cannot be written is refused with a box.
    desk.onUnscriptedBox = [](const std::string&, UINT) { return IDOK; };

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            desk.Type(kBoxes[in.ConsumeIntegralInRange<size_t>(0, std::size(kBoxes) - 1)], EditText(BoxText(in)));
            break;
        case 1:
            desk.Type(IDC_NOTE, EditText(in.ConsumeBool() ? NoteText(in) : in.ConsumeRandomLengthString(80)));
            break;
        case 2: desk.SelectLine(in.ConsumeIntegralInRange(0, 7)); break;
        case 3: {
            size_t before = desk.Lines().size();
            desk.Click(IDC_ADD);
            if (desk.Lines().size() != before)
                CheckWritten(desk, desk.Lines()[size_t(desk.Selection())], "ADD");
            break;
        }
        case 4: {
            int selected = desk.Selection();
            std::string before = selected >= 0 ? desk.Lines()[size_t(selected)] : std::string();
            desk.Click(IDC_CHG);
            if (selected >= 0 && desk.Selection() == selected && desk.Lines()[size_t(selected)] != before)
                CheckWritten(desk, desk.Lines()[size_t(selected)], "CHG");
            break;
        }
        case 5: desk.Click(IDC_DEL); break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        ReadAnyLine(in.ConsumeRemainingBytesAsString());
    else
        WriteThroughThePanel(in);
    return 0;
}

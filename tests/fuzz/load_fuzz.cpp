// LOAD over any file, then SAVE and LOAD again.
//
// Properties:
// - LOAD takes each line of the file once, whatever its length: one line gives
//   at most one step, the step that line reads as (for a file without zero
//   bytes, whose lines read the same however they are stored);
// - SAVE then LOAD gives the same list, and leaves the same Set values and note
//   as the first LOAD did;
// - with a step added and not saved, LOAD asks first (answered No); a file in
//   use or a read failing on the way loads nothing: a box says so, and the list
//   stays as it was, still unsaved; a file that reads loads as the first LOAD did.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DataExchange.h"
#include "FileFaults.h"
#include "FuzzSupport.h"
#include "StepLine.h"

namespace fs = std::filesystem;

namespace {

fs::path g_folder;
const char kUnsaved[] = "The trajectory has changes that are not saved.\n\nSave them?";

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(g_folder, ignored);
}

// The files of one process, in memory when the machine offers it.
void MakeFolder()
{
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "orvanta-load-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        fuzz::Broken("no folder for the trajectory files");
    g_folder = pattern;
    std::atexit(RemoveFolder);
}

struct Loaded {
    std::vector<std::string> lines;
    int selection;
    double values[7];
    std::string note;
};

Loaded Load(fuzz::Panel& panel, const fs::path& file)
{
    panel.desk.ExpectFileDialog(true, file.string());
    panel.desk.Click(IDC_LOAD);
    Loaded loaded{panel.desk.Lines(), panel.desk.Selection(), {}, {}};
    // LOAD leaves the fields unshown; On Top shows them, without a pull.
    panel.desk.Click(IDC_ON_TOP);
    static const int kBoxes[] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED};
    for (int i = 0; i < 7; ++i)
        loaded.values[i] = ParseDouble(panel.desk.Text(kBoxes[i])).value_or(0);
    loaded.note = panel.desk.Text(IDC_NOTE);
    return loaded;
}

std::string Describe(const Loaded& l)
{
    std::string out = std::to_string(l.lines.size()) + " steps, selection " + std::to_string(l.selection) + ":";
    for (const std::string& line : l.lines)
        out += "\n    " + line;
    char values[200];
    std::snprintf(values, sizeof values, "\n  values %.17g %.17g %.17g %.17g %.17g %.17g %.17g", l.values[0],
                  l.values[1], l.values[2], l.values[3], l.values[4], l.values[5], l.values[6]);
    return out + values + ", note \"" + l.note + "\"";
}

bool Same(const Loaded& a, const Loaded& b)
{
    for (int i = 0; i < 7; ++i)
        if (a.values[i] != b.values[i])
            return false;
    return a.lines == b.lines && a.selection == b.selection && a.note == b.note;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_folder.empty())
        MakeFolder();
    os::Faults() = {};
    const fs::path given = g_folder / "given.txt";
    const fs::path saved = g_folder / "saved.txt";
    {
        std::ofstream out(given, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }

    // Lines end at line feeds; a last line may have none.
    const std::string file(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (size_t at = 0; at < file.size();) {
        size_t end = std::min(file.find('\n', at), file.size());
        lines.push_back(file.substr(at, end - at));
        at = end + 1;
    }

    fuzz::Panel panel(fuzz::Panel::State::Open);
    // A failed SAVE says so in a box; here it must not fail.
    Loaded first = Load(panel, given);
    FUZZ_PROPERTY(first.lines.size() <= lines.size(),
                  "LOAD made " + std::to_string(first.lines.size()) + " steps of " + std::to_string(lines.size()) +
                      " lines:\n  " + Describe(first));
    if (file.find('\0') == std::string::npos) {
        std::vector<std::string> expected;
        for (const std::string& line : lines)
            if (std::optional<StepLine> step = ParseStepLine(line))
                expected.push_back(RewriteStepLine(*step));
        if (first.lines != expected) {
            std::string want;
            for (const std::string& line : expected)
                want += "\n    " + line;
            fuzz::Broken("LOAD did not read the file line by line.\n  loaded " + Describe(first) +
                         "\n  its lines read as" + want);
        }
    }
    panel.desk.ExpectFileDialog(false, saved.string());
    panel.desk.Click(IDC_SAVE);
    Loaded again = Load(panel, saved);
    FUZZ_PROPERTY(Same(first, again),
                  "SAVE then LOAD changed the list.\n  loaded " + Describe(first) + "\n  saved and loaded " +
                      Describe(again));

    // The same file again over an unsaved step: in use, failing half-way, or sound.
    // The step is one ADD takes: a loaded step may be one whose target cannot be sent.
    for (int id : {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET})
        panel.desk.Type(id, "0");
    panel.desk.Type(IDC_SPEED, "200");
    panel.desk.Click(IDC_ADD);
    const std::vector<std::string> before = panel.desk.Lines();
    const int trouble = int(size % 3);
    std::string failure = "The trajectory file " + given.string();
    if (trouble == 0) {
        os::Faults().inUse.insert(given);
        failure += " could not be opened: it is in use by another program.";
    } else if (trouble == 1) {
        os::Faults().readsFailingAfter[given] = long(size / 2);
        failure += " could not be read to its end.";
    }
    panel.desk.ExpectBox(kUnsaved, IDNO);
    panel.desk.ExpectFileDialog(true, given.string());
    if (trouble != 2)
        panel.desk.ExpectBox(failure);
    panel.desk.Click(IDC_LOAD);
    panel.desk.VerifyScriptsTaken();
    if (trouble == 2) {
        FUZZ_PROPERTY(panel.desk.Lines() == first.lines, "LOAD over an unsaved step did not load the file");
    } else {
        FUZZ_PROPERTY(panel.desk.Lines() == before, "a LOAD that failed changed the list");
        // Still unsaved: a close asks (answered Cancel).
        panel.desk.ExpectBox(kUnsaved, IDCANCEL);
        panel.desk.CloseBox();
        panel.desk.VerifyScriptsTaken();
        FUZZ_PROPERTY(!panel.panel->HasEnded(), "the panel closed over unsaved steps");
        panel.desk.onUnscriptedBox = [](const std::string&, UINT) { return IDNO; };
    }
    return 0;
}

// Trajectory files: their text read as steps and lines written, and LOAD and
// SAVE behind the file dialogs. Each test has a folder of its own.
#include "FileFaults.h"
#include "PanelFixture.h"
#include "TrajectoryFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kOpen = "open-dialog Trajectory (*.txt)|*.txt -> ";
const std::string kSave = "save-dialog Trajectory (*.txt)|*.txt -> ";

constexpr unsigned kFileLog =
    headless::kFileDialog | headless::kList | headless::kBox | headless::kText | headless::kCheck | headless::kSend;

class TrajectoryFile : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        os::Faults() = {};
        std::string pattern = (fs::path(testing::TempDir()) / "orvanta-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        OpenPanel();
    }
    void TearDown() override
    {
        PanelTest::TearDown();
        os::Faults() = {};
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string At(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(At(name), std::ios::binary) << content;
    }
    std::optional<std::string> Read(const std::string& name) const
    {
        std::ifstream in(At(name), std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    // Every name in the folder, sub-folders' entries as "sub/name".
    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            names.insert(fs::relative(entry.path(), dir).string());
        return names;
    }
    // What the Set fields and the note hold: On Top pushes them without a pull.
    Sequence Stored()
    {
        desk.Click(IDC_ON_TOP);
        return {desk.Text(IDC_X_SET), desk.Text(IDC_SPEED), desk.Text(IDC_NOTE)};
    }
    void Load(const std::string& name)
    {
        desk.ExpectFileDialog(true, At(name));
        desk.Click(IDC_LOAD);
    }
    void Save(const std::string& name)
    {
        desk.ExpectFileDialog(false, At(name));
        desk.Click(IDC_SAVE);
    }
    Sequence FileLog() const { return Log(kFileLog); }

    fs::path dir;
};

// The lines of a text, each read as a step and written again as LOAD does.
Sequence Steps(const std::string& text)
{
    Sequence lines;
    for (const StepLine& step : ReadStepLines(text))
        lines.push_back(RewriteStepLine(step));
    return lines;
}

}  // namespace

TEST(TrajectoryText, EachLineGivesOneStepAtMost)
{
    // Accepted lines rewritten, the rest dropped.
    ExpectSequence((Sequence{"1,2,3,4,5,6,7", "5,5,5,5,5,5,5:keep", "6,6,6,6,6,6,6"}),
                   Steps(" +01, 2,3,4,5,6,007\ngarbage\n\n1,2,3,4,5,6\n1,2,3,4,5,6,7:   \n1,2,3,4,5,6,7 :x\n"
                         "5,5,5,5,5,5,5:keep\n6,6,6,6,6,6,6\n"));
    // CR LF line ends; the last line without one.
    ExpectSequence((Sequence{"1,2,3,4,5,6,7", "8,8,8,8,8,8,8:grip", "5,5,5,5,5,5,5"}),
                   Steps("1,2,3,4,5,6,7\r\n8,8,8,8,8,8,8:grip\r\n5,5,5,5,5,5,5"));
    // A line of 119 characters with more after them, and a note longer than the note store.
    ExpectSequence((Sequence{"1,2,3,4,5,6,7", "3,3,3,3,3,3,3:" + std::string(51, 'n')}),
                   Steps("1,2,3,4,5,6,7" + std::string(106, 'x') +
                         "9,9,9,9,9,9,9\n3,3,3,3,3,3,3:" + std::string(200, 'n') + "\n"));
    // A zero byte ends the line's text.
    ExpectSequence((Sequence{"1,2,3,4,5,6,7", "2,2,2,2,2,2,2"}),
                   Steps(std::string("1,2,3,4,5,6,7") + '\0' + ":grip\n2,2,2,2,2,2,2" + '\0' + "x\n"));
}

// The lines go out as they stand and replace the file whole; a failed save
// leaves what was there and no temporary file.
TEST_F(TrajectoryFile, SavedLinesReplaceTheFileWhole)
{
    Write("run.txt", "9,9,9,9,9,9,9\n8,8,8,8,8,8,8\n7,7,7,7,7,7,7\n");
    EXPECT_TRUE(SaveTrajectory(At("run.txt"), {"1,2,3,4,5,6,7", "1,2,3,4,5,6,7:a b", "0,0,0,0,0,0,0:   "}));
    EXPECT_EQ(Read("run.txt"), "1,2,3,4,5,6,7\n1,2,3,4,5,6,7:a b\n0,0,0,0,0,0,0:   \n");
    EXPECT_TRUE(SaveTrajectory(At("empty.txt"), {}));
    EXPECT_EQ(Read("empty.txt"), "");
    EXPECT_EQ(Entries(), (std::set<std::string>{"empty.txt", "run.txt"}));

    Write("afile", "keep\n");
    fs::create_directory(dir / "old.txt");
    Write("old.txt/inside", "inside\n");
    const std::set<std::string> before = Entries();
    for (const char* path : {"afile/run.txt", "missing/run.txt", "old.txt"}) {
        EXPECT_FALSE(SaveTrajectory(At(path), {"1,2,3,4,5,6,7"})) << path;
        EXPECT_EQ(Entries(), before) << path;
    }
    os::Faults().replaceFails = true;
    EXPECT_FALSE(SaveTrajectory(At("run.txt"), {"1,2,3,4,5,6,7"}));
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Read("afile"), "keep\n");
    EXPECT_EQ(Read("old.txt/inside"), "inside\n");
}

TEST_F(TrajectoryFile, LoadsTheTwoLineExampleWithLineZeroSelectedAndNoPush)
{
    Write("run.txt", "1,2,3,4,5,6,7\n1,2,3,4,5,6,7:a b\n");
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("run.txt");

    // LOAD: nothing pushed.
    const Sequence expected = {kOpen + At("run.txt"), "list reset", "list insert 0 1,2,3,4,5,6,7",
                               "list insert 1 1,2,3,4,5,6,7:a", "list select 0"};
    ExpectSequence(expected, FileLog());
    EXPECT_EQ(desk.Selection(), 0);
    // The fields hold the last line; the edits still show what they showed.
    EXPECT_EQ(desk.Text(IDC_X_SET), "0");
    EXPECT_EQ(desk.Text(IDC_SPEED), "200");
    EXPECT_EQ(desk.Text(IDC_NOTE), "");
    EXPECT_EQ(Stored(), (Sequence{"1", "7", "a"}));
}

// The list is filled with its redraw off; a list left that way would never
// show the loaded steps, nor anything after them.
TEST_F(TrajectoryFile, LoadLeavesTheListRedrawing)
{
    Write("run.txt", "1,2,3,4,5,6,7\n8,8,8,8,8,8,8:grip\n");
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("run.txt");
    EXPECT_TRUE(desk.Redraws());
    static const Sequence kLines = {"1,2,3,4,5,6,7", "8,8,8,8,8,8,8:grip"};
    ExpectSequence(kLines, desk.Lines());
    EXPECT_EQ(desk.Selection(), 0);

    Load("missing.txt");  // the fallback empties the list
    EXPECT_TRUE(desk.Redraws());
    EXPECT_TRUE(desk.Lines().empty());
}

// Each line of the file gives one step at most, whatever its length; the note
// keeps its first 51 characters.
TEST_F(TrajectoryFile, LongLineIsOneLine)
{
    // A step taught with a long note, saved and loaded again.
    const std::string note = std::string(101, 'x') + "9,9,9,9,9,9,9";
    desk.Type(IDC_NOTE, note);
    desk.Click(IDC_ADD);
    desk.Type(IDC_NOTE, "");
    desk.Click(IDC_ADD);
    Save("run.txt");
    ASSERT_EQ(Read("run.txt"), "0,0,0,-90,0,0,200:" + note + "\n0,0,0,-90,0,0,200\n");
    Load("run.txt");
    const Sequence reloaded = {"0,0,0,-90,0,0,200:" + std::string(51, 'x'), "0,0,0,-90,0,0,200"};
    ExpectSequence(reloaded, desk.Lines());
}

// LOAD highlights line 0 without showing it; RUN plays that line, not the edits.
TEST_F(TrajectoryFile, AfterLoadRunSendsLineZeroThenTheNextLine)
{
    struct Row {
        const char* content;
        Sequence sent;
    };
    const Row rows[] = {
        {"10,0,0,-90,0,0,100\n20,0,0,-90,0,0,100\n",
         {Datagram("WMCA_PCD|X100Y0Z0P-900R0G0SP100"), "list select 1", Datagram("WMCA_PCD|X200Y0Z0P-900R0G0SP100")}},
        {"10,0,0,-90,0,0,100\n", {Datagram("WMCA_PCD|X100Y0Z0P-900R0G0SP100")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.content);
        TearDown();
        SetUp();
        desk.Attach(0);
        desk.Notice("APPLICATION remotecontrol STREAMS orvanta.robot:1");
        desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
        Write("run.txt", row.content);
        Load("run.txt");
        Flush();
        desk.Click(IDC_RUN);
        desk.Notice(RobotNotice("WMRP_SE"));
        ExpectSequence(row.sent, Log(headless::kSend | headless::kList));
    }
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
}

TEST_F(TrajectoryFile, MissingFileMakesAnEmptyTxtFileAndAnEmptyList)
{
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("run.txt");
    // Nothing selected, nothing reported.
    const Sequence expected = {kOpen + At("run.txt"), "list reset"};
    ExpectSequence(expected, FileLog());
    EXPECT_EQ(Read("run.txt.txt"), "");
    EXPECT_EQ(Entries(), std::set<std::string>{"run.txt.txt"});
    EXPECT_EQ(desk.Selection(), -1);
}

TEST_F(TrajectoryFile, FallbackLeavesAnExistingTxtFileAlone)
{
    Write("run.txt.txt", "1,1,1,1,1,1,1\n");
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("run.txt");
    EXPECT_EQ(Read("run.txt.txt"), "1,1,1,1,1,1,1\n");
    EXPECT_TRUE(desk.Lines().empty());
    EXPECT_EQ(Entries(), std::set<std::string>{"run.txt.txt"});
}

TEST_F(TrajectoryFile, FallbackThatCannotCreateItsFileStillEmptiesTheList)
{
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("missing/run.txt");
    EXPECT_TRUE(desk.Lines().empty());
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(Log(headless::kBox).empty());
}

TEST_F(TrajectoryFile, CancelledDialogsChangeNothing)
{
    LoadSteps({"9,9,9,9,9,9,9"});
    desk.ExpectFileDialog(true, "");
    desk.Click(IDC_LOAD);
    desk.ExpectFileDialog(false, "");
    desk.Click(IDC_SAVE);
    static const Sequence kExpected = {kOpen + "cancel", kSave + "cancel"};
    ExpectSequence(kExpected, FileLog());
    EXPECT_EQ(desk.Lines().size(), 1u);
    EXPECT_TRUE(Entries().empty());
}

// A note is written as typed, spaces and all.
TEST_F(TrajectoryFile, SaveWritesTheLinesAsTheyStand)
{
    LoadSteps({"1,2,3,4,5,6,7"});
    desk.Type(IDC_NOTE, "a b");
    desk.Click(IDC_ADD);
    Flush();
    Save("run.txt");
    const Sequence expected = {kSave + At("run.txt")};
    ExpectSequence(expected, FileLog());
    EXPECT_EQ(Read("run.txt"), "1,2,3,4,5,6,7\n0,0,0,-90,0,0,200:a b\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"run.txt"});
}

TEST_F(TrajectoryFile, SaveAppendsTxtOnlyWhenThePathHasNoneAnywhere)
{
    struct Row {
        const char* chosen;
        const char* written;
    };
    static const Row kRows[] = {
        {"run.TXT", "run.TXT.txt"}, {"run.txt.bak", "run.txt.bak"}, {"run", "run.txt"},
        {"run.txt", "run.txt"},     {"a.txt.d/run", "a.txt.d/run"}, {"a.d/run", "a.d/run.txt"},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.chosen);
        TearDown();
        SetUp();
        fs::create_directory(dir / "a.txt.d");
        fs::create_directory(dir / "a.d");
        LoadSteps({"1,2,3,4,5,6,7"});
        Save(row.chosen);
        EXPECT_EQ(Read(row.written), "1,2,3,4,5,6,7\n");
        const std::set<std::string> entries = {"a.txt.d", "a.d", row.written};
        EXPECT_EQ(Entries(), entries);
    }
}

TEST_F(TrajectoryFile, FailedSaveSaysSo)
{
    struct Row {
        const char* chosen;
        const char* shown;
    };
    static const Row kRows[] = {
        {"missing/run", "missing/run.txt"}, {"old.txt", "old.txt"},  // a folder of that name is in the way
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.chosen);
        TearDown();
        SetUp();
        fs::create_directory(dir / "old.txt");
        const std::set<std::string> before = Entries();
        LoadSteps({"1,2,3,4,5,6,7"});

        const std::string text = "The trajectory could not be saved to " + At(row.shown) + ".";
        desk.ExpectFileDialog(false, At(row.chosen));
        desk.ExpectBox(text);
        desk.Click(IDC_SAVE);
        const Sequence expected = {kSave + At(row.chosen), "box Orvanta | " + text + " | stop ok -> IDOK"};
        ExpectSequence(expected, FileLog());
        EXPECT_EQ(Entries(), before);
        desk.VerifyScriptsTaken();
    }
}

// --- A file that is there but does not load

// Held open by another program, or failing half-way through: a box names the
// file and why; the list, the file and the folder stay as they were.
TEST_F(TrajectoryFile, FileThatIsThereButDoesNotLoadIsReportedAndKeepsTheList)
{
    struct Row {
        const char* trouble;
        std::function<void(const std::string&)> make;
        const char* why;
    };
    const Row rows[] = {
        {"in use", [](const std::string& path) { os::Faults().inUse.insert(path); },
         " could not be opened: it is in use by another program."},
        {"read fails at once", [](const std::string& path) { os::Faults().readsFailingAfter[path] = 0; },
         " could not be read to its end."},
        {"read fails half-way", [](const std::string& path) { os::Faults().readsFailingAfter[path] = 20; },
         " could not be read to its end."},
    };
    const std::string content = "1,1,1,1,1,1,1\n2,2,2,2,2,2,2\n3,3,3,3,3,3,3\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.trouble);
        TearDown();
        SetUp();
        Write("run.txt", content);
        row.make(At("run.txt"));
        LoadSteps({"9,9,9,9,9,9,9"});
        const std::string text = "The trajectory file " + At("run.txt") + row.why;
        desk.ExpectFileDialog(true, At("run.txt"));
        desk.ExpectBox(text);
        desk.Click(IDC_LOAD);
        const Sequence expected = {kOpen + At("run.txt"), "box Orvanta | " + text + " | stop ok -> IDOK"};
        ExpectSequence(expected, FileLog());
        ExpectSequence(Sequence{"9,9,9,9,9,9,9"}, desk.Lines());
        EXPECT_EQ(desk.Selection(), 0);
        EXPECT_EQ(Read("run.txt"), content);
        EXPECT_EQ(Entries(), std::set<std::string>{"run.txt"});
        desk.VerifyScriptsTaken();
    }
}

// --- Unsaved steps

namespace {
const char kUnsaved[] = "The trajectory has changes that are not saved.\n\nSave them?";
const std::string kUnsavedBox =
    "box Orvanta | The trajectory has changes that are not saved.\\n\\nSave them? | no-icon yes-no-cancel -> ";
const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
}  // namespace

// Whether a close asks depends on what was done to the list since start-up
// or its last SAVE or LOAD.
TEST_F(TrajectoryFile, StepsAreUnsavedAfterEachEditUntilSavedOrLoaded)
{
    struct Row {
        const char* done;
        std::function<void()> act;
        bool asks;
    };
    const Row rows[] = {
        {"nothing", [] {}, false},
        {"ADD", [this] { desk.Click(IDC_ADD); }, true},
        {"LOAD",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"});
         },
         false},
        {"DEL of the line LOAD selected",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"});
             desk.Click(IDC_DEL);
         },
         true},
        {"DEL with no line", [this] { desk.Click(IDC_DEL); }, false},
        {"CHG",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"});
             desk.SelectLine(1);
             desk.Click(IDC_CHG);
         },
         true},
        {"CHG with no line", [this] { desk.Click(IDC_CHG); }, false},
        {"a line selected",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"});
             desk.SelectLine(1);
         },
         false},
        {"REC answered No",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1"});
             desk.ExpectBox(kRecQuestion, IDNO);
             desk.Click(IDC_REC);
         },
         false},
        {"REC answered Yes, then REC off",
         [this] {
             LoadSteps({"1,1,1,1,1,1,1"});
             desk.ExpectBox(kRecQuestion, IDYES);
             desk.Click(IDC_REC);
             desk.Click(IDC_REC);
         },
         true},
        {"a recorded step, saved",
         [this] {
             desk.ExpectBox(kRecQuestion, IDYES);
             desk.Click(IDC_REC);
             desk.Notice(RobotNotice("WMRP_D|X10Y20Z30P0R0G0"));
             desk.Notice(RobotNotice("WMRP_SE"));
             desk.Click(IDC_REC);
             Save("run.txt");
         },
         false},
        {"ADD, then a cancelled SAVE",
         [this] {
             desk.Click(IDC_ADD);
             desk.ExpectFileDialog(false, "");
             desk.Click(IDC_SAVE);
         },
         true},
        {"ADD, then a failed SAVE",
         [this] {
             desk.Click(IDC_ADD);
             desk.ExpectFileDialog(false, At("missing/run"));
             desk.ExpectBox("The trajectory could not be saved to " + At("missing/run.txt") + ".");
             desk.Click(IDC_SAVE);
         },
         true},
        {"ADD, then LOAD of a missing file",
         [this] {
             desk.Click(IDC_ADD);
             desk.ExpectBox(kUnsaved, IDNO);
             Load("missing.txt");
         },
         false},
        {"ADD, then LOAD of a file in use",
         [this] {
             desk.Click(IDC_ADD);
             Write("run.txt", "1,1,1,1,1,1,1\n");
             os::Faults().inUse.insert(At("run.txt"));
             desk.ExpectBox(kUnsaved, IDNO);
             desk.ExpectFileDialog(true, At("run.txt"));
             desk.ExpectBox("The trajectory file " + At("run.txt") +
                            " could not be opened: it is in use by another program.");
             desk.Click(IDC_LOAD);
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.done);
        TearDown();
        SetUp();
        OpenOperating();
        row.act();
        desk.VerifyScriptsTaken();
        Flush();
        if (row.asks)
            desk.ExpectBox(kUnsaved, IDCANCEL);
        desk.CloseBox();
        const Sequence expected = row.asks ? Sequence{kUnsavedBox + "IDCANCEL"} : Sequence{"end IDD_CONTROL_PANEL"};
        ExpectSequence(expected, Log(headless::kBox | headless::kDialog | headless::kFileDialog));
        EXPECT_EQ(panel->HasEnded(), !row.asks);
    }
}

// Every way the panel closes, and LOAD, ask about unsaved steps. Yes saves
// through SAVE's dialog and goes on only once saved; No goes on as without
// the question; Cancel, or a save that did not happen, stops everything.
TEST_F(TrajectoryFile, UnsavedStepsAreAskedAboutBeforeACloseOrLoad)
{
    struct Path {
        const char* name;
        std::function<LRESULT()> act;
        Sequence goesOn;  // what the path does once it may (LOAD: its open dialog)
        int ended;        // the panel's result when it goes on; 0: it stays
    };
    auto command = [this](int id) {
        desk.Deliver(desk.Panel(), WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0);
        desk.Pump();
        return LRESULT(0);
    };
    const Path paths[] = {
        {"the close box",
         [this] {
             desk.CloseBox();
             return LRESULT(0);
         },
         {"end IDD_CONTROL_PANEL"},
         1},
        {"Enter", [&] { return command(IDOK); }, {"end IDD_CONTROL_PANEL"}, IDOK},
        {"Escape", [&] { return command(IDCANCEL); }, {"end IDD_CONTROL_PANEL"}, IDCANCEL},
        {"WM_CLOSE",
         [this] {
             desk.Deliver(desk.Panel(), WM_CLOSE, 0, 0);
             desk.Pump();
             return LRESULT(0);
         },
         {"end IDD_CONTROL_PANEL"},
         IDCANCEL},
        {"log-off", [this] { return desk.SendToMain(WM_QUERYENDSESSION, 0, 0); }, {}, 0},
        {"LOAD",
         [this] {
             desk.Click(IDC_LOAD);
             return LRESULT(0);
         },
         {},
         0},
    };
    struct Answer {
        const char* name;
        int answer;
        const char* chosen;  // in the save dialog after Yes; "" cancels it
        bool goesOn;
    };
    static const Answer kAnswers[] = {
        {"Cancel", IDCANCEL, nullptr, false},
        {"No", IDNO, nullptr, true},
        {"Yes", IDYES, "saved.txt", true},
        {"Yes, the save dialog cancelled", IDYES, "", false},
        {"Yes, the save failed", IDYES, "missing/saved.txt", false},
    };
    for (const Path& path : paths) {
        for (const Answer& answer : kAnswers) {
            SCOPED_TRACE(std::string(path.name) + ", " + answer.name);
            TearDown();
            SetUp();
            Write("loaded.txt", "5,5,5,5,5,5,5\n");
            desk.Click(IDC_ADD);
            Flush();

            Sequence expected = {kUnsavedBox +
                                 (answer.answer == IDYES      ? "IDYES"
                                      : answer.answer == IDNO ? "IDNO"
                                                              : "IDCANCEL")};
            desk.ExpectBox(kUnsaved, answer.answer);
            if (answer.chosen) {
                const std::string chosen = *answer.chosen ? At(answer.chosen) : "";
                desk.ExpectFileDialog(false, chosen);
                expected.push_back(kSave + (chosen.empty() ? "cancel" : chosen));
                if (std::string(answer.chosen).starts_with("missing/")) {
                    const std::string failed = "The trajectory could not be saved to " + chosen + ".";
                    desk.ExpectBox(failed);
                    expected.push_back("box Orvanta | " + failed + " | stop ok -> IDOK");
                }
            }
            const bool load = std::string(path.name) == "LOAD";
            if (answer.goesOn && load) {
                desk.ExpectFileDialog(true, At("loaded.txt"));
                expected.push_back(kOpen + At("loaded.txt"));
            } else if (answer.goesOn) {
                expected = expected + path.goesOn;
            }
            const LRESULT result = path.act();
            ExpectSequence(expected, Log(headless::kBox | headless::kDialog | headless::kFileDialog));
            desk.VerifyScriptsTaken();
            EXPECT_EQ(panel->GetModalResult(), answer.goesOn && path.ended ? path.ended : -1);
            if (std::string(path.name) == "log-off")
                EXPECT_EQ(result, answer.goesOn ? TRUE : FALSE);
            if (load)
                ExpectSequence(answer.goesOn ? Sequence{"5,5,5,5,5,5,5"} : Sequence{"0,0,0,-90,0,0,200"}, desk.Lines());
            EXPECT_EQ(Read("saved.txt"),
                      answer.chosen && std::string(answer.chosen) == "saved.txt"
                          ? std::optional<std::string>("0,0,0,-90,0,0,200\n")
                          : std::nullopt);
        }
    }
}

// An unchanged list asks nothing: after a SAVE, the same paths go on at once.
TEST_F(TrajectoryFile, SavedStepsCloseAndLoadWithoutAQuestion)
{
    desk.Click(IDC_ADD);
    Save("run.txt");
    Write("loaded.txt", "5,5,5,5,5,5,5\n");
    Flush();
    EXPECT_EQ(desk.SendToMain(WM_QUERYENDSESSION, 0, 0), TRUE);
    Load("loaded.txt");
    desk.CloseBox();
    const Sequence expected = {kOpen + At("loaded.txt"), "end IDD_CONTROL_PANEL"};
    ExpectSequence(expected, Log(headless::kBox | headless::kDialog | headless::kFileDialog));
}

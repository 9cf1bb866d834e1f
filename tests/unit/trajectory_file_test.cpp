// Trajectory files: their text read as steps and lines written, and on the
// panel what only the window system shows of LOAD and SAVE (the file dialogs,
// the list's bulk fill, the ways to close that ask about unsaved steps). What
// LOAD and SAVE do is the session's (session_files_test.cpp).
#include "PanelFixture.h"
#include "TempFolder.h"
#include "TrajectoryFile.h"

#include <filesystem>
#include <functional>
#include <set>

namespace fs = std::filesystem;

namespace {

// The files' own tests need only a folder.
class TrajectoryFile : public ::testing::Test {
protected:
    std::string At(const std::string& name) const { return folder.At(name); }

    TempFolder folder;
};

const std::string kOpen = "open-dialog Trajectory (*.txt)|*.txt -> ";
const std::string kSave = "save-dialog Trajectory (*.txt)|*.txt -> ";

class TrajectoryFilePanel : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        folder.Empty();
        OpenPanel();
    }
    std::string At(const std::string& name) const { return folder.At(name); }

    TempFolder folder;
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
    folder.Write("run.txt", "9,9,9,9,9,9,9\n8,8,8,8,8,8,8\n7,7,7,7,7,7,7\n");
    EXPECT_TRUE(SaveTrajectory(At("run.txt"), {"1,2,3,4,5,6,7", "1,2,3,4,5,6,7:a b", "0,0,0,0,0,0,0:   "}));
    EXPECT_EQ(folder.Read("run.txt"), "1,2,3,4,5,6,7\n1,2,3,4,5,6,7:a b\n0,0,0,0,0,0,0:   \n");
    EXPECT_TRUE(SaveTrajectory(At("empty.txt"), {}));
    EXPECT_EQ(folder.Read("empty.txt"), "");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"empty.txt", "run.txt"}));

    folder.Write("afile", "keep\n");
    fs::create_directory(folder.Dir() / "old.txt");
    folder.Write("old.txt/inside", "inside\n");
    const std::set<std::string> before = folder.Entries();
    for (const char* path : {"afile/run.txt", "missing/run.txt", "old.txt"}) {
        EXPECT_FALSE(SaveTrajectory(At(path), {"1,2,3,4,5,6,7"})) << path;
        EXPECT_EQ(folder.Entries(), before) << path;
    }
    os::Faults().replaceFails = true;
    EXPECT_FALSE(SaveTrajectory(At("run.txt"), {"1,2,3,4,5,6,7"}));
    EXPECT_EQ(folder.Entries(), before);
    EXPECT_EQ(folder.Read("afile"), "keep\n");
    EXPECT_EQ(folder.Read("old.txt/inside"), "inside\n");
}

// LOAD and SAVE ask their files of the real dialogs; LOAD fills the list with
// its redraw off, which is left on again (a list left off would never show the
// steps, nor anything after them), and writes no box.
TEST_F(TrajectoryFilePanel, FileDialogsAndTheListsBulkFill)
{
    folder.Write("run.txt", "1,2,3,4,5,6,7\n8,8,8,8,8,8,8:grip\n");
    LoadSteps({"9,9,9,9,9,9,9"});
    desk.ExpectFileDialog(true, At("run.txt"));
    desk.Click(IDC_LOAD);
    desk.ExpectFileDialog(false, At("saved"));
    desk.Click(IDC_SAVE);
    const Sequence expected = {
        kOpen + At("run.txt"), "list reset",        "list insert 0 1,2,3,4,5,6,7", "list insert 1 8,8,8,8,8,8,8:grip",
        "list select 0",       kSave + At("saved"),
    };
    ExpectSequence(expected,
                   Log(headless::kFileDialog | headless::kList | headless::kBox | headless::kText | headless::kCheck |
                       headless::kSend));
    EXPECT_TRUE(desk.Redraws());
    EXPECT_EQ(desk.Selection(), 0);
    EXPECT_EQ(folder.Read("saved.txt"), "1,2,3,4,5,6,7\n8,8,8,8,8,8,8:grip\n");

    desk.ExpectFileDialog(true, At("missing.txt"));  // a new trajectory: the list empties
    desk.Click(IDC_LOAD);
    EXPECT_TRUE(desk.Redraws());
    EXPECT_TRUE(desk.Lines().empty());
}

// Every way the window system closes the panel, and the end of the user's
// session, asks about unsaved steps in the program's box: Cancel keeps the
// panel, No lets it go with that way's result.
TEST_F(TrajectoryFilePanel, EveryWayToCloseAsksAboutUnsavedSteps)
{
    struct Path {
        const char* name;
        std::function<LRESULT()> act;
        int ended;  // the panel's result when it goes; 0: it stays (the log-off answers)
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
         1},
        {"Enter", [&] { return command(IDOK); }, IDOK},
        {"Escape", [&] { return command(IDCANCEL); }, IDCANCEL},
        {"WM_CLOSE",
         [this] {
             desk.Deliver(desk.Panel(), WM_CLOSE, 0, 0);
             desk.Pump();
             return LRESULT(0);
         },
         IDCANCEL},
        {"log-off", [this] { return desk.SendToMain(WM_QUERYENDSESSION, 0, 0); }, 0},
    };
    const std::string question =
        "box Orvanta | The trajectory has changes that are not saved.\\n\\nSave them? | no-icon yes-no-cancel -> ";
    for (const Path& path : paths) {
        for (bool no : {false, true}) {
            SCOPED_TRACE(std::string(path.name) + (no ? ", No" : ", Cancel"));
            TearDown();
            SetUp();
            desk.Click(IDC_ADD);
            Flush();
            desk.ExpectBox("The trajectory has changes that are not saved.\n\nSave them?", no ? IDNO : IDCANCEL);
            const LRESULT result = path.act();
            Sequence expected = {question + (no ? "IDNO" : "IDCANCEL")};
            if (no && path.ended)
                expected.push_back("end IDD_CONTROL_PANEL");
            ExpectSequence(expected, Log(headless::kBox | headless::kDialog | headless::kFileDialog));
            EXPECT_EQ(panel->GetModalResult(), no && path.ended ? path.ended : -1);
            if (!path.ended)
                EXPECT_EQ(result, no ? TRUE : FALSE);
        }
    }
}

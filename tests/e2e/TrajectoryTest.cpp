// Trajectories through the real panel and the real file dialogs: recording the
// robot's step-end reports, saving, clearing, loading and replaying the steps
// forward and backward, and the two file faults (a missing name, a failed save).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "OrvantaFixture.h"
#include "Text.h"

namespace e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int kStream = 7;
const std::string kStreams = "APPLICATION remotecontrol STREAMS " + kRobot + ":" + std::to_string(kStream);
const std::string kVideoRunning = "CALL 1 VIDEO_RECEIVE_STATUS RUNNING";

const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
const char kQuestionCaption[] = "Orvanta";
const char kUnsaved[] = "The trajectory has changes that are not saved.\n\nSave them?";

// Disabled while recording.
const int kRecLockGroup[] = {IDC_STEP, IDC_RUN, IDC_LOAD, IDC_SAVE, IDC_ADD, IDC_DEL, IDC_CHG, IDC_MOVE_XYZ};
const int kSetEdits[] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET};

std::string CartesianTarget(const std::string& numbers) { return DatagramCommand(kStream, "WMCA_PCD|" + numbers); }

bool IsCartesianTarget(const std::string& command) { return command.find(" Msg$WMCA_PCD|") != std::string::npos; }

std::vector<std::string> CartesianTargets(std::vector<std::string> commands)
{
    std::erase_if(commands, [](const std::string& command) { return !IsCartesianTarget(command); });
    return commands;
}

// One pose the robot reports: on the wire, as the Set edits show it, as a step
// line, and as the target that replays that line.
struct Pose {
    const char* wire;
    std::array<const char*, 6> set;
    const char* line;
    const char* target;
};

// Where the robot stands when recording starts.
const Pose kStartPose = {
    "X0Y0Z3000P-900R0G0", {"0", "0", "300", "-90", "0", "0"}, "0,0,300,-90,0,0,200", "X0Y0Z3000P-900R0G0SP200"};
// The three moves recorded.
const Pose kMoves[] = {
    {"X1000Y0Z500P-900R0G200",
     {"100", "0", "50", "-90", "0", "20"},
     "100,0,50,-90,0,20,200",
     "X1000Y0Z500P-900R0G200SP200"},
    {"X1234Y-506Z800P-450R100G255",
     {"123.4", "-50.6", "80", "-45", "10", "25"},
     "123,-51,80,-45,10,25,200",
     "X1230Y-510Z800P-450R100G250SP200"},
    {"X-2000Y1500Z1200P0R-300G5",
     {"-200", "150", "120", "0", "-30", "0"},
     "-200,150,120,0,-30,0,200",
     "X-2000Y1500Z1200P0R-300G0SP200"},
};

std::vector<std::string> RecordedLines()
{
    std::vector<std::string> lines = {kStartPose.line};
    for (const Pose& pose : kMoves)
        lines.push_back(pose.line);
    return lines;
}

std::vector<std::string> TargetsOf(const std::vector<int>& order)
{
    std::vector<std::string> targets;
    for (int i : order)
        targets.push_back(CartesianTarget(i == 0 ? kStartPose.target : kMoves[i - 1].target));
    return targets;
}

// The bytes a text-mode write of these lines leaves on Windows.
std::string WindowsText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::optional<std::string> ReadBytes(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::string& path) { return ReadBytes(Widen(path)); }
void WriteBytes(const std::wstring& path, const std::string& bytes);
void WriteBytes(const std::string& path, const std::string& bytes) { WriteBytes(Widen(path), bytes); }

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file))
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// A folder of our own under the temporary folder, removed with what it holds.
// Its name starts with `prefix`, which may hold any characters.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& prefix = L"orvanta_trajectory_")
    {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::wstring& name : wideNames())
            DeleteFileW(wideFile(name).c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool created() const
    {
        DWORD attributes = GetFileAttributesW(m_path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::wstring wideFile(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::string file(const std::string& name) const { return Narrow(wideFile(Widen(name))); }
    std::vector<std::wstring> wideNames() const
    {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(wideFile(L"*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return found;
        do {
            std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                found.push_back(name);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        return found;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const std::wstring& name : wideNames())
            found.push_back(Narrow(name));
        return found;
    }

private:
    std::wstring m_path;
};

class Trajectory : public OrvantaTest {
protected:
    // Attached, a stream known and the robot's video running: the link controls are on.
    ::testing::AssertionResult startLinked()
    {
        skype.answerDiscovery(kAttachSuccess);
        if (auto started = startOrvanta(); !started)
            return started;
        if (auto linked = skype.waitForCommands(2); !linked)
            return linked;
        if (skype.sendNotice(kStreams) != Answered(1))
            return ::testing::AssertionFailure() << "the STREAMS notice was not taken";
        if (skype.sendNotice(kVideoRunning) != Answered(1))
            return ::testing::AssertionFailure() << "the video notice was not taken";
        return WaitFor("the link controls on", [&] { return panel.enabled(IDC_REC); });
    }

    ::testing::AssertionResult robotSays(const std::string& payload)
    {
        SendResult result = skype.sendNotice(DatagramNotice(kStream, payload));
        if (result != Answered(1))
            return ::testing::AssertionFailure() << "the robot's " << payload << " was not taken";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult reports(const Pose& pose) { return robotSays("WMRP_D|" + std::string(pose.wire)); }
    ::testing::AssertionResult stepEnds() { return robotSays("WMRP_SE"); }

    std::vector<std::string> lines() const { return panel.listLines(IDC_STEP_LIST); }
    int selection() const { return panel.listSelection(IDC_STEP_LIST); }

    ::testing::AssertionResult listBecomes(const std::vector<std::string>& expected)
    {
        if (WaitFor("the step list", [&] { return lines() == expected; }))
            return ::testing::AssertionSuccess();
        return SameSequence(expected, lines());
    }

    ::testing::AssertionResult selects(int index)
    {
        return WaitFor("line " + std::to_string(index) + " selected", [&] { return selection() == index; });
    }

    // The question about unsaved steps, answered with `button`.
    ::testing::AssertionResult answerUnsaved(int button)
    {
        RemoteDialog question = orvanta.waitForDialog(kQuestionCaption);
        if (!question)
            return ::testing::AssertionFailure() << "no question about unsaved steps; " << orvanta.describeWindows();
        if (question.messageText() != kUnsaved)
            return ::testing::AssertionFailure() << "the box asks " << Quoted(question.messageText());
        for (int id : {IDYES, IDNO, IDCANCEL})
            if (!question.hasItem(id))
                return ::testing::AssertionFailure() << "no button " << id << " in " << question.describe();
        if (auto pressed = question.pressButton(button); !pressed)
            return pressed;
        return WaitFor("the question closed", [&] { return !question.exists() || !question.isVisible(); });
    }

    // Clicks LOAD or SAVE and answers its file dialog with `path`; with
    // `unsaved`, answers the question about unsaved steps first.
    ::testing::AssertionResult chooseFile(int button, const std::string& path, std::optional<int> unsaved = {})
    {
        return chooseFile(button, Widen(path), unsaved);
    }
    ::testing::AssertionResult chooseFile(int button, const std::wstring& path, std::optional<int> unsaved = {})
    {
        if (auto clicked = panel.clickOpeningBox(button); !clicked)
            return clicked;
        if (unsaved)
            if (auto answered = answerUnsaved(*unsaved); !answered)
                return answered;
        return answerFileDialog(path);
    }

    // The file dialog that is opening, answered with `path`.
    ::testing::AssertionResult answerFileDialog(const std::wstring& path)
    {
        RemoteDialog dialog = orvanta.waitForDialog();
        if (!dialog)
            return ::testing::AssertionFailure() << "no file dialog; " << orvanta.describeWindows();
        if (auto answered = dialog.answerFileDialog(path); !answered)
            return answered;
        return WaitFor("the file dialog closed", [&] { return !dialog.exists() || !dialog.isVisible(); });
    }

    // Selects line 0 and deletes lines until none is left.
    void clearList()
    {
        std::vector<std::string> left = lines();
        ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 0));
        ASSERT_TRUE(selects(0));
        while (!left.empty()) {
            left.erase(left.begin());
            ASSERT_TRUE(panel.click(IDC_DEL));
            ASSERT_TRUE(listBecomes(left));
            // The line that moved up is selected; none after the last.
            EXPECT_EQ(selection(), left.empty() ? -1 : 0);
        }
    }

    void expectSetEdits(const std::array<const char*, 6>& values)
    {
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(panel.text(kSetEdits[i]), values[i]) << ControlName(kSetEdits[i]);
        EXPECT_EQ(panel.text(IDC_SPEED), "200");
    }
};

TEST_F(Trajectory, RecordsSavesLoadsAndReplaysThreeSteps)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string path = folder.file("steps.txt");
    ASSERT_TRUE(startLinked());
    ASSERT_TRUE(reports(kStartPose));

    // REC asks first; Yes makes the current pose the first step and locks the group.
    ASSERT_TRUE(panel.clickOpeningBox(IDC_REC));
    RemoteDialog question = orvanta.waitForDialog(kQuestionCaption);
    ASSERT_TRUE(question) << "no REC question; " << orvanta.describeWindows();
    EXPECT_EQ(question.messageText(), kRecQuestion);
    EXPECT_TRUE(question.hasItem(IDYES)) << question.describe();
    EXPECT_TRUE(question.hasItem(IDNO)) << question.describe();
    EXPECT_EQ(MessageBoxIcon(question), "none");
    ASSERT_TRUE(question.pressButton(IDYES));
    ASSERT_TRUE(WaitFor("the REC lock group disabled", [&] { return AllEnabled(panel, kRecLockGroup, false); }));
    for (int id : kRecLockGroup)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
    EXPECT_TRUE(panel.enabled(IDC_REC));
    EXPECT_TRUE(panel.checked(IDC_REC));
    ASSERT_TRUE(listBecomes({kStartPose.line}));
    EXPECT_EQ(selection(), 0);
    expectSetEdits(kStartPose.set);

    // Each position report moves the Set values; each step-end appends them.
    std::vector<std::string> recorded = {kStartPose.line};
    for (const Pose& pose : kMoves) {
        SCOPED_TRACE(pose.wire);
        ASSERT_TRUE(reports(pose));
        expectSetEdits(pose.set);
        EXPECT_EQ(lines().size(), recorded.size()) << "a position report added a step";
        ASSERT_TRUE(stepEnds());
        recorded.push_back(pose.line);
        ASSERT_TRUE(listBecomes(recorded));
        EXPECT_EQ(selection(), int(recorded.size()) - 1);
    }
    ASSERT_EQ(recorded, RecordedLines());

    // Switching REC off asks nothing and unlocks the group.
    ASSERT_TRUE(panel.click(IDC_REC));
    ASSERT_TRUE(WaitFor("the REC lock group enabled", [&] { return AllEnabled(panel, kRecLockGroup); }));
    for (int id : kRecLockGroup)
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id);
    EXPECT_FALSE(panel.checked(IDC_REC));
    ASSERT_TRUE(orvanta.noDialogOpen());
    ExpectSequence(recorded, lines());

    // Recording sent the robot nothing.
    EXPECT_TRUE(CartesianTargets(skype.commandTexts()).empty());

    // SAVE writes one line per step.
    ASSERT_TRUE(chooseFile(IDC_SAVE, path));
    const std::string saved = WindowsText(recorded);
    ASSERT_TRUE(WaitFor("the saved file", [&] { return ReadBytes(path) == saved; }))
        << Quoted(ReadBytes(path).value_or("(no file)"));
    ExpectSequence(Lines{"steps.txt"}, folder.names());

    clearList();

    // LOAD brings the steps back with line 0 selected (the emptied list is not
    // saved); the edits are not pushed, so they still show the line clicked
    // before the deletions.
    ASSERT_TRUE(chooseFile(IDC_LOAD, path, IDNO));
    ASSERT_TRUE(listBecomes(recorded));
    EXPECT_EQ(selection(), 0);
    expectSetEdits(kStartPose.set);

    // Forward: RUN sends the selected step, each step-end the next one, and the
    // step-end after the last line sends nothing and ends playback.
    skype.clear();
    ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 0));
    ASSERT_TRUE(selects(0));
    ASSERT_TRUE(panel.click(IDC_RUN));
    ASSERT_TRUE(WaitFor("the first target", [&] { return !CartesianTargets(skype.commandTexts()).empty(); }));
    EXPECT_TRUE(panel.checked(IDC_RUN));
    ExpectSequence(TargetsOf({0}), CartesianTargets(skype.commandTexts()));
    for (int next = 1; next < int(recorded.size()); ++next) {
        ASSERT_TRUE(stepEnds());
        EXPECT_EQ(selection(), next);
        EXPECT_TRUE(panel.checked(IDC_RUN));
    }
    ASSERT_TRUE(stepEnds());
    EXPECT_EQ(selection(), 3);
    ASSERT_TRUE(WaitFor("RUN unchecked", [&] { return !panel.checked(IDC_RUN); }));
    ExpectSequence(TargetsOf({0, 1, 2, 3}), WithoutPolls(skype.commandTexts()));

    // Backward: checking Backward selects the last line and sends nothing; RUN
    // sends what the Set edits show (still the last line), then back to line 0.
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_BACKWARD));
    ASSERT_TRUE(WaitFor("Backward checked", [&] { return panel.checked(IDC_BACKWARD); }));
    ASSERT_TRUE(selects(3));
    expectSetEdits(kMoves[2].set);
    ASSERT_TRUE(panel.click(IDC_RUN));
    ASSERT_TRUE(WaitFor("the first target", [&] { return !CartesianTargets(skype.commandTexts()).empty(); }));
    for (int next = 2; next >= 0; --next) {
        ASSERT_TRUE(stepEnds());
        EXPECT_EQ(selection(), next);
    }
    ASSERT_TRUE(stepEnds());
    EXPECT_EQ(selection(), 0);
    ASSERT_TRUE(WaitFor("RUN unchecked", [&] { return !panel.checked(IDC_RUN); }));
    ExpectSequence(TargetsOf({3, 2, 1, 0}), WithoutPolls(skype.commandTexts()));

    // The file is as it was saved.
    EXPECT_EQ(ReadBytes(path), saved);
}

// A step with a note longer than a line's first 119 characters comes back as
// one step, its note cut to 51 characters.
TEST_F(Trajectory, LongNoteStepSavesAndLoadsAsOneStep)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string path = folder.file("long.txt");
    ASSERT_TRUE(startOrvanta());
    const std::string note = std::string(101, 'x') + "9,9,9,9,9,9,9";
    ASSERT_TRUE(panel.setText(IDC_NOTE, note));
    ASSERT_TRUE(panel.click(IDC_ADD));
    const std::string line = "0,0,0,-90,0,0,200:" + note;
    ASSERT_TRUE(listBecomes({line}));
    ASSERT_TRUE(chooseFile(IDC_SAVE, path));
    ASSERT_TRUE(WaitFor("the saved file", [&] { return ReadBytes(path) == WindowsText({line}); }))
        << Quoted(ReadBytes(path).value_or("(no file)"));
    ASSERT_TRUE(chooseFile(IDC_LOAD, path));
    EXPECT_TRUE(listBecomes({"0,0,0,-90,0,0,200:" + std::string(51, 'x')}));
    EXPECT_EQ(selection(), 0);
}

TEST_F(Trajectory, LoadingAMissingNameCreatesItsTxtFileOnceAndEmptiesTheList)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200", "0,0,0,-90,0,0,200"}));

    // run.txt does not exist: an empty run.txt.txt is made and the list emptied
    // (its two steps not saved).
    ASSERT_TRUE(chooseFile(IDC_LOAD, folder.file("run.txt"), IDNO));
    ASSERT_TRUE(listBecomes({}));
    EXPECT_EQ(selection(), -1);
    EXPECT_EQ(ReadBytes(folder.file("run.txt.txt")), "");
    ExpectSequence(Lines{"run.txt.txt"}, folder.names());

    // Again, now that run.txt.txt holds steps: it is left as it is.
    const std::string kept = "1,2,3,4,5,6,7\r\n";
    WriteBytes(folder.file("run.txt.txt"), kept);
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));
    ASSERT_TRUE(chooseFile(IDC_LOAD, folder.file("run.txt"), IDNO));
    ASSERT_TRUE(listBecomes({}));
    EXPECT_EQ(ReadBytes(folder.file("run.txt.txt")), kept);
    ExpectSequence(Lines{"run.txt.txt"}, folder.names());
}

TEST_F(Trajectory, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string old = folder.file("old.txt");
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));
    ASSERT_TRUE(chooseFile(IDC_SAVE, old));
    const std::string saved = WindowsText({"0,0,0,-90,0,0,200"});
    ASSERT_TRUE(WaitFor("the saved file", [&] { return ReadBytes(old) == saved; }));

    // A path through that regular file cannot be written.
    ASSERT_TRUE(panel.setText(IDC_X_SET, "5"));
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200", "5,0,0,-90,0,0,200"}));
    const std::string bad = old + "\\new.txt";
    ASSERT_TRUE(chooseFile(IDC_SAVE, bad));
    RemoteDialog box = orvanta.waitForDialog();
    ASSERT_TRUE(box) << "no message box; " << orvanta.describeWindows();
    EXPECT_EQ(box.messageText(), "The trajectory could not be saved to " + bad + ".");
    EXPECT_TRUE(box.hasItem(IDOK)) << box.describe();
    EXPECT_FALSE(box.hasItem(IDNO)) << box.describe();
    EXPECT_TRUE(WaitFor(
        "the stop icon", [&] { return MessageBoxIcon(box) == "error"; }, 2000ms))
        << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box closed", [&] { return !box.exists() || !box.isVisible(); }));

    EXPECT_EQ(ReadBytes(old), saved);
    ExpectSequence(Lines{"old.txt"}, folder.names());
    ExpectSequence((Lines{"0,0,0,-90,0,0,200", "5,0,0,-90,0,0,200"}), lines());
}

// Unsaved steps hold a close up: Cancel keeps the panel as it was, Escape
// asks too, and No closes it as without the question (the close-down sent).
TEST_F(Trajectory, CloseWithUnsavedStepsAnsweredCancelThenNo)
{
    ASSERT_TRUE(startLinked());
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));
    skype.clear();

    // The close box (and Alt+F4): the question, in the style of REC's.
    panel.close();
    RemoteDialog question = orvanta.waitForDialog(kQuestionCaption);
    ASSERT_TRUE(question) << "no question; " << orvanta.describeWindows();
    EXPECT_EQ(question.messageText(), kUnsaved);
    EXPECT_EQ(question.owner(), panel.hwnd());
    EXPECT_EQ(MessageBoxIcon(question), "none");
    ASSERT_TRUE(question.pressButton(IDCANCEL));
    ASSERT_TRUE(WaitFor("the question closed", [&] { return !question.exists() || !question.isVisible(); }));
    // The panel goes on as before: a click is handled, nothing was sent.
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200", "0,0,0,-90,0,0,200"}));
    EXPECT_TRUE(panel.exists());
    EXPECT_TRUE(WithoutPolls(skype.commandTexts()).empty()) << ::testing::PrintToString(skype.commandTexts());

    // Escape and Enter, which the dialog manager turns into Cancel and OK, ask the same.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_ESCAPE ? "Escape" : "Enter");
        ASSERT_TRUE(PostMessageW(panel.item(IDC_ON_TOP), WM_KEYDOWN, key, 0));
        ASSERT_TRUE(answerUnsaved(IDCANCEL));
        ASSERT_TRUE(panel.click(IDC_ON_TOP));
        EXPECT_TRUE(panel.exists());
    }
    ASSERT_TRUE(panel.click(IDC_DEL));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));
    EXPECT_TRUE(WithoutPolls(skype.commandTexts()).empty()) << ::testing::PrintToString(skype.commandTexts());

    // No: the close-down runs and the process ends.
    panel.close();
    ASSERT_TRUE(answerUnsaved(IDNO));
    ASSERT_TRUE(orvanta.waitForExit(15000ms));
    EXPECT_FALSE(WithoutPolls(skype.commandTexts()).empty()) << "no close-down";
}

// Yes: SAVE's dialog; a cancelled dialog keeps the panel open, a save closes it.
TEST_F(Trajectory, CloseWithUnsavedStepsAnsweredYesSavesThemFirst)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string path = folder.file("kept.txt");
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(panel.setText(IDC_X_SET, "12"));
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"12,0,0,-90,0,0,200"}));

    panel.close();
    ASSERT_TRUE(answerUnsaved(IDYES));
    RemoteDialog dialog = orvanta.waitForDialog();
    ASSERT_TRUE(dialog) << "no save dialog; " << orvanta.describeWindows();
    ASSERT_TRUE(dialog.pressButton(IDCANCEL));
    ASSERT_TRUE(WaitFor("the save dialog closed", [&] { return !dialog.exists() || !dialog.isVisible(); }));
    ASSERT_TRUE(panel.click(IDC_ON_TOP));  // handled: the panel is still there
    EXPECT_TRUE(panel.exists());
    EXPECT_TRUE(folder.names().empty());

    panel.close();
    ASSERT_TRUE(answerUnsaved(IDYES));
    ASSERT_TRUE(answerFileDialog(Widen(path)));
    ASSERT_TRUE(orvanta.waitForExit(15000ms));
    EXPECT_EQ(ReadBytes(path), WindowsText({"12,0,0,-90,0,0,200"}));
    ExpectSequence(Lines{"kept.txt"}, folder.names());
}

// LOAD over unsaved steps asks first: Cancel opens no dialog and keeps the
// list; No loads. The loaded list is saved as it stands: the close asks nothing.
TEST_F(Trajectory, LoadOverUnsavedStepsAsksFirst)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string path = folder.file("run.txt");
    WriteBytes(path, "1,2,3,4,5,6,7\r\n");
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));

    ASSERT_TRUE(panel.clickOpeningBox(IDC_LOAD));
    ASSERT_TRUE(answerUnsaved(IDCANCEL));
    ASSERT_TRUE(panel.click(IDC_ON_TOP));  // handled after the question
    EXPECT_TRUE(orvanta.noDialogOpen());
    ExpectSequence(Lines{"0,0,0,-90,0,0,200"}, lines());

    ASSERT_TRUE(chooseFile(IDC_LOAD, path, IDNO));
    ASSERT_TRUE(listBecomes({"1,2,3,4,5,6,7"}));

    panel.close();
    ASSERT_TRUE(orvanta.waitForExit(15000ms));
}

// Names outside the ANSI code page reach the files: LOAD and SAVE in a folder
// named in Chinese and Greek, of files named so too.
TEST_F(Trajectory, LoadsAndSavesInAFolderNamedInChineseAndGreek)
{
    // "轨迹 τροχιά", "步骤 βήματα.txt", "保存 αποθήκευση.txt"
    TempFolder folder(L"\u8f68\u8ff9 \u03c4\u03c1\u03bf\u03c7\u03b9\u03ac ");
    ASSERT_TRUE(folder.created());
    const std::wstring given = L"\u6b65\u9aa4 \u03b2\u03ae\u03bc\u03b1\u03c4\u03b1.txt";
    const std::wstring saved = L"\u4fdd\u5b58 \u03b1\u03c0\u03bf\u03b8\u03ae\u03ba\u03b5\u03c5\u03c3\u03b7.txt";
    WriteBytes(folder.wideFile(given), "1,2,3,4,5,6,7\r\n8,8,8,8,8,8,8:grip\r\n");
    ASSERT_TRUE(startOrvanta());

    ASSERT_TRUE(chooseFile(IDC_LOAD, folder.wideFile(given)));
    ASSERT_TRUE(listBecomes({"1,2,3,4,5,6,7", "8,8,8,8,8,8,8:grip"}));
    EXPECT_EQ(selection(), 0);

    ASSERT_TRUE(panel.click(IDC_ADD));
    const Lines steps = {"1,2,3,4,5,6,7", "0,0,0,-90,0,0,200", "8,8,8,8,8,8,8:grip"};
    ASSERT_TRUE(listBecomes(steps));
    ASSERT_TRUE(chooseFile(IDC_SAVE, folder.wideFile(saved)));
    ASSERT_TRUE(WaitFor("the saved file", [&] { return ReadBytes(folder.wideFile(saved)) == WindowsText(steps); }))
        << Quoted(ReadBytes(folder.wideFile(saved)).value_or("(no file)"));
    std::vector<std::wstring> names = folder.wideNames();
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = {given, saved};
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(names == expected) << names.size() << " files";

    // Saved: LOAD asks nothing and reads it back.
    ASSERT_TRUE(chooseFile(IDC_LOAD, folder.wideFile(saved)));
    ASSERT_TRUE(WaitFor("the list loaded", [&] { return selection() == 0 && lines() == steps; }));
}

// A file that another program holds open without sharing is reported, and
// neither the list nor the file is taken for a new trajectory.
TEST_F(Trajectory, LoadOfAFileHeldByAnotherProgramSaysSoAndKeepsTheList)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    const std::string path = folder.file("held.txt");
    const std::string content = "1,2,3,4,5,6,7\r\n";
    WriteBytes(path, content);
    HANDLE held = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    struct Closer {
        HANDLE handle;
        ~Closer() { CloseHandle(handle); }
    } closer{held};

    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(panel.click(IDC_ADD));
    ASSERT_TRUE(listBecomes({"0,0,0,-90,0,0,200"}));
    ASSERT_TRUE(chooseFile(IDC_LOAD, path, IDNO));
    RemoteDialog box = orvanta.waitForDialog(kQuestionCaption);
    ASSERT_TRUE(box) << "no message box; " << orvanta.describeWindows();
    EXPECT_EQ(box.messageText(),
              "The trajectory file " + path + " could not be opened: it is in use by another program.");
    EXPECT_TRUE(box.hasItem(IDOK)) << box.describe();
    EXPECT_FALSE(box.hasItem(IDCANCEL)) << box.describe();
    EXPECT_TRUE(WaitFor(
        "the stop icon", [&] { return MessageBoxIcon(box) == "error"; }, 2000ms))
        << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box closed", [&] { return !box.exists() || !box.isVisible(); }));

    ExpectSequence(Lines{"0,0,0,-90,0,0,200"}, lines());
    ExpectSequence(Lines{"held.txt"}, folder.names());
    CloseHandle(held);
    closer.handle = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ReadBytes(path), content);
}

// Three steps, X 10, 20 and 30, added by the operator; the last one highlighted.
class Playback : public Trajectory {
protected:
    void addThreeSteps()
    {
        for (const char* x : {"10", "20", "30"}) {
            ASSERT_TRUE(panel.setText(IDC_X_SET, x));
            ASSERT_TRUE(panel.click(IDC_ADD));
        }
        ASSERT_TRUE(listBecomes(kThree));
    }
    std::vector<std::string> targets() const { return CartesianTargets(skype.commandTexts()); }

    const std::vector<std::string> kThree = {"10,0,0,-90,0,0,200", "20,0,0,-90,0,0,200", "30,0,0,-90,0,0,200"};
};

std::string TargetX(int x) { return CartesianTarget("X" + std::to_string(x * 10) + "Y0Z0P-900R0G0SP200"); }

// Unchecking RUN ends the playback at once, with the speed box being typed in
// too, and nothing the panel writes afterwards checks it again.
TEST_F(Playback, UncheckingRunEndsPlaybackAtOnce)
{
    ASSERT_TRUE(startLinked());
    addThreeSteps();
    ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 0));
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_RUN));
    ExpectSequence(std::vector<std::string>{TargetX(10)}, targets());
    ASSERT_TRUE(panel.click(IDC_RUN));
    EXPECT_FALSE(panel.checked(IDC_RUN));
    ASSERT_TRUE(stepEnds());
    ASSERT_TRUE(panel.setText(IDC_SPEED, ""));
    ASSERT_TRUE(stepEnds());
    ASSERT_TRUE(stepEnds());
    ExpectSequence(std::vector<std::string>{TargetX(10)}, targets());
    EXPECT_EQ(selection(), 0);

    // A click on a line, On Top twice, a report: RUN stays unchecked.
    ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 1));
    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(robotSays("WMRP_D|X0Y0Z0P0R0G0"));
    EXPECT_FALSE(panel.checked(IDC_RUN));
    ASSERT_TRUE(stepEnds());
    ExpectSequence(std::vector<std::string>{TargetX(10)}, targets());
}

// RUN plays the highlighted step, not what the Set edits show, and goes on from it.
TEST_F(Playback, RunPlaysTheHighlightedStep)
{
    ASSERT_TRUE(startLinked());
    addThreeSteps();
    // Backward highlights the last line and loads nothing; then 77 is typed.
    ASSERT_TRUE(panel.clickListLine(IDC_STEP_LIST, 0));
    ASSERT_TRUE(panel.click(IDC_BACKWARD));
    ASSERT_TRUE(selects(2));
    ASSERT_TRUE(panel.setText(IDC_X_SET, "77"));
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_RUN));
    EXPECT_EQ(panel.text(IDC_X_SET), "30");
    ASSERT_TRUE(stepEnds());
    EXPECT_EQ(panel.text(IDC_X_SET), "20");
    const std::vector<std::string> kExpected = {TargetX(30), TargetX(20)};
    ExpectSequence(kExpected, targets());
}

// What the operator types survives the writes they did not ask for: the
// silent-robot warning, every second, and Backward. No focus moves.
TEST_F(Playback, TypedBoxesSurviveTheSilentRobotTickAndBackward)
{
    ASSERT_TRUE(startLinked());
    ASSERT_TRUE(panel.setText(IDC_Y_SET, "12"));
    ASSERT_TRUE(panel.setText(IDC_X_SET, "-"));
    ASSERT_TRUE(panel.setText(IDC_NOTE, "cup"));
    ASSERT_TRUE(WaitFor(
        "the silent-robot warning",
        [&] { return panel.text(IDC_STATUS) == "Sorry Robot is not online now, please try again later"; }, 25000ms));
    EXPECT_EQ(panel.text(IDC_X_SET), "-");
    EXPECT_EQ(panel.text(IDC_Y_SET), "12");
    EXPECT_EQ(panel.text(IDC_NOTE), "cup");
    EXPECT_NE(panel.focus(), panel.item(IDC_X_SET));

    ASSERT_TRUE(panel.click(IDC_BACKWARD));
    EXPECT_EQ(panel.text(IDC_X_SET), "-");
    EXPECT_EQ(panel.text(IDC_Y_SET), "12");
    EXPECT_EQ(panel.text(IDC_SPEED), "200");
    EXPECT_NE(panel.focus(), panel.item(IDC_X_SET));
}

// ADD refuses a step whose target cannot be sent; LOAD keeps such a line, and
// playback that reaches it ends there, with its box once the report is handled.
TEST_F(Playback, StepThatCannotBeSentIsRefusedAndEndsPlayback)
{
    TempFolder folder;
    ASSERT_TRUE(folder.created());
    ASSERT_TRUE(startLinked());
    ASSERT_TRUE(panel.setText(IDC_X_SET, "300000000"));
    ASSERT_TRUE(panel.clickOpeningBox(IDC_ADD));
    RemoteDialog refusal = orvanta.waitForDialog();
    ASSERT_TRUE(refusal) << "no refusal box; " << orvanta.describeWindows();
    EXPECT_EQ(refusal.messageText(), "The step is out of range and was not added.");
    ASSERT_TRUE(refusal.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box closed", [&] { return !refusal.exists() || !refusal.isVisible(); }));
    EXPECT_TRUE(lines().empty());

    const std::string path = folder.file("far.txt");
    const std::vector<std::string> kFar = {"10,0,0,-90,0,0,200", "300000000,0,0,-90,0,0,200"};
    WriteBytes(path, WindowsText(kFar));
    ASSERT_TRUE(chooseFile(IDC_LOAD, path));
    ASSERT_TRUE(listBecomes(kFar));
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_RUN));
    // The step end is answered at once: no box inside it.
    ASSERT_TRUE(stepEnds());
    RemoteDialog box = orvanta.waitForDialog();
    ASSERT_TRUE(box) << "no box; " << orvanta.describeWindows();
    EXPECT_EQ(box.messageText(), "The target is out of range and was not sent.");
    EXPECT_FALSE(panel.checked(IDC_RUN));
    EXPECT_EQ(selection(), 1);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box closed", [&] { return !box.exists() || !box.isVisible(); }));
    ASSERT_TRUE(stepEnds());
    ExpectSequence(std::vector<std::string>{TargetX(10)}, targets());
}

}  // namespace
}  // namespace e2e

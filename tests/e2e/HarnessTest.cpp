// The harness checked against its own fixture program (selftest/), so a failing
// Orvanta test points at Orvanta, not at the driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "DialogProcess.h"
#include "FakeSkype.h"
#include "OrvantaFixture.h"
#include "RemoteDialog.h"
#include "ExpectSequence.h"
#include "Text.h"
#include "Wait.h"
#include "selftest/FixtureIds.h"

namespace e2e {
namespace {

std::string FixtureControlName(int id)
{
    switch (id) {
    case IDC_FX_BOX: return "IDC_FX_BOX";
    case IDC_FX_STATUS: return "IDC_FX_STATUS";
    case IDC_FX_EDIT: return "IDC_FX_EDIT";
    case IDC_FX_LIST: return "IDC_FX_LIST";
    case IDC_FX_CHECK: return "IDC_FX_CHECK";
    case IDC_FX_HOLD: return "IDC_FX_HOLD";
    case IDC_FX_DISABLED: return "IDC_FX_DISABLED";
    case IDC_FX_SEND: return "IDC_FX_SEND";
    }
    return {};
}

// A fresh temporary file path (Windows form) that does not exist yet.
std::string TempPath(const char* stem)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + stem + std::to_string(GetCurrentProcessId()) + "_" +
        std::to_string(GetTickCount()) + ".txt";
    DeleteFileA(path.c_str());
    return path;
}

class Harness : public ::testing::Test {
protected:
    void SetUp() override { SetControlNamer(FixtureControlName); }
    void TearDown() override
    {
        fixture.kill();
        SetControlNamer(OrvantaControlName);
    }
    ::testing::AssertionResult start()
    {
        auto started = fixture.start();
        if (started)
            window = fixture.mainWindow();
        return started;
    }
    std::string status() const { return window.text(IDC_FX_STATUS); }
    ::testing::AssertionResult statusBecomes(const std::string& expected)
    {
        auto result = WaitFor("status " + Quoted(expected), [&] { return status() == expected; });
        if (!result)
            result << " (it reads " << Quoted(status()) << ")";
        return result;
    }

    FakeSkype skype;
    DialogProcess fixture{L"E2EFixture.exe", "E2E Fixture"};
    RemoteDialog window;
};

TEST_F(Harness, FindsTheMainWindowOfItsOwnProcess)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(window.className(), "#32770");
    EXPECT_EQ(window.processId(), fixture.processId());
    EXPECT_EQ(status(), "ready");
    EXPECT_TRUE(fixture.noDialogOpen());
}

TEST_F(Harness, SeesTheBroadcastSentWithTheClientHandle)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(skype.waitForDiscoveries(1));
    auto seen = skype.discoveries();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].client, window.hwnd());
    EXPECT_EQ(seen[0].lParam, 0);
    EXPECT_TRUE(seen[0].sent);
    EXPECT_EQ(skype.client(), window.hwnd());
}

TEST_F(Harness, AnswersDiscoveryInsideTheBroadcast)
{
    skype.answerDiscovery(kAttachSuccess, AttachTiming::Nested);
    ASSERT_TRUE(start());
    // The start-up broadcast has returned once the window shows, so all of it is in.
    static const std::vector<std::string> kExpected = {"discover", "attach 0", "command HELLO", "done = 1"};
    ExpectSequence(kExpected, skype.transcript());
    auto commands = skype.commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].from, window.hwnd());
    EXPECT_EQ(commands[0].byteCount, 6u);
    EXPECT_EQ(commands[0].bytes, std::string("HELLO\0", 6));
    EXPECT_EQ(commands[0].tag, 0u);
    EXPECT_TRUE(commands[0].nested);
}

TEST_F(Harness, AnswersDiscoveryAfterTheBroadcast)
{
    skype.answerDiscovery(kAttachPendingAuthorization);
    ASSERT_TRUE(start());
    ASSERT_TRUE(statusBecomes("ATTACH 1"));
    static const std::vector<std::string> kExpected = {"discover", "attach 1", "done = 1"};
    ExpectSequence(kExpected, skype.transcript());
}

TEST_F(Harness, PostedAttachArrives)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(skype.postAttach(kAttachNotAvailable).delivered);
    ASSERT_TRUE(statusBecomes("ATTACH 3"));
}

TEST_F(Harness, SendsNoticesAndRecordsNestedReplies)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    ASSERT_TRUE(skype.waitForCommands(1));
    skype.clear();
    EXPECT_EQ(skype.sendNotice("PING"), Answered(1));
    static const std::vector<std::string> kExpected = {"notice PING", "command PONG", "done = 1"};
    ExpectSequence(kExpected, skype.transcript());
    EXPECT_TRUE(skype.commands().at(0).nested);
    EXPECT_EQ(status(), "NOTICE PING");
}

TEST_F(Harness, CommandHandlerRepliesFromInsideTheCommand)
{
    skype.answerDiscovery(kAttachSuccess);
    skype.onCommand([this](const CopyData& command) -> LRESULT {
        if (command.text() == "CLICKED")
            skype.sendNotice("PING");
        return 1;
    });
    ASSERT_TRUE(start());
    ASSERT_TRUE(skype.waitForCommands(1));
    skype.clear();
    ASSERT_TRUE(window.click(IDC_FX_SEND));
    ASSERT_TRUE(skype.waitForCommands(3));
    // PONG comes inside CLICKED, before the fixture goes on to AFTER.
    static const std::vector<std::string> kExpected = {"command CLICKED", "notice PING", "command PONG", "done = 1",
                                                       "command AFTER"};
    ExpectSequence(kExpected, skype.transcript());
}

TEST_F(Harness, ForeignNoticeIsSentFromTheForeignWindow)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    ASSERT_TRUE(statusBecomes("ATTACH 0"));
    EXPECT_EQ(skype.sendForeignNotice("PING"), Answered(1));
    EXPECT_EQ(status(), "ATTACH 0");
    static const std::vector<std::string> kExpected = {
        "discover", "attach 0", "command HELLO", "done = 1", "foreign notice PING", "done = 1"};
    ExpectSequence(kExpected, skype.transcript());
}

TEST_F(Harness, RawCopyDataKeepsItsByteCount)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    EXPECT_EQ(skype.sendCopyData("ABCDEF", 3), Answered(1));
    ASSERT_TRUE(statusBecomes("NOTICE ABC"));
}

TEST_F(Harness, NoticeReachesAProgramShowingABox)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    // The click was posted, so the box's modal loop does not hold us up...
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_BOX));
    ASSERT_TRUE(fixture.waitForDialog("Fixture Box"));
    // ...and the loop pumps, so a notice is taken while the box is open.
    EXPECT_EQ(skype.sendNotice("X"), Answered(1));
    EXPECT_EQ(status(), "NOTICE X");
}

TEST_F(Harness, BackgroundSendWaitsWhileTheTestAnswersABox)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    skype.clear();
    skype.setSendTimeout(10000ms);
    skype.inBackground([this] { skype.sendNotice("BOX"); });
    // The box opens inside the program's WM_COPYDATA handler: the send is still out.
    RemoteDialog box = fixture.waitForDialog("Fixture Notice");
    ASSERT_TRUE(box) << fixture.describeWindows();
    static const std::vector<std::string> kDuring = {"notice BOX"};
    ExpectSequence(kDuring, skype.transcript());
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the send to return", [&] { return skype.transcript().size() == 2; }));
    static const std::vector<std::string> kAfter = {"notice BOX", "done = 1"};
    ExpectSequence(kAfter, skype.transcript());
}

TEST_F(Harness, SendToABusyProgramTimesOut)
{
    ASSERT_TRUE(start());
    ASSERT_EQ(skype.sendAttach(kAttachSuccess), Answered(1));
    skype.setSendTimeout(300ms);
    EXPECT_FALSE(skype.sendNotice("SLEEP").delivered);
    static const std::vector<std::string> kExpected = {"notice SLEEP", "done timeout"};
    auto transcript = skype.transcript();
    ExpectSequence(kExpected, std::vector<std::string>(transcript.end() - 2, transcript.end()));
}

TEST_F(Harness, SendToAGoneWindowIsNotDelivered)
{
    ASSERT_TRUE(start());
    HWND gone = window.hwnd();
    fixture.kill();
    EXPECT_FALSE(skype.sendNotice("Y", gone).delivered);
}

TEST_F(Harness, AnswersAMessageBox)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_BOX));
    RemoteDialog box = fixture.waitForDialog("Fixture Box");
    ASSERT_TRUE(box) << "no box";
    EXPECT_EQ(box.messageText(), "Fixture question?");
    EXPECT_EQ(box.owner(), window.hwnd());
    EXPECT_FALSE(fixture.noDialogOpen());
    ASSERT_TRUE(box.pressButton(IDNO));
    ASSERT_TRUE(WaitFor("the box to close", [&] { return !box.exists(); }));
    ASSERT_TRUE(statusBecomes("NO"));
    EXPECT_TRUE(fixture.noDialogOpen());
}

TEST_F(Harness, ClickRefusesDisabledControls)
{
    ASSERT_TRUE(start());
    EXPECT_FALSE(window.enabled(IDC_FX_DISABLED));
    EXPECT_FALSE(window.click(IDC_FX_DISABLED));
    EXPECT_FALSE(window.click(4242));
}

TEST_F(Harness, AutoCheckBoxTogglesOnClick)
{
    ASSERT_TRUE(start());
    EXPECT_FALSE(window.checked(IDC_FX_CHECK));
    ASSERT_TRUE(window.click(IDC_FX_CHECK));
    ASSERT_TRUE(statusBecomes("CHECKED"));
    EXPECT_TRUE(window.checked(IDC_FX_CHECK));
    ASSERT_TRUE(window.mouseClick(IDC_FX_CHECK));
    ASSERT_TRUE(statusBecomes("UNCHECKED"));
    EXPECT_EQ(window.checkState(IDC_FX_CHECK), BST_UNCHECKED);
}

TEST_F(Harness, PressAndReleaseReachASubclassedButton)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.press(IDC_FX_HOLD));
    ASSERT_TRUE(statusBecomes("DOWN"));
    ASSERT_TRUE(window.release(IDC_FX_HOLD));
    ASSERT_TRUE(statusBecomes("UP"));
}

TEST_F(Harness, TypesAndReadsEditText)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.setText(IDC_FX_EDIT, "12.5 mm"));
    EXPECT_EQ(window.text(IDC_FX_EDIT), "12.5 mm");
}

TEST_F(Harness, ReadsAndClicksListLines)
{
    ASSERT_TRUE(start());
    static const std::vector<std::string> kLines = {"alpha",   "beta", "gamma", "delta",
                                                    "epsilon", "zeta", "eta",   "theta"};
    ExpectSequence(kLines, window.listLines(IDC_FX_LIST));
    EXPECT_EQ(window.listSelection(IDC_FX_LIST), -1);
    ASSERT_TRUE(window.clickListLine(IDC_FX_LIST, 6));
    ASSERT_TRUE(WaitFor("line 6 selected", [&] { return window.listSelection(IDC_FX_LIST) == 6; }));
    ASSERT_TRUE(WaitFor("the selection notice", [&] { return status().rfind("SEL 6 #", 0) == 0; }));
}

TEST_F(Harness, ReadsSizeAndTopmost)
{
    ASSERT_TRUE(start());
    SIZE size = window.size();
    EXPECT_GT(size.cx, 100);
    EXPECT_GT(size.cy, 100);
    EXPECT_FALSE(window.topmost());
}

TEST_F(Harness, SavesThroughTheSaveDialog)
{
    ASSERT_TRUE(start());
    std::string path = TempPath("e2e_save_");
    ASSERT_TRUE(window.setText(IDC_FX_EDIT, "saved line"));
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_SAVE));
    RemoteDialog dialog = fixture.waitForDialog();
    ASSERT_TRUE(dialog) << "no Save dialog";
    ASSERT_TRUE(dialog.answerFileDialog(path));
    ASSERT_TRUE(statusBecomes("SAVE " + path));
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "saved line");
    file.close();
    DeleteFileA(path.c_str());
}

TEST_F(Harness, AnswersTheOverwritePromptOfTheSaveDialog)
{
    std::string path = TempPath("e2e_over_");
    std::ofstream(path) << "old\n";
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.setText(IDC_FX_EDIT, "new"));
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_SAVE));
    RemoteDialog dialog = fixture.waitForDialog();
    ASSERT_TRUE(dialog) << "no Save dialog";
    ASSERT_TRUE(dialog.answerFileDialog(path));
    // The prompt is a message box owned by the file dialog, not by the program's window.
    RemoteDialog prompt =
        fixture.waitForDialogWhere([&](const RemoteDialog& box) { return box.owner() == dialog.hwnd(); });
    ASSERT_TRUE(prompt) << fixture.describeWindows();
    EXPECT_NE(prompt.messageText().find("already exists"), std::string::npos) << prompt.describe();
    ASSERT_TRUE(prompt.pressButton(IDYES));
    ASSERT_TRUE(statusBecomes("SAVE " + path));
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "new");
    file.close();
    DeleteFileA(path.c_str());
}

TEST_F(Harness, OpensThroughTheOpenDialog)
{
    std::string path = TempPath("e2e_open_");
    std::ofstream(path) << "loaded line\n";
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_OPEN));
    RemoteDialog dialog = fixture.waitForDialog();
    ASSERT_TRUE(dialog) << "no Open dialog";
    ASSERT_TRUE(dialog.answerFileDialog(path));
    ASSERT_TRUE(statusBecomes("OPEN " + path));
    EXPECT_EQ(window.text(IDC_FX_EDIT), "loaded line");
    DeleteFileA(path.c_str());
}

TEST_F(Harness, CancelsAFileDialog)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.clickOpeningBox(IDC_FX_OPEN));
    RemoteDialog dialog = fixture.waitForDialog();
    ASSERT_TRUE(dialog) << "no Open dialog";
    ASSERT_TRUE(dialog.pressButton(IDCANCEL));
    ASSERT_TRUE(statusBecomes("OPEN cancelled"));
}

TEST_F(Harness, WaitsForAnExitAndItsCode)
{
    ASSERT_TRUE(start());
    window.close();
    ASSERT_TRUE(fixture.waitForExit(5000ms));
    EXPECT_EQ(fixture.exitCode(), DWORD(FIXTURE_EXIT_CODE));
}

TEST_F(Harness, KillEndsTheProcess)
{
    ASSERT_TRUE(start());
    fixture.kill();
    EXPECT_FALSE(fixture.running());
    EXPECT_FALSE(window.exists());
}

TEST_F(Harness, SequenceReportsTheFirstDifference)
{
    auto result = SameSequence({"a", "b", "c"}, {"a", "x", "c", "d"});
    ASSERT_FALSE(result);
    std::string message = result.message();
    EXPECT_NE(message.find("differ at index 1"), std::string::npos) << message;
    EXPECT_TRUE(SameSequence({"done = *"}, {"done = 1"}));
    EXPECT_FALSE(SameSequence({"done = 1"}, {"done = 2"}));
}

TEST_F(Harness, WaitForTimesOutAndHoldsForHolds)
{
    EXPECT_FALSE(WaitFor(
        "never", [] { return false; }, 50ms));
    int polls = 0;
    EXPECT_TRUE(HoldsFor(
        "always", [&] { return ++polls > 0; }, 50ms));
    EXPECT_GT(polls, 1);
    EXPECT_FALSE(HoldsFor(
        "never", [] { return false; }, 50ms));
}

}  // namespace
}  // namespace e2e

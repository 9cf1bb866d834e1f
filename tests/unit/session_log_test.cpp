// The session log: its lines, its file, the folder's newest logs, and a log
// that cannot be written. Each test writes under a fresh temporary folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "PanelFixture.h"
#include "SessionLog.h"

namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
            ("orvanta-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> FileNames(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A clock that starts at 2024-05-01 14:03:07.412 and moves a millisecond a reading.
LogTime Tick(LogTime& t)
{
    LogTime now = t;
    if (++t.millisecond == 1000) {
        t.millisecond = 0;
        ++t.second;
    }
    return now;
}
const LogTime kStart{2024, 5, 1, 14, 3, 7, 412};

TEST(SessionLogTest, LineHoldsTimeDirectionNestingAndEscapedText)
{
    struct Row {
        bool out, nested;
        std::string text;
        const char* line;
    };
    const Row rows[] = {
        {true, false, "CREATE APPLICATION remotecontrol",
         "2024-05-01 14:03:07.412 out        CREATE APPLICATION remotecontrol\n"},
        {false, true, "CALL 17 STATUS FINISHED", "2024-05-01 14:03:07.412 in  nested CALL 17 STATUS FINISHED\n"},
        {true, true, "a\\b", "2024-05-01 14:03:07.412 out nested a\\\\b\n"},
        {false, false, std::string("x\n\r\ty\x01\x7f\x1b", 8) + '\0' + "z",
         "2024-05-01 14:03:07.412 in         x\\n\\r\\ty\\x01\\x7F\\x1B\\x00z\n"},
        {false, false, "", "2024-05-01 14:03:07.412 in         \n"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FormatLogLine(kStart, r.out, r.nested, r.text), r.line);
    EXPECT_EQ(FormatLogLine(LogTime{2031, 12, 31, 9, 5, 0, 7}, true, false, "x"),
              "2031-12-31 09:05:00.007 out        x\n");
}

TEST(SessionLogTest, WritesEveryLineInOrderByCloseDownInANewFolder)
{
    TempFolder temp;
    const fs::path folder = temp.path() / "Orvanta" / "Logs";
    LogTime clock = kStart;
    CSessionLog log([&] { return Tick(clock); });
    log.Open(folder);
    log.Command("CREATE APPLICATION remotecontrol", false);
    log.Notice("CREATE APPLICATION remotecontrol", true);
    log.Notice("CALL 17 DURATION 1", false);
    const fs::path file = log.File();
    log.Close();
    log.Command("after the close", false);

    EXPECT_EQ(file, folder / "Orvanta-20240501-140307.log");
    EXPECT_EQ(ReadFile(file),
              "2024-05-01 14:03:07.413 out        CREATE APPLICATION remotecontrol\n"
              "2024-05-01 14:03:07.414 in  nested CREATE APPLICATION remotecontrol\n"
              "2024-05-01 14:03:07.415 in         CALL 17 DURATION 1\n");
}

TEST(SessionLogTest, FolderKeepsTheNewestTwentyLogsAndNothingElseIsRemoved)
{
    TempFolder temp;
    std::set<std::string> kept;
    // 25 logs of earlier runs, two of them from one second.
    for (int i = 0; i < 24; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Orvanta-20240430-1200%02d.log", i);
        std::ofstream(temp.path() / name) << "old\n";
        if (i >= 6)
            kept.insert(name);
    }
    std::ofstream(temp.path() / "Orvanta-20240430-120023-2.log") << "old\n";
    kept.insert("Orvanta-20240430-120023-2.log");
    // Not ours: other names, and a folder named like a log.
    for (const char* other : {"notes.txt", "Orvanta-2024.log", "orvanta-20240101-000000.log"}) {
        std::ofstream(temp.path() / other) << "mine\n";
        kept.insert(other);
    }
    fs::create_directory(temp.path() / "Orvanta-20000101-000000.log");
    kept.insert("Orvanta-20000101-000000.log");

    LogTime clock = kStart;
    CSessionLog log([&] { return Tick(clock); });
    log.Open(temp.path());
    kept.insert(log.File().filename().string());
    log.Close();

    EXPECT_EQ(kept.size(), 20u + 4u);
    EXPECT_EQ(FileNames(temp.path()), kept);
}

TEST(SessionLogTest, SecondRunInTheSameSecondGetsAFileOfItsOwn)
{
    TempFolder temp;
    std::ofstream(temp.path() / "Orvanta-20240501-140307.log") << "the first run\n";
    LogTime clock = kStart;
    CSessionLog log([&] { return Tick(clock); });
    log.Open(temp.path());
    log.Command("call orvanta.robot", false);
    EXPECT_EQ(log.File(), temp.path() / "Orvanta-20240501-140307-2.log");
    log.Close();
    EXPECT_EQ(ReadFile(temp.path() / "Orvanta-20240501-140307.log"), "the first run\n");
}

TEST(SessionLogTest, FolderThatCannotBeMadeTurnsTheLogOffSilently)
{
    TempFolder temp;
    std::ofstream(temp.path() / "Orvanta") << "a file where the folder should be\n";
    CSessionLog log;
    log.Open(temp.path() / "Orvanta" / "Logs");
    log.Command("call orvanta.robot", false);
    EXPECT_TRUE(log.File().empty());
    log.Notice("CALL 17 STATUS ROUTING", true);
    log.Flush();
    log.Close();
    EXPECT_EQ(FileNames(temp.path()), std::set<std::string>{"Orvanta"});
}

// --- The panel's "Session Log..." item

class SessionLogMenuTest : public PanelTest { };

TEST_F(SessionLogMenuTest, OpensThisRunsLogWithTheShell)
{
    TempFolder temp;
    desk.localAppData = temp.path();
    OpenPanel();
    desk.SysCommand(IDM_SESSIONLOG | 0x3);
    const Sequence shell = Log(headless::kShell | headless::kBox);
    ASSERT_EQ(shell.size(), 1u);
    const std::string prefix = "shell open " + (temp.path() / "Orvanta" / "Logs" / "Orvanta-").string();
    EXPECT_EQ(shell[0].substr(0, prefix.size()), prefix);
    EXPECT_EQ(shell[0].substr(shell[0].size() - 4), ".log");
    StartOver();  // ends the log before its folder goes
}

TEST_F(SessionLogMenuTest, SaysWhyWhenTheLogIsOff)
{
    TempFolder temp;
    std::ofstream(temp.path() / "Orvanta") << "a file where the folder should be\n";
    desk.localAppData = temp.path();
    OpenPanel();
    desk.ExpectBox("The session log could not be written.\n\nFolder: " + (temp.path() / "Orvanta" / "Logs").string());
    desk.SysCommand(IDM_SESSIONLOG);
    ExpectSequence(Sequence{"box Session Log | The session log could not be written.\\n\\nFolder: " +
                            (temp.path() / "Orvanta" / "Logs").string() + " | warning ok -> IDOK"},
                   Log(headless::kShell | headless::kBox));
    StartOver();
}

}  // namespace

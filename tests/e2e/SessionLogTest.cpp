// The session log as the operator finds it: a scripted session leaves one log
// with its commands and notices in order, and a log that cannot be written
// changes nothing the panel does. Each test gives Orvanta a %LOCALAPPDATA% of
// its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "OrvantaFixture.h"
#include "Text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kDisconnect = "ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":3";
const std::string kDelete = "DELETE APPLICATION remotecontrol";
const std::string kHangUp = "ALTER CALL 17 HANGUP";
const std::string kCall = "call " + kRobot;

// The last command that reached Skype, polls left out.
std::string LastCommand(const FakeSkype& skype)
{
    auto commands = skype.commandTexts();
    std::erase_if(commands, IsPoll);
    return commands.empty() ? std::string() : commands.back();
}

class SessionLog : public OrvantaTest {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // Named in Chinese and Greek ("日志 καταγραφή"): the user's folders may
        // hold any character, none of them in the ANSI code page.
        m_folder = fs::path(temp) / ("orvanta-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + test->name());
        m_folder += L" \u65e5\u5fd7 \u03ba\u03b1\u03c4\u03b1\u03b3\u03c1\u03b1\u03c6\u03ae";
        std::error_code error;
        fs::remove_all(m_folder, error);
        ASSERT_TRUE(fs::create_directories(m_folder, error)) << error.message();
        // Orvanta inherits our environment.
        wchar_t saved[MAX_PATH + 1] = {};
        m_hadLocalAppData = GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH + 1) > 0;
        m_savedLocalAppData = saved;
        SetEnvironmentVariableW(L"LOCALAPPDATA", m_folder.c_str());
    }

    void TearDown() override
    {
        OrvantaTest::TearDown();
        SetEnvironmentVariableW(L"LOCALAPPDATA", m_hadLocalAppData ? m_savedLocalAppData.c_str() : nullptr);
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    fs::path logsFolder() const { return m_folder / "Orvanta" / "Logs"; }

    std::vector<fs::path> logs() const
    {
        std::vector<fs::path> found;
        std::error_code error;
        for (fs::directory_iterator it(logsFolder(), error), end; !error && it != end; it.increment(error))
            found.push_back(it->path());
        return found;
    }

    // The log's lines as "out TEXT" or "in TEXT", with " (nested)" after a
    // nested one, the polls left out. A line not in the log's form reads
    // "bad line: ...".
    static std::vector<std::string> entries(const fs::path& file)
    {
        static const std::regex kLine(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (out|in ) (nested|      ) (.*)$)");
        std::ifstream in(file, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::smatch match;
            if (!std::regex_match(line, match, kLine)) {
                lines.push_back("bad line: " + line);
                continue;
            }
            std::string text = match[3];
            if (IsPoll(text))
                continue;
            lines.push_back((match[1] == "out" ? "out " : "in ") + text + (match[2] == "nested" ? " (nested)" : ""));
        }
        return lines;
    }

    fs::path m_folder;
    bool m_hadLocalAppData = false;
    std::wstring m_savedLocalAppData;
};

// Attach, Connect, a jog, a robot report, Disconnect and close, with Skype
// answering some commands from inside them. The operator's clicks are real
// mouse clicks: posted, they are handled in the panel's loop, never inside a send.
TEST_F(SessionLog, SessionLeavesOneLogOfItsCommandsAndNoticesInOrder)
{
    skype.answerDiscovery(kAttachSuccess);
    skype.onCommand([this](const CopyData& command) -> LRESULT {
        const std::string text = command.text();
        if (text == kCreate || text == kHangUp)
            skype.sendNotice(text, command.from);  // Skype's echo
        else if (text == kConnect)
            skype.sendNotice(kStreams3, command.from);
        else if (text == kCall)
            skype.sendNotice("CALL 17 STATUS ROUTING", command.from);
        return 1;
    });
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(skype.waitForCommands(2));
    ASSERT_EQ(skype.sendNotice("CALL 17 DURATION 1"), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), Answered(1));
    ASSERT_TRUE(panel.mouseClick(IDC_CONNECT));
    ASSERT_TRUE(WaitFor("the call", [&] { return LastCommand(skype) == kCall; }));
    ASSERT_TRUE(panel.press(IDC_BASE_PLUS));
    ASSERT_TRUE(
        WaitFor("the jog's start", [&] { return LastCommand(skype) == DatagramCommand(3, "WMCA_BSTARTM|1001"); }));
    ASSERT_TRUE(panel.release(IDC_BASE_PLUS));
    ASSERT_TRUE(
        WaitFor("the jog's stop", [&] { return LastCommand(skype) == DatagramCommand(3, "WMCA_BSTOPM|1001"); }));
    const std::string report = "APPLICATION remotecontrol DATAGRAM " + kRobot + ":3 Msg$WMRP_D|X1500Y0Z2000P-900R0G300";
    ASSERT_EQ(skype.sendNotice(report), Answered(1));

    // Written while Orvanta runs, within about a second.
    ASSERT_TRUE(WaitFor("one log", [&] { return logs().size() == 1; }));
    const fs::path file = logs()[0];
    EXPECT_TRUE(WaitFor(
        "the report in the log",
        [&] {
            auto lines = entries(file);
            return !lines.empty() && lines.back().starts_with("in " + report);
        },
        3000ms));

    ASSERT_TRUE(panel.mouseClick(IDC_DISCONNECT));
    ASSERT_TRUE(WaitFor("the delete", [&] { return LastCommand(skype) == kDelete; }));
    panel.close();
    ASSERT_TRUE(orvanta.waitForExit(15000ms));

    // Commands go out, notices come in; "nested" ones came inside one of
    // Orvanta's sends. A notice Skype sends of its own accord is nested when it
    // happens to come during a poll: its mark is left open ("*").
    const std::string nested = " (nested)";
    const std::vector<std::string> kExpected = {
        "out " + kCreate,
        "in " + kCreate + nested,
        "out " + kConnect,
        "in " + kStreams3 + nested,
        "in CALL 17 DURATION 1*",
        "in CALL 17 VIDEO_RECEIVE_STATUS RUNNING*",
        "out " + kCall,
        "in CALL 17 STATUS ROUTING" + nested,
        "out " + DatagramCommand(3, "WMCA_BSTARTM|1001"),
        "out " + DatagramCommand(3, "WMCA_BSTOPM|1001"),
        "in " + report + "*",
        // Disconnect.
        "out " + DatagramCommand(3, "WMCD"),
        "out " + kHangUp,
        "in " + kHangUp + nested,
        "out " + kDisconnect,
        "out " + kDelete,
        // The close-down.
        "out " + DatagramCommand(3, "WMCD"),
        "out " + kHangUp,
        "in " + kHangUp + nested,
        "out " + kDisconnect,
        "out " + kDelete,
    };
    ASSERT_EQ(logs().size(), 1u);
    ExpectSequence(kExpected, entries(file));
}

// A file where the log's folder should be: no log, and the panel works as
// without one. "Session Log..." says where the log could not be written.
TEST_F(SessionLog, UnwritableFolderChangesNothingButTheMenuItem)
{
    {
        std::ofstream(m_folder / "Orvanta") << "a file where the folder should be\n";
    }
    skype.answerDiscovery(kAttachSuccess);
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(skype.waitForCommands(2));
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), Answered(1));
    ASSERT_TRUE(panel.click(IDC_CONNECT));
    ASSERT_TRUE(WaitFor("the call", [&] { return LastCommand(skype) == kCall; }));
    EXPECT_TRUE(orvanta.noDialogOpen());

    panel.sysCommand(IDM_SESSIONLOG);
    RemoteDialog box = orvanta.waitForDialog("Session Log");
    ASSERT_TRUE(box) << orvanta.describeWindows();
    EXPECT_TRUE(box.wideMessageText() ==
                L"The session log could not be written.\n\nFolder: " + (m_folder / "Orvanta" / "Logs").wstring())
        << box.messageText();
    EXPECT_TRUE(WaitFor(
        "the warning icon", [&] { return MessageBoxIcon(box) == "warning"; }, 2000ms))
        << "shows " << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the box to close", [&] { return !box.exists() || !box.isVisible(); }));

    ASSERT_TRUE(panel.click(IDC_DISCONNECT));
    ASSERT_TRUE(WaitFor("the delete", [&] { return LastCommand(skype) == kDelete; }));
    const std::vector<std::string> kExpected = {
        kCreate, kConnect, kCall, DatagramCommand(3, "WMCD"), "ALTER CALL 0 HANGUP", kDisconnect, kDelete};
    auto commands = skype.commandTexts();
    std::erase_if(commands, IsPoll);
    ExpectSequence(kExpected, commands);
    EXPECT_TRUE(fs::is_regular_file(m_folder / "Orvanta"));
}

}  // namespace
}  // namespace e2e

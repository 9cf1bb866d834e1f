#include "PanelFixture.h"

#include <algorithm>
#include <sstream>

void ExpectSequence(const Sequence& expected, const Sequence& actual, const char* context, const char* file, int line)
{
    if (expected == actual)
        return;
    size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
        ++first;
    std::ostringstream out;
    out << context << ": sequences differ at index " << first << "\n";
    size_t n = std::max(expected.size(), actual.size());
    for (size_t i = 0; i < n; ++i) {
        out << (i == first ? "> " : "  ") << i << "  expected: " << (i < expected.size() ? expected[i] : "(none)")
            << "\n" << std::string(6 + std::to_string(i).size(), ' ')
            << "actual:   " << (i < actual.size() ? actual[i] : "(none)") << "\n";
    }
    ADD_FAILURE_AT(file, line) << out.str();
}

std::string Datagram(const std::string& command, int stream)
{
    return "send ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:" + std::to_string(stream) + " Msg$" + command;
}

void PanelTest::SetUp()
{
    desk.Reset();
}

void PanelTest::TearDown()
{
    desk.VerifyScriptsTaken();
    panel.reset();
    desk.Reset();
}

void PanelTest::OpenPanel()
{
    panel = std::make_unique<CControlPanelDlg>();
    ASSERT_TRUE(panel->Create());
    Flush();
}

void PanelTest::OpenAttached(int stream)
{
    OpenPanel();
    desk.Attach(0);
    desk.Notice("APPLICATION remotecontrol STREAMS orvanta.robot:" + std::to_string(stream));
    Flush();
}

void PanelTest::OpenOperating(int stream)
{
    OpenAttached(stream);
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    Flush();
}

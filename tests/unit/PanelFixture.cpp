#include "PanelFixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
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

Sequence operator+(Sequence a, const Sequence& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Sequence LinkControlEntries(int enable)
{
    static const char* const kNames[] = {
        "IDC_CONNECT", "IDC_DISCONNECT", "IDC_MOVE_XYZ",
        "IDC_BASE_PLUS", "IDC_BASE_MINUS", "IDC_SHOULDER_DOWN", "IDC_SHOULDER_UP", "IDC_ELBOW_DOWN", "IDC_ELBOW_UP",
        "IDC_WRIST_DOWN", "IDC_WRIST_UP", "IDC_WRISTROT_PLUS", "IDC_WRISTROT_MINUS", "IDC_HAND_CLOSE", "IDC_HAND_OPEN",
        "IDC_CALIBRATE", "IDC_GOTO_HOME", "IDC_STEP", "IDC_RUN", "IDC_REC",
    };
    Sequence out;
    for (const char* name : kNames)
        out.push_back(std::string("enable ") + name + (enable ? " 1" : " 0"));
    return out;
}

Sequence PanelTest::LinkLog() const
{
    Sequence out;
    for (const std::string& e : desk.Entries(headless::kAll & ~headless::kCapture)) {
        bool exchange = e.rfind("text ", 0) == 0 || e.rfind("check ", 0) == 0;
        if (!exchange || e.rfind("text IDC_STATUS ", 0) == 0)
            out.push_back(e);
    }
    return out;
}

void PanelTest::StartOver()
{
    desk.VerifyScriptsTaken();
    panel_driver::Close(panel, desk);
}

void PanelTest::LoadSteps(const Sequence& lines)
{
    std::string path = testing::TempDir() + "orvanta-steps-XXXXXX";
    int fd = mkstemp(path.data());
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream file(path, std::ios::binary);
    for (const std::string& line : lines)
        file << line << "\n";
    file.close();
    desk.ExpectFileDialog(true, path);
    desk.Click(IDC_LOAD);
    std::remove(path.c_str());
    Flush();
}

Sequence PanelTest::Shown(int id) const
{
    const std::string prefix = "text " + headless::Desktop::ControlName(id) + " ";
    Sequence out;
    for (const std::string& entry : desk.Entries(headless::kText))
        if (entry.compare(0, prefix.size(), prefix) == 0)
            out.push_back(entry);
    return out;
}

void PanelTest::SetUp()
{
    desk.Reset();
}

void PanelTest::TearDown()
{
    desk.VerifyScriptsTaken();
    panel_driver::Close(panel, desk);
}

void PanelTest::OpenPanel()
{
    panel = panel_driver::Open(desk);
    ASSERT_TRUE(panel);
}

void PanelTest::OpenAttached(int stream)
{
    OpenPanel();
    panel_driver::Attach(desk, stream);
    Flush();
}

void PanelTest::OpenOperating(int stream)
{
    OpenAttached(stream);
    panel_driver::StartVideo(desk);
    Flush();
}

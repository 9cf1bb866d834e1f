#include "PanelFixture.h"

#include "TempFolder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

std::string Datagram(const std::string& command, int stream)
{
    return "send " + testsupport::DatagramCommand(stream, command);
}

Sequence LinkControlEntries(int enable)
{
    Sequence out;
    for (const auto& [id, name] : testsupport::LinkControls())
        out.push_back("enable " + name + (enable ? " 1" : " 0"));
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
    const std::string path = TempFileOfLines(lines);
    desk.ExpectFileDialog(true, path);
    desk.Click(IDC_LOAD);
    std::remove(path.c_str());
    Flush();
}

Sequence PanelTest::Shown(int id) const
{
    const std::string prefix = "text " + testsupport::ControlName(id) + " ";
    Sequence out;
    for (const std::string& entry : desk.Entries(headless::kText))
        if (entry.compare(0, prefix.size(), prefix) == 0)
            out.push_back(entry);
    return out;
}

void PanelTest::SetUp()
{
    desk.onFailure = [](const std::string& what) { ADD_FAILURE() << what; };
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

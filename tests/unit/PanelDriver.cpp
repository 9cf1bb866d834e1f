#include "PanelDriver.h"

#include "ClientApp.h"
#include "WireTexts.h"

namespace panel_driver {

std::unique_ptr<CControlPanelDlg> Open(SkypeDesktop& desk)
{
    auto panel = std::make_unique<CControlPanelDlg>();
    // The panel is the main window, as in the program: boxes are owned by it.
    theApp.m_pMainWnd = panel.get();
    if (!panel->Create()) {
        theApp.m_pMainWnd = nullptr;
        return nullptr;
    }
    desk.ClearLog();
    return panel;
}

void Attach(SkypeDesktop& desk, int stream)
{
    desk.Attach(0);
    desk.Notice("APPLICATION remotecontrol STREAMS orvanta.robot:" + std::to_string(stream));
}

void StartVideo(SkypeDesktop& desk) { desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"); }

void Close(std::unique_ptr<CControlPanelDlg>& panel, SkypeDesktop& desk)
{
    theApp.m_pMainWnd = nullptr;
    panel.reset();
    desk.Reset();
}

}  // namespace panel_driver

std::string RobotNotice(const std::string& payload, int stream) { return testsupport::DatagramNotice(stream, payload); }

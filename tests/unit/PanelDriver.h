// Opening the panel on the headless desktop as start-up does, attaching it and
// letting it go: shared by the unit tests' fixture and the fuzz targets.
#pragma once
#include <memory>
#include <string>

#include "ControlPanelDlg.h"
#include "SkypeDesktop.h"

namespace panel_driver {

// The panel as the application's main window, its initialisation run; nullptr
// when its window could not be made.
std::unique_ptr<CControlPanelDlg> Open(SkypeDesktop& desk);
// Skype's successful attach answer, then the robot's stream.
void Attach(SkypeDesktop& desk, int stream = 1);
// The robot's video arrives: the link controls are switched on.
void StartVideo(SkypeDesktop& desk);
// Lets the panel go (its close-down runs) and forgets every window.
void Close(std::unique_ptr<CControlPanelDlg>& panel, SkypeDesktop& desk);

}  // namespace panel_driver

// The notice that carries a robot report: "APPLICATION remotecontrol DATAGRAM
// orvanta.robot:1 Msg$<payload>".
std::string RobotNotice(const std::string& payload, int stream = 1);

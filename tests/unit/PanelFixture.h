// The fixture of the panel's unit tests: a fresh headless desktop and a panel on
// it, and the runs of the desktop's log that its tests compare (ExpectSequence).
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlNames.h"
#include "ControlPanelDlg.h"
#include "ExpectSequence.h"
#include "PanelDriver.h"
#include "SkypeDesktop.h"
#include "WireTexts.h"
#include "resource.h"

using Sequence = testsupport::Lines;
using testsupport::operator+;

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the panel as start-up does (its initialisation included).
    void OpenPanel();
    // Opens the panel and attaches it to Skype with a known stream and call.
    void OpenAttached(int stream = 1);
    // Attached, and the robot's video running: the link controls are on.
    void OpenOperating(int stream = 1);

    // The log entries of these kinds since the last Flush.
    Sequence Log(unsigned kinds) const { return desk.Entries(kinds); }
    void Flush() { desk.ClearLog(); }
    // The commands Skype received since the last Flush, as log entries.
    Sequence Sent() const { return desk.Entries(headless::kSend); }
    // What one control was given to show since the last Flush: one entry a push.
    Sequence Shown(int id) const;
    // The log without the noise of clicks and data exchange: every kind but mouse
    // capture, control texts and checks, and of those the status line's texts
    // (one per push).
    Sequence LinkLog() const;
    // Closes the books on the panel and the desktop, for table rows that each
    // need a fresh one: open it again afterwards.
    void StartOver();
    // The steps as LOAD reads them from a file of these lines: line 0 selected,
    // the edits showing what they showed.
    void LoadSteps(const Sequence& lines);

    SkypeDesktop& desk = SkypeDesktop::Get();
    std::unique_ptr<CControlPanelDlg> panel;
};

// "send ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$<command>"
std::string Datagram(const std::string& command, int stream = 1);

// "enable IDC_... 0|1" for the link controls, in the order they are switched.
Sequence LinkControlEntries(int enable);

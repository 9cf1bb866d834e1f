// The headless desktop's driver with a Skype client on the desktop: the unit
// tests' and the fuzz targets' instrument. The Skype API window takes every
// command (recorded as "send <command>") and lets the test react inside the
// command's send, as on Windows; the test sends attach answers and notices as
// Skype.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "DesktopDriver.h"

class SkypeDesktop : public testsupport::DesktopDriver {
public:
    // The desktop every headless window call of the program reaches.
    static SkypeDesktop& Get();

    void Reset() override;

    // The program's control panel: the main dialog.
    HWND Panel() const { return MainDialog(); }

    HWND SkypeWindow() const { return m_skype; }
    // Skype quits or dies: its window goes away.
    void QuitSkype();
    // Skype starts (again): a new window, which takes commands as the first did.
    void StartSkype();
    // Called for each command that reaches the Skype window, inside its send.
    std::function<void(const std::string&)> onCommand;
    // Called for the discovery broadcast, inside it.
    std::function<void()> onDiscover;
    // An attach answer, from the Skype window by default.
    LRESULT Attach(LPARAM status, HWND from = nullptr);
    // A notice from the Skype window: the text and its zero byte.
    LRESULT Notice(const std::string& text);
    const std::vector<std::string>& Commands() const { return m_commands; }
    // The byte count of each command received, as sent.
    const std::vector<DWORD>& CommandByteCounts() const { return m_commandCounts; }

private:
    SkypeDesktop();
    LRESULT TakeCommand(UINT msg, LPARAM lParam);

    HWND m_skype = nullptr;
    std::vector<std::string> m_commands;
    std::vector<DWORD> m_commandCounts;
};

// A dialog program under test, in a process of its own: start it, find its main
// window and the boxes it opens, wait for it to end, and make sure it is gone
// when the test ends.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RemoteDialog.h"
#include "Wait.h"

namespace e2e {

// A first start under Wine also loads the prefix; later ones take about 1 s.
inline constexpr Millis kStartTimeout = 20000ms;

// Path of a program built beside this test program.
std::wstring BesideTestProgram(std::wstring_view fileName);

// Top-level dialog windows (class #32770) of process `pid`, visible ones only.
std::vector<HWND> ProcessDialogs(DWORD pid);

class DialogProcess {
public:
    // `program`: a file name beside the test program, or a full path.
    // `mainCaption`: the caption of the dialog that marks the program as ready.
    DialogProcess(std::wstring program, std::string mainCaption);
    virtual ~DialogProcess();  // kills the process if it still runs
    DialogProcess(const DialogProcess&) = delete;
    DialogProcess& operator=(const DialogProcess&) = delete;

    const std::wstring& programPath() const { return m_path; }

    // Starts the program and waits until its main dialog is visible and its
    // thread is back in its message loop: WM_INITDIALOG may show the window
    // before it has finished (a SetWindowPos with SWP_SHOWWINDOW does).
    ::testing::AssertionResult start(std::wstring_view arguments = {}, Millis timeout = kStartTimeout);
    bool running() const;
    DWORD processId() const { return m_pid; }
    RemoteDialog& mainWindow() { return m_main; }

    // Dialogs of the process other than the main window: message boxes, the
    // About box, file dialogs. An empty caption matches any.
    std::vector<RemoteDialog> dialogs() const;
    RemoteDialog findDialog(std::string_view caption = {}) const;
    // Empty when none appears in time (check with ASSERT_TRUE(box)).
    RemoteDialog waitForDialog(std::string_view caption = {}, Millis timeout = kDefaultTimeout) const;
    using DialogMatch = std::function<bool(const RemoteDialog&)>;
    RemoteDialog findDialogWhere(const DialogMatch& match) const;
    RemoteDialog waitForDialogWhere(const DialogMatch& match, Millis timeout = kDefaultTimeout) const;
    // Every top-level window of the process, hidden ones too: for failure messages.
    std::string describeWindows() const;
    // Succeeds when no dialog but the main window is open; else lists them.
    ::testing::AssertionResult noDialogOpen() const;

    // Waits for the process to end by itself.
    ::testing::AssertionResult waitForExit(Millis timeout);
    std::optional<DWORD> exitCode() const;  // empty while running or never started

    // Ends the process at once (TerminateProcess) and waits until it is gone.
    void kill();

private:
    std::wstring m_path;
    std::string m_mainCaption;
    PROCESS_INFORMATION m_process{};
    DWORD m_pid = 0;
    RemoteDialog m_main;
};

// Orvanta.exe, ready once its panel "Orvanta" shows.
class OrvantaProcess : public DialogProcess {
public:
    OrvantaProcess() : DialogProcess(L"Orvanta.exe", "Orvanta") { }
    RemoteDialog& panel() { return mainWindow(); }
};

}  // namespace e2e

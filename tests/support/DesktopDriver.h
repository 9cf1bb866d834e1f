// The tests' driver of the headless desktop: the user at it. A test acts through
// it as the operator (press, release, click, type, select, close), as the other
// programs on the desktop (copy-data and messages sent to the main dialog) and
// as the clock (ticks); it reads the controls as the operator sees them and the
// record of what the program asked of the window system. Boxes and file dialogs
// are answered from a script; an unexpected one is a failure, told to the
// reporter the test installs. Controls are named in the record by their resource
// symbols ("enable IDC_CONNECT 0").
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Desktop.h"

namespace testsupport {

class DesktopDriver : public headless::Desktop, public headless::IUser {
public:
    // Forgets every window, script, record entry and setting: one per test. The
    // failure reporter stays.
    void Reset() override;

    // --- Failures of the program against the scripts: an unexpected box or file
    // dialog, a modal dialog left running, a script never taken. Without a
    // reporter each is printed and ends the process.
    std::function<void(const std::string& what)> onFailure;
    void Fail(const std::string& what) override;

    // --- The program's controls, as the operator sees them
    HWND Item(int id) const;  // a control of the main dialog
    std::string Text(int id) const;
    bool Enabled(int id) const;
    int Check(int id) const;
    bool Pushed(int id) const;
    // The list-box queries take the main dialog's first list box by default.
    std::vector<std::string> Lines(int id = -1) const;
    int Selection(int id = -1) const;
    bool Redraws(int id = -1) const;  // WM_SETREDRAW left it on
    bool Topmost() const;
    int Width() const;
    int Height() const;
    int Left() const;
    int Top() const;
    std::vector<std::pair<UINT, std::string>> SystemMenu() const;
    std::vector<UINT_PTR> Timers() const;
    std::string SelectedText(int id) const;  // of an edit: its text between the ends of its selection

    // --- The operator
    void Click(int id);             // press and release over the control
    void Press(int id);             // WM_LBUTTONDOWN
    void DoubleClickPress(int id);  // WM_LBUTTONDBLCLK, the second press of a double-click
    void Release(int id);           // WM_LBUTTONUP
    // WM_MOUSEMOVE at (x, y) of control id, the left button held or not; a captured
    // window gets it instead, at the same screen point.
    void MoveMouse(int id, int x, int y, bool leftHeld = true);
    void Type(int id, const std::string& text);  // replaces the edit's text, as typing does
    void SelectLine(int index);                  // a click on a step-list line: selection, then LBN_SELCHANGE
    void SysCommand(UINT id);
    void CloseBox();     // the caption's close box: WM_SYSCOMMAND SC_CLOSE
    void Minimise();     // shows the panel minimised and paints it
    void Deactivate();   // another program's window becomes active
    void TakeCapture();  // another window takes the mouse capture

    // --- Other programs
    // Some other program's window, there from the start; it takes nothing.
    HWND ForeignWindow() const { return m_foreign; }
    // A message from another program to the main dialog, sent.
    LRESULT SendToMain(UINT msg, WPARAM wParam, LPARAM lParam);
    // Copy-data to the main dialog; with usePointerOverride its lpData is pointerOverride.
    LRESULT CopyData(HWND from, const void* data, DWORD count, PVOID pointerOverride = nullptr,
                     bool usePointerOverride = false);

    // --- The clock
    void Tick(int count = 1);  // one WM_TIMER per running timer of the panel, per tick

    // --- Scripts for boxes and dialogs, taken in order
    // text: the box's exact text; answer: IDOK, IDYES, IDNO ...; whileOpen runs
    // while the box is up (nested input).
    void ExpectBox(const std::string& text, int answer = IDOK, std::function<void()> whileOpen = {});
    // path empty: Cancel.
    void ExpectFileDialog(bool open, const std::string& path);
    // whileOpen drives the dialog; it must end it (an OK click, say).
    void ExpectDialog(int templateId, std::function<void()> whileOpen);
    // Reports a failure for any script entry left untaken.
    void VerifyScriptsTaken();
    // Answers a box while no script is waiting, instead of failing the test: for
    // drivers that cannot know which boxes come (the fuzz targets). It may act
    // while the box is up, as a whileOpen does.
    std::function<int(const std::string& text, UINT type)> onUnscriptedBox;

    // --- The record of what the program asked
    std::vector<std::string> Entries(unsigned kinds = headless::kAll) const;
    void ClearLog() { m_log.clear(); }

protected:
    // Installs the driver as the desktop in use and its user.
    DesktopDriver();

private:
    // headless::IUser
    BoxAnswer AnswerBox(const std::string& text, UINT type) override;
    std::optional<std::string> AnswerFileDialog(bool open) override;
    bool WorkDialog(int templateId) override;
    void Recorded(headless::Log kind, const std::string& entry) override;
    std::string NameControl(int id) override;

    struct Script {
        enum Kind { kBoxScript, kFileScript, kDialogScript } kind;
        std::string text;
        int answer = 0;
        bool open = false;
        int templateId = 0;
        std::function<void()> whileOpen;
    };

    void Button(int id, UINT msg);
    const Window& Must(HWND h, int id) const;
    Window* FirstListBox() const;
    const Window& ListBox(int id) const;

    std::vector<std::pair<headless::Log, std::string>> m_log;
    std::deque<Script> m_scripts;
    HWND m_foreign = nullptr;
};

}  // namespace testsupport

// Driving a dialog window of another process by control id, the way a user
// would: clicks and typing are posted or sent with a time limit, so a modal box
// that the action opens never blocks the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Wait.h"

namespace e2e {

// Time allowed for one synchronous read from another process.
inline constexpr Millis kSendTimeout = 2000ms;

// Failure messages name controls through this, when a test program sets it
// (for example to print "IDC_STATUS (1016)").
void SetControlNamer(std::function<std::string(int id)> namer);
std::string ControlName(int id);

// The text control of a standard message box.
inline constexpr int kMessageBoxTextId = 0xFFFF;
// The file-name edit of the common Open and Save dialogs (edt1, cmb13 in newer
// Windows templates).
inline constexpr int kFileNameEditId = 0x480;
inline constexpr int kFileNameComboId = 0x47c;

class RemoteDialog {
public:
    RemoteDialog() = default;
    explicit RemoteDialog(HWND hwnd) : m_hwnd(hwnd) { }

    HWND hwnd() const { return m_hwnd; }
    explicit operator bool() const { return m_hwnd != nullptr; }
    bool exists() const;  // still a window
    DWORD processId() const;
    HWND owner() const;
    std::string caption() const;
    std::string className() const;
    // One line per child: id, class, text, enabled. For failure messages.
    std::string describe() const;

    HWND item(int id) const;
    bool hasItem(int id) const { return item(id) != nullptr; }

    // Reads. A control that does not exist or does not answer in time reads as
    // empty / false and is reported through ReadFailed: "not yet" inside a wait,
    // a failure of the running test outside one. A read that takes several
    // messages (a list's count, then each line) retries when the control changed
    // between them, and never mixes two states.
    std::string text(int id) const;       // WM_GETTEXT, through the ANSI code page
    std::wstring wideText(int id) const;  // WM_GETTEXT, as the control holds it
    bool enabled(int id) const;
    bool visible(int id) const;
    int checkState(int id) const;  // BM_GETCHECK: BST_UNCHECKED, BST_CHECKED ...
    bool checked(int id) const { return checkState(id) == BST_CHECKED; }
    std::vector<std::string> listLines(int id) const;  // wide calls, see Text.h
    int listSelection(int id) const;                   // LB_GETCURSEL, -1 when none
    std::string messageText() const { return text(kMessageBoxTextId); }
    std::wstring wideMessageText() const { return wideText(kMessageBoxTextId); }

    RECT rect() const;  // GetWindowRect
    SIZE size() const;
    bool topmost() const;  // WS_EX_TOPMOST
    bool isVisible() const;
    HWND focus() const;  // the window with the keyboard focus in the dialog's thread

    // Actions. Each fails (and does nothing) when the control is missing,
    // hidden or disabled: a user could not do it either.
    //
    // click sends BM_CLICK with a time limit and returns once the program has
    // handled the click: whatever it changed can be read at once. It fails when
    // the handler does not return in time, which is what a click that opens a
    // modal box does: post those with clickOpeningBox, then wait for the box.
    // (A sent message is handled before messages posted earlier, so no sent
    // message can serve as a barrier behind a posted click.)
    ::testing::AssertionResult click(int id, Millis timeout = kDefaultTimeout) const;
    ::testing::AssertionResult clickOpeningBox(int id) const;  // posted BM_CLICK
    ::testing::AssertionResult mouseClick(int id) const;       // posted button down and up at the centre
    ::testing::AssertionResult press(int id) const;            // posted WM_LBUTTONDOWN at the centre
    ::testing::AssertionResult release(int id) const;          // posted WM_LBUTTONUP at the centre
    // Posted WM_MOUSEMOVE at `at`, in the control's client coordinates (outside
    // it too: a captured control gets those), the left button held or not.
    ::testing::AssertionResult moveMouse(int id, POINT at, bool leftHeld = true) const;
    ::testing::AssertionResult setText(int id, std::string_view text) const;  // WM_SETTEXT, sent
    // Clicks line `index` of a list box (scrolling it into view first), so the
    // program gets the notifications of a real click; returns once handled.
    ::testing::AssertionResult clickListLine(int id, int index) const;
    // Posts WM_COMMAND(id, BN_CLICKED) to the dialog: how a box's button is answered.
    ::testing::AssertionResult pressButton(int id) const;
    // Posts WM_SYSCOMMAND; the system menu of another process cannot be read.
    void sysCommand(WPARAM command) const;
    void close() const { sysCommand(SC_CLOSE); }

    // For common file dialogs: types `path` into the file-name box and presses
    // Open/Save (IDOK). The wide form takes any name, the narrow one goes
    // through the ANSI code page.
    ::testing::AssertionResult answerFileDialog(std::wstring_view path) const;
    ::testing::AssertionResult answerFileDialog(std::string_view path) const;

private:
    ::testing::AssertionResult usable(int id, HWND& control) const;

    HWND m_hwnd = nullptr;
};

// Text of any window of another process, through WM_GETTEXT with a time limit.
// Returns false when the window does not answer in time.
bool ReadWindowText(HWND hwnd, std::string& text, Millis timeout = kSendTimeout);
bool ReadWindowText(HWND hwnd, std::wstring& text, Millis timeout = kSendTimeout);

}  // namespace e2e

// The headless desktop: an in-memory window system that plays every part the
// real one plays for the program, and the instrument a test drives it with.
//
// A test acts as the operator (press, release, click, type, select, close), as
// the other programs on the desktop (windows of its own whose messages a handler
// of the test takes, copy-data sent to the main dialog) and as the clock (ticks).
// Boxes and file dialogs are answered from a script; an unexpected one is a
// failure, told to the reporter the test installs. Everything the program asks of
// the window system goes into one ordered log.
#pragma once
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "wintypes.h"

class CWnd;

namespace headless {

// Kinds of log entries, to pick the ones a test compares.
enum Log : unsigned {
    kSend = 1u << 0,         // "send <text>": copy-data a test window took (it records the entry);
                             // "undelivered <text>" to no window; "no answer in 1000 ms: <text>"
                             // when a window does not answer a timed send
    kBroadcast = 1u << 1,    // "broadcast <registered message name>"
    kBox = 1u << 2,          // "box <caption> | <text> | <icon> <buttons> -> <answer>"
    kEnable = 1u << 3,       // "enable <control> 0"
    kText = 1u << 4,         // "text <control> Link to Robot OK!"
    kCheck = 1u << 5,        // "check <control> 1"
    kPlace = 1u << 6,        // "place TOPMOST 315x350"
    kTimer = 1u << 7,        // "timer 1 1000", "kill timer 2"
    kSleep = 1u << 8,        // "sleep 5000"
    kMenu = 1u << 9,         // "menu separator", "menu 16 &About Orvanta..."
    kIcon = 1u << 10,        // "icon big 128"
    kFileDialog = 1u << 11,  // "open-dialog Trajectory (*.txt)|*.txt -> /tmp/a.txt"
    kDialog = 1u << 12,      // "dialog <template>", "end <template>", "destroy <template>"
    kList = 1u << 13,        // "list insert 0 1,2,3,4,5,6,7", "list select 0", "list delete 1", "list reset"
    kPaint = 1u << 14,       // "paint erase", "paint icon 128 at 3,3"
    kBeep = 1u << 15,        // "beep"
    kCapture = 1u << 16,     // "capture <control>", "capture none"
    kFocus = 1u << 17,       // "focus <control>"
    kShell = 1u << 18,       // "shell open /tmp/x/Orvanta-20240501-140307.log"
    kAll = ~0u,
};

class Desktop {
public:
    // The desktop in use: the one a test installed (Install), else a plain one.
    static Desktop& Get();

    virtual ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Forgets every window, script, log entry and setting: one per test. The
    // failure reporter and the namer of controls stay.
    virtual void Reset();

    // --- Failures of the program against the scripts: an unexpected box or file
    // dialog, a modal dialog left running, a script never taken. Without a
    // reporter each is printed and ends the process.
    std::function<void(const std::string& what)> onFailure;
    void Fail(const std::string& what);

    // --- The program's windows
    HWND MainDialog() const;            // the newest live dialog without an owner
    HWND Dialog(int templateId) const;  // the newest live dialog of a template
    HWND Item(int id) const;            // a control of the main dialog
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
    HWND Capture() const { return m_capture; }
    HWND Focus() const { return m_focus; }
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
    // A hidden top-level window of another program, made by the test: `proc`
    // takes every message sent or posted to it.
    HWND AddWindow(const std::string& className, std::function<LRESULT(UINT, WPARAM, LPARAM)> proc);
    // Some other program's window, there from the start; it takes nothing.
    HWND ForeignWindow() const { return m_foreign; }
    // Called for each broadcast (inside it); broadcastResult is what SendMessage returns.
    std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)> onBroadcast;
    LRESULT broadcastResult = 1;
    // A message from another program to the main dialog, sent.
    LRESULT SendToMain(UINT msg, WPARAM wParam, LPARAM lParam);
    // Copy-data to the main dialog; with usePointerOverride its lpData is pointerOverride.
    LRESULT CopyData(HWND from, const void* data, DWORD count, PVOID pointerOverride = nullptr,
                     bool usePointerOverride = false);
    // The time limit of each timed send to a window, in ms, in the order sent.
    const std::vector<UINT>& SendLimits() const { return m_sendLimits; }

    // --- A program that stops answering (busy, hung, in a debugger)
    // Timed sends to the window run out of time; their messages wait in its
    // queue, copy-data bytes copied at the send, as on Windows (Wine drops them).
    void StopAnswering(HWND h);
    // Handles the waiting messages in order, then answers as usual.
    void AnswerAgain(HWND h);

    // --- The user's folders and the shell
    // %LOCALAPPDATA%: none unless a test gives one, so no test writes into the
    // real user's folders.
    std::filesystem::path localAppData;
    bool shellOpenResult = true;
    // What GetDpiForWindow answers for every window (96: 100 %).
    UINT dpi = 96;

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

    // --- The log
    std::vector<std::string> Entries(unsigned kinds = kAll) const;
    void ClearLog() { m_log.clear(); }
    void Record(Log kind, std::string entry);

    // The readable name of a control id for the log: IDOK, IDCANCEL or the number,
    // unless the test names them (SetControlNamer).
    static std::string ControlName(int id);
    static void SetControlNamer(std::function<std::string(int id)> namer);
    // A dialog template's symbol in the resource script, for the log.
    static std::string DialogName(int templateId);

    // --- Used by the back end
    struct Window;
    Window* W(HWND h) const;
    HWND NewWindow(HWND parent, const std::string& className, int id);
    LRESULT Deliver(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    void Post(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    // A timed send: delivered, or left waiting when the window does not answer.
    BOOL SendTimed(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result);
    void Pump();
    void SetCaptureTo(HWND h);
    int TakeBox(const std::string& text, const std::string& caption, UINT type);
    bool TakeFileDialog(bool open, const std::string& filter, std::string& path);
    void RunModal(HWND h);
    void Destroy(HWND h);

    HWND m_capture = nullptr;
    HWND m_focus = nullptr;

protected:
    Desktop();
    // Makes `desktop` the one Get() answers, for the rest of the process.
    static void Install(Desktop& desktop);

private:
    struct Script {
        enum Kind { kBoxScript, kFileScript, kDialogScript } kind;
        std::string text;
        int answer = 0;
        bool open = false;
        int templateId = 0;
        std::function<void()> whileOpen;
    };

    void Button(int id, UINT msg);
    std::vector<std::unique_ptr<Window>> m_windows;
    std::vector<std::pair<Log, std::string>> m_log;
    std::deque<Script> m_scripts;
    struct Posted {
        HWND h;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::deque<Posted> m_posted;
    // Sends left waiting by a window that does not answer; copy-data keeps its bytes.
    struct Waiting {
        HWND h;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        ULONG_PTR tag;
        std::string bytes;
        bool copyData;
    };
    std::deque<Waiting> m_waiting;
    std::vector<UINT> m_sendLimits;
    HWND m_foreign = nullptr;
    int m_pumpDepth = 0;
    int m_outgoingSends = 0;  // the program waits in a send to another program's window
};

// Line breaks written as a backslash and "n", so a log entry stays on one line.
std::string EscapeForLog(const std::string& text);

struct HMENU_Item {
    UINT flags;
    UINT_PTR id;
    std::string text;
};

struct Desktop::Window {
    HWND handle;
    HWND parent = nullptr;
    std::string className;
    int id = 0;
    int templateId = 0;  // dialogs
    DWORD style = 0, exStyle = 0;
    std::string text;
    bool enabled = true;
    bool alive = true;
    bool topmost = false;
    bool iconic = false;
    bool pushed = false;
    int check = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::vector<std::string> lines;
    int selection = -1;
    int selStart = 0, selEnd = 0;  // edits: the selected characters
    bool redraw = true;            // WM_SETREDRAW
    std::vector<HWND> children;
    CWnd* wnd = nullptr;  // the object that gets this window's messages
    bool subclassed = false;
    bool modalEnded = false;
    bool answering = true;  // false: a hung program, see StopAnswering
    std::vector<HMENU_Item> systemMenu;
    std::map<UINT_PTR, UINT> timers;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> proc;  // the test's own windows (AddWindow)
};

}  // namespace headless

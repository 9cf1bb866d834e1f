// The headless desktop: an in-memory window system that plays every part the
// real one plays for the program: windows and their default processing, sent
// and posted messages, timers, mouse capture and focus, modal loops, other
// programs' windows, and the settings the back end's ws:: calls read.
//
// It records everything the program asks of it, entry by entry, and tells its
// user (IUser). The user is whoever sits at the desktop: it answers the boxes,
// file dialogs and modal dialogs a person would answer, and names the controls
// in the record. The tests' driver (tests/support) is that user; without one a
// box ends the process.
#pragma once
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wintypes.h"

class CWnd;

namespace headless {

// Kinds of entries in the record, to pick the ones a test compares.
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

// Whoever sits at the desktop: what the window system asks of a person.
class IUser {
public:
    // A message box is up. button: the one that ends it, or none when this box was
    // not to come (the desktop reports it); whileOpen runs while the box is up,
    // once its entry is recorded (nested input).
    struct BoxAnswer {
        std::optional<int> button;
        std::function<void()> whileOpen;
    };
    virtual BoxAnswer AnswerBox(const std::string& text, UINT type) = 0;
    // An open or save dialog is up: the path chosen, empty for Cancel, or none
    // when this dialog was not to come (the desktop reports it).
    virtual std::optional<std::string> AnswerFileDialog(bool open) = 0;
    // A modal dialog of this template runs: works it, which should end it. False
    // when the user did nothing with it.
    virtual bool WorkDialog(int templateId) = 0;
    // One entry of the record of what the program asked.
    virtual void Recorded(Log kind, const std::string& entry) = 0;
    // The name of a control id in the record.
    virtual std::string NameControl(int id) = 0;
    // The program did what no user could allow for (a box not to come, a modal
    // dialog never ended).
    virtual void Fail(const std::string& what) = 0;

protected:
    ~IUser() = default;
};

class Desktop {
public:
    // The desktop in use: the one installed (Install), else a plain one.
    static Desktop& Get();

    virtual ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Forgets every window, posted message and setting. The user stays.
    virtual void Reset();

    // --- Top-level dialogs
    HWND MainDialog() const;            // the newest live dialog without an owner
    HWND Dialog(int templateId) const;  // the newest live dialog of a template
    HWND Capture() const { return m_capture; }
    HWND Focus() const { return m_focus; }

    // --- Other programs
    // A hidden top-level window of another program: `proc` takes every message
    // sent or posted to it.
    HWND AddWindow(const std::string& className, std::function<LRESULT(UINT, WPARAM, LPARAM)> proc);
    // Called for each broadcast (inside it); broadcastResult is what SendMessage returns.
    std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)> onBroadcast;
    LRESULT broadcastResult = 1;
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

    // --- The record, told to the user entry by entry
    void Record(Log kind, std::string entry);
    // The readable name of a control id in the record: the user's name for it,
    // else IDOK, IDCANCEL or the number.
    static std::string ControlName(int id);
    // A dialog template's symbol in the resource script, for the record.
    static std::string DialogName(int templateId);

    // --- Used by the back end and by the user's driver
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
    // The one who answers boxes and dialogs and hears the record.
    void SetUser(IUser* user) { m_user = user; }

private:
    // A failure of the program against its user; without a user it ends the process.
    void ReportFailure(const std::string& what);

    IUser* m_user = nullptr;
    std::vector<std::unique_ptr<Window>> m_windows;
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
    std::function<LRESULT(UINT, WPARAM, LPARAM)> proc;  // other programs' windows (AddWindow)
};

}  // namespace headless

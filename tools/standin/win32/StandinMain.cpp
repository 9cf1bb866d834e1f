// OrvantaStandin.exe: plays the Skype client beside Orvanta, with the robot
// simulator behind the robot account. The window shows the traffic both ways
// (newest at the bottom) and the arm as the simulator moves it; the Faults menu
// plays the faults by hand.
//
//   OrvantaStandin [--script NAME | --NAME] [--posted] [--latency SECONDS] [--log FILE]
//                  [--window X,Y,WIDTH,HEIGHT] [--list]
//
// NAME is one of Scenario::List() (--list shows them); no script is a
// well-behaved Skype with the robot online.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ArmView.h"
#include "RobotAccount.h"
#include "Scenario.h"
#include "SkypeWindow.h"

namespace standin {
namespace {

constexpr char kTitle[] = "Orvanta Skype stand-in";
constexpr char kMainClass[] = "OrvantaStandinMain";

enum : int {
    kStatusId = 100,
    kTrafficId,
    kRoutineId,
    kArmId,
};

enum : UINT {
    kMenuLogOut = 200,
    kMenuLogIn,
    kMenuDropStream,
    kMenuFarHangUp,
    kMenuRejectVideo,
    kMenuGarbage,
    kMenuOversized,
    kMenuForeign,
    kMenuSilent,
    kMenuOffline,
    kMenuPosted,
};

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 100;
constexpr int kMaxLines = 3000;
constexpr std::size_t kMaxLineText = 300;

struct Options {
    WindowOptions window;
    std::string logPath;
    RECT placement{20, 20, 1120, 700};  // left, top, right, bottom
};

const char kUsage[] = "OrvantaStandin [--script NAME | --NAME] [--posted] [--latency SECONDS] [--log FILE]\n"
                      "               [--window X,Y,WIDTH,HEIGHT] [--list]\n\n"
                      "  --script NAME   play a canned fault scenario (--NAME does the same)\n"
                      "  --posted        send every reply after the command's send returned (default: inside it)\n"
                      "  --latency S     the robot's reports arrive S seconds late\n"
                      "  --log FILE      append the traffic to FILE\n"
                      "  --window X,Y,W,H  where the window goes\n"
                      "  --list          list the scenarios\n";

std::string ScenarioList()
{
    std::string text = "Scenarios:\n\n";
    for (const Scenario::Entry& e : Scenario::List())
        text += std::string(e.name) + "\t" + std::string(e.description) + "\n";
    return text;
}

// Throws std::invalid_argument with the text to show.
Options Parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::invalid_argument(arg + " needs a value\n\n" + kUsage);
            return argv[++i];
        };
        if (arg == "--script") {
            o.window.scenario = value();
        } else if (arg == "--posted") {
            o.window.model.nestReplies = false;
        } else if (arg == "--latency") {
            const std::string v = value();
            char* end = nullptr;
            const double seconds = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != '\0' || !(seconds >= 0) || seconds > 10)
                throw std::invalid_argument("--latency takes seconds from 0 to 10\n\n" + std::string(kUsage));
            o.window.model.robotLatency = seconds;
        } else if (arg == "--log") {
            o.logPath = value();
        } else if (arg == "--window") {
            const std::string v = value();
            int x, y, w, h;
            char tail;
            if (std::sscanf(v.c_str(), "%d,%d,%d,%d%c", &x, &y, &w, &h, &tail) != 4 || w < 200 || h < 150)
                throw std::invalid_argument("--window takes X,Y,WIDTH,HEIGHT\n\n" + std::string(kUsage));
            o.placement = RECT{x, y, x + w, y + h};
        } else if (arg == "--list") {
            throw std::invalid_argument(ScenarioList());
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            throw std::invalid_argument(kUsage);
        } else if (arg.rfind("--", 0) == 0 && Scenario::Named(arg.substr(2))) {
            o.window.scenario = arg.substr(2);
        } else {
            throw std::invalid_argument("Unknown option " + arg + "\n\n" + kUsage);
        }
    }
    if (!o.window.scenario.empty() && !Scenario::Named(o.window.scenario))
        throw std::invalid_argument("Unknown scenario " + o.window.scenario + "\n\n" + ScenarioList());
    return o;
}

// Control and high bytes as \xNN; long texts cut, with their length.
std::string Printable(const std::string& text, std::size_t limit)
{
    std::string out;
    for (unsigned char c : text) {
        if (out.size() >= limit) {
            out += "... (" + std::to_string(text.size()) + " bytes)";
            break;
        }
        if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The polls, what answers them and the call's heartbeat: hidden unless asked for.
bool IsRoutine(const TrafficEntry& e)
{
    using Kind = TrafficEntry::Kind;
    if (e.kind == Kind::kCommand || e.kind == Kind::kIgnored)
        return Has(e.text, "Msg$WMCA_QD") || Has(e.text, "Msg$WMCA_QU");
    if (e.kind != Kind::kNotice)
        return false;
    if (Has(e.text, " SENDING ") || Has(e.text, " DURATION "))
        return true;
    if (e.text.rfind("ALTER APPLICATION ", 0) == 0 && Has(e.text, " DATAGRAM "))
        return true;
    return Has(e.text, "Msg$WMRP_D|") || Has(e.text, "Msg$WMRSS|");
}

std::string StatusText(const SkypeModel& m)
{
    std::string s = m.loggedIn() ? "Logged in" : "Logged out";
    if (m.attached()) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "client 0x%llx", static_cast<unsigned long long>(m.client()));
        s += std::string("  |  ") + buf;
    } else {
        s += "  |  no client";
    }
    s += "  |  stream ";
    s += m.robotStream() ? std::string(kRobotAccount) + ":" + std::to_string(m.robotStream()) : std::string("none");
    const CallInfo& call = m.call();
    if (call.id) {
        s += "  |  call " + std::to_string(call.id) + " " + call.status;
        if (call.status == "INPROGRESS")
            s += " " + std::to_string(call.duration) + " s, video " + call.videoReceive;
    }
    switch (m.config().robot) {
    case RobotMode::kAnswering: s += "  |  robot answering"; break;
    case RobotMode::kSilent: s += "  |  robot silent"; break;
    case RobotMode::kOffline: s += "  |  robot offline"; break;
    }
    if (m.station().moving())
        s += ", moving";
    if (!m.config().nestReplies)
        s += "  |  replies posted";
    return s;
}

class MainWindow {
public:
    MainWindow(SkypeWindow& skype, std::FILE* log) : m_skype(skype), m_log(log) { }

    HWND Create(const RECT& at)
    {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kMainClass;
        RegisterClassExA(&wc);
        return CreateWindowExA(0, kMainClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.left, at.top,
                               at.right - at.left, at.bottom - at.top, nullptr, MakeMenu(), instance, this);
    }

private:
    static HMENU MakeMenu()
    {
        HMENU faults = CreatePopupMenu();
        AppendMenuA(faults, MF_STRING, kMenuLogOut, "User logs &out");
        AppendMenuA(faults, MF_STRING, kMenuLogIn, "User logs &in (0x8001)");
        AppendMenuA(faults, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(faults, MF_STRING, kMenuDropStream, "Robot's &stream breaks");
        AppendMenuA(faults, MF_STRING, kMenuFarHangUp, "Robot &hangs up");
        AppendMenuA(faults, MF_STRING, kMenuRejectVideo, "Robot's &video rejected");
        AppendMenuA(faults, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(faults, MF_STRING, kMenuGarbage, "&Garbage notices");
        AppendMenuA(faults, MF_STRING, kMenuOversized, "O&versized notice (4096 bytes)");
        AppendMenuA(faults, MF_STRING, kMenuForeign, "Datagrams for other &streams");
        AppendMenuA(faults, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(faults, MF_STRING, kMenuSilent, "Robot stops &answering");
        AppendMenuA(faults, MF_STRING, kMenuOffline, "Robot account o&ffline");
        AppendMenuA(faults, MF_STRING, kMenuPosted, "&Replies after the send returns");
        HMENU bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(faults), "&Faults");
        return bar;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->m_hwnd = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        try {
            return self->Handle(msg, wParam, lParam);
        } catch (...) {
            return 0;
        }
    }

    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_SIZE: Layout(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimer)
                Refresh();
            return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{640, 420};
            return 0;
        }
        case WM_DESTROY:
            KillTimer(m_hwnd, kRefreshTimer);
            PostQuitMessage(0);
            return 0;
        default: return DefWindowProcA(m_hwnd, msg, wParam, lParam);
        }
    }

    void OnCreate()
    {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        const HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
        auto child = [&](const char* cls, const char* text, DWORD style, DWORD exStyle, int id) {
            HWND h = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hwnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            return h;
        };
        m_status = child("STATIC", "", SS_LEFTNOWORDWRAP, 0, kStatusId);
        m_traffic = child("LISTBOX", "", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, WS_EX_CLIENTEDGE,
                         kTrafficId);
        SendMessageA(m_traffic, LB_SETHORIZONTALEXTENT, 2400, 0);
        m_routine = child("BUTTON", "Show polls (WMCA_QD, WMCA_QU), their answers and call durations", BS_AUTOCHECKBOX,
                         0, kRoutineId);
        m_arm = ArmView::Create(m_hwnd, kArmId);
        SetTimer(m_hwnd, kRefreshTimer, kRefreshMs, nullptr);
        Refresh();
    }

    void Layout(int w, int h)
    {
        const int gap = 6, statusHeight = 18, checkHeight = 20;
        const int armWidth = std::max(300, w * 2 / 5);
        const int listWidth = w - armWidth - 3 * gap;
        MoveWindow(m_status, gap, gap, w - 2 * gap, statusHeight, TRUE);
        const int top = gap + statusHeight + gap;
        MoveWindow(m_traffic, gap, top, listWidth, h - top - checkHeight - 2 * gap, TRUE);
        MoveWindow(m_routine, gap, h - checkHeight - gap, listWidth, checkHeight, TRUE);
        if (m_arm)
            MoveWindow(m_arm->hwnd(), 2 * gap + listWidth, top, armWidth, h - top - gap, TRUE);
    }

    void OnCommand(UINT id)
    {
        switch (id) {
        case kRoutineId: return;  // applies to lines to come
        case kMenuLogOut: return Play("user logs out", [](SkypeModel& m) { return m.LogOut(); });
        case kMenuLogIn: return Play("user logs in", [](SkypeModel& m) { return m.LogIn(); });
        case kMenuDropStream: return Play("the robot's stream breaks", [](SkypeModel& m) { return m.DropStream(); });
        case kMenuFarHangUp: return Play("the robot hangs up", [](SkypeModel& m) { return m.FarHangUp(); });
        case kMenuRejectVideo:
            return Play("the robot's video is rejected", [](SkypeModel& m) { return m.RejectVideo(); });
        case kMenuGarbage: return Play("garbage notices", [](SkypeModel& m) { return m.Garbage(); });
        case kMenuOversized: return Play("an oversized notice", [](SkypeModel& m) { return m.Oversized(4096); });
        case kMenuForeign:
            return Play("datagrams for other streams", [](SkypeModel& m) { return m.ForeignDatagrams(); });
        case kMenuSilent:
        case kMenuOffline:
        case kMenuPosted: return Toggle(id);
        default: return;
        }
    }

    template <class Action> void Play(const char* what, Action action)
    {
        m_skype.Play([&](SkypeModel& m) {
            Batch batch;
            batch.push_back(Outgoing{Outgoing::Kind::kNote, Timing::kPosted, std::string("fault: ") + what, 0, 0, 0});
            for (Outgoing& o : action(m))
                batch.push_back(std::move(o));
            return batch;
        });
    }

    void Toggle(UINT id)
    {
        HMENU menu = GetSubMenu(GetMenu(m_hwnd), 0);
        const bool on = !(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        if (id == kMenuSilent)
            CheckMenuItem(menu, kMenuOffline, MF_BYCOMMAND | MF_UNCHECKED);
        if (id == kMenuOffline)
            CheckMenuItem(menu, kMenuSilent, MF_BYCOMMAND | MF_UNCHECKED);
        m_skype.Play([id, on](SkypeModel& m) {
            std::string note;
            if (id == kMenuPosted) {
                m.SetNestReplies(!on);
                note = on ? "replies now after the send returns" : "replies now inside the send";
            } else {
                const RobotMode mode = !on ? RobotMode::kAnswering
                    : id == kMenuSilent    ? RobotMode::kSilent
                                           : RobotMode::kOffline;
                m.SetRobotMode(mode);
                note = mode == RobotMode::kAnswering ? "the robot answers again"
                    : mode == RobotMode::kSilent     ? "the robot stops answering"
                                                     : "the robot account goes offline";
            }
            return Batch{Outgoing{Outgoing::Kind::kNote, Timing::kPosted, "fault: " + note, 0, 0, 0}};
        });
    }

    void Refresh()
    {
        const std::vector<TrafficEntry> entries = m_skype.Traffic(m_lastSeq);
        const bool showRoutine = SendMessageA(m_routine, BM_GETCHECK, 0, 0) == BST_CHECKED;
        bool added = false;
        for (const TrafficEntry& e : entries) {
            m_lastSeq = e.seq;
            char time[24];
            std::snprintf(time, sizeof time, "%9.2f  ", e.time);
            if (m_log) {
                const std::string line = time + Printable(Describe(e), std::string::npos) + "\n";
                std::fputs(line.c_str(), m_log);
            }
            if (!showRoutine && IsRoutine(e))
                continue;
            if (!added)
                SendMessageA(m_traffic, WM_SETREDRAW, FALSE, 0);
            added = true;
            const std::string line = time + Printable(Describe(e), kMaxLineText);
            SendMessageA(m_traffic, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
        if (m_log && !entries.empty())
            std::fflush(m_log);
        if (added) {
            LRESULT count = SendMessageA(m_traffic, LB_GETCOUNT, 0, 0);
            for (; count > kMaxLines; --count)
                SendMessageA(m_traffic, LB_DELETESTRING, 0, 0);
            SendMessageA(m_traffic, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
            SendMessageA(m_traffic, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(m_traffic, nullptr, TRUE);
        }

        std::string status;
        robotsim::Joints joints;
        m_skype.Query([&](const SkypeModel& m) {
            status = StatusText(m);
            joints = m.station().joints();
        });
        if (status != m_shownStatus) {
            SetWindowTextA(m_status, status.c_str());
            m_shownStatus = status;
        }
        if (m_arm)
            m_arm->Show(joints);
    }

    SkypeWindow& m_skype;
    std::FILE* m_log;
    HWND m_hwnd = nullptr;
    HWND m_status = nullptr;
    HWND m_traffic = nullptr;
    HWND m_routine = nullptr;
    ArmView* m_arm = nullptr;
    std::uint64_t m_lastSeq = 0;
    std::string m_shownStatus;
};

int Run(int argc, char** argv)
{
    Options options;
    try {
        options = Parse(argc, argv);
    } catch (const std::invalid_argument& e) {
        MessageBoxA(nullptr, e.what(), kTitle, MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    std::FILE* log = nullptr;
    if (!options.logPath.empty()) {
        log = std::fopen(options.logPath.c_str(), "a");
        if (!log) {
            MessageBoxA(nullptr, ("Cannot open " + options.logPath).c_str(), kTitle, MB_OK | MB_ICONSTOP);
            return 1;
        }
    }
    int code = 0;
    {
        std::unique_ptr<SkypeWindow> skype;
        try {
            skype = std::make_unique<SkypeWindow>(options.window);
        } catch (const std::exception& e) {
            MessageBoxA(nullptr, e.what(), kTitle, MB_OK | MB_ICONSTOP);
            if (log)
                std::fclose(log);
            return 1;
        }
        MainWindow main(*skype, log);
        HWND hwnd = main.Create(options.placement);
        if (!hwnd) {
            code = 1;
        } else {
            ShowWindow(hwnd, SW_SHOWNORMAL);
            UpdateWindow(hwnd);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            code = static_cast<int>(msg.wParam);
        }
    }
    if (log)
        std::fclose(log);
    return code;
}

}  // namespace
}  // namespace standin

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return standin::Run(__argc, __argv); }

// OrvantaBench.exe: times Orvanta.exe against the floor (OrvantaFloor.exe, a
// bare Win32 dialog doing the same work) in one run on one desktop, taking turns
// between the two in every repetition, and prints the medians and the ratios.
// It plays the Skype client and the robot with the end-to-end harness's
// FakeSkype and drives both windows by control id. ./benchmark runs it under Wine.
//
//   OrvantaBench.exe [--reps N] [--loads 1000,10000,100000] [--samples N]
//                    [--burst N] [--idle SECONDS] [--verbose]
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "DialogProcess.h"
#include "FakeSkype.h"
#include "Probes.h"
#include "RemoteDialog.h"
#include "Text.h"
#include "Wait.h"
#include "WireTexts.h"
#include "link/RobotAccount.h"
#include "res/resource.h"

namespace bench {
namespace {

using e2e::Answered;
using e2e::Millis;
using namespace std::chrono_literals;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Check(const ::testing::AssertionResult& result, const std::string& what)
{
    if (!result)
        throw Failure(what + ": " + result.message());
}

// Reads in the harness report a problem as a non-fatal test failure; here
// there is no test, so each one ends the run.
void CheckHarness(const std::string& what)
{
    const ::testing::TestResult& result = ::testing::UnitTest::GetInstance()->ad_hoc_test_result();
    if (result.total_part_count() == 0)
        return;
    std::string text = what + ":";
    for (int i = 0; i < result.total_part_count(); ++i)
        text += std::string("\n  ") + result.GetTestPartResult(i).message();
    throw Failure(text);
}

const std::string kRobot = kRobotAccount;
using testsupport::DatagramNotice;
constexpr int kStream = 3;

// Two poses far apart, so that every Read box changes with every report.
const char* const kPoses[2] = {"WMRP_D|X1234Y-506Z800P-450R100G255", "WMRP_D|X-2000Y1500Z1200P0R-300G55"};
const char* const kPoseX[2] = {"123.4", "-200"};

// A load of 100,000 lines into a program that redraws its list on every line
// takes minutes under Wine.
constexpr Millis kWorkLimit = 30min;

LRESULT SendLong(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, UINT(kWorkLimit.count()), &result))
        throw Failure("a window did not answer message " + std::to_string(message));
    return LRESULT(result);
}

std::string ListLine(HWND list, int index)
{
    LRESULT length = SendLong(list, LB_GETTEXTLEN, WPARAM(index));
    if (length < 0)
        return {};
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(SendLong(list, LB_GETTEXT, WPARAM(index), LPARAM(text.data()))));
    return e2e::Narrow(text);
}

// The robot: answers the polls with the pose it last reported, as an idle
// robot does, and counts the WMCA_ITD answers that reach Skype.
class Robot {
public:
    explicit Robot(e2e::FakeSkype& skype) : m_skype(skype)
    {
        m_skype.onCommand([this](const e2e::CopyData& command) -> LRESULT {
            std::string text = command.text();
            HWND from = command.from;
            if (text.ends_with(" Msg$WMCA_ITD"))
                ++m_answers;
            else if (text.ends_with(" Msg$WMCA_QD"))
                m_skype.inBackground(
                    [this, from] { m_skype.sendNotice(DatagramNotice(kStream, kPoses[m_pose]), from); });
            else if (text.ends_with(" Msg$WMCA_QU"))
                m_skype.inBackground(
                    [this, from] { m_skype.sendNotice(DatagramNotice(kStream, "WMRSS RoBoT_ReAdY"), from); });
            return 1;
        });
    }
    int answers() const { return m_answers; }
    // The report of pose `index` (0 or 1), which later polls repeat.
    std::string reportPose(int index)
    {
        m_pose = index;
        return DatagramNotice(kStream, kPoses[index]);
    }

private:
    e2e::FakeSkype& m_skype;
    std::atomic<int> m_answers{0};
    std::atomic<int> m_pose{0};
};

// One program under measurement.
struct Subject {
    std::string name;
    std::unique_ptr<e2e::DialogProcess> process;
    e2e::RemoteDialog window;
    HANDLE handle = nullptr;
    bool asksBeforeRecording = false;
    // Asks before LOAD throws away steps recorded and not saved; whether it has some.
    bool asksAboutUnsavedSteps = false;
    bool stepsUnsaved = false;

    HWND hwnd() const { return window.hwnd(); }
    HWND item(int id) const { return window.item(id); }
};

size_t CommandsFrom(const e2e::FakeSkype& skype, HWND from)
{
    size_t count = 0;
    for (const e2e::CopyData& command : skype.commands())
        count += command.from == from;
    return count;
}

// A click that opens no box is sent, and handled when this returns.
void Click(const Subject& s, int id)
{
    Check(s.window.click(id, 60s), s.name + ": a click on control " + std::to_string(id));
}

// A click that opens a box is posted: its send would return only with the box.
void ClickOpeningBox(const Subject& s, int id)
{
    Check(s.window.clickOpeningBox(id), s.name + ": a click on control " + std::to_string(id));
}

void Start(Subject& s, e2e::FakeSkype& skype)
{
    Check(s.process->start(), s.name + " did not start");
    s.window = s.process->mainWindow();
    s.handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, s.process->processId());
    if (!s.handle)
        throw Failure("no handle of " + s.name + "'s process");
    // Attached once it sends its first command (Orvanta creates the
    // application; the floor polls on its first tick).
    Check(e2e::WaitFor(
              s.name + " attached", [&] { return CommandsFrom(skype, s.hwnd()) > 0; }, 10s),
          s.name + " did not attach");
    Check(e2e::WaitFor(
              s.name + "'s stream",
              [&] {
                  return skype.sendNotice("APPLICATION remotecontrol STREAMS " + kRobot + ":" + std::to_string(kStream),
                                          s.hwnd()) == Answered(1);
              },
              10s),
          s.name + " took no STREAMS notice");
}

std::unique_ptr<Subject> StartOrvanta(e2e::FakeSkype& skype)
{
    auto s = std::make_unique<Subject>();
    s->name = "Orvanta";
    s->process = std::make_unique<e2e::OrvantaProcess>();
    s->asksBeforeRecording = true;
    s->asksAboutUnsavedSteps = true;
    Start(*s, skype);
    // The robot's video: the link controls (REC among them) come on.
    if (skype.sendNotice("CALL 1 VIDEO_RECEIVE_STATUS RUNNING", s->hwnd()) != Answered(1))
        throw Failure("Orvanta took no video notice");
    // Expanded, so the step list shows as it does in the floor.
    SIZE compact = s->window.size();
    Click(*s, IDC_MORE);
    Check(e2e::WaitFor("Orvanta expanded", [&] { return s->window.size().cy > compact.cy; }), "More");
    return s;
}

std::unique_ptr<Subject> StartFloor(e2e::FakeSkype& skype)
{
    auto s = std::make_unique<Subject>();
    s->name = "floor";
    s->process = std::make_unique<e2e::DialogProcess>(L"OrvantaFloor.exe", "Floor");
    Start(*s, skype);
    // Left of the panel, which centres itself: the two never cover each other.
    SetWindowPos(s->hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return s;
}

// --- The measurements. Each returns one figure of one repetition.

// Short measurements take turns sample by sample, who goes first alternating,
// so that both programs meet the same moments of a shared machine. Answers each
// program's mean, in the order given.
std::vector<double> InTurns(const std::vector<Subject*>& order, int samples,
                            const std::function<double(Subject&, int sample)>& one)
{
    std::vector<double> total(order.size(), 0.0);
    for (int i = 0; i < samples; ++i) {
        for (size_t k = 0; k < order.size(); ++k) {
            size_t at = i % 2 ? order.size() - 1 - k : k;
            total[at] += one(*order[at], i);
        }
    }
    for (double& sum : total)
        sum /= samples;
    return total;
}

// WMIT_D notice sent -> its WMCA_ITD received inside it -> the notice handled.
double DatagramRoundTrip(Subject& s, e2e::FakeSkype& skype, const Robot& robot)
{
    int before = robot.answers();
    auto start = Clock::now();
    e2e::SendResult result = skype.sendNotice(DatagramNotice(kStream, "WMIT_D"), s.hwnd());
    double ms = MillisSince(start);
    if (result != Answered(1))
        throw Failure(s.name + " did not take a WMIT_D notice");
    if (robot.answers() != before + 1)
        throw Failure(s.name + " did not answer WMIT_D inside its notice");
    // Each datagram finds a quiet window, as the robot's datagrams do when they
    // come a while apart.
    PaintNow(s.hwnd());
    return ms;
}

// Position report sent -> the Read boxes painted with it. The pose alternates,
// so every Read box changes each time.
double PositionReport(Subject& s, e2e::FakeSkype& skype, Robot& robot, int sample)
{
    auto start = Clock::now();
    e2e::SendResult result = skype.sendNotice(robot.reportPose(sample % 2), s.hwnd());
    PaintNow(s.hwnd());
    double ms = MillisSince(start);
    if (result != Answered(1))
        throw Failure(s.name + " did not take a position report");
    return ms;
}

void ExpectShown(Subject& s, int id, const std::string& expected)
{
    std::string shown = s.window.text(id);
    CheckHarness(s.name + ": control " + std::to_string(id));
    if (shown != expected)
        throw Failure(s.name + " shows " + shown + " in control " + std::to_string(id) + ", not " + expected);
}

void SetRecording(Subject& s, bool on)
{
    if (on && s.asksBeforeRecording) {
        ClickOpeningBox(s, IDC_REC);
        e2e::RemoteDialog question = s.process->waitForDialog({}, 10s);
        if (!question)
            throw Failure(s.name + " asked nothing before recording");
        Check(question.pressButton(IDYES), "REC's question");
    } else {
        Click(s, IDC_REC);
    }
    Check(e2e::WaitFor(
              "REC " + std::string(on ? "down" : "up"), [&] { return s.window.checked(IDC_REC) == on; }, 10s),
          s.name + ": REC");
}

// A burst of position reports while recording (the Set boxes follow), until
// the last is painted. Milliseconds for the whole burst.
double RecordingBurst(Subject& s, e2e::FakeSkype& skype, Robot& robot, int reports)
{
    SetRecording(s, true);
    auto start = Clock::now();
    for (int i = 0; i < reports; ++i) {
        if (skype.sendNotice(robot.reportPose(i % 2), s.hwnd()) != Answered(1))
            throw Failure(s.name + " did not take a report of the burst");
    }
    PaintNow(s.hwnd());
    double ms = MillisSince(start);
    ExpectShown(s, IDC_X_SET, kPoseX[(reports - 1) % 2]);
    SetRecording(s, false);
    s.stepsUnsaved = s.asksAboutUnsavedSteps;
    return ms;
}

struct TrajectoryFile {
    std::wstring path;
    int lines = 0;
    uint64_t bytes = 0;
    std::string first, last;
};

// Step lines as LOAD writes them back, one in ten with a note, with the line
// ends a save under Windows writes, so a save of what was loaded gives the
// same bytes.
TrajectoryFile MakeTrajectory(const std::wstring& folder, int lines)
{
    TrajectoryFile file;
    file.path = folder + L"\\load-" + std::to_wstring(lines) + L".txt";
    file.lines = lines;
    std::ofstream out(std::filesystem::path(file.path), std::ios::binary);
    char line[128];
    for (int i = 0; i < lines; ++i) {
        int n = i % 10 == 0
            ? std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d,%d:step%d", i % 2000 - 1000, (i * 7) % 1500,
                            300 + i % 900, -900 + i % 1800, i % 3600 - 1800, i % 80, 1 + i % 255, i)
            : std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d,%d", i % 2000 - 1000, (i * 7) % 1500, 300 + i % 900,
                            -900 + i % 1800, i % 3600 - 1800, i % 80, 1 + i % 255);
        out.write(line, n);
        out.write("\r\n", 2);
        file.bytes += uint64_t(n) + 2;
        if (i == 0)
            file.first = line;
        file.last = line;
    }
    if (!out)
        throw Failure("could not write " + e2e::Narrow(file.path));
    return file;
}

e2e::RemoteDialog OpenFileDialog(Subject& s, int button)
{
    ClickOpeningBox(s, button);
    e2e::RemoteDialog dialog = s.process->waitForDialog({}, 30s);
    if (dialog && button == IDC_LOAD && s.stepsUnsaved) {
        // The question about the recorded steps (No: thrown away) is not what is timed.
        Check(dialog.pressButton(IDNO), s.name + ": the question about unsaved steps");
        Check(e2e::WaitFor(
                  "the question gone", [&] { return !dialog.exists(); }, 10s),
              s.name);
        dialog = s.process->waitForDialog({}, 30s);
        s.stepsUnsaved = false;
    }
    if (!dialog)
        throw Failure(s.name + " opened no file dialog");
    return dialog;
}

// OK in the open dialog -> the list filled, line 0 selected, and painted.
double Load(Subject& s, const TrajectoryFile& file)
{
    HWND list = s.item(IDC_STEP_LIST);
    // Not the count it will have, so the wait below cannot end early.
    if (SendLong(list, LB_GETCOUNT) == file.lines)
        SendLong(list, LB_DELETESTRING, 0);
    e2e::RemoteDialog dialog = OpenFileDialog(s, IDC_LOAD);
    auto start = Clock::now();
    Check(dialog.answerFileDialog(e2e::Narrow(file.path)), s.name + "'s open dialog");
    // A sent message is handled only between two of the program's handlers,
    // so the count comes back once the load is done.
    while (SendLong(list, LB_GETCOUNT) != file.lines || SendLong(list, LB_GETCURSEL) != 0) {
        if (MillisSince(start) > double(kWorkLimit.count()))
            throw Failure(s.name + " did not load " + std::to_string(file.lines) + " lines");
    }
    PaintNow(s.hwnd());
    double ms = MillisSince(start);
    if (ListLine(list, 0) != file.first || ListLine(list, file.lines - 1) != file.last)
        throw Failure(s.name + " loaded other lines than the file's");
    Check(e2e::WaitFor(
              "the open dialog gone", [&] { return !dialog.exists(); }, 10s),
          s.name);
    return ms;
}

// OK in the save dialog -> the file written whole.
double Save(Subject& s, const std::wstring& path, uint64_t bytes)
{
    DeleteFileW(path.c_str());
    e2e::RemoteDialog dialog = OpenFileDialog(s, IDC_SAVE);
    auto start = Clock::now();
    Check(dialog.answerFileDialog(e2e::Narrow(path)), s.name + "'s save dialog");
    for (;;) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
            (uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow) == bytes)
            break;
        if (MillisSince(start) > double(kWorkLimit.count()))
            throw Failure(s.name + " did not save");
        Sleep(1);
    }
    double ms = MillisSince(start);
    SendLong(s.hwnd(), WM_NULL);  // the save's handler has returned
    Check(e2e::WaitFor(
              "the save dialog gone", [&] { return !dialog.exists(); }, 10s),
          s.name);
    DeleteFileW(path.c_str());
    return ms;
}

// --- Figures and the table.

struct Row {
    std::string key;
    std::string label;
    std::string unit;
    double target;  // the largest ratio (or, for idle, percentage) allowed; 0: none
    bool targetIsPercent = false;
};

class Results {
public:
    void add(const std::string& key, const std::string& subject, double value)
    {
        m_values[key][subject].push_back(value);
    }
    const std::vector<double>* get(const std::string& key, const std::string& subject) const
    {
        auto row = m_values.find(key);
        if (row == m_values.end())
            return nullptr;
        auto cell = row->second.find(subject);
        return cell == row->second.end() ? nullptr : &cell->second;
    }

private:
    std::map<std::string, std::map<std::string, std::vector<double>>> m_values;
};

std::string Figure(double value)
{
    char text[32];
    if (value >= 100)
        std::snprintf(text, sizeof text, "%.0f", value);
    else if (value >= 10)
        std::snprintf(text, sizeof text, "%.1f", value);
    else
        std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

void PrintTable(const std::vector<Row>& rows, const Results& results, int reps, bool verbose)
{
    std::printf("\n%-44s %10s %10s %8s  %s\n", "measure (median)", "Orvanta", "floor", "ratio", "target");
    for (const Row& row : rows) {
        const std::vector<double>* orvanta = results.get(row.key, "Orvanta");
        const std::vector<double>* floor = results.get(row.key, "floor");
        if (!orvanta || orvanta->empty())
            continue;
        double a = Median(*orvanta);
        std::string b = "-", ratio = "-";
        if (floor && !floor->empty()) {
            b = Figure(Median(*floor));
            // Each repetition's pair was measured side by side: the ratio is the
            // median of the repetitions' ratios.
            std::vector<double> ratios;
            for (size_t i = 0; i < orvanta->size() && i < floor->size(); ++i)
                if ((*floor)[i] > 0)
                    ratios.push_back((*orvanta)[i] / (*floor)[i]);
            if (!ratios.empty())
                ratio = Figure(Median(ratios)) + "x";
        }
        std::string target = "";
        if (row.target > 0)
            target = row.targetIsPercent ? "< " + Figure(row.target) + " %" : "<= " + Figure(row.target) + "x";
        std::string label = row.label + " (" + row.unit + ")";
        std::printf("%-44s %10s %10s %8s  %s\n", label.c_str(), Figure(a).c_str(), b.c_str(), ratio.c_str(),
                    target.c_str());
        if (verbose) {
            for (const char* subject : {"Orvanta", "floor"}) {
                const std::vector<double>* values = results.get(row.key, subject);
                if (!values)
                    continue;
                std::printf("    %-8s", subject);
                for (double v : *values)
                    std::printf(" %s", Figure(v).c_str());
                std::printf("\n");
            }
        }
    }
    std::printf("\n%d repetitions, the two programs taking turns in each (who goes first alternates);\n"
                "a ratio is the median of the repetitions' ratios, Orvanta over the floor.\n",
                reps);
}

struct Options {
    int reps = 5;
    std::vector<int> loads = {1000, 10000, 100000};
    int samples = 200;
    int burst = 1000;
    int idleSeconds = 10;
    bool verbose = false;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc)
                throw Failure("missing value after " + arg);
            return argv[++i];
        };
        if (arg == "--reps") {
            options.reps = std::stoi(next());
        } else if (arg == "--loads") {
            options.loads.clear();
            std::stringstream list(next());
            for (std::string item; std::getline(list, item, ',');)
                if (!item.empty())
                    options.loads.push_back(std::stoi(item));
        } else if (arg == "--samples") {
            options.samples = std::stoi(next());
        } else if (arg == "--burst") {
            options.burst = std::stoi(next());
        } else if (arg == "--idle") {
            options.idleSeconds = std::stoi(next());
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            throw Failure("unknown option " + arg);
        }
    }
    if (options.reps < 1 || options.samples < 1 || options.burst < 1 || options.idleSeconds < 0)
        throw Failure("counts must be positive");
    return options;
}

std::string Thousands(int n)
{
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

int Run(const Options& options)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"orvanta-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<TrajectoryFile> files;
    for (int lines : options.loads)
        files.push_back(MakeTrajectory(folder, lines));
    const TrajectoryFile* largest = nullptr;
    for (const TrajectoryFile& file : files)
        if (!largest || file.lines > largest->lines)
            largest = &file;

    e2e::FakeSkype skype;
    skype.answerDiscovery(kAttachSuccess);
    skype.setSendTimeout(kWorkLimit);
    Robot robot(skype);

    std::unique_ptr<Subject> floor = StartFloor(skype);
    std::unique_ptr<Subject> orvanta = StartOrvanta(skype);
    CheckHarness("start");

    std::vector<Row> rows = {
        {"roundtrip", "datagram round trip", "ms", 1.5},
        {"position", "position report to Read boxes shown", "ms", 1.5},
    };
    for (const TrajectoryFile& file : files)
        rows.push_back({"load" + std::to_string(file.lines), "LOAD " + Thousands(file.lines) + " lines", "ms", 2});
    if (largest)
        rows.push_back({"save", "SAVE " + Thousands(largest->lines) + " lines", "ms", 0});
    rows.push_back({"burst", "burst of " + Thousands(options.burst) + " reports, recording", "ms", 0});
    if (options.idleSeconds > 0)
        rows.push_back({"idle", "idle CPU over " + std::to_string(options.idleSeconds) + " s, linked", "%", 1, true});
    if (largest) {
        rows.push_back({"workingset", "memory, " + Thousands(largest->lines) + " steps loaded", "MiB", 0});
    }

    Results results;
    const std::wstring savePath = folder + L"\\saved.txt";
    for (int rep = 0; rep < options.reps; ++rep) {
        std::vector<Subject*> order = {orvanta.get(), floor.get()};
        if (rep % 2)
            std::swap(order[0], order[1]);
        std::fprintf(stderr, "repetition %d of %d\n", rep + 1, options.reps);
        auto each = [&](const std::string& key, const std::function<double(Subject&)>& measure) {
            for (Subject* s : order) {
                double value = measure(*s);
                CheckHarness(s->name + ": " + key);
                results.add(key, s->name, value);
                if (options.verbose)
                    std::fprintf(stderr, "  %-12s %-8s %s\n", key.c_str(), s->name.c_str(), Figure(value).c_str());
            }
        };
        auto inTurns = [&](const std::string& key, const std::function<double(Subject&, int)>& one) {
            std::vector<double> means = InTurns(order, options.samples, one);
            for (size_t k = 0; k < order.size(); ++k) {
                results.add(key, order[k]->name, means[k]);
                if (options.verbose)
                    std::fprintf(stderr, "  %-12s %-8s %s\n", key.c_str(), order[k]->name.c_str(),
                                 Figure(means[k]).c_str());
            }
        };
        inTurns("roundtrip", [&](Subject& s, int) { return DatagramRoundTrip(s, skype, robot); });
        inTurns("position", [&](Subject& s, int sample) { return PositionReport(s, skype, robot, sample); });
        for (Subject* s : order)
            ExpectShown(*s, IDC_X_READ, kPoseX[(options.samples - 1) % 2]);
        each("burst", [&](Subject& s) { return RecordingBurst(s, skype, robot, options.burst); });
        for (const TrajectoryFile& file : files) {
            each("load" + std::to_string(file.lines), [&](Subject& s) { return Load(s, file); });
            if (&file != largest)
                continue;
            for (Subject* s : order) {
                if (std::optional<double> mb = WorkingSetMb(s->handle))
                    results.add("workingset", s->name, *mb);
            }
            each("save", [&](Subject& s) { return Save(s, savePath, file.bytes); });
        }
        if (options.idleSeconds > 0) {
            // Both at once, over the same seconds, with the pointer outside both:
            // resting on a themed control, it keeps Wine's hover tracking polling
            // that program some twenty times a second.
            SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
            PaintNow(orvanta->hwnd());
            PaintNow(floor->hwnd());
            std::optional<double> before[2] = {CpuSeconds(orvanta->process->processId()),
                                               CpuSeconds(floor->process->processId())};
            auto start = Clock::now();
            e2e::WaitUntil([] { return false; }, Millis(options.idleSeconds * 1000));
            double seconds = MillisSince(start) / 1000;
            std::optional<double> after[2] = {CpuSeconds(orvanta->process->processId()),
                                              CpuSeconds(floor->process->processId())};
            Subject* both[2] = {orvanta.get(), floor.get()};
            for (int i = 0; i < 2; ++i) {
                if (before[i] && after[i])
                    results.add("idle", both[i]->name, (*after[i] - *before[i]) / seconds * 100);
            }
        }
    }

    PrintTable(rows, results, options.reps, options.verbose);
    std::printf("datagram rows: mean of %d notices a repetition, the programs taking turns notice by notice;\n"
                "burst: %s reports in a row.\n",
                options.samples, Thousands(options.burst).c_str());

    orvanta->process->kill();
    floor->process->kill();
    for (const TrajectoryFile& file : files)
        DeleteFileW(file.path.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv)
{
    try {
        return bench::Run(bench::ParseOptions(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "OrvantaBench: %s\n", e.what());
        return 1;
    }
}

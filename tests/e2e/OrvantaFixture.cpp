#include "OrvantaFixture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string_view>

namespace e2e {

namespace {

HWND IconControlOf(HWND box)
{
    struct Search {
        HWND found;
    } search{nullptr};
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
            if (std::wstring_view(name) == L"Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
                reinterpret_cast<Search*>(param)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}

// 32-bit pixels of a width x height bitmap selected in `dc`.
std::vector<uint32_t> PixelsOf(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

}  // namespace

bool Responds(HWND window, Millis limit)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(limit.count()), &result) != 0;
}

std::string MessageBoxIcon(const RemoteDialog& box)
{
    HWND control = IconControlOf(box.hwnd());
    if (!control)
        return "none";
    DWORD_PTR icon = 0;
    if (SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_NORMAL, 2000, &icon) && !icon)
        return "none";
    RECT r{};
    GetWindowRect(control, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return "none";

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    std::vector<uint32_t> shown = PixelsOf(dc, bitmap, width, height);
    // The icon's corner is transparent: that is the background it was drawn on.
    COLORREF background = RGB(shown[0] >> 16 & 0xFF, shown[0] >> 8 & 0xFF, shown[0] & 0xFF);

    struct Candidate {
        const wchar_t* id;
        const char* name;
    };
    const Candidate kCandidates[] = {
        {IDI_ASTERISK, "information"}, {IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "warning"}, {IDI_HAND, "error"}};
    std::string best = "unknown";
    size_t fewest = shown.size() / 50 + 1;  // at most one pixel in fifty may differ
    for (const Candidate& candidate : kCandidates) {
        HICON standard = LoadIconW(nullptr, candidate.id);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, standard, 0, 0, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        std::vector<uint32_t> drawn = PixelsOf(dc, bitmap, width, height);
        size_t differ = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differ += shown[i] != drawn[i];
        if (differ < fewest) {
            fewest = differ;
            best = candidate.name;
        }
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return best;
}

bool AllEnabled(const RemoteDialog& dialog, std::span<const int> ids, bool enabled)
{
    return std::all_of(ids.begin(), ids.end(), [&](int id) { return dialog.enabled(id) == enabled; });
}

std::string OrvantaControlName(int id)
{
    if (id == kMessageBoxTextId)
        return "message text";
    return std::string(testsupport::ControlSymbol(id));
}

::testing::AssertionResult OrvantaTest::startOrvanta()
{
    auto started = orvanta.start();
    if (started)
        panel = orvanta.panel();
    return started;
}

void OrvantaTest::TearDown()
{
    if (orvanta.running() && !allowOpenDialogs) {
        EXPECT_TRUE(orvanta.noDialogOpen()) << "left open at the end of the test";
    }
    orvanta.kill();
}

bool IsRoutineTraffic(std::string_view text)
{
    auto has = [&](std::string_view part) { return text.find(part) != std::string_view::npos; };
    if (has("Msg$WMCA_QD") || has("Msg$WMCA_QU") || has("Msg$WMRP_D|") || has("Msg$WMRSS|"))
        return true;
    return has(" SENDING ") || has(" DURATION ") ||
        (text.starts_with("ALTER APPLICATION ") && has(" DATAGRAM ") && !has("Msg$"));
}

::testing::AssertionResult StandinTest::startWithStandin(standin::WindowOptions options)
{
    try {
        standin = std::make_unique<standin::SkypeWindow>(std::move(options));
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << "the stand-in did not start: " << e.what();
    }
    return startOrvanta();
}

void StandinTest::TearDown()
{
    OrvantaTest::TearDown();
    if (HasFailure() && standin)
        std::cout << "stand-in traffic, routine lines left out:\n" << describeTraffic();
    standin.reset();
}

std::vector<standin::TrafficEntry> StandinTest::trafficSince(std::uint64_t after) const
{
    return standin->Traffic(after);
}

std::vector<std::string> StandinTest::commandsSince(std::uint64_t after) const
{
    using Kind = standin::TrafficEntry::Kind;
    std::vector<std::string> texts;
    for (const standin::TrafficEntry& entry : standin->Traffic(after)) {
        if ((entry.kind == Kind::kCommand || entry.kind == Kind::kIgnored) && !IsRoutineTraffic(entry.text))
            texts.push_back(entry.text);
    }
    return texts;
}

std::vector<std::string> StandinTest::noticesSince(std::uint64_t after) const
{
    std::vector<std::string> texts;
    for (const standin::TrafficEntry& entry : standin->Traffic(after)) {
        if (entry.kind == standin::TrafficEntry::Kind::kNotice && !IsRoutineTraffic(entry.text))
            texts.push_back(entry.text);
    }
    return texts;
}

::testing::AssertionResult StandinTest::waitForTraffic(std::string_view part, std::uint64_t after, Millis timeout) const
{
    std::uint64_t seen = after;
    return WaitFor(
        "the stand-in's traffic to show \"" + std::string(part) + "\"",
        [&] {
            for (const standin::TrafficEntry& entry : standin->Traffic(seen)) {
                seen = entry.seq;
                if (entry.text.find(part) != std::string::npos)
                    return true;
            }
            return false;
        },
        timeout);
}

std::string StandinTest::describeTraffic(std::uint64_t after) const
{
    std::ostringstream out;
    for (const standin::TrafficEntry& entry : standin->Traffic(after)) {
        if (IsRoutineTraffic(entry.text))
            continue;
        char time[16];
        std::snprintf(time, sizeof time, "%8.2f  ", entry.time);
        std::string line = standin::Describe(entry);
        if (line.size() > 200)
            line = line.substr(0, 200) + "... (" + std::to_string(line.size()) + " bytes)";
        out << time << line << "\n";
    }
    return out.str();
}

::testing::AssertionResult StandinTest::waitForLink(Millis timeout)
{
    return WaitFor(
        "\"Link to Robot OK!\"", [&] { return panel.text(IDC_STATUS) == "Link to Robot OK!"; }, timeout);
}

::testing::AssertionResult StandinTest::callRobot(Millis timeout)
{
    // Connect comes on with the robot's first "ready" report.
    if (auto ready = WaitFor("Connect enabled", [&] { return panel.enabled(IDC_CONNECT); }); !ready)
        return ready;
    if (auto clicked = panel.click(IDC_CONNECT); !clicked)
        return clicked;
    return WaitFor(
        "the call in progress and the link controls on",
        [&] { return call().status == "INPROGRESS" && AllEnabled(panel, kLinkControls); }, timeout);
}

int StandinTest::countDialogs(std::string_view caption) const
{
    int count = 0;
    for (const RemoteDialog& dialog : orvanta.dialogs())
        count += dialog.caption() == caption ? 1 : 0;
    return count;
}

robotsim::Joints StandinTest::joints() const
{
    robotsim::Joints joints;
    standin->Query([&](const standin::SkypeModel& model) { joints = model.station().joints(); });
    return joints;
}

bool StandinTest::robotMoving() const
{
    bool moving = false;
    standin->Query([&](const standin::SkypeModel& model) { moving = model.station().moving(); });
    return moving;
}

int StandinTest::robotStream() const
{
    int stream = 0;
    standin->Query([&](const standin::SkypeModel& model) { stream = model.robotStream(); });
    return stream;
}

standin::CallInfo StandinTest::call() const
{
    standin::CallInfo info;
    standin->Query([&](const standin::SkypeModel& model) { info = model.call(); });
    return info;
}

bool StandinTest::standinAttached() const
{
    bool attached = false;
    standin->Query([&](const standin::SkypeModel& model) { attached = model.attached(); });
    return attached;
}

}  // namespace e2e

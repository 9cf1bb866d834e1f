// The notice intake: WM_COPYDATA blocks of any length and byte count, from
// Skype or another window, some of them arriving inside the panel's own sends,
// through the channel and the link controller to the robot's reports.
//
// Property: a position report is taken whole or not at all. When its text ends
// within the bytes the panel looks at, the Read values are the ones it carries;
// otherwise they stay as they were.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "DataExchange.h"
#include "FuzzSupport.h"
#include "SkypeChannel.h"

namespace {

struct Notice {
    std::vector<char> bytes;
    bool foreign = false;   // from some other program's window
    bool nullData = false;  // a byte count with no data pointer
};

// Openings that lead to the link controller's branches.
const char* const kPrefixes[] = {
    "",
    "APPLICATION remotecontrol STREAMS orvanta.robot:",
    "CALL 17 ",
    "CALL 17 DURATION ",
    "USERSTATUS ",
    "APPLICATION remotecontrol RECEIVED orvanta.robot:",
};

std::string DatagramPrefix(int stream)
{
    return "APPLICATION remotecontrol DATAGRAM orvanta.robot:" + std::to_string(stream) + " Msg$";
}

// Delivers the bytes in a block of exactly their size, so that a read past the
// byte count is a read past the block.
void Deliver(SkypeDesktop& desk, const Notice& n)
{
    std::unique_ptr<char[]> block(new char[n.bytes.size()]);
    if (!n.bytes.empty())
        std::memcpy(block.get(), n.bytes.data(), n.bytes.size());
    HWND from = n.foreign ? desk.ForeignWindow() : desk.SkypeWindow();
    if (n.nullData)
        desk.CopyData(from, nullptr, DWORD(n.bytes.size()), nullptr, true);
    else
        desk.CopyData(from, block.get(), DWORD(n.bytes.size()));
}

void Append(std::vector<char>& to, const std::string& text) { to.insert(to.end(), text.begin(), text.end()); }

// Any bytes, after one of the known openings, with a run of one byte after them.
Notice Raw(FuzzedDataProvider& in, int stream)
{
    Notice n;
    n.foreign = in.ConsumeIntegralInRange(0, 7) == 0;
    n.nullData = in.ConsumeIntegralInRange(0, 15) == 0;
    size_t prefix = in.ConsumeIntegralInRange<size_t>(0, std::size(kPrefixes));
    Append(n.bytes, prefix == std::size(kPrefixes) ? DatagramPrefix(stream) : kPrefixes[prefix]);
    std::vector<char> body = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 300));
    n.bytes.insert(n.bytes.end(), body.begin(), body.end());
    size_t run = in.ConsumeIntegralInRange<size_t>(0, 1100);
    n.bytes.insert(n.bytes.end(), run, char(in.ConsumeIntegral<uint8_t>()));
    return n;
}

// The Read boxes' texts, X, Y, Z, pitch, roll and hand.
using Pose = std::array<std::string, 6>;

Pose ReadPose(const SkypeDesktop& desk)
{
    return {desk.Text(IDC_X_READ),     desk.Text(IDC_Y_READ),    desk.Text(IDC_Z_READ),
            desk.Text(IDC_PITCH_READ), desk.Text(IDC_ROLL_READ), desk.Text(IDC_HAND_READ)};
}

std::string Describe(const Pose& p)
{
    return "X " + p[0] + " Y " + p[1] + " Z " + p[2] + " P " + p[3] + " R " + p[4] + " hand " + p[5];
}

// A position report with filler before its numbers and after them, with or
// without its zero byte: the filler moves the 1024-byte edge across it.
void PositionReport(FuzzedDataProvider& in, fuzz::Panel& panel)
{
    int v[6];
    for (int& value : v)
        value = in.ConsumeIntegral<int32_t>();
    static const char kBefore[] = {'x', ' ', '9', '-'};
    static const char kAfter[] = {'x', ' '};
    size_t before = in.ConsumeIntegralInRange<size_t>(0, 1100);
    size_t after = in.ConsumeIntegralInRange<size_t>(0, 1100);
    char beforeFill = kBefore[in.ConsumeIntegralInRange<size_t>(0, 3)];
    char afterFill = kAfter[in.ConsumeIntegralInRange<size_t>(0, 1)];
    bool terminated = in.ConsumeBool();

    Notice n;
    Append(n.bytes, DatagramPrefix(panel->Link().StreamId()) + "WMRP_D");
    n.bytes.insert(n.bytes.end(), before, beforeFill);
    char numbers[100];
    std::snprintf(numbers, sizeof numbers, "|X%dY%dZ%dP%dR%dG%d", v[0], v[1], v[2], v[3], v[4], v[5]);
    Append(n.bytes, numbers);
    n.bytes.insert(n.bytes.end(), after, afterFill);
    if (terminated)
        n.bytes.push_back('\0');

    // The text ends within what the panel looks at: a zero byte there, or a
    // block no longer than the panel's buffer.
    size_t looked = std::min<size_t>(n.bytes.size(), kCopyBufferSize);
    bool whole = n.bytes.size() <= kCopyBufferSize || std::memchr(n.bytes.data(), 0, looked) != nullptr;

    Pose was = ReadPose(panel.desk);
    Deliver(panel.desk, n);
    Pose now = ReadPose(panel.desk);
    // What the Read boxes show of the values sent.
    auto shown = [](double value) { return FormatDouble(value).str(); };
    Pose sent = {shown(v[0] * 0.1), shown(v[1] * 0.1), shown(v[2] * 0.1),
                 shown(v[3] * 0.1), shown(v[4] * 0.1), shown(double(v[5] / 10))};
    std::string what = std::string(numbers) + " in " + std::to_string(n.bytes.size()) + " bytes" +
        (terminated ? " with" : " without") + " its zero byte shows " + Describe(now) + "; was " + Describe(was);
    if (whole)
        FUZZ_PROPERTY(now == sent, "a whole position report is not shown as sent: " + what);
    else
        FUZZ_PROPERTY(now == was, "a position report cut at the buffer's end changed the Read values: " + what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::Panel panel(in.ConsumeBool() ? fuzz::Panel::State::Operating : fuzz::Panel::State::Attached);
    SkypeDesktop& desk = panel.desk;

    // Notices held back to arrive inside the panel's next command, as Skype's
    // answers do.
    std::deque<Notice> held;
    desk.onCommand = [&](const std::string&) {
        if (held.empty())
            return;
        Notice n = std::move(held.front());
        held.pop_front();
        Deliver(desk, n);
    };
    // The experiment's end says thanks; REC asks first.
    desk.onUnscriptedBox = [](const std::string&, UINT type) {
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    };

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: Deliver(desk, Raw(in, panel->Link().StreamId())); break;
        case 1: PositionReport(in, panel); break;
        case 2: held.push_back(Raw(in, panel->Link().StreamId())); break;
        case 3:
            desk.Tick();  // the polls go out: held notices arrive inside them
            break;
        case 4:
            desk.Click(IDC_REC);  // recording: reports move the Set values too
            break;
        case 5: {
            // A robot report named by its keyword, with any tail.
            static const char* const kReports[] = {"WMRP_D|X", "WMRSS",   "WMRSS RoBoT_ReAdY",
                                                   "WMRD_U*",  "WMRP_SE", "WMIT_D"};
            Notice n;
            Append(n.bytes,
                   DatagramPrefix(panel->Link().StreamId()) +
                       kReports[in.ConsumeIntegralInRange<size_t>(0, std::size(kReports) - 1)]);
            std::vector<char> tail = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 64));
            n.bytes.insert(n.bytes.end(), tail.begin(), tail.end());
            n.bytes.push_back('\0');
            if (in.ConsumeBool())
                held.push_back(std::move(n));
            else
                Deliver(desk, n);
            break;
        }
        }
    }
    desk.onCommand = nullptr;
    return 0;
}

// The Skype stand-in on a real Win32 desktop: a hidden top-level window on a
// thread of its own that does nothing but pump (skypeapi::WindowThread, as the
// end-to-end harness's), so a client's synchronous sends into it are answered
// whatever the creating thread is doing.
//
//   discovery      the discover message (sent or posted, wParam = client
//                  window): the model's answer goes out as the attach message
//                  sent to that window, wParam = our window, lParam = status.
//   commands       WM_COPYDATA from the attached client only (answered 1; any
//                  other window's are answered 0 and logged as ignored). The text
//                  ends at the first zero byte within cbData.
//   notices        WM_COPYDATA, wParam = our window, cbData = strlen + 1, by
//                  SendMessageTimeout with Skype's 1 s limit: a time-out or a 0
//                  result counts as the client gone (the model detaches it and
//                  nothing more is sent to that attachment). Nested notices are
//                  sent from inside the client's command; posted ones after the
//                  command returned, from a message posted to ourselves. So a
//                  modal box in the client costs at most one second, never a hang.
//   time           a timer (tickMs) moves the model on by the elapsed real time.
//   0x8001         posted to HWND_BROADCAST.
//
// Every member may be called from any thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SkypeModel.h"

namespace standin {

struct TrafficEntry {
    enum class Kind {
        kDiscover,   // a discovery broadcast arrived from `peer`
        kCommand,    // a command the model took
        kIgnored,    // a WM_COPYDATA from a window that is not attached
        kAttach,     // an attach answer (`status`) to `peer`
        kBroadcast,  // the 0x8001 broadcast
        kNotice,     // a notice to `peer`
        kNote,       // a remark: fault played, client gone, notice dropped ...
    };
    std::uint64_t seq = 0;  // from 1 up, never reused
    double time = 0;        // model seconds
    Kind kind = Kind::kNote;
    std::string text;
    long status = 0;
    HWND peer = nullptr;
    bool nested = false;    // kCommand / kNotice: inside a send of the other side
    bool delivered = true;  // kNotice / kAttach: answered in time (a notice: non-zero)
};

// "-> TEXT", "-> TEXT (ignored)", "-> discover", "<- attach N", "<- TEXT (nested)",
// "<- TEXT (not answered)", "<- broadcast 0x8001", "-- NOTE".
std::string Describe(const TrafficEntry& entry);

struct WindowOptions {
    Config model;          // a scenario's settings are applied on top
    std::string scenario;  // a Scenario name; "" for none
    UINT tickMs = 50;
    UINT sendTimeoutMs = 1000;          // Skype's rule
    std::size_t trafficLimit = 100000;  // the oldest entries go beyond this
};

class SkypeWindow {
public:
    // Starts the thread and returns once the window exists; throws
    // std::runtime_error for an unknown scenario or a window that cannot be made.
    explicit SkypeWindow(WindowOptions options = {});
    // Closes the window and joins its thread (at most about one send time-out).
    ~SkypeWindow();
    SkypeWindow(const SkypeWindow&) = delete;
    SkypeWindow& operator=(const SkypeWindow&) = delete;

    // Our API window: wParam of everything we send.
    HWND hwnd() const;

    // Runs `action` on the model under its lock, on the calling thread; what it
    // returns is sent from the window's thread soon after. Returns at once.
    //   window.Play([](SkypeModel& m) { return m.LogOut(); });
    void Play(const std::function<Batch(SkypeModel&)>& action);
    // Reads the model under its lock. Neither callback may call back into this object.
    void Query(const std::function<void(const SkypeModel&)>& reader) const;

    // The log entries with seq > `after`, oldest first.
    std::vector<TrafficEntry> Traffic(std::uint64_t after = 0) const;
    std::uint64_t LastSeq() const;
    // True once nothing is waiting to be sent; false if still busy after `timeoutMs`.
    bool WaitIdle(DWORD timeoutMs) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace standin

// A Skype client as far as the Desktop API shows it: a hidden top-level window
// that answers the discovery broadcast, takes commands by WM_COPYDATA and sends
// attach answers and notices back; plus a second, foreign window that sends
// copy-data nobody should listen to.
//
// Both windows live on a thread of their own that does nothing but pump
// (skypeapi::WindowThread, as the stand-in's), so the program's synchronous
// sends into them are answered whatever the test thread is doing, and a notice
// sent back from inside a command handler arrives nested in the program's send,
// as with the real client. Every send into the program has a time limit, so a
// modal box there cannot hang the test.
//
// Everything may be called from any thread; what arrived is read under a lock.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ApiWindow.h"
#include "SkypeApi.h"
#include "Wait.h"

namespace e2e {

// The registered window messages of the Skype Desktop API.
using skypeapi::AttachMessage;
using skypeapi::DiscoverMessage;

// One WM_COPYDATA that reached one of our windows.
struct CopyData {
    HWND to = nullptr;                         // which of our windows
    HWND from = nullptr;                       // its wParam: the window the sender names as itself
    ULONG_PTR tag = 0;                         // dwData
    DWORD byteCount = 0;                       // cbData
    std::string bytes;                         // exactly byteCount bytes, zero bytes included
    bool nested = false;                       // arrived while one of our sends into the program was running
    std::chrono::steady_clock::time_point at;  // when it arrived
    std::string text() const { return bytes.substr(0, bytes.find('\0')); }
};

// One discovery broadcast seen by the Skype window.
struct Discovery {
    HWND client = nullptr;  // wParam: the window that wants to attach
    LPARAM lParam = 0;
    bool sent = false;  // by SendMessage (true) or PostMessage
};

// One thing that crossed between us and the program, in the order it happened.
// Describe() gives a one-line text used in sequence assertions:
//   "discover"             a discovery broadcast arrived
//   "command TEXT"         a WM_COPYDATA reached the Skype window
//   "foreign TEXT"         a WM_COPYDATA reached the foreign window
//   "attach N"             we sent (or posted) attach status N
//   "notice TEXT"          we started sending notice TEXT ("foreign notice TEXT" from the foreign window)
//   "done = R"             that send returned R ("done timeout" when it timed out)
//   "hang N ms"            the Skype window stopped answering for N ms (stopAnswering)
//   "answering again"      and pumps again
struct Event {
    enum Kind { Discover, Command, Foreign, Attach, Notice, ForeignNotice, Done, Hang, Answering } kind;
    std::string text;
    LPARAM value = 0;
    bool delivered = true;
    std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();
    std::uint64_t seq = 0;  // set by the log
};
std::string Describe(const Event& event);

// The answer of one send into the program.
struct SendResult {
    bool delivered = false;  // false: the program did not answer within the time limit
    LRESULT value = 0;
    bool operator==(const SendResult&) const = default;
};
void PrintTo(const SendResult& result, std::ostream* out);
inline SendResult Answered(LRESULT value) { return {true, value}; }

// How the Skype window answers a discovery broadcast.
enum class AttachTiming {
    None,           // no answer at all
    Nested,         // sent from inside the broadcast, before the program's broadcast returns
    AfterDiscover,  // sent from our message loop right after the broadcast handler returned
    Posted,         // posted, so it arrives whenever the program next pumps
};

class FakeSkype {
public:
    // Creates both windows and their thread; they exist when this returns.
    FakeSkype();
    ~FakeSkype();
    FakeSkype(const FakeSkype&) = delete;
    FakeSkype& operator=(const FakeSkype&) = delete;

    HWND hwnd() const;         // the Skype API window
    HWND foreignHwnd() const;  // a window that is not Skype
    // The window of the last discovery broadcast: where notices go by default.
    HWND client() const;

    // Answer to every later discovery broadcast; nothing by default.
    void answerDiscovery(std::optional<LPARAM> status, AttachTiming timing = AttachTiming::AfterDiscover);

    // Called on our thread inside the program's WM_COPYDATA, after it is
    // recorded; its result is what the program's SendMessage returns (1 when no
    // handler is set). It may send notices: they arrive nested in the command.
    using CommandHandler = std::function<LRESULT(const CopyData& command)>;
    void onCommand(CommandHandler handler);

    // What arrived, in order.
    std::vector<Event> events() const;
    std::vector<std::string> transcript() const;  // Describe() of every event
    std::vector<Discovery> discoveries() const;
    std::vector<CopyData> commands() const;  // into the Skype window
    std::vector<std::string> commandTexts() const;
    std::vector<CopyData> foreignCommands() const;  // into the foreign window
    size_t commandCount() const;
    // Forgets everything recorded so far (the answers and handler stay).
    void clear();

    ::testing::AssertionResult waitForDiscoveries(size_t count, Millis timeout = kDefaultTimeout) const;
    ::testing::AssertionResult waitForCommands(size_t count, Millis timeout = kDefaultTimeout) const;

    // Sends into the program (`to` defaults to client()), each with a time limit.
    // A box that the program opens while handling a send keeps the send from
    // returning until the box is closed: post such an attach answer, or make the
    // send in the background (below) and answer the box meanwhile.
    void setSendTimeout(Millis timeout);
    SendResult sendAttach(LPARAM status, HWND to = nullptr);  // wParam = hwnd()
    SendResult postAttach(LPARAM status, HWND to = nullptr);
    // A notice: the text and its zero byte, wParam = hwnd().
    SendResult sendNotice(std::string_view text, HWND to = nullptr);
    // Raw copy-data from the Skype window: `bytes` as the data, `byteCount` as cbData
    // (it may be smaller than bytes.size(), or 0 with no data).
    SendResult sendCopyData(std::string_view bytes, DWORD byteCount, ULONG_PTR tag = 0, HWND to = nullptr);
    // A notice from the foreign window (wParam = foreignHwnd()).
    SendResult sendForeignNotice(std::string_view text, HWND to = nullptr);

    // Skype stops answering, as when it is busy, hung or held in a debugger: our
    // thread pumps nothing for `period`, or until answerAgain(). The program's
    // commands meanwhile wait in the queue and are taken, in order, afterwards.
    // Returns once the hang has begun.
    void stopAnswering(Millis period);
    void answerAgain();
    bool hanging() const;
    // A command of the program has reached the hung window since the hang began
    // (the program is in that send, or has given up waiting for it).
    bool commandWaiting() const;

    // Runs `action` on our own thread and returns at once; its sends show in
    // transcript() ("notice X" ... "done = 1") when they happen. For example
    //   skype.inBackground([&] { skype.sendNotice("CALL 1 STATUS FINISHED"); });
    void inBackground(std::function<void()> action);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace e2e

// The transport to the local Skype client: the Skype Desktop API's registered
// window messages and WM_COPYDATA text commands.
#pragma once
#include <string>
#include <vector>

#include "SkypeApi.h"
#include "SkypeLink.h"
#include "winapi.h"

class CSessionLog;
class CWnd;

// "SkypeControlAPIAttach": Skype's attachment answers (wParam its API window,
// lParam the status).
extern const UINT g_uAttachMsg;
// "SkypeControlAPIDiscover": broadcast with our window as wParam to find Skype.
extern const UINT g_uDiscoverMsg;

// Holds a command while it is sent; every send, nested ones included, reuses it.
constexpr unsigned kCopyBufferSize = 1024;
extern char g_szCopyBuffer[kCopyBufferSize];

// The Skype channel: Skype's window once it has attached us, the commands out
// (each logged, with a time limit) and the answers in, handed to the listener.
class CSkypeChannel final : public ISkypeCommands {
public:
    // owner: our window, the one Skype answers; log: every command and notice.
    CSkypeChannel(const CWnd& owner, CSessionLog& log) : m_owner(owner), m_log(log) { }

    void Listen(ISkypeListener* listener) { m_listener = listener; }
    HWND SkypeWindow() const { return m_hSkypeWnd; }

    void Send(const char* command) override { Deliver(command, Kind::kPlain); }
    void SendVital(const char* command) override { Deliver(command, Kind::kVital); }
    bool Discover() override;

    // The window messages Skype sends us.
    void OnAttachAnswer(LPARAM status, HWND skypeWnd);
    void OnCopyData(HWND from, const COPYDATASTRUCT* data);

private:
    // kRepeat: a vital command sent once more; it is not repeated again.
    enum class Kind { kPlain, kVital, kRepeat };

    void Deliver(const char* command, Kind kind);
    void RepeatVitalCommands();
    void ForgetSkype();

    const CWnd& m_owner;
    CSessionLog& m_log;
    ISkypeListener* m_listener = nullptr;
    HWND m_hSkypeWnd = nullptr;
    // Skype left the last command unanswered within the time limit.
    bool m_bSilent = false;
    // Vital commands that ran out of time, to go once more when Skype answers again.
    std::vector<std::string> m_vUnanswered;
    // Sends to Skype under way, nested ones counted: what arrives meanwhile is nested.
    int m_nSendDepth = 0;
};

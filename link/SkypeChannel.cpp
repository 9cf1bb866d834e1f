// The Skype channel: discovery, commands out, notices in.
#include "SkypeChannel.h"

#include <cstring>

#include "SessionLog.h"
#include "Wnd.h"

const UINT g_uAttachMsg = ws::RegisterWindowMessage(kSkypeAttachMessageName);
const UINT g_uDiscoverMsg = ws::RegisterWindowMessage(kSkypeDiscoverMessageName);
char g_szCopyBuffer[kCopyBufferSize];

namespace {
// Skype drops a client that spends more than a second on one of its messages;
// we give Skype the same second before we carry on without its answer.
constexpr UINT kAnswerLimitMs = 1000;
// Once Skype has let one command run out of time, the next ones wait only this
// long, until one is answered in time: a hung Skype then costs the panel one
// second, not a second for every command of every tick.
constexpr UINT kSilentAnswerLimitMs = 100;
}  // namespace

bool CSkypeChannel::Discover()
{
    return ws::BroadcastMessage(g_uDiscoverMsg, WPARAM(m_owner.m_hWnd), 0, kAnswerLimitMs) != 0;
}

// The send is synchronous: Skype's notices in answer to the command can arrive,
// nested, before it returns. A command Skype does not take within the time
// limit counts as sent: Windows still hands it to Skype later, in order; Wine
// drops it. Only a vital command is sent again, once, after Skype has answered
// another in time; the arm takes a second jog stop or WMCD as it takes the first.
void CSkypeChannel::Deliver(const char* command, Kind kind)
{
    size_t length = command ? std::strlen(command) : 0;
    // A command that does not fit is not sent at all: a cut datagram could carry
    // a wrong number to the arm.
    if (length == 0 || length >= kCopyBufferSize)
        return;
    std::memcpy(g_szCopyBuffer, command, length + 1);
    COPYDATASTRUCT record;
    record.dwData = 0;
    record.cbData = DWORD(length + 1);
    record.lpData = g_szCopyBuffer;
    m_log.Command(command, m_nSendDepth > 0);
    LRESULT answer = 0;
    const UINT limit = m_bSilent && kind == Kind::kPlain ? kSilentAnswerLimitMs : kAnswerLimitMs;
    const HWND skype = m_hSkypeWnd;
    ++m_nSendDepth;
    const BOOL answered =
        ws::SendMessageTimeout(skype, WM_COPYDATA, WPARAM(m_owner.m_hWnd), LPARAM(&record), limit, &answer);
    const DWORD error = answered ? 0 : ws::GetLastError();
    --m_nSendDepth;
    // A nested send may have lost or changed the window meanwhile.
    if (!skype || skype != m_hSkypeWnd)
        return;
    if (!answered && error == ERROR_INVALID_WINDOW_HANDLE) {
        ForgetSkype();
        if (m_listener)
            m_listener->OnSkypeGone();
        return;
    }
    // Sends nested in this one may have set the flag; this send's own outcome,
    // the latest, decides.
    m_bSilent = !answered;
    if (!answered && kind == Kind::kVital)
        m_vUnanswered.emplace_back(command, length);
    if (answered)
        RepeatVitalCommands();
}

void CSkypeChannel::RepeatVitalCommands()
{
    if (m_vUnanswered.empty())
        return;
    std::vector<std::string> unanswered;
    unanswered.swap(m_vUnanswered);
    for (const std::string& command : unanswered)
        Deliver(command.c_str(), Kind::kRepeat);
}

// What we sent to a window that has gone is lost with it; a new Skype starts afresh.
void CSkypeChannel::ForgetSkype()
{
    m_hSkypeWnd = nullptr;
    m_bSilent = false;
    m_vUnanswered.clear();
}

// Only a successful answer teaches us Skype's window: until then nothing it
// sends is heard.
void CSkypeChannel::OnAttachAnswer(LPARAM status, HWND skypeWnd)
{
    if (status == kAttachSuccess) {
        if (skypeWnd != m_hSkypeWnd)
            ForgetSkype();
        m_hSkypeWnd = skypeWnd;
        m_bSilent = false;  // it has just answered us
    }
    if (m_listener)
        m_listener->OnAttachAnswer(status);
}

// Only the attached Skype window speaks to us; anything else is dropped. The
// text ends at the first zero byte within the byte count, and never runs past
// the count or our buffer. A text that does not end within the 1024 bytes we
// look at is dropped whole: cut, its last number could read as another.
void CSkypeChannel::OnCopyData(HWND from, const COPYDATASTRUCT* data)
{
    if (!m_hSkypeWnd || from != m_hSkypeWnd || !data)
        return;
    // One byte more than Skype may send, for our zero after 1024 bytes that hold none.
    char notice[kCopyBufferSize + 1];
    const size_t count = data->lpData ? data->cbData : 0;
    const size_t looked = count > kCopyBufferSize ? kCopyBufferSize : count;
    const char* bytes = static_cast<const char*>(data->lpData);
    size_t length = 0;
    while (length < looked && bytes[length] != '\0')
        ++length;
    if (length == looked && count > looked)
        return;
    if (length)
        std::memcpy(notice, bytes, length);
    notice[length] = '\0';
    m_log.Notice(notice, m_nSendDepth > 0);
    if (m_listener)
        m_listener->OnSkypeNotice(notice);
}

#include "SkypeDesktop.h"

#include <cstring>

#include "SkypeApi.h"
#include "WindowSystem.h"

SkypeDesktop& SkypeDesktop::Get()
{
    static SkypeDesktop desktop;
    return desktop;
}

SkypeDesktop::SkypeDesktop() { SkypeDesktop::Reset(); }

void SkypeDesktop::Reset()
{
    DesktopDriver::Reset();
    m_commands.clear();
    m_commandCounts.clear();
    onCommand = nullptr;
    onDiscover = nullptr;
    StartSkype();
    onBroadcast = [this](UINT msg, WPARAM, LPARAM) {
        static const UINT discover = ws::RegisterWindowMessage(kSkypeDiscoverMessageName);
        if (msg == discover && onDiscover)
            onDiscover();
    };
}

void SkypeDesktop::QuitSkype() { Destroy(m_skype); }

void SkypeDesktop::StartSkype()
{
    m_skype = AddWindow("tSkMainForm", [this](UINT msg, WPARAM, LPARAM lParam) { return TakeCommand(msg, lParam); });
}

LRESULT SkypeDesktop::TakeCommand(UINT msg, LPARAM lParam)
{
    if (msg != WM_COPYDATA)
        return 0;
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::string text;
    if (record && record->lpData && record->cbData > 0)
        text = static_cast<const char*>(record->lpData);
    m_commands.push_back(text);
    m_commandCounts.push_back(record ? record->cbData : 0);
    Record(headless::kSend, "send " + text);
    if (onCommand)
        onCommand(text);
    return 1;
}

LRESULT SkypeDesktop::Attach(LPARAM status, HWND from)
{
    static const UINT attach = ws::RegisterWindowMessage(kSkypeAttachMessageName);
    return SendToMain(attach, WPARAM(from ? from : m_skype), status);
}

LRESULT SkypeDesktop::Notice(const std::string& text)
{
    return CopyData(m_skype, text.c_str(), DWORD(text.size() + 1));
}

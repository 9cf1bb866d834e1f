#include "Text.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

std::string Narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out.data(), size);
    return out;
}

}  // namespace e2e

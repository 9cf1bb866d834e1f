#include "String.h"

#include <cstdio>
#include <cstring>

std::string FormatV(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0)
        return {};
    std::string out(size_t(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(size_t(n));
    return out;
}

void CString::Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    m_str = FormatV(fmt, args);
    va_end(args);
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || size_t(start) > m_str.size())
        return -1;
    size_t at = m_str.find(sub, size_t(start));
    return at == std::string::npos ? -1 : int(at);
}

int CString::Find(char ch, int start) const
{
    const char s[2] = {ch, 0};
    return Find(s, start);
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (size_t(first) >= m_str.size())
        return {};
    return CString(m_str.substr(size_t(first)));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count <= 0 || size_t(first) >= m_str.size())
        return {};
    return CString(m_str.substr(size_t(first), size_t(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

// CString: the 8-bit string of the program, with the members the program uses.
#pragma once
#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* s) : m_str(s ? s : "") { }
    CString(std::string s) : m_str(std::move(s)) { }
    CString(std::string_view s) : m_str(s) { }
    CString(const char* s, int n) : m_str(s, s + n) { }

    int GetLength() const { return int(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    // Index of the first occurrence at or after start, -1 when there is none.
    int Find(const char* sub, int start = 0) const;
    int Find(char ch, int start = 0) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;

    // printf-style; the result replaces the contents.
    void Format(const char* fmt, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    CString& operator=(const char* s)
    {
        m_str = s ? s : "";
        return *this;
    }
    CString& operator+=(const CString& s)
    {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char* s)
    {
        m_str += s;
        return *this;
    }
    CString& operator+=(char c)
    {
        m_str += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == b; }

private:
    std::string m_str;
};

// vsnprintf into a std::string of the right size.
std::string FormatV(const char* fmt, va_list args);

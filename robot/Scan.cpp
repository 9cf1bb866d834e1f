#include "Scan.h"

#include <cctype>
#include <cstdint>

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

void Scanner::SkipSpace()
{
    while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
        ++m_pos;
}

Scanner& Scanner::Lit(std::string_view pattern)
{
    for (char p : pattern) {
        if (!m_ok)
            break;
        if (IsSpace(p)) {
            SkipSpace();
        } else if (m_pos < m_text.size() && m_text[m_pos] == p) {
            ++m_pos;
        } else {
            m_ok = false;
        }
    }
    return *this;
}

Scanner& Scanner::Int(int& out)
{
    if (!m_ok)
        return *this;
    SkipSpace();
    size_t at = m_pos;
    bool negative = false;
    if (at < m_text.size() && (m_text[at] == '+' || m_text[at] == '-')) {
        negative = m_text[at] == '-';
        ++at;
    }
    size_t first = at;
    std::int64_t value = 0;
    bool overflow = false;
    while (at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[at]))) {
        if (!overflow) {
            value = value * 10 + (m_text[at] - '0');
            if (value > std::int64_t(INT32_MAX) + 1)
                overflow = true;
        }
        ++at;
    }
    if (at == first || overflow || (!negative && value > INT32_MAX)) {
        m_ok = false;
        return *this;
    }
    out = int(negative ? -value : value);
    m_pos = at;
    ++m_items;
    return *this;
}

Scanner& Scanner::Word(std::string& out, size_t maxLength)
{
    if (!m_ok)
        return *this;
    SkipSpace();
    size_t first = m_pos;
    while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]))
        ++m_pos;
    if (m_pos == first) {
        m_ok = false;
        return *this;
    }
    out.assign(m_text.substr(first, std::min(m_pos - first, maxLength)));
    ++m_items;
    return *this;
}

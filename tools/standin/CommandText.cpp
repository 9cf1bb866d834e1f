#include "CommandText.h"

#include <algorithm>
#include <cctype>

namespace standin {
namespace {

struct ErrorRow {
    int code;
    const char* text;
};

// Texts as the reference's error table has them (they vary between versions).
constexpr ErrorRow kErrors[] = {
    {1, "General syntax error"},
    {2, "Unknown command"},
    {7, "GET: invalid WHAT"},
    {11, "Invalid call id"},
    {12, "Unknown call"},
    {13, "Invalid prop"},
    {19, "Invalid call id"},
    {20, "Unknown call"},
    {24, "Cannot hangup inactive call"},
    {27, "Invalid version number"},
    {28, "Unknown userstatus"},
    {34, "Invalid user handle"},
    {66, "Not connected"},
    {94, "Cannot call yourself"},
    {101, "Already a call to that user"},
    {526, "ALTER: no object type given"},
    {527, "ALTER: unknown object type given"},
    {536, "CREATE: no object type given"},
    {537, "CREATE: Unknown object type given"},
    {538, "DELETE: no object type given"},
    {539, "DELETE: unknown object type given"},
    {540, "CREATE APPLICATION: Missing or invalid name"},
    {541, "APPLICATION: operation failed"},
    {542, "DELETE APPLICATION : missing or invalid application name"},
    {543, "GET APPLICATION : missing or invalid application name"},
    {544, "GET APPLICATION : missing or invalid property name"},
    {545, "ALTER APPLICATION: Missing or invalid action"},
    {546, "ALTER APPLICATION: Missing or invalid action"},
    {547, "ALTER APPLICATION CONNECT: Invalid user handle"},
    {548, "ALTER APPLICATION DISCONNECT: Invalid stream identifier"},
    {549, "ALTER APPLICATION WRITE : Missing or invalid stream identifier"},
    {550, "ALTER APPLICATION READ: Missing or invalid stream identifier"},
    {551, "ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier"},
    {555, "CALL: No proper call ID given"},
    {560, "CALL: Unknown action"},
};

bool IsBlank(char c) { return c == ' '; }

}  // namespace

CommandText::CommandText(std::string_view text) : m_rest(text)
{
    // "#id command": the id is whatever stands before the first space.
    if (!m_rest.empty() && m_rest.front() == '#') {
        const std::size_t space = m_rest.find(' ');
        const std::string_view id = m_rest.substr(0, space);
        m_prefix = std::string(id) + ' ';
        m_rest = space == std::string_view::npos ? std::string_view() : m_rest.substr(space + 1);
    }
}

std::string_view CommandText::Next()
{
    std::size_t start = 0;
    while (start < m_rest.size() && IsBlank(m_rest[start]))
        ++start;
    std::size_t end = start;
    while (end < m_rest.size() && !IsBlank(m_rest[end]))
        ++end;
    const std::string_view word = m_rest.substr(start, end - start);
    m_rest.remove_prefix(end);
    return word;
}

bool CommandText::Take(std::string_view keyword)
{
    CommandText copy = *this;
    if (!EqualsNoCase(copy.Next(), keyword))
        return false;
    *this = copy;
    return true;
}

std::string_view CommandText::Rest() const
{
    std::string_view rest = m_rest;
    if (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    return rest;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool ParseNumber(std::string_view s, int& value)
{
    if (s.empty() || s.size() > 9)
        return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

std::string ErrorText(int code)
{
    std::string text = "ERROR " + std::to_string(code);
    for (const ErrorRow& row : kErrors) {
        if (row.code == code) {
            text += ' ';
            text += row.text;
            break;
        }
    }
    return text;
}

}  // namespace standin

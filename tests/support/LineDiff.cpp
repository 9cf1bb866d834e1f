#include "LineDiff.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <sstream>

namespace testsupport {

namespace {

bool LineMatches(const std::string& expected, const std::string& actual, Match match)
{
    if (match == Match::kStarEndsLine && !expected.empty() && expected.back() == '*')
        return actual.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
    return expected == actual;
}

}  // namespace

::testing::AssertionResult SameLines(const Lines& expected, const Lines& actual, Match match)
{
    size_t common = std::min(expected.size(), actual.size());
    size_t first = 0;
    while (first < common && LineMatches(expected[first], actual[first], match))
        ++first;
    if (first == common && expected.size() == actual.size())
        return ::testing::AssertionSuccess();

    size_t width = 8;
    for (const std::string& line : expected)
        width = std::max(width, Quoted(line).size());
    width = std::min<size_t>(width, 70);

    std::ostringstream out;
    out << "sequences differ at index " << first << " (expected " << expected.size() << " lines, got " << actual.size()
        << ")\n";
    out << "     " << std::left << std::setw(int(width)) << "expected"
        << "  actual\n";
    size_t rows = std::max(expected.size(), actual.size());
    for (size_t i = 0; i < rows; ++i) {
        std::string left = i < expected.size() ? Quoted(expected[i]) : "-";
        std::string right = i < actual.size() ? Quoted(actual[i]) : "-";
        bool same = i < expected.size() && i < actual.size() && LineMatches(expected[i], actual[i], match);
        out << (same ? "  " : "> ") << std::right << std::setw(2) << i << " " << std::left << std::setw(int(width))
            << left << "  " << right << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace testsupport

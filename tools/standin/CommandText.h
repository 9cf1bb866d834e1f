// Reading a Desktop API command: the optional "#id " in front, then words
// separated by spaces. Keywords match without regard to case; arguments are
// returned as the client wrote them.
#pragma once

#include <string>
#include <string_view>

namespace standin {

class CommandText {
public:
    explicit CommandText(std::string_view text);

    // "#id " as it must lead the reply ("" when the command had no id).
    const std::string& replyPrefix() const { return m_prefix; }
    bool empty() const { return m_rest.empty(); }

    // The next word; "" at the end.
    std::string_view Next();
    // The next word when it is `keyword` (any case); otherwise nothing is taken.
    bool Take(std::string_view keyword);
    // Everything after the word just read and the one space behind it.
    std::string_view Rest() const;

private:
    std::string m_prefix;
    std::string_view m_rest;
};

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);
// A decimal number with nothing else in it (no sign, at most 9 digits).
bool ParseNumber(std::string_view s, int& value);

// "ERROR <n> <text>" with the text the real client gives for that code.
std::string ErrorText(int code);

}  // namespace standin

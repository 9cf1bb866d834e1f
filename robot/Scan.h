// Scanner: scanf-style matching of a pattern from the first character of a text,
// one item at a time, without ever reading past the text's end.
//
//   literal text   must match character for character (case-sensitive), except
//                  that white space in the pattern matches any run of white
//                  space in the text, none included;
//   Int            %d: skips white space, then an optional sign and decimal digits;
//                  a number outside the 32-bit range is not read;
//   Word           %s: skips white space, then a run of non-white-space characters.
// The first item that does not match stops the scan; Items() counts those read.
#pragma once
#include <string>
#include <string_view>

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) { }

    Scanner& Lit(std::string_view pattern);
    Scanner& Int(int& out);
    // Keeps at most maxLength characters of the word (the rest is read and dropped).
    Scanner& Word(std::string& out, size_t maxLength = std::string::npos);

    int Items() const { return m_items; }
    bool Ok() const { return m_ok; }
    // What the scan has not consumed yet.
    std::string_view Rest() const { return m_text.substr(m_pos); }

private:
    void SkipSpace();
    std::string_view m_text;
    size_t m_pos = 0;
    int m_items = 0;
    bool m_ok = true;
};

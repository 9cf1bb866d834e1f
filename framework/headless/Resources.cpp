#include "Resources.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

extern const char kEmbeddedRc[];
extern const char kEmbeddedResourceH[];

namespace headless {
namespace {

const std::map<std::string, long>& StyleNames()
{
    static const std::map<std::string, long> names = {
        {"WS_OVERLAPPED", WS_OVERLAPPED},
        {"WS_POPUP", WS_POPUP},
        {"WS_CHILD", WS_CHILD},
        {"WS_VISIBLE", WS_VISIBLE},
        {"WS_DISABLED", WS_DISABLED},
        {"WS_CAPTION", WS_CAPTION},
        {"WS_BORDER", WS_BORDER},
        {"WS_DLGFRAME", WS_DLGFRAME},
        {"WS_VSCROLL", WS_VSCROLL},
        {"WS_HSCROLL", WS_HSCROLL},
        {"WS_SYSMENU", WS_SYSMENU},
        {"WS_THICKFRAME", WS_THICKFRAME},
        {"WS_GROUP", WS_GROUP},
        {"WS_TABSTOP", WS_TABSTOP},
        {"WS_MINIMIZEBOX", WS_MINIMIZEBOX},
        {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
        {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
        {"WS_EX_TOPMOST", WS_EX_TOPMOST},
        {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT},
        {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW},
        {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
        {"WS_EX_STATICEDGE", WS_EX_STATICEDGE},
        {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
        {"DS_MODALFRAME", DS_MODALFRAME},
        {"DS_SETFONT", DS_SETFONT},
        {"DS_CENTER", DS_CENTER},
        {"DS_3DLOOK", DS_3DLOOK},
        {"DS_FIXEDSYS", DS_FIXEDSYS},
        {"DS_SHELLFONT", DS_SHELLFONT},
        {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
        {"BS_CHECKBOX", BS_CHECKBOX},
        {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
        {"BS_GROUPBOX", BS_GROUPBOX},
        {"BS_PUSHLIKE", BS_PUSHLIKE},
        {"BS_MULTILINE", BS_MULTILINE},
        {"ES_LEFT", ES_LEFT},
        {"ES_CENTER", ES_CENTER},
        {"ES_RIGHT", ES_RIGHT},
        {"ES_MULTILINE", ES_MULTILINE},
        {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
        {"ES_READONLY", ES_READONLY},
        {"ES_NUMBER", ES_NUMBER},
        {"SS_LEFT", SS_LEFT},
        {"SS_CENTER", SS_CENTER},
        {"SS_RIGHT", SS_RIGHT},
        {"SS_ICON", SS_ICON},
        {"SS_NOPREFIX", SS_NOPREFIX},
        {"SS_SUNKEN", SS_SUNKEN},
        {"SS_CENTERIMAGE", SS_CENTERIMAGE},
        {"LBS_NOTIFY", LBS_NOTIFY},
        {"LBS_SORT", LBS_SORT},
        {"LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT},
        {"LBS_STANDARD", LBS_STANDARD},
        {"IDOK", IDOK},
        {"IDCANCEL", IDCANCEL},
    };
    return names;
}

// Splits a statement's arguments at top-level commas, keeping quoted strings whole.
std::vector<std::string> SplitArgs(const std::string& s)
{
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
                cur += "\"\"";
                ++i;
                continue;
            }
            quoted = !quoted;
            cur += c;
        } else if (c == ',' && !quoted) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    for (std::string& a : out) {
        size_t b = a.find_first_not_of(" \t");
        size_t e = a.find_last_not_of(" \t\r");
        a = b == std::string::npos ? std::string() : a.substr(b, e - b + 1);
    }
    return out;
}

std::string Unquote(const std::string& s)
{
    if (s.size() < 2 || s.front() != '"' || s.back() != '"')
        throw std::runtime_error("expected a quoted string: " + s);
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c == '"' && s[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (c == '\\' && i + 2 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 't' ? '\t' : n == '0' ? '\0' : n;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

const Resources& Resources::Get()
{
    static const Resources resources(kEmbeddedRc, kEmbeddedResourceH);
    return resources;
}

Resources::Resources(const std::string& rcText, const std::string& headerText)
{
    auto eval = [this](const std::string& expr) -> long {
        long value = 0;
        std::stringstream in(expr);
        std::string part;
        bool negate = false;
        std::string token;
        // "A | B | NOT C" with names, decimal and hex numbers, and (-1).
        std::string flat;
        for (char c : expr)
            flat += c == '|' ? ' ' : c;
        std::stringstream words(flat);
        while (words >> token) {
            if (token == "NOT") {
                negate = true;
                continue;
            }
            long v;
            if (token.size() > 1 && token[0] == '(' && token.back() == ')')
                token = token.substr(1, token.size() - 2);
            if (std::isdigit(static_cast<unsigned char>(token[0])) || token[0] == '-')
                v = std::stol(token, nullptr, 0);
            else if (auto it = m_defines.find(token); it != m_defines.end())
                v = it->second;
            else if (auto st = StyleNames().find(token); st != StyleNames().end())
                v = st->second;
            else
                throw std::runtime_error("unknown symbol in resource script: " + token);
            value = negate ? (value & ~v) : (value | v);
            negate = false;
        }
        return value;
    };

    std::stringstream header(headerText);
    std::string line;
    while (std::getline(header, line)) {
        std::stringstream in(line);
        std::string hash, name, rest;
        if (!(in >> hash) || hash != "#define" || !(in >> name))
            continue;
        std::getline(in, rest);
        size_t c = rest.find("//");
        if (c != std::string::npos)
            rest = rest.substr(0, c);
        if (rest.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        m_defines[name] = eval(rest);
    }

    std::vector<std::string> lines;
    std::stringstream rc(rcText);
    while (std::getline(rc, line)) {
        size_t b = line.find_first_not_of(" \t");
        if (b == std::string::npos || line.compare(b, 2, "//") == 0 || line[b] == '#')
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line.substr(b));
    }

    for (size_t i = 0; i < lines.size(); ++i) {
        std::stringstream in(lines[i]);
        std::string name, kind;
        in >> name >> kind;
        if (name == "STRINGTABLE") {
            for (++i; i < lines.size() && lines[i] != "END"; ++i) {
                if (lines[i] == "BEGIN")
                    continue;
                std::stringstream s(lines[i]);
                std::string sym;
                s >> sym;
                std::string rest;
                std::getline(s, rest);
                size_t q = rest.find('"');
                m_strings[UINT(eval(sym))] = Unquote(rest.substr(q, rest.find_last_of('"') - q + 1));
            }
        } else if (kind == "ICON") {
            m_icons.push_back(int(eval(name)));
        } else if (kind == "DIALOGEX" || kind == "DIALOG") {
            DialogTemplate dlg;
            dlg.idName = name;
            dlg.id = int(eval(name));
            dlg.extended = kind == "DIALOGEX";
            std::string rest;
            std::getline(in, rest);
            auto dims = SplitArgs(rest);
            dlg.x = int(eval(dims.at(0)));
            dlg.y = int(eval(dims.at(1)));
            dlg.cx = int(eval(dims.at(2)));
            dlg.cy = int(eval(dims.at(3)));
            for (++i; i < lines.size() && lines[i] != "BEGIN"; ++i) {
                const std::string& l = lines[i];
                if (l.rfind("STYLE ", 0) == 0)
                    dlg.style = DWORD(eval(l.substr(6)));
                else if (l.rfind("EXSTYLE ", 0) == 0)
                    dlg.exStyle = DWORD(eval(l.substr(8)));
                else if (l.rfind("CAPTION ", 0) == 0)
                    dlg.caption = Unquote(l.substr(8));
                else if (l.rfind("FONT ", 0) == 0) {
                    auto f = SplitArgs(l.substr(5));
                    dlg.fontSize = int(eval(f.at(0)));
                    dlg.fontName = Unquote(f.at(1));
                } else
                    throw std::runtime_error("unknown dialog option: " + l);
            }
            for (++i; i < lines.size() && lines[i] != "END"; ++i) {
                std::stringstream c(lines[i]);
                ControlTemplate ctl;
                c >> ctl.statement;
                std::string args;
                std::getline(c, args);
                auto a = SplitArgs(args);
                size_t k = 0;
                const std::string& st = ctl.statement;
                DWORD defaults = WS_CHILD | WS_VISIBLE;
                if (st == "CONTROL") {
                    ctl.text = Unquote(a.at(k++));
                } else if (st != "EDITTEXT" && st != "LISTBOX") {
                    ctl.text = Unquote(a.at(k++));
                }
                ctl.idName = a.at(k);
                ctl.id = int(eval(a.at(k++)));
                if (st == "CONTROL") {
                    ctl.className = Unquote(a.at(k++));
                    ctl.style = DWORD(eval(a.at(k++))) | defaults;
                } else if (st == "PUSHBUTTON") {
                    ctl.className = "Button";
                    ctl.style = defaults | BS_PUSHBUTTON | WS_TABSTOP;
                } else if (st == "DEFPUSHBUTTON") {
                    ctl.className = "Button";
                    ctl.style = defaults | BS_DEFPUSHBUTTON | WS_TABSTOP;
                } else if (st == "GROUPBOX") {
                    ctl.className = "Button";
                    ctl.style = defaults | BS_GROUPBOX;
                } else if (st == "LTEXT" || st == "CTEXT" || st == "RTEXT") {
                    ctl.className = "Static";
                    ctl.style = defaults | WS_GROUP | (st == "CTEXT" ? SS_CENTER : st == "RTEXT" ? SS_RIGHT : SS_LEFT);
                } else if (st == "EDITTEXT") {
                    ctl.className = "Edit";
                    ctl.style = defaults | ES_LEFT | WS_BORDER | WS_TABSTOP;
                } else if (st == "LISTBOX") {
                    ctl.className = "ListBox";
                    ctl.style = defaults | LBS_NOTIFY | WS_BORDER;
                } else {
                    throw std::runtime_error("unknown control statement: " + st);
                }
                ctl.x = int(eval(a.at(k++)));
                ctl.y = int(eval(a.at(k++)));
                ctl.cx = int(eval(a.at(k++)));
                ctl.cy = int(eval(a.at(k++)));
                if (st == "CONTROL") {
                    if (k < a.size())
                        ctl.exStyle = DWORD(eval(a[k++]));
                } else {
                    if (k < a.size())
                        ctl.style |= DWORD(eval(a[k++]));
                    if (k < a.size())
                        ctl.exStyle = DWORD(eval(a[k++]));
                }
                dlg.controls.push_back(ctl);
            }
            m_dialogs.push_back(dlg);
        } else if (kind == "VERSIONINFO") {
            int depth = 0;
            for (++i; i < lines.size(); ++i) {
                if (lines[i].rfind("FILEVERSION ", 0) == 0) {
                    m_fileVersion.clear();
                    for (const std::string& part : SplitArgs(lines[i].substr(12)))
                        m_fileVersion.push_back(unsigned(eval(part)));
                }
                if (lines[i] == "BEGIN")
                    ++depth;
                else if (lines[i] == "END" && --depth == 0)
                    break;
            }
        }
    }
}

const DialogTemplate* Resources::Dialog(int id) const
{
    for (const DialogTemplate& d : m_dialogs)
        if (d.id == id)
            return &d;
    return nullptr;
}

std::optional<std::string> Resources::String(UINT id) const
{
    auto it = m_strings.find(id);
    if (it == m_strings.end())
        return std::nullopt;
    return it->second;
}

bool Resources::HasIcon(int id) const
{
    for (int i : m_icons)
        if (i == id)
            return true;
    return false;
}

bool Resources::FileVersion(unsigned version[4]) const
{
    if (m_fileVersion.size() != 4)
        return false;
    std::copy(m_fileVersion.begin(), m_fileVersion.end(), version);
    return true;
}

int Resources::ValueOf(const std::string& symbol) const
{
    auto it = m_defines.find(symbol);
    if (it == m_defines.end())
        throw std::runtime_error("unknown resource symbol: " + symbol);
    return int(it->second);
}

}  // namespace headless

// The resource script (res/Orvanta.rc with res/resource.h), read at run time so
// the headless build builds its windows from the same templates as Windows does.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "wintypes.h"

namespace headless {

struct ControlTemplate {
    std::string statement;  // PUSHBUTTON, LTEXT, CONTROL ...
    std::string text;
    int id = -1;
    std::string idName;     // the symbol used in the script
    std::string className;  // Button, Edit, Static, ListBox
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    int id = 0;
    std::string idName;
    bool extended = false;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    int fontSize = 0;
    std::string fontName;
    std::vector<ControlTemplate> controls;
};

class Resources {
public:
    // Parses the embedded script; throws std::runtime_error on text it does not know.
    static const Resources& Get();
    Resources(const std::string& rcText, const std::string& headerText);

    const DialogTemplate* Dialog(int id) const;
    std::optional<std::string> String(UINT id) const;
    bool HasIcon(int id) const;
    // FILEVERSION of the version block; false when there is none.
    bool FileVersion(unsigned version[4]) const;
    int ValueOf(const std::string& symbol) const;

private:
    std::map<std::string, long> m_defines;
    std::vector<DialogTemplate> m_dialogs;
    std::map<UINT, std::string> m_strings;
    std::vector<int> m_icons;
    std::vector<unsigned> m_fileVersion;
};

}  // namespace headless

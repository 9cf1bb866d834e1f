// CFileDialog: the system's open-file and save-file dialogs.
#pragma once
#include <filesystem>

#include "Wnd.h"

class CFileDialog {
public:
    // filter: "Name|pattern|Name|pattern|" pairs, as in MFC; flags: none are
    // supported beyond the system defaults; fileName: UTF-8.
    CFileDialog(BOOL bOpenFileDialog, const char* defExt = nullptr, const char* fileName = nullptr, DWORD flags = 0,
                const char* filter = nullptr, CWnd* parent = nullptr);

    // IDOK with a path, or IDCANCEL.
    INT_PTR DoModal();
    // Whatever characters the name holds (the wide dialog on Windows).
    const std::filesystem::path& GetPathName() const { return m_path; }

    static constexpr unsigned kPathCapacity = 260;

private:
    bool m_bOpen;
    std::string m_filter;  // NUL-separated pairs ending in an empty string
    HWND m_hOwner;
    std::filesystem::path m_path;
};

#include "FileDialog.h"

#include <string>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char*, const char* fileName, DWORD, const char* filter,
                         CWnd* parent)
    : m_bOpen(bOpenFileDialog != FALSE), m_hOwner(parent ? parent->m_hWnd : nullptr)
{
    if (filter) {
        m_filter = filter;
        for (char& c : m_filter)
            if (c == '|')
                c = '\0';
    }
    m_filter.push_back('\0');
    m_filter.push_back('\0');
    if (fileName) {
        std::u8string name(reinterpret_cast<const char8_t*>(fileName));
        m_path = std::filesystem::path(name.substr(0, kPathCapacity - 1));
    }
}

INT_PTR CFileDialog::DoModal()
{
    PrepareForModal(m_hOwner);
    return ws::GetFileName(m_bOpen, m_hOwner, m_filter.c_str(), m_path, kPathCapacity) ? IDOK : IDCANCEL;
}

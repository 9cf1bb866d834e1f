// The kernel's file calls over Windows, in their wide (UTF-16) forms.
#include "Files.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace os {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode, FileError* error)
{
    std::wstring wideMode(mode, mode + std::strlen(mode));
    SetLastError(ERROR_SUCCESS);
    std::FILE* file = _wfopen(path.c_str(), wideMode.c_str());
    if (error && !file) {
        // The C library maps the system's error to errno, which tells a file
        // held by another program from one we may not read (both EACCES) no
        // longer: its open left the system's error behind.
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: *error = FileError::kNotFound; break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: *error = FileError::kInUse; break;
        case ERROR_ACCESS_DENIED: *error = FileError::kDenied; break;
        case ERROR_SUCCESS: *error = errno == ENOENT ? FileError::kNotFound : FileError::kOther; break;
        default: *error = FileError::kOther; break;
        }
    } else if (error) {
        *error = FileError::kNone;
    }
    return file;
}

bool FlushFile(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
    auto handle = HANDLE(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != FALSE;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::string PathText(const std::filesystem::path& path)
{
    const std::wstring& wide = path.native();
    if (wide.empty())
        return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace os

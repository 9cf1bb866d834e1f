// File operations the kernel offers beyond the C library, with no window system
// behind them: os/win32/ over the Windows kernel, os/headless/ over POSIX (with
// the faults a test sets, FileFaults.h). Names are paths, so that any name the
// file system can hold reaches it: on Windows the wide (UTF-16) calls, since the
// narrow ones pass a name through the ANSI code page and a character outside it
// comes back as '?' or a look-alike.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

namespace os {

// Why a file could not be opened.
enum class FileError {
    kNone,
    kNotFound,  // no such file, or no such folder on the way to it
    kInUse,     // another program holds it open without sharing
    kDenied,    // access denied (a folder of that name, a read-only file)
    kOther,
};

// fopen of a path; null when it failed, with why in *error when given.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode, FileError* error = nullptr);
// fflush, then the system's own buffers written through to the disk, so that
// what the file holds survives a power cut; false when either failed.
bool FlushFile(std::FILE* file);
// Moves from over to, replacing an existing to, and returns once the move is
// on the disk; false when it could not.
bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// A path as the program's texts hold it, in UTF-8 (the form boxes show).
std::string PathText(const std::filesystem::path& path);

}  // namespace os

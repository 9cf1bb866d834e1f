// The kernel's file calls over POSIX, with the faults a test sets (FileFaults.h).
#include "Files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "FileFaults.h"

namespace os {

FileFaults& Faults()
{
    static FileFaults faults;
    return faults;
}

namespace {
// A file whose reads fail once `left` bytes have been read, as a disk that
// goes away half-way does.
struct FailingRead {
    std::FILE* file;
    long left;
};

ssize_t ReadUntilFailing(void* cookie, char* buffer, size_t size)
{
    auto* f = static_cast<FailingRead*>(cookie);
    if (f->left <= 0) {
        errno = EIO;
        return -1;
    }
    size_t n = std::fread(buffer, 1, std::min(size, size_t(f->left)), f->file);
    f->left -= long(n);
    if (n == 0 && std::ferror(f->file)) {
        errno = EIO;
        return -1;
    }
    return ssize_t(n);
}

int SeekFailingRead(void* cookie, off64_t* offset, int whence)
{
    auto* f = static_cast<FailingRead*>(cookie);
    if (std::fseek(f->file, long(*offset), whence) != 0)
        return -1;
    *offset = std::ftell(f->file);
    return 0;
}

int CloseFailingRead(void* cookie)
{
    auto* f = static_cast<FailingRead*>(cookie);
    int closed = std::fclose(f->file);
    delete f;
    return closed;
}
}  // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode, FileError* error)
{
    FileError ignored;
    FileError& why = error ? *error : ignored;
    why = FileError::kNone;
    if (Faults().inUse.count(path)) {
        why = FileError::kInUse;
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        why = errno == ENOENT || errno == ENOTDIR ? FileError::kNotFound
            : errno == EACCES || errno == EPERM   ? FileError::kDenied
                                                  : FileError::kOther;
        return nullptr;
    }
    auto failing = Faults().readsFailingAfter.find(path);
    if (failing == Faults().readsFailingAfter.end() || std::strchr(mode, 'r') == nullptr)
        return file;
    cookie_io_functions_t calls = {ReadUntilFailing, nullptr, SeekFailingRead, CloseFailingRead};
    auto* cookie = new FailingRead{file, failing->second};
    if (std::FILE* wrapped = fopencookie(cookie, mode, calls))
        return wrapped;
    CloseFailingRead(cookie);
    why = FileError::kOther;
    return nullptr;
}

bool FlushFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return !Faults().replaceFails && std::rename(from.c_str(), to.c_str()) == 0;
}

std::string PathText(const std::filesystem::path& path) { return path.string(); }

}  // namespace os

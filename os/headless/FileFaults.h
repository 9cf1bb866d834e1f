// The headless build's files in trouble, as other programs and failing disks
// make them: a test sets them, the file calls (Files.h) meet them. The Windows
// build has none; there the kernel makes its own.
#pragma once
#include <filesystem>
#include <map>
#include <set>

namespace os {

struct FileFaults {
    // Held open by another program without sharing: an open fails as in use.
    std::set<std::filesystem::path> inUse;
    // A read of the file fails once this many bytes have been read.
    std::map<std::filesystem::path, long> readsFailingAfter;
    // Every replace of a file by another fails.
    bool replaceFails = false;
};

// The faults in force, none until a test sets some; a test clears them with
// `os::Faults() = {}`.
FileFaults& Faults();

}  // namespace os

// A folder of the test's own for the trajectory files, removed afterwards; no
// file is in trouble (os::Faults) before it or after it.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FileFaults.h"

// A file of its own in the tests' temporary folder, holding these lines each
// with its line end: its path. The caller removes it.
inline std::string TempFileOfLines(const std::vector<std::string>& lines)
{
    std::string path = testing::TempDir() + "orvanta-steps-XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) {
        ADD_FAILURE() << "no file for the test: " << path;
        return path;
    }
    close(fd);
    std::ofstream file(path, std::ios::binary);
    for (const std::string& line : lines)
        file << line << "\n";
    return path;
}

class TempFolder {
public:
    TempFolder()
    {
        os::Faults() = {};
        std::string pattern = (std::filesystem::path(testing::TempDir()) / "orvanta-files-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            ADD_FAILURE() << "no folder for the test: " << pattern;
        m_dir = pattern;
    }
    ~TempFolder()
    {
        os::Faults() = {};
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // For a table's next row: the folder empty, no file in trouble.
    void Empty()
    {
        os::Faults() = {};
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            std::filesystem::remove_all(entry.path());
    }

    const std::filesystem::path& Dir() const { return m_dir; }
    std::string At(const std::string& name) const { return (m_dir / name).string(); }
    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(At(name), std::ios::binary) << content;
    }
    std::optional<std::string> Read(const std::string& name) const
    {
        std::ifstream in(At(name), std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    // Every name in the folder, sub-folders' entries as "sub/name".
    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir))
            names.insert(std::filesystem::relative(entry.path(), m_dir).string());
        return names;
    }

private:
    std::filesystem::path m_dir;
};

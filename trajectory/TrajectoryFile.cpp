#include "TrajectoryFile.h"

#include <cstdio>
#include <system_error>

namespace {
// The size of a file just opened, its position left at the start; 0 when unknown.
long FileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? size : 0;
}
}  // namespace

std::vector<StepLine> ReadStepLines(std::string_view text)
{
    std::vector<StepLine> steps;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        line = line.substr(0, line.find('\0'));
        if (std::optional<StepLine> step = ParseStepLine(line))
            steps.push_back(std::move(*step));
        at = end + 1;
    }
    return steps;
}

TrajectoryRead ReadTrajectory(const std::filesystem::path& path)
{
    TrajectoryRead read;
    std::FILE* file = os::OpenFile(path, "r", &read.error);
    if (!file) {
        // Only a name with no file behind it is a new trajectory: a file that
        // is there is never taken for one.
        read.result = read.error == os::FileError::kNotFound ? TrajectoryRead::kMissing : TrajectoryRead::kNotOpened;
        return read;
    }
    read.size = FileSize(file);
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file))
        text.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        // Half a trajectory is none: its second half would be lost on the next SAVE.
        read.result = TrajectoryRead::kNotRead;
        return read;
    }
    read.steps = ReadStepLines(text);
    return read;
}

std::string TrajectoryReadFailure(const std::filesystem::path& path, const TrajectoryRead& read)
{
    std::string text = "The trajectory file " + os::PathText(path);
    if (read.result == TrajectoryRead::kNotRead)
        return text + " could not be read to its end.";
    switch (read.error) {
    case os::FileError::kInUse: return text + " could not be opened: it is in use by another program.";
    case os::FileError::kDenied: return text + " could not be opened: access to it is denied.";
    default: return text + " could not be opened.";
    }
}

void CreateTrajectoryIfMissing(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::exists(path, error) || error)
        return;
    if (std::FILE* f = os::OpenFile(path, "w"))
        std::fclose(f);
}

bool SaveTrajectory(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::filesystem::path temporary = path;
    temporary += ".orvanta-tmp";
    bool written = false;
    if (std::FILE* file = os::OpenFile(temporary, "w")) {
        written = true;
        for (size_t i = 0; i < lines.size() && written; ++i)
            written = std::fprintf(file, "%s\n", lines[i].c_str()) >= 0;
        // On the disk before it replaces the old file: else a power cut could
        // leave the new name empty and the old content gone.
        written = os::FlushFile(file) && !std::ferror(file) && written;
        // Some devices report a failed write only when the file is closed.
        written = std::fclose(file) == 0 && written;
    }
    if (written && os::MoveReplacing(temporary, path))
        return true;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

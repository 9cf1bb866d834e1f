#include "TrajectoryFile.h"

#include <cstdio>

namespace {
bool FileExists(const char* path)
{
    if (FILE* f = std::fopen(path, "r")) {
        std::fclose(f);
        return true;
    }
    return false;
}

// The size of a file just opened, its position left at the start; 0 when unknown.
long FileSize(FILE* file)
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

std::optional<TrajectoryRead> ReadTrajectory(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return std::nullopt;
    TrajectoryRead read{FileSize(file), {}};
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file))
        text.append(buffer, n);
    std::fclose(file);
    read.steps = ReadStepLines(text);
    return read;
}

void CreateTrajectoryIfMissing(const std::string& path)
{
    if (!FileExists(path.c_str()))
        if (FILE* f = std::fopen(path.c_str(), "w"))
            std::fclose(f);
}

bool SaveTrajectory(const std::string& path, const std::vector<std::string>& lines,
                    bool (*replace)(const char* from, const char* to))
{
    std::string temporary = path + ".orvanta-tmp";
    bool written = false;
    if (FILE* file = std::fopen(temporary.c_str(), "w")) {
        written = true;
        for (size_t i = 0; i < lines.size() && written; ++i)
            written = std::fprintf(file, "%s\n", lines[i].c_str()) >= 0;
        // Some devices report a failed write only when the file is closed.
        written = std::fflush(file) == 0 && !std::ferror(file) && written;
        written = std::fclose(file) == 0 && written;
    }
    if (written && replace(temporary.c_str(), path.c_str()))
        return true;
    std::remove(temporary.c_str());
    return false;
}

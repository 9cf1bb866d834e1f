// Trajectory files: one step line a line, read and written with the C library.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StepLine.h"

// The steps of a file's text. Lines end at line feeds (a last line may have
// none) and each gives one step at most, whatever its length: read in pieces,
// a long line's tail could pass for a step of its own. A zero byte ends the
// line's text, as it ends any C string. Lines that do not read are skipped.
std::vector<StepLine> ReadStepLines(std::string_view text);

struct TrajectoryRead {
    long size;  // the file's size, 0 when unknown
    std::vector<StepLine> steps;
};
// The file at path, read whole; nothing when it cannot be opened.
std::optional<TrajectoryRead> ReadTrajectory(const std::string& path);

// Makes an empty file at path unless something is there already.
void CreateTrajectoryIfMissing(const std::string& path);

// Writes the lines, each with a line end. The new content goes to a temporary
// file beside path, which replace puts in its place only once every line is
// written and the file closed cleanly: a failed save leaves the previous file
// as it was, and removes the temporary. False when it failed.
bool SaveTrajectory(const std::string& path, const std::vector<std::string>& lines,
                    bool (*replace)(const char* from, const char* to));

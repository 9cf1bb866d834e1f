// Trajectory files: one step line a line, read and written with the C library
// over the kernel's file calls (os/Files.h), so that a file's name may
// hold any character.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Files.h"
#include "StepLine.h"

// The steps of a file's text. Lines end at line feeds (a last line may have
// none) and each gives one step at most, whatever its length: read in pieces,
// a long line's tail could pass for a step of its own. A zero byte ends the
// line's text, as it ends any C string. Lines that do not read are skipped.
std::vector<StepLine> ReadStepLines(std::string_view text);

struct TrajectoryRead {
    enum Result {
        kRead,       // read to its end: the steps
        kMissing,    // no file of that name: a new trajectory
        kNotOpened,  // it is there but could not be opened: error says why
        kNotRead,    // a read failed on the way: no steps at all
    };
    Result result = kRead;
    os::FileError error = os::FileError::kNone;
    long size = 0;  // the file's size, 0 when unknown
    std::vector<StepLine> steps;
};
// The file at path, read whole.
TrajectoryRead ReadTrajectory(const std::filesystem::path& path);
// What a box says when a file was there but did not load (its result is
// kNotOpened or kNotRead).
std::string TrajectoryReadFailure(const std::filesystem::path& path, const TrajectoryRead& read);

// Makes an empty file at path unless something is there already.
void CreateTrajectoryIfMissing(const std::filesystem::path& path);

// Writes the lines, each with a line end. The new content goes to a temporary
// file beside path, which replaces path only once every line is written,
// flushed to the disk and the file closed cleanly: a failed save leaves the
// previous file as it was, and removes the temporary; a power cut after it
// finds the new content. False when it failed.
bool SaveTrajectory(const std::filesystem::path& path, const std::vector<std::string>& lines);

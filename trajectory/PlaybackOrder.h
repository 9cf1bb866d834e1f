// Playback's choices, window-free: which line a step end plays next, and the
// target that plays a step.
#pragma once
#include <optional>
#include <string>

#include "StepLine.h"

// The line after the highlighted one (before it, backward); none past either
// end. With no line highlighted (-1), forward goes on with line 0 and backward
// has nowhere to go.
std::optional<int> NextPlaybackLine(int highlighted, int count, bool backward);

// The Cartesian target that plays the step; none when a value of it does not fit
// the wire (a line such as X 300000000 reads, but its tenths do not).
std::optional<std::string> StepTargetCommand(const StepLine& step);

#include "PlaybackOrder.h"

#include "RobotProtocol.h"

std::optional<int> NextPlaybackLine(int highlighted, int count, bool backward)
{
    if (highlighted < -1 || highlighted >= count)
        return std::nullopt;
    const int next = highlighted + (backward ? -1 : 1);
    if (next < 0 || next >= count)
        return std::nullopt;
    return next;
}

std::optional<std::string> StepTargetCommand(const StepLine& step)
{
    const int* v = step.values;
    const RobotPose target{double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]), double(v[5])};
    return CartesianTargetCommand(target, double(v[6]));
}

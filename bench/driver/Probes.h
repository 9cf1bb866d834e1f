// What the benchmark reads off a running program from outside: its CPU time
// and memory, and whether its window has painted what it was last told.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MillisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User plus kernel time of a process, in seconds, summed over its threads:
// Wine answers GetProcessTimes for another process with the caller's own times.
std::optional<double> CpuSeconds(DWORD pid);

// The process's working set (resident memory) in MiB. Wine leaves the private
// byte count at zero.
std::optional<double> WorkingSetMb(HANDLE process);

// Makes a window of another process paint whatever is invalid in it and its
// children now, and returns once it has: what the operator would see next.
void PaintNow(HWND window);

// The middle value (the mean of the two middle ones for an even count).
double Median(std::vector<double> values);

}  // namespace bench

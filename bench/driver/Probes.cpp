#include "Probes.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

namespace bench {

namespace {

double Seconds(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return double(value.QuadPart) / 1e7;  // 100 ns units
}

}  // namespace

std::optional<double> CpuSeconds(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::nullopt;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    double total = 0;
    bool any = false;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        FILETIME created, ended, kernel, user;
        if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) {
            total += Seconds(kernel) + Seconds(user);
            any = true;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return any ? std::optional<double>(total) : std::nullopt;
}

std::optional<double> WorkingSetMb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return std::nullopt;
    return double(counters.WorkingSetSize) / (1024 * 1024);
}

void PaintNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace bench

#pragma once
// What the saving benchmarks print: one line per way of saving, with seconds, files/s, MB/s and the
// process's CPU seconds, so that their figures line up.
#include <windows.h>

#include <cstdint>
#include <cstdio>

// User and kernel time of this process so far.
inline double processCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 1e7;
}

inline void reportSaving(const char* what, size_t files, double bytes, double seconds, double cpu,
                         const char* note = "") {
    std::printf("%-26s %6zu files %8.2f s %9.1f files/s %8.1f MB/s %7.2f CPU s%s\n", what, files, seconds,
                files / seconds, bytes / 1e6 / seconds, cpu, note);
    std::fflush(stdout);
}

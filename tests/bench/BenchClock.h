#pragma once
// The benchmarks' clock: milliseconds from the performance counter, and the median of timed runs.
#include <windows.h>

#include <algorithm>
#include <vector>

inline double nowMs() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The median time of `runs` runs of work(run), in milliseconds.
template <typename Work>
double medianMs(int runs, Work work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double start = nowMs();
        work(run);
        times.push_back(nowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

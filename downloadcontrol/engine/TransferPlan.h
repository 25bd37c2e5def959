#pragma once
// The arithmetic of a run: how much each file weighs in the overall progress, how a file is cut into
// segments, and the rate and remaining time shown while it downloads.
#include <cstdint>
#include <vector>

constexpr int64_t kTicksPerSecond = 10000000;  // 100-ns ticks

// The share of each file in the overall progress, from the sizes known at the start of a run (-1 or 0:
// not known). Files of unknown size weigh as much as the average known file, or all files weigh the
// same when no size is known. The weights add up to 1 (none for an empty list).
std::vector<double> fileWeights(const std::vector<int64_t>& sizes);

struct PlannedSegment {
    int64_t start = 0;
    int64_t size = 0;
};

// Cuts a file of `size` bytes (> 0) into at most `count` pieces of size / count + 1 bytes, but none
// smaller than `minimumSize`; empty pieces are left out. A count below 1 counts as 1.
std::vector<PlannedSegment> planSegments(int64_t size, int32_t count, int32_t minimumSize);

// Kilobytes (1024 bytes) per second over `elapsedTicks`; under one second the bytes count as one
// second's worth.
double transferRate(int64_t downloaded, int64_t elapsedTicks);

// The estimated ticks left at the speed so far: 0 when the remaining size is not known (< 0), nothing
// was downloaded or no time has passed.
int64_t remainingTimeTicks(int64_t remaining, int64_t downloaded, int64_t elapsedTicks);

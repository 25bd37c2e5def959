#include "downloadcontrol/engine/TransferPlan.h"

#include <algorithm>
#include <cstdint>

namespace {

// The weights in floating point, for sizes whose sum does not fit 64 bits (sizes come from hosts and
// servers); the shares are the same but for the rounding of the average.
std::vector<double> approximateWeights(const std::vector<int64_t>& sizes, int64_t knownCount) {
    long double total = 0;
    for (int64_t size : sizes) {
        if (size > 0) {
            total += static_cast<long double>(size);
        }
    }
    const long double average = total / static_cast<long double>(knownCount);
    total += average * static_cast<long double>(static_cast<int64_t>(sizes.size()) - knownCount);
    std::vector<double> weights;
    weights.reserve(sizes.size());
    for (int64_t size : sizes) {
        const long double share = size > 0 ? static_cast<long double>(size) : average;
        weights.push_back(static_cast<double>(share / total));
    }
    return weights;
}

}  // namespace

std::vector<double> fileWeights(const std::vector<int64_t>& sizes) {
    const int64_t fileCount = static_cast<int64_t>(sizes.size());
    int64_t total = 0;
    int64_t knownCount = 0;
    bool overflow = false;
    for (int64_t size : sizes) {
        if (size > 0) {
            overflow = overflow || __builtin_add_overflow(total, size, &total);
            ++knownCount;
        }
    }
    int64_t average = 0;
    if (!overflow && knownCount < fileCount) {
        if (total > 0) {
            average = total / knownCount;
            int64_t added = 0;
            overflow = __builtin_mul_overflow(average, fileCount - knownCount, &added) ||
                       __builtin_add_overflow(total, added, &total);
        } else {
            average = 1;
            total = fileCount;
        }
    }
    if (overflow) {
        return approximateWeights(sizes, knownCount);
    }
    std::vector<double> weights;
    weights.reserve(sizes.size());
    for (int64_t size : sizes) {
        const int64_t share = size > 0 ? size : average;
        weights.push_back(total > 0 ? static_cast<double>(share) / static_cast<double>(total) : 0.0);
    }
    return weights;
}

std::vector<PlannedSegment> planSegments(int64_t size, int32_t count, int32_t minimumSize) {
    std::vector<PlannedSegment> segments;
    if (size <= 0) {
        return segments;
    }
    const int64_t pieces = std::max<int32_t>(count, 1);
    const int64_t piece = std::max<int64_t>(size / pieces + 1, std::max<int32_t>(minimumSize, 1));
    // `pieces` pieces of that size always reach the end; the arithmetic stays below `size`, which may be
    // close to the largest 64-bit number.
    for (int64_t start = 0; start < size;) {
        const int64_t end = size - start > piece ? start + piece : size;
        segments.push_back({start, end - start});
        start = end;
    }
    return segments;
}

double transferRate(int64_t downloaded, int64_t elapsedTicks) {
    const int64_t seconds = elapsedTicks / kTicksPerSecond;
    const double perSecond = seconds >= 1 ? static_cast<double>(downloaded) / static_cast<double>(seconds)
                                          : static_cast<double>(downloaded);
    return perSecond / 1024.0;
}

int64_t remainingTimeTicks(int64_t remaining, int64_t downloaded, int64_t elapsedTicks) {
    if (remaining < 0 || downloaded <= 0 || elapsedTicks <= 0) {
        return 0;
    }
    const double speed = static_cast<double>(downloaded) / static_cast<double>(elapsedTicks);
    const double ticks = static_cast<double>(remaining) / speed;
    // A slow start on a huge file gives more ticks than 64 bits hold.
    return ticks >= 9.2e18 ? INT64_MAX : static_cast<int64_t>(ticks);
}

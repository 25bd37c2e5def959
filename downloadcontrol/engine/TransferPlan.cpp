#include "downloadcontrol/engine/TransferPlan.h"

#include <algorithm>

std::vector<double> fileWeights(const std::vector<int64_t>& sizes) {
    const int64_t fileCount = static_cast<int64_t>(sizes.size());
    int64_t total = 0;
    int64_t knownCount = 0;
    for (int64_t size : sizes) {
        if (size > 0) {
            total += size;
            ++knownCount;
        }
    }
    int64_t average = 0;
    if (knownCount < fileCount) {
        if (total > 0) {
            average = total / knownCount;
            total += average * (fileCount - knownCount);
        } else {
            average = 1;
            total = fileCount;
        }
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
    for (int64_t i = 0; i < pieces; ++i) {
        const int64_t start = i * piece;
        const int64_t end = std::min(start + piece, size);
        if (end > start) {
            segments.push_back({start, end - start});
        }
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
    return static_cast<int64_t>(static_cast<double>(remaining) / speed);
}

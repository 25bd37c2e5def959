#include "saving/JobArithmetic.h"

#include <algorithm>

namespace {

int64_t fileTimeValue(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart);
}

}  // namespace

int32_t saveJobWorkUnits(size_t filesToStamp, size_t entries, bool zipJob) {
    const size_t units = filesToStamp / kPhotoTimesBatchSize + entries * (zipJob ? 2 : 1);
    return static_cast<int32_t>(std::min<size_t>(units, INT32_MAX));
}

int32_t printJobWorkUnits(size_t entries, int32_t copies, size_t downloads) {
    const size_t units = entries * static_cast<size_t>(std::max(copies, 1)) + downloads;
    return static_cast<int32_t>(std::min<size_t>(units, INT32_MAX));
}

double downloadProgressShare(PhotoDownload& entry, int64_t downloadedSize, int64_t fileSize) {
    if (fileSize <= 0)
        return 0.0;
    entry.fileSize = fileSize;
    const int64_t downloaded = std::min(std::max<int64_t>(downloadedSize, 0), fileSize);
    if (downloaded <= entry.countedBytes)
        return 0.0;
    entry.countedBytes = downloaded;
    const double reached = static_cast<double>(downloaded) / static_cast<double>(fileSize);
    const double share = std::max(0.0, std::min(reached, 1.0) - entry.countedShare);
    entry.countedShare += share;
    return share;
}

double completionShare(PhotoDownload& entry) {
    const double share = std::max(0.0, 1.0 - entry.countedShare);
    entry.countedShare = 1.0;
    if (entry.fileSize > 0)
        entry.countedBytes = entry.fileSize;
    return share;
}

int64_t otherFilesOffset(const FILETIME& oldestItem, const FILETIME& newestOther) {
    return (fileTimeValue(oldestItem) - kItemTimeStep) - fileTimeValue(newestOther);
}

#pragma once
// The arithmetic of save and print jobs: work units, shares of downloaded files, and the time
// offset of the user's other files. The job's progress only grows: a file never adds more than one
// unit, and bytes it has already counted are not counted again when a retry starts it over.
#include "saving/JobRecords.h"

#include <windows.h>

#include <cstdint>

// 3 seconds in FILETIME units (100 ns): the step between item times.
constexpr int64_t kItemTimeStep = 30000000;

// One unit per file, one more per file for its compression in a zip job, and one per full batch of
// files whose times are set.
int32_t saveJobWorkUnits(size_t filesToStamp, size_t entries, bool zipJob);

// One unit per page printed (every copy of every entry) and one per download.
int32_t printJobWorkUnits(size_t entries, int32_t copies, size_t downloads);

// The share of one unit that a progress event adds for its file (0 for an unknown size); updates
// the entry's counted bytes, counted share and size.
double downloadProgressShare(PhotoDownload& entry, int64_t downloadedSize, int64_t fileSize);

// The rest of the file's unit when it has completed (all of it when no size was ever reported).
double completionShare(PhotoDownload& entry);

// What moves the user's other files so that the newest of them ends one step before the oldest
// item: (oldest - step) - newestOther.
int64_t otherFilesOffset(const FILETIME& oldestItem, const FILETIME& newestOther);

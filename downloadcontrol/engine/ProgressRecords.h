#pragma once
// The records that worker threads post to the notification window. Each is owned by its message from
// posting until the window procedure has handled it, and freed then whether or not anyone listened.
#include <cstdint>
#include <optional>
#include <string>

// The figures of one file at one moment.
struct ProgressSnapshot {
    int32_t fileId = -1;
    int64_t size = -1;  // -1 while not known
    int64_t downloaded = 0;
    int64_t elapsed = 0;        // 100-ns ticks
    int64_t remaining = -1;     // -1 while the size is not known
    int64_t remainingTime = 0;  // 100-ns ticks
    double rate = 0;            // kilobytes per second
};

// The figures of one segment of a file.
struct SegmentSnapshot {
    int32_t fileId = -1;
    int64_t start = 0;
    int64_t size = -1;  // -1 while not known
    int64_t downloaded = 0;
    // A worker's report after its blocks: the overall progress is refreshed, the segment's figures go
    // out and then the file's. One message for the three, as each message is a round trip to the window
    // system under some hosts.
    std::optional<ProgressSnapshot> file;
};

// The answer of a size query.
struct SizeQueryResult {
    std::wstring url;           // as the host passed it
    int64_t size = -2;          // -1: the server gave none; -2: the query failed
    std::wstring lastModified;  // as the server gave it
};

// A byte count or other number as the events carry it: plain signed decimal.
std::wstring decimalText(int64_t value);

class DownloadItem;
struct FileSegment;

// The figures of an item or segment now; the caller holds the control lock.
ProgressSnapshot snapshotOf(const DownloadItem& item);
SegmentSnapshot snapshotOf(const DownloadItem& item, const FileSegment& segment);

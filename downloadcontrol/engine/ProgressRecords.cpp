#include "downloadcontrol/engine/ProgressRecords.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/engine/DownloadItem.h"

std::wstring decimalText(int64_t value) {
    static constexpr auto kFormat = scrambleText(L"%I64d");
    return formatText(UnscrambleString(kFormat.chars).c_str(), static_cast<long long>(value));
}

ProgressSnapshot snapshotOf(const DownloadItem& item) {
    ProgressSnapshot snapshot;
    snapshot.fileId = item.fileId;
    snapshot.size = item.size;
    snapshot.downloaded = item.downloaded;
    snapshot.elapsed = item.elapsed;
    snapshot.remaining = item.remaining;
    snapshot.remainingTime = item.remainingTime;
    snapshot.rate = item.rate;
    return snapshot;
}

SegmentSnapshot snapshotOf(const DownloadItem& item, const FileSegment& segment) {
    SegmentSnapshot snapshot;
    snapshot.fileId = item.fileId;
    snapshot.start = segment.start;
    snapshot.size = segment.size;
    snapshot.downloaded = segment.downloaded;
    return snapshot;
}

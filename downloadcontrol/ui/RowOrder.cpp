#include "downloadcontrol/ui/RowOrder.h"

#include <algorithm>
#include <limits>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ui/ColumnTable.h"
#include "downloadcontrol/ui/RowText.h"

namespace {

template <typename Number>
int compareNumbers(Number a, Number b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Percentages of files of unknown or zero size (-1) go after all others.
int comparePercents(int64_t a, int64_t b) {
    if (a < 0 || b < 0) {
        return compareNumbers(a < 0, b < 0);
    }
    return compareNumbers(a, b);
}

int64_t rateInThousandths(double rate) {
    return roundHalfUp(rate * 1000.0);
}

}  // namespace

int compareByColumn(const DownloadItem& a, const DownloadItem& b, int32_t columnId) {
    switch (columnId) {
    case ColumnName:
        return compareText(shownFileName(a), shownFileName(b), false);
    case ColumnSize:
        return compareNumbers(a.size, b.size);
    case ColumnDownloaded:
        return compareNumbers(a.downloaded, b.downloaded);
    case ColumnPercentDone:
        return comparePercents(percentOf(a.downloaded, a.size), percentOf(b.downloaded, b.size));
    case ColumnElapsed:
        return compareNumbers(a.elapsed, b.elapsed);
    case ColumnRemaining:
        return compareNumbers(a.remaining, b.remaining);
    case ColumnPercentRemaining:
        return comparePercents(percentOf(a.remaining, a.size), percentOf(b.remaining, b.size));
    case ColumnRemainingTime:
        return compareNumbers(a.remainingTime, b.remainingTime);
    case ColumnRate:
        return compareNumbers(rateInThousandths(a.rate), rateInThousandths(b.rate));
    case ColumnNameFromUrl:
        return compareText(a.nameFromUrl, b.nameFromUrl, false);
    case ColumnUrl:
        return compareText(a.url, b.url, false);
    case ColumnSegments:
        return compareNumbers(shownSegmentCount(a), shownSegmentCount(b));
    default:
        return 0;
    }
}

RowOrder::RowOrder(const FileList& files, int32_t columnId, bool ascending)
    : columnId_(columnId), ascending_(ascending) {
    items_.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const DownloadItem* item = files.at(i);
        items_.emplace_back(item->fileId, item);
    }
    std::sort(items_.begin(), items_.end(),
              [](const auto& left, const auto& right) { return left.first < right.first; });
}

const DownloadItem* RowOrder::find(LPARAM fileId) const {
    if (fileId < std::numeric_limits<int32_t>::min() || fileId > std::numeric_limits<int32_t>::max()) {
        return nullptr;
    }
    const int32_t id = static_cast<int32_t>(fileId);
    const auto found =
        std::lower_bound(items_.begin(), items_.end(), id,
                         [](const auto& entry, int32_t wanted) { return entry.first < wanted; });
    return found != items_.end() && found->first == id ? found->second : nullptr;
}

int RowOrder::compare(LPARAM first, LPARAM second) const {
    const DownloadItem* a = find(first);
    const DownloadItem* b = find(second);
    if (a && b) {
        const int byColumn =
            ascending_ ? compareByColumn(*a, *b, columnId_) : compareByColumn(*b, *a, columnId_);
        if (byColumn != 0) {
            return byColumn;
        }
    } else if (a || b) {
        return a ? -1 : 1;  // a row without a file goes last
    }
    return compareNumbers(first, second);
}

int CALLBACK RowOrder::compareRows(LPARAM first, LPARAM second, LPARAM order) {
    return reinterpret_cast<const RowOrder*>(order)->compare(first, second);
}

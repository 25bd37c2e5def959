#include "downloadcontrol/ui/RowText.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/engine/TransferPlan.h"
#include "downloadcontrol/ui/ColumnTable.h"

namespace {

// Shown for a size or byte count that is not known yet.
std::wstring unknownSizeText() {
    static constexpr auto kText = scrambleText(L"Unknown");
    return UnscrambleString(kText.chars);
}

// Bytes as whole kilobytes of 1024 bytes, a started kilobyte counting as one: "1,024 KB".
std::wstring kilobytesText(int64_t bytes) {
    if (bytes < 0) {
        return unknownSizeText();
    }
    static constexpr auto kUnit = scrambleText(L" KB");
    const int64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return groupedNumber(kilobytes) + UnscrambleString(kUnit.chars);
}

std::wstring percentText(int64_t part, int64_t size) {
    const int64_t percent = percentOf(part, size);
    if (percent < 0) {
        return std::wstring();
    }
    static constexpr auto kFormat = scrambleText(L"%I64d%%");
    return formatText(UnscrambleString(kFormat.chars).c_str(), percent);
}

std::wstring rateText(double rate) {
    static constexpr auto kUnit = scrambleText(L" KB/s");
    return groupedNumber(rate, 2) + UnscrambleString(kUnit.chars);
}

// The last part of a path after "\" or "/".
std::wstring fileNameOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

int32_t rowImageFor(DownloadState state, int32_t current) {
    switch (state) {
    case DownloadStateNew:
        return RowImageNew;
    case DownloadStateTransferring:
        return RowImageTransferring;
    case DownloadStateComplete:
        return RowImageComplete;
    default:
        return current >= 0 ? current : RowImageNew;
    }
}

std::wstring shownFileName(const DownloadItem& item) {
    if (!item.displayFileName.empty()) {
        return item.displayFileName;
    }
    std::wstring name = fileNameOf(item.savePath);
    return name.empty() ? item.nameFromUrl : name;
}

int32_t shownSegmentCount(const DownloadItem& item) {
    return item.segments.empty() ? item.requestedSegmentCount : static_cast<int32_t>(item.segments.size());
}

bool remainingTimeKnown(const DownloadItem& item) {
    if (item.size < 0) {
        return false;
    }
    return (item.downloaded > 0 && item.elapsed >= kTicksPerSecond) || item.downloaded == item.size;
}

int64_t percentOf(int64_t part, int64_t size) {
    if (size <= 0) {
        return -1;
    }
    return roundHalfUp(static_cast<double>(part) / static_cast<double>(size) * 100.0);
}

std::wstring cellText(const DownloadItem& item, int32_t columnId) {
    switch (columnId) {
    case ColumnName:
        return shownFileName(item);
    case ColumnSize:
        return kilobytesText(item.size);
    case ColumnDownloaded:
        return kilobytesText(item.downloaded);
    case ColumnPercentDone:
        return percentText(item.downloaded, item.size);
    case ColumnElapsed:
        return timeSpanText(item.elapsed);
    case ColumnRemaining:
        return kilobytesText(item.remaining);
    case ColumnPercentRemaining:
        return percentText(item.remaining, item.size);
    case ColumnRemainingTime:
        return remainingTimeKnown(item) ? timeSpanText(item.remainingTime) : std::wstring();
    case ColumnRate:
        return rateText(item.rate);
    case ColumnNameFromUrl:
        return item.nameFromUrl;
    case ColumnUrl:
        return item.url;
    case ColumnSegments:
        return std::to_wstring(shownSegmentCount(item));
    default:
        return std::wstring();
    }
}

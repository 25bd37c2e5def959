#include "downloadcontrol/ui/ColumnTable.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

constexpr std::array<int32_t, kColumnCount> kDefaultWidths = {200, 80,  100, 100, 80,  100,
                                                              100, 100, 80,  200, 200, 70};

constexpr auto kHeaderName = scrambleText(L"Name");
constexpr auto kHeaderSize = scrambleText(L"Size");
constexpr auto kHeaderDownloaded = scrambleText(L"Downloaded");
constexpr auto kHeaderPercentDone = scrambleText(L"% Done");
constexpr auto kHeaderElapsed = scrambleText(L"Elapsed");
constexpr auto kHeaderRemaining = scrambleText(L"Remaining");
constexpr auto kHeaderPercentRemaining = scrambleText(L"% Remaining");
constexpr auto kHeaderRemainingTime = scrambleText(L"Time Left");
constexpr auto kHeaderRate = scrambleText(L"Rate");
constexpr auto kHeaderNameFromUrl = scrambleText(L"Name on Server");
constexpr auto kHeaderUrl = scrambleText(L"URL");
constexpr auto kHeaderSegments = scrambleText(L"Segments");

// The canonical text: the first id alone, every later one after its separator.
constexpr auto kFirstIdFormat = scrambleText(L"%d");
constexpr auto kNextIdFormat = scrambleText(L";%d");

std::wstring defaultHeader(int32_t id) {
    switch (id) {
    case ColumnName:
        return UnscrambleString(kHeaderName.chars);
    case ColumnSize:
        return UnscrambleString(kHeaderSize.chars);
    case ColumnDownloaded:
        return UnscrambleString(kHeaderDownloaded.chars);
    case ColumnPercentDone:
        return UnscrambleString(kHeaderPercentDone.chars);
    case ColumnElapsed:
        return UnscrambleString(kHeaderElapsed.chars);
    case ColumnRemaining:
        return UnscrambleString(kHeaderRemaining.chars);
    case ColumnPercentRemaining:
        return UnscrambleString(kHeaderPercentRemaining.chars);
    case ColumnRemainingTime:
        return UnscrambleString(kHeaderRemainingTime.chars);
    case ColumnRate:
        return UnscrambleString(kHeaderRate.chars);
    case ColumnNameFromUrl:
        return UnscrambleString(kHeaderNameFromUrl.chars);
    case ColumnUrl:
        return UnscrambleString(kHeaderUrl.chars);
    case ColumnSegments:
        return UnscrambleString(kHeaderSegments.chars);
    default:
        return std::wstring();
    }
}

}  // namespace

ColumnTable::ColumnTable() {
    for (int32_t id = 0; id < kColumnCount; ++id) {
        Column& column = columns_[static_cast<std::size_t>(id)];
        column.width = defaultWidth(id);
        column.header = defaultHeader(id);
    }
}

int32_t ColumnTable::defaultWidth(int32_t id) {
    return isColumnId(id) ? kDefaultWidths[static_cast<std::size_t>(id)] : 0;
}

std::wstring ColumnTable::defaultColumnsText() {
    std::wstring text;
    for (int32_t id = 0; id < kColumnCount; ++id) {
        text +=
            formatText(UnscrambleString(id == 0 ? kFirstIdFormat.chars : kNextIdFormat.chars).c_str(), id);
    }
    return text;
}

std::vector<int32_t> ColumnTable::applyColumnsText(std::wstring_view text) {
    for (Column& column : columns_) {
        column.position = -1;
    }
    columnsText_.clear();

    std::vector<int32_t> shown;
    for (const std::wstring& piece : splitText(text, L';')) {
        // A host that writes "0; 1; 2" means the same as "0;1;2".
        const int32_t id = parseInt32(trimText(piece), -1);
        if (!isColumnId(id) || (*this)[id].position >= 0) {
            continue;
        }
        (*this)[id].position = static_cast<int32_t>(shown.size());
        columnsText_ += formatText(
            UnscrambleString(shown.empty() ? kFirstIdFormat.chars : kNextIdFormat.chars).c_str(), id);
        shown.push_back(id);
    }
    return shown;
}

std::vector<int32_t> ColumnTable::shownColumns() const {
    std::vector<int32_t> shown(kColumnCount, -1);
    std::size_t count = 0;
    for (int32_t id = 0; id < kColumnCount; ++id) {
        const int32_t position = (*this)[id].position;
        if (position >= 0 && position < kColumnCount) {
            shown[static_cast<std::size_t>(position)] = id;
            ++count;
        }
    }
    shown.resize(count);
    return shown;
}

int32_t ColumnTable::columnAt(int32_t position) const {
    if (position < 0) {
        return -1;
    }
    for (int32_t id = 0; id < kColumnCount; ++id) {
        if ((*this)[id].position == position) {
            return id;
        }
    }
    return -1;
}

#pragma once
// The twelve columns that the download list can show: for each, where it stands in the list (or that it
// is hidden), its width and its header text, and the `Columns` text that chose them. No window here:
// DownloadListView applies the table to its list.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum ColumnId : int32_t {
    ColumnName = 0,  // the shown name of the file
    ColumnSize = 1,
    ColumnDownloaded = 2,
    ColumnPercentDone = 3,
    ColumnElapsed = 4,
    ColumnRemaining = 5,
    ColumnPercentRemaining = 6,
    ColumnRemainingTime = 7,
    ColumnRate = 8,
    ColumnNameFromUrl = 9,
    ColumnUrl = 10,
    ColumnSegments = 11,
};

constexpr int32_t kColumnCount = 12;

// Field ids of GetColumn.
enum ColumnField : int32_t {
    ColumnFieldHeader = 0,
    ColumnFieldWidth = 1,
};

struct Column {
    int32_t position = -1;  // place in the list, -1 while not shown
    int32_t width = 0;      // pixels
    std::wstring header;
};

class ColumnTable {
public:
    // Every column hidden, with its default width and header text.
    ColumnTable();

    static bool isColumnId(int32_t id) { return id >= 0 && id < kColumnCount; }
    // The names and URLs read from the left; the figures line up on the right.
    static bool isLeftAligned(int32_t id) { return id == ColumnNameFromUrl || id == ColumnUrl; }
    static int32_t defaultWidth(int32_t id);
    // "0;1;2;...;11": every column in id order.
    static std::wstring defaultColumnsText();

    // Takes a `Columns` text: every column is hidden first; then each piece between ";" that names a
    // column id not shown yet gets the next list position, in the order of the text. Other pieces are
    // skipped. Returns the shown ids in list order; columnsText() becomes their canonical text.
    std::vector<int32_t> applyColumnsText(std::wstring_view text);

    // The canonical text of the shown columns: their ids in list order, separated by ";".
    const std::wstring& columnsText() const { return columnsText_; }

    // The shown column ids in list order.
    std::vector<int32_t> shownColumns() const;
    // The column shown at a list position, -1 when none.
    int32_t columnAt(int32_t position) const;

    // The caller checks the id with isColumnId.
    Column& operator[](int32_t id) { return columns_[static_cast<std::size_t>(id)]; }
    const Column& operator[](int32_t id) const { return columns_[static_cast<std::size_t>(id)]; }

private:
    std::array<Column, kColumnCount> columns_;
    std::wstring columnsText_;
};

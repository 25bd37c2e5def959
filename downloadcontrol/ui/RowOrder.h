#pragma once
// The order of the download list's rows when the user sorts by a column.
//
// Each row carries its file's id as item data, so rows stay tied to their files however they are
// sorted. RowOrder looks the ids up once, when it is made, and never reads past the file list: a row
// whose file is gone sorts after every listed file.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "downloadcontrol/engine/DownloadItem.h"
#include "downloadcontrol/engine/FileList.h"

// -1, 0 or 1 as `a` comes before, with or after `b` in ascending order of the column. Sizes, byte
// counts and times compare as signed 64-bit numbers, rates in thousandths, texts without regard to case.
// In the percentage columns files of unknown or zero size come after all others.
int compareByColumn(const DownloadItem& a, const DownloadItem& b, int32_t columnId);

class RowOrder {
public:
    // The caller holds the file list's lock while the order is made and used.
    RowOrder(const FileList& files, int32_t columnId, bool ascending);

    // The comparison of two rows by their item data (file ids): descending swaps the column's
    // comparison; files that compare equal keep the order of their ids.
    int compare(LPARAM first, LPARAM second) const;

    // The callback of LVM_SORTITEMS; `order` is a RowOrder*.
    static int CALLBACK compareRows(LPARAM first, LPARAM second, LPARAM order);

private:
    const DownloadItem* find(LPARAM fileId) const;

    std::vector<std::pair<int32_t, const DownloadItem*>> items_;  // by file id
    int32_t columnId_;
    bool ascending_;
};

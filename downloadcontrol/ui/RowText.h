#pragma once
// What one row of the download list shows for a file: the picture of its state and the text of each
// column. Pure functions of the item; the caller holds the control lock while the engine may change it.
#include <cstdint>
#include <string>

#include "downloadcontrol/engine/DownloadItem.h"

// Row pictures, in the order of the row image strip.
enum RowImage : int32_t {
    RowImageNew = 0,
    RowImageTransferring = 1,
    RowImageComplete = 2,
};

// The picture for a file's state. An incomplete file keeps the picture it has (`current`); a row that
// has none yet (current < 0) shows the new-file picture.
int32_t rowImageFor(DownloadState state, int32_t current);

// The name column: the display name when the host gave one, else the file name of the save path,
// else the name from the URL.
std::wstring shownFileName(const DownloadItem& item);

// Segments in use once the file has started, else the count the host asked for.
int32_t shownSegmentCount(const DownloadItem& item);

// True when the remaining-time column has an estimate to show: the size is known and something arrived
// over at least a second, or the file is whole.
bool remainingTimeKnown(const DownloadItem& item);

// The whole-number percentage of `part` in `size`, rounded half up; -1 when the size is unknown or 0.
int64_t percentOf(int64_t part, int64_t size);

// The text of one column for a file ("" for an unknown column id).
std::wstring cellText(const DownloadItem& item, int32_t columnId);

#include "mainwindow/ThumbnailGrid.h"

#include "common/TextFunctions.h"
#include "saving/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

int rowPitch(const GridMetrics& metrics) {
    return metrics.thumbnailHeight + metrics.rowGap;
}

}  // namespace

bool canLayOutGrid(int clientWidth, int clientHeight) {
    return clientWidth > 0 && clientHeight > 0;
}

int gridColumns(const GridMetrics& metrics, int clientWidth) {
    const int columns = (clientWidth + metrics.columnGap - metrics.leftMargin - metrics.rightMargin) /
                        (metrics.thumbnailWidth + metrics.columnGap);
    return std::max(1, columns);
}

int gridRows(size_t count, int columns) {
    return static_cast<int>(std::ceil(static_cast<double>(count) / std::max(1, columns)));
}

int gridRange(const GridMetrics& metrics, size_t count, int columns) {
    if (count == 0) {
        return kEmptyGridRange;
    }
    return rowPitch(metrics) * gridRows(count, columns) + metrics.topMargin + metrics.bottomMargin -
           metrics.rowGap;
}

int gridLeft(const GridMetrics& metrics, int clientWidth, int columns, int barWidth) {
    const int gridWidth = (metrics.thumbnailWidth + metrics.columnGap) * columns - metrics.columnGap;
    const int spare = clientWidth - metrics.leftMargin - metrics.rightMargin - barWidth - gridWidth;
    return metrics.leftMargin + spare / 2;
}

GridBand gridBand(const GridMetrics& metrics, int clientHeight, int position, size_t count, int columns) {
    columns = std::max(1, columns);
    const int pitch = rowPitch(metrics);
    const int firstRow =
        std::max(0, (position + metrics.rowGap - metrics.rowGap / 2 - metrics.topMargin) / pitch - 1);
    GridBand band;
    band.first = std::min(count, static_cast<size_t>(firstRow) * static_cast<size_t>(columns));
    band.firstRowTop = pitch * firstRow + metrics.topMargin - position;
    size_t index = band.first;
    int column = 0;
    int rowTop = band.firstRowTop;
    // Rows until one lies wholly below the viewport: that one is the last of the band.
    while (index < count) {
        ++index;
        if (++column == columns) {
            column = 0;
            if (clientHeight < rowTop - metrics.rowGap / 2) {
                break;
            }
            rowTop += pitch;
        }
    }
    band.end = index;
    return band;
}

TileOrigin tileOrigin(const GridMetrics& metrics, int left, int position, size_t index, int columns) {
    columns = std::max(1, columns);
    const int row = static_cast<int>(index / static_cast<size_t>(columns));
    const int column = static_cast<int>(index % static_cast<size_t>(columns));
    return TileOrigin{left + (metrics.thumbnailWidth + metrics.columnGap) * column,
                      rowPitch(metrics) * row + metrics.topMargin - position};
}

std::vector<bool> tilesToRecycle(const std::vector<size_t>& inUse, const GridBand& band, size_t keepA,
                                 size_t keepB) {
    std::vector<bool> recycle;
    recycle.reserve(inUse.size());
    for (size_t index : inUse) {
        const bool inBand = index >= band.first && index < band.end;
        recycle.push_back(index == SIZE_MAX || (!inBand && index != keepA && index != keepB));
    }
    return recycle;
}

ScrollAnchor findScrollAnchor(const std::vector<TileTop>& tiles) {
    ScrollAnchor anchor;
    bool found = false;
    for (const TileTop& tile : tiles) {
        if (tile.top >= 0 && (!found || tile.top < anchor.offset ||
                              (tile.top == anchor.offset && tile.index < anchor.index))) {
            anchor = ScrollAnchor{tile.index, tile.top};
            found = true;
        }
    }
    if (found) {
        return anchor;
    }
    // No photo starts in the view: the lowest of those above it.
    for (const TileTop& tile : tiles) {
        if (!found || tile.top > anchor.offset || (tile.top == anchor.offset && tile.index < anchor.index)) {
            anchor = ScrollAnchor{tile.index, tile.top};
            found = true;
        }
    }
    return anchor;
}

int anchoredScrollPosition(const GridMetrics& metrics, const ScrollAnchor& anchor, int columns, int range,
                           int clientHeight) {
    if (anchor.index < 0) {
        return 0;
    }
    const int target =
        anchor.index / std::max(1, columns) * rowPitch(metrics) + metrics.topMargin - anchor.offset;
    return std::max(0, std::min(target, range - clientHeight));
}

int thumbnailKnobLeft(int width, int trackLeft, int trackWidth, int knobWidth) {
    width = std::clamp(width, kMinThumbnailWidth, kMaxThumbnailWidth);
    return trackLeft + 20 +
           roundHalfAwayFromZero((width - kMinThumbnailWidth) *
                                 (1.0 / (kMaxThumbnailWidth - kMinThumbnailWidth)) *
                                 (trackWidth - (knobWidth + 40)));
}

#include "mainwindow/ThumbnailGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

GridMetrics metricsOf(int side) {
    GridMetrics metrics;
    metrics.thumbnailWidth = side;
    metrics.thumbnailHeight = side;
    return metrics;
}

TEST(ThumbnailGrid, ColumnsRowsAndRange) {
    EXPECT_EQ(2, gridColumns(metricsOf(306), 1000));
    EXPECT_EQ(5, gridColumns(metricsOf(150), 1000));
    EXPECT_EQ(1, gridColumns(metricsOf(150), 0));
    EXPECT_FALSE(canLayOutGrid(0, 500) || canLayOutGrid(800, 0));

    EXPECT_EQ(kEmptyGridRange, gridRange(metricsOf(150), 0, 5));
    EXPECT_EQ(9, gridRows(45, 5));
    EXPECT_EQ(192 * 9 + 82 - 42, gridRange(metricsOf(150), 45, 5));
    EXPECT_EQ(82, gridLeft(metricsOf(150), 1100, 5, 17));

    const TileOrigin origin = tileOrigin(metricsOf(150), 82, 100, 7, 5);
    EXPECT_EQ(82 + 2 * 192, origin.left);
    EXPECT_EQ(192 + 41 - 100, origin.top);
}

TEST(ThumbnailGrid, BandIsTheViewportAndOneRowEitherSide) {
    const GridMetrics metrics = metricsOf(150);
    GridBand band = gridBand(metrics, 600, 0, 45, 5);
    EXPECT_EQ(0u, band.first);
    EXPECT_EQ(25u, band.end);
    EXPECT_EQ(41, band.firstRowTop);

    band = gridBand(metrics, 600, 1000, 45, 5);
    EXPECT_EQ(20u, band.first);  // row 5 starts at 1, row 4 above the view
    EXPECT_EQ(45u, band.end);
}

TEST(ThumbnailGrid, OnePixelScrollsMakeEveryTileOnce) {
    const GridMetrics metrics = metricsOf(150);
    const size_t count = 1000;
    const int columns = 5;
    const int height = 700;
    const int range = gridRange(metrics, count, columns);
    std::vector<size_t> inUse;
    std::map<size_t, int> made;
    for (int position = 0; position <= range - height; ++position) {
        const GridBand band = gridBand(metrics, height, position, count, columns);
        const std::vector<bool> recycle = tilesToRecycle(inUse, band);
        std::vector<size_t> kept;
        for (size_t i = 0; i < inUse.size(); ++i)
            if (!recycle[i])
                kept.push_back(inUse[i]);
        const size_t before = inUse.size();
        inUse = kept;
        for (size_t index = band.first; index < band.end; ++index)
            if (std::find(kept.begin(), kept.end(), index) == kept.end()) {
                inUse.push_back(index);
                ++made[index];
            }
        if (position > 0) {
            ASSERT_LE(before - kept.size(), static_cast<size_t>(columns)) << position;
            ASSERT_LE(inUse.size() - kept.size(), static_cast<size_t>(columns)) << position;
        }
    }
    EXPECT_EQ(count, made.size());
    EXPECT_TRUE(std::all_of(made.begin(), made.end(), [](const auto& entry) { return entry.second == 1; }));

    // The neighbours of the photo shown full size keep their tiles out of the band.
    EXPECT_EQ(tilesToRecycle({3, 500, SIZE_MAX}, gridBand(metrics, height, 0, count, columns), 500),
              (std::vector<bool>{false, false, true}));
}

TEST(ThumbnailGrid, AnchorKeepsTheFirstPhotoInViewAcrossAWidthChange) {
    const GridMetrics metrics = metricsOf(150);
    const size_t count = 45;
    const int height = 600;
    const int position = 500;
    int columns = gridColumns(metrics, 1100);
    const GridBand band = gridBand(metrics, height, position, count, columns);
    std::vector<TileTop> tops;
    for (size_t index = band.first; index < band.end; ++index) {
        tops.push_back({static_cast<int>(index), tileOrigin(metrics, 0, position, index, columns).top});
    }
    const ScrollAnchor anchor = findScrollAnchor(tops);
    EXPECT_EQ(15, anchor.index);  // row 3 at 617 - 500
    EXPECT_EQ(117, anchor.offset);

    columns = gridColumns(metrics, 800);
    const int moved =
        anchoredScrollPosition(metrics, anchor, columns, gridRange(metrics, count, columns), height);
    EXPECT_EQ(anchor.offset, tileOrigin(metrics, 0, moved, 15, columns).top);

    // A photo exactly at the top, else the lowest above the view; the leftmost of a row.
    EXPECT_EQ(4, findScrollAnchor({{3, -20}, {4, 0}, {9, 300}}).index);
    const ScrollAnchor above = findScrollAnchor({{0, -400}, {6, -100}, {5, -100}});
    EXPECT_EQ(5, above.index);
    EXPECT_EQ(-100, above.offset);
    EXPECT_EQ(-1, findScrollAnchor({}).offset);

    // The target stays within the range.
    EXPECT_EQ(0, anchoredScrollPosition(metrics, {0, 300}, 5, 1768, 600));
    EXPECT_EQ(1768 - 600, anchoredScrollPosition(metrics, {44, 0}, 5, 1768, 600));
    EXPECT_EQ(0, anchoredScrollPosition(metrics, {2, 0}, 5, 274, 600));
}

TEST(ThumbnailGrid, SizeKnob) {
    EXPECT_EQ(120, thumbnailKnobLeft(100, 100, 300, 30));
    EXPECT_EQ(120 + 230, thumbnailKnobLeft(306, 100, 300, 30));
}

}  // namespace

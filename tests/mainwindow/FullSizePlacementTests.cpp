#include "mainwindow/FullSizePlacement.h"

#include <gtest/gtest.h>

namespace {

// A 1000 x 700 box with our bar over its right edge (17 px) and 44-px side panels.
FullSizeArea wideArea() {
    return FullSizeArea{1000, 700, 983, 44, 44};
}

TEST(FullSizePlacement, ViewBoundsFollowThePictureWithinTheUsableSquare) {
    struct Case {
        const char* name;
        FullSizeArea area;
        int width, height;
        bool isVideo, videoMode;
        FullSizeBounds expected;
    };
    const FullSizeArea low{1000, 500, 983, 44, 44};
    const Case cases[] = {
        {"fits as it is", wideArea(), 406, 406, false, false, {288, 147, 406, 406}},
        {"small picture takes the photo default", wideArea(), 70, 640, false, false, {168, 27, 646, 646}},
        {"nothing yet in video mode", wideArea(), 6, 6, false, true, {182, 27, 618, 645}},
        // 960 x 540 and 540 x 960 pictures fit the 640 square inside the frame.
        {"landscape keeps its proportions", wideArea(), 966, 546, false, false, {168, 167, 646, 366}},
        {"portrait keeps its proportions", wideArea(), 546, 966, false, false, {308, 27, 366, 646}},
        {"tall photo shrinks with its ratio", low, 400, 1000, false, false, {390, 0, 202, 500}},
        {"landscape in a low box keeps its ratio", low, 1000, 600, false, false, {241, 99, 500, 301}},
        {"video in a low box", low, 618, 645, true, false, {255, 0, 473, 500}},
    };
    for (const Case& c : cases) {
        const FullSizeBounds got = fullSizeBounds(c.area, c.width, c.height, c.isVideo, c.videoMode);
        EXPECT_EQ(c.expected.left, got.left) << c.name;
        EXPECT_EQ(c.expected.top, got.top) << c.name;
        EXPECT_EQ(c.expected.width, got.width) << c.name;
        EXPECT_EQ(c.expected.height, got.height) << c.name;
    }
}

TEST(FullSizePlacement, SidePanelsBesideTheUsableSquare) {
    EXPECT_EQ(646, fullSizeUsable(wideArea()));
    EXPECT_EQ(300, fullSizeUsable(FullSizeArea{400, 700, 388, 44, 44}));
    const FullSizePanelPlaces places = fullSizePanelPlaces(wideArea(), {168, 27, 646, 646}, 44, 44);
    // (983 - 646) / 2 = 168 beside the square.
    EXPECT_EQ(168 - 44 - 56, places.previous.x);
    EXPECT_EQ(328, places.previous.y);
    EXPECT_EQ(983 - 168 + 56, places.next.x);
    EXPECT_EQ(983 - 168 + 12, places.close.x);
    EXPECT_EQ(27, places.close.y);
    // Beside a view that is not square, the panels keep to its edges.
    const FullSizePanelPlaces wide = fullSizePanelPlaces(wideArea(), {168, 167, 646, 366}, 44, 44);
    EXPECT_EQ(983 - 168 + 12, wide.close.x);
    EXPECT_EQ(167, wide.close.y);
    // In a narrow box the panels stay inside it.
    const FullSizePanelPlaces narrow =
        fullSizePanelPlaces(FullSizeArea{400, 700, 388, 44, 44}, {44, 200, 300, 300}, 44, 44);
    EXPECT_EQ(0, narrow.previous.x);
    EXPECT_EQ(388 - 44, narrow.next.x);
}

}  // namespace

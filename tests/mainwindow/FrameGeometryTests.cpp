// The frame's arithmetic, without windows.
#include "mainwindow/FrameGeometry.h"
#include <gtest/gtest.h>

using namespace frame;

TEST(FrameGeometry, StartBoundsAreCentredAndNeverLargerThanTheScreen) {
    EXPECT_EQ(startBounds(1280, 1024, 1143, 865), (Bounds{69, 80, 1143, 865}));  // 68.5 and 79.5 round up
    EXPECT_EQ(startBounds(1920, 1080, 1143, 865), (Bounds{389, 108, 1143, 865}));
    EXPECT_EQ(startBounds(1024, 768, 1143, 865), (Bounds{0, 0, 1024, 768}));
    EXPECT_EQ(startBounds(1143, 865, 1143, 865), (Bounds{0, 0, 1143, 865}));
    EXPECT_EQ(roundHalfAwayFromZero(-0.5), -1);
    EXPECT_EQ(roundHalfAwayFromZero(2.49), 2);
}

TEST(FrameGeometry, MinimumSizeNeverExceedsTheScreen) {
    EXPECT_EQ(minimumSize(1280, 1024, 1024, 237), (Point{1024, 237}));
    EXPECT_EQ(minimumSize(800, 200, 1024, 237), (Point{800, 200}));
}

TEST(FrameGeometry, PressesGrabCornersBeforeEdges) {
    const int w = 600, h = 400;
    EXPECT_EQ(hitTestFrame(10, 1, w, h), Edge::TopLeft);
    EXPECT_EQ(hitTestFrame(2, 100, w, h), Edge::Left);
    EXPECT_EQ(hitTestFrame(3, 100, w, h), Edge::None);
    EXPECT_EQ(hitTestFrame(300, 2, w, h), Edge::Top);
    EXPECT_EQ(hitTestFrame(300, 3, w, h), Edge::None);
    EXPECT_EQ(hitTestFrame(590, 5, w, h), Edge::TopRight);
    EXPECT_EQ(hitTestFrame(597, 200, w, h), Edge::Right);
    EXPECT_EQ(hitTestFrame(590, 390, w, h), Edge::BottomRight);
    EXPECT_EQ(hitTestFrame(300, 397, w, h), Edge::Bottom);
    EXPECT_EQ(hitTestFrame(5, 395, w, h), Edge::BottomLeft);
    EXPECT_EQ(hitTestFrame(300, 200, w, h), Edge::None);
    EXPECT_EQ(frameCursor(Edge::TopLeft), -8);
    EXPECT_EQ(frameCursor(Edge::BottomRight), -8);
    EXPECT_EQ(frameCursor(Edge::Bottom), -7);
    EXPECT_EQ(frameCursor(Edge::BottomLeft), -6);
    EXPECT_EQ(frameCursor(Edge::Left), -9);
    EXPECT_EQ(frameCursor(Edge::None), 0);
}

TEST(FrameGeometry, DragsFollowTheCursorAndStopAtTheMinimumSize) {
    const Bounds window{100, 100, 1100, 800};
    // The left edge dragged right beyond the minimum stops there; the right edge stays put and the
    // anchor stays on the edge.
    DragStep s = dragFrame(Edge::Left, window, Point{100, 300}, Point{250, 310}, 1024, 237);
    EXPECT_EQ(s.bounds, (Bounds{176, 100, 1024, 800}));
    EXPECT_EQ(s.anchor, (Point{176, 300}));
    // Growing right and down moves the anchor by what the window grew.
    s = dragFrame(Edge::BottomRight, window, Point{1199, 899}, Point{1219, 929}, 1024, 237);
    EXPECT_EQ(s.bounds, (Bounds{100, 100, 1120, 830}));
    EXPECT_EQ(s.anchor, (Point{1219, 929}));
    // The top-left corner moves both edges with the opposite ones fixed.
    s = dragFrame(Edge::TopLeft, window, Point{100, 100}, Point{90, 120}, 1024, 237);
    EXPECT_EQ(s.bounds, (Bounds{90, 120, 1110, 780}));
    // A move of the whole window keeps its size.
    s = dragWindow(window, Point{500, 110}, Point{550, 140});
    EXPECT_EQ(s.bounds, (Bounds{150, 130, 1100, 800}));
    EXPECT_EQ(s.anchor, (Point{550, 140}));
}

TEST(FrameGeometry, TheSliderStopsInsideItsTrackAndMapsItsEndsTo150And306) {
    // Track at 800, 200 wide; knob 18 wide; the knob stays 20 px inside each end.
    EXPECT_EQ(clampSliderKnob(700, 800, 200, 18, 20), 820);
    EXPECT_EQ(clampSliderKnob(1200, 800, 200, 18, 20), 962);
    EXPECT_EQ(sliderThumbnailWidth(820, 800, 200, 18, 20, 150, 156), 150);
    EXPECT_EQ(sliderThumbnailWidth(962, 800, 200, 18, 20, 150, 156), 306);
    EXPECT_EQ(sliderThumbnailWidth(891, 800, 200, 18, 20, 150, 156), 228);
}

TEST(FrameGeometry, MaximisedBoundsLeaveOnePixelOnTheTaskbarsSide) {
    // Wine under Xvfb: a one-pixel auto-hidden bar along the bottom.
    EXPECT_EQ(boundsBesideTaskbar(Rect{0, 1023, 1280, 1024}, 1280, 1024), (Bounds{0, 0, 1280, 1023}));
    EXPECT_EQ(boundsBesideTaskbar(Rect{0, 0, 1280, 2}, 1280, 1024), (Bounds{0, 1, 1280, 1023}));
    EXPECT_EQ(boundsBesideTaskbar(Rect{0, 0, 2, 1024}, 1280, 1024), (Bounds{1, 0, 1279, 1024}));
    EXPECT_EQ(boundsBesideTaskbar(Rect{1278, 0, 1280, 1024}, 1280, 1024), (Bounds{0, 0, 1279, 1024}));
    EXPECT_FALSE(usableTaskbar(Rect{0, 0, 0, 0}));
    EXPECT_FALSE(usableTaskbar(Rect{10, 10, 5, 20}));
    EXPECT_TRUE(usableTaskbar(Rect{0, 1023, 1280, 1024}));
}

TEST(FrameGeometry, ADoubleClickNeedsTheSamePanelPointAndTime) {
    int panel = 0, other = 0;
    EXPECT_TRUE(isDoubleClick(&panel, Point{10, 10}, 1000, &panel, Point{10, 10}, 1400, 500));
    EXPECT_FALSE(isDoubleClick(&panel, Point{10, 10}, 1000, &panel, Point{11, 10}, 1100, 500));
    EXPECT_FALSE(isDoubleClick(&panel, Point{10, 10}, 1000, &panel, Point{10, 10}, 1501, 500));
    EXPECT_FALSE(isDoubleClick(&other, Point{10, 10}, 1000, &panel, Point{10, 10}, 1100, 500));
    EXPECT_FALSE(isDoubleClick(nullptr, Point{-1, -1}, 0, &panel, Point{-1, -1}, 100, 500));
    // The tick count wraps.
    EXPECT_TRUE(isDoubleClick(&panel, Point{5, 5}, 0xFFFFFF00u, &panel, Point{5, 5}, 0x40u, 500));
}

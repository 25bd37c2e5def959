// The pure logic under the skinned controls: visible parts, button faces, pie angles and pattern
// phases.
#include "controls/HoverGeometry.h"
#include "controls/HoverState.h"
#include "controls/PatternPhase.h"
#include "controls/PieGeometry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace controls;

namespace {

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(VisibleClientRect, CutsAtTheParentsTopAndBottom) {
    // Wholly inside.
    EXPECT_TRUE(sameRect(visibleClientRect(10, 80, 25, 100), RECT{0, 0, 80, 25}));
    // Scrolled 10 px above the parent: the top 10 rows cannot be pointed at.
    EXPECT_TRUE(sameRect(visibleClientRect(-10, 80, 25, 100), RECT{0, 10, 80, 25}));
    // Hanging over the bottom edge.
    EXPECT_TRUE(sameRect(visibleClientRect(90, 80, 25, 100), RECT{0, 0, 80, 10}));
    // Taller than the parent and scrolled above it: cut at both ends.
    EXPECT_TRUE(sameRect(visibleClientRect(-50, 80, 300, 100), RECT{0, 50, 80, 150}));
}

TEST(VisibleClientRect, NothingVisibleGivesAnEmptyRectangle) {
    EXPECT_TRUE(sameRect(visibleClientRect(-25, 80, 25, 100), RECT{0, 0, 0, 0}));
    EXPECT_TRUE(sameRect(visibleClientRect(100, 80, 25, 100), RECT{0, 0, 0, 0}));
    EXPECT_TRUE(sameRect(visibleClientRect(0, 0, 25, 100), RECT{0, 0, 0, 0}));
    EXPECT_TRUE(sameRect(visibleClientRect(0, 80, 0, 100), RECT{0, 0, 0, 0}));
}

TEST(HoverGeometry, PointsAndMessagesTestHalfOpen) {
    const RECT r{10, 20, 30, 40};
    EXPECT_TRUE(rectContains(r, {10, 20}));
    EXPECT_FALSE(rectContains(r, {30, 20}));
    EXPECT_FALSE(rectContains(r, {10, 40}));
    EXPECT_TRUE(rectContains(r, {29, 39}));

    EXPECT_TRUE(messagePointInside(MAKELPARAM(0, 0), 80, 25));
    EXPECT_TRUE(messagePointInside(MAKELPARAM(79, 24), 80, 25));
    EXPECT_FALSE(messagePointInside(MAKELPARAM(80, 10), 80, 25));
    EXPECT_FALSE(messagePointInside(MAKELPARAM(10, 25), 80, 25));
    // Left of the control: -1 reads as 65535.
    EXPECT_FALSE(messagePointInside(MAKELPARAM(static_cast<WORD>(-1), 10), 80, 25));
    EXPECT_FALSE(messagePointInside(MAKELPARAM(0, 0), 0, 25));
}

TEST(HoverGeometry, CentringHalvesTowardZero) {
    EXPECT_EQ(centeredOffset(1280, 400), 440);
    EXPECT_EQ(centeredOffset(1280, 401), 439);
    // A window larger than the screen: -1.5 becomes -1, not -2.
    EXPECT_EQ(centeredOffset(100, 103), -1);
}

TEST(ButtonFaceState, FollowsEnterPressReleaseAndLeave) {
    ButtonFaceState face;
    EXPECT_EQ(face.Face(), ButtonFace::Normal);
    EXPECT_TRUE(face.Enter(false));
    EXPECT_EQ(face.Face(), ButtonFace::MouseOver);
    EXPECT_FALSE(face.Enter(false));  // already hovered: nothing to repaint
    EXPECT_TRUE(face.Press());
    EXPECT_EQ(face.Face(), ButtonFace::Pressed);
    EXPECT_TRUE(face.ReleaseInside());
    EXPECT_EQ(face.Face(), ButtonFace::MouseOver);
    EXPECT_TRUE(face.Leave());
    EXPECT_EQ(face.Face(), ButtonFace::Normal);
    EXPECT_FALSE(face.Leave());
}

TEST(ButtonFaceState, ComingBackWhileHeldShowsThePressedFace) {
    ButtonFaceState face;
    face.Enter(false);
    face.Press();
    EXPECT_TRUE(face.Leave());  // dragged out while held
    EXPECT_EQ(face.Face(), ButtonFace::Normal);
    EXPECT_TRUE(face.Enter(true));
    EXPECT_EQ(face.Face(), ButtonFace::Pressed);
}

TEST(PieGeometry, ProgressIsClamped) {
    EXPECT_EQ(clampProgress(1.5f), 1.0f);
    EXPECT_EQ(clampProgress(-0.2f), 0.0f);
    EXPECT_EQ(clampProgress(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(clampProgress(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_EQ(clampProgress(0.25f), 0.25f);
}

TEST(PieGeometry, SliceStartsAtTwelveAndGrowsClockwise) {
    EXPECT_FLOAT_EQ(pieLayout(25, 25, 2, 0.0f).sweepAngle, 0.0f);
    EXPECT_FLOAT_EQ(pieLayout(25, 25, 2, 0.25f).sweepAngle, 90.0f);
    EXPECT_FLOAT_EQ(pieLayout(25, 25, 2, 1.0f).sweepAngle, 360.0f);
    EXPECT_FLOAT_EQ(pieLayout(25, 25, 2, 7.0f).sweepAngle, 360.0f);
    EXPECT_FLOAT_EQ(pieLayout(25, 25, 2, 0.5f).startAngle, -90.0f);
}

TEST(PatternPhase, OneRowOfScrollingMovesToTheNextBrush) {
    EXPECT_EQ(patternBrushIndex(0, 4), 0);
    EXPECT_EQ(patternBrushIndex(1, 4), 1);
    EXPECT_EQ(patternBrushIndex(3, 4), 3);
    EXPECT_EQ(patternBrushIndex(4, 4), 0);
    EXPECT_EQ(patternBrushIndex(1001, 4), 1);
    EXPECT_EQ(patternBrushIndex(5, 2), 1);
    // A pattern taller than four rows has no brush for phase 4 and on: the brush stays.
    EXPECT_EQ(patternBrushIndex(4, 6), -1);
    EXPECT_EQ(patternBrushIndex(6, 6), 0);
    // No pattern height: no division, no brush.
    EXPECT_EQ(patternBrushIndex(3, 0), -1);
}

TEST(PatternPhase, TilesReachingIntoTheClipBoxAreLeftOut) {
    const RECT clip{0, 100, 500, 200};
    EXPECT_TRUE(tileReachesClip(clip, RECT{10, 150, 60, 250}));
    EXPECT_TRUE(tileReachesClip(clip, RECT{10, 50, 60, 101}));
    EXPECT_FALSE(tileReachesClip(clip, RECT{10, 50, 60, 100}));  // ends where the clip box begins
    EXPECT_TRUE(tileReachesClip(clip, RECT{10, 200, 60, 260}));  // touches its bottom edge
    EXPECT_FALSE(tileReachesClip(clip, RECT{10, 201, 60, 260}));
    EXPECT_FALSE(tileReachesClip(clip, RECT{501, 150, 560, 160}));
}

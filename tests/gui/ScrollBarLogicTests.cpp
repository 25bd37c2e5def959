// The custom scroll bar's window-free logic: where its parts lie, which part a point hits, the
// thumb's position arithmetic, and the press, repeat, drag and hot-part state machine.
#include "gui/ScrollBarLayout.h"
#include "gui/ScrollBarTracker.h"
#include <gtest/gtest.h>

using namespace gui;

namespace {

ScrollBarValues values(int minimum, int maximum, int page, int position) {
    ScrollBarValues v;
    v.Minimum = minimum;
    v.Maximum = maximum;
    v.Page = page;
    v.Position = position;
    return v;
}

// A 16 x 200 bar with 16-pixel arrows: the track runs from 16 to 184 (168 pixels).
ScrollBarLayout layoutOf(const ScrollBarValues& v, int height = 200) {
    return LayOutScrollBar(RECT{0, 0, 16, height}, ScrollBarMetrics{16, 8}, v);
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

TEST(ScrollBarLayout, PartsTileTheBarFromTopToBottom) {
    const ScrollBarLayout l = layoutOf(values(0, 99, 10, 45));
    EXPECT_EQ(rectText(l.UpArrow), "0,0,16,16");
    EXPECT_EQ(rectText(l.DownArrow), "0,184,16,200");
    EXPECT_EQ(rectText(l.Track), "0,16,16,184");
    // The thumb is page / range of the track: 168 * 10 / 100 = 16.8, rounded.
    EXPECT_EQ(l.ThumbLength(), 17);
    EXPECT_EQ(l.TrackAbove.top, 16);
    EXPECT_EQ(l.TrackAbove.bottom, l.Thumb.top);
    EXPECT_EQ(l.TrackBelow.top, l.Thumb.bottom);
    EXPECT_EQ(l.TrackBelow.bottom, 184);
    // Position 45 of 0..90 is half way along the travel of 151 pixels.
    EXPECT_EQ(l.Thumb.top, 16 + 76);
}

TEST(ScrollBarLayout, ThumbReachesBothEndsOfTheTrack) {
    const ScrollBarLayout top = layoutOf(values(0, 99, 10, 0));
    EXPECT_EQ(top.Thumb.top, 16);
    EXPECT_TRUE(sameRect(top.TrackAbove, RECT{0, 16, 16, 16}));
    const ScrollBarLayout bottom = layoutOf(values(0, 99, 10, 90));
    EXPECT_EQ(bottom.Thumb.bottom, 184);
    EXPECT_EQ(bottom.TrackBelow.top, bottom.TrackBelow.bottom);
    // A position beyond the last one draws as the last one.
    EXPECT_EQ(layoutOf(values(0, 99, 10, 500)).Thumb.bottom, 184);
}

TEST(ScrollBarLayout, ThumbSizeForEmptyAndTinyPages) {
    // No page: a thumb as long as an arrow, as the system bar draws it.
    EXPECT_EQ(layoutOf(values(0, 100, 0, 0)).ThumbLength(), 16);
    // A page of 1 in a million still leaves a thumb that can be grabbed.
    EXPECT_EQ(layoutOf(values(0, 999999, 1, 0)).ThumbLength(), 8);
}

TEST(ScrollBarLayout, NothingToScrollMeansNoThumb) {
    const ScrollBarLayout l = layoutOf(values(0, 99, 100, 0));
    EXPECT_FALSE(l.HasThumb());
    EXPECT_TRUE(sameRect(l.TrackAbove, l.Track));
    EXPECT_EQ(l.HitTest({8, 100}), ScrollBarPart::TrackAbove);
    EXPECT_FALSE(values(5, 5, 0, 5).Scrollable());
}

TEST(ScrollBarLayout, ShortBarsShareTheirHeightBetweenTheArrows) {
    const ScrollBarLayout l = layoutOf(values(0, 99, 10, 0), 20);
    EXPECT_EQ(rectText(l.UpArrow), "0,0,16,10");
    EXPECT_EQ(rectText(l.DownArrow), "0,10,16,20");
    EXPECT_FALSE(l.HasThumb());
    EXPECT_EQ(l.HitTest({8, 9}), ScrollBarPart::UpArrow);
    EXPECT_EQ(l.HitTest({8, 10}), ScrollBarPart::DownArrow);
    // A track shorter than the smallest thumb shows none.
    EXPECT_FALSE(layoutOf(values(0, 99, 10, 0), 38).HasThumb());
    EXPECT_TRUE(layoutOf(values(0, 99, 10, 0), 40).HasThumb());
}

TEST(ScrollBarLayout, HitTestingFindsEachPartAndItsEdges) {
    const ScrollBarLayout l = layoutOf(values(0, 99, 10, 45));
    EXPECT_EQ(l.HitTest({0, 0}), ScrollBarPart::UpArrow);
    EXPECT_EQ(l.HitTest({15, 15}), ScrollBarPart::UpArrow);
    EXPECT_EQ(l.HitTest({8, 16}), ScrollBarPart::TrackAbove);
    EXPECT_EQ(l.HitTest({8, l.Thumb.top - 1}), ScrollBarPart::TrackAbove);
    EXPECT_EQ(l.HitTest({8, l.Thumb.top}), ScrollBarPart::Thumb);
    EXPECT_EQ(l.HitTest({8, l.Thumb.bottom - 1}), ScrollBarPart::Thumb);
    EXPECT_EQ(l.HitTest({8, l.Thumb.bottom}), ScrollBarPart::TrackBelow);
    EXPECT_EQ(l.HitTest({8, 183}), ScrollBarPart::TrackBelow);
    EXPECT_EQ(l.HitTest({8, 184}), ScrollBarPart::DownArrow);
    EXPECT_EQ(l.HitTest({8, 199}), ScrollBarPart::DownArrow);
    // Right and bottom edges lie outside, as do points left of or above the bar.
    EXPECT_EQ(l.HitTest({16, 100}), ScrollBarPart::None);
    EXPECT_EQ(l.HitTest({8, 200}), ScrollBarPart::None);
    EXPECT_EQ(l.HitTest({-1, 100}), ScrollBarPart::None);
    EXPECT_EQ(l.HitTest({8, -1}), ScrollBarPart::None);
}

TEST(ScrollBarLayout, HitTestingInABarOffsetInItsWindow) {
    const ScrollBarLayout l =
        LayOutScrollBar(RECT{84, 2, 100, 102}, ScrollBarMetrics{16, 8}, values(0, 9, 5, 0));
    EXPECT_EQ(l.HitTest({84, 2}), ScrollBarPart::UpArrow);
    EXPECT_EQ(l.HitTest({83, 2}), ScrollBarPart::None);
    EXPECT_EQ(l.HitTest({99, 101}), ScrollBarPart::DownArrow);
    EXPECT_EQ(l.HitTest({90, 18}), ScrollBarPart::Thumb);
}

TEST(ScrollBarLayout, ThumbPositionsRoundTripWhenPixelsOutnumberPositions) {
    const ScrollBarValues v = values(-20, 79, 10, 0);
    for (int position = -20; position <= v.MaximumPosition(); ++position) {
        ScrollBarValues at = v;
        at.Position = position;
        const ScrollBarLayout l = layoutOf(at);
        EXPECT_EQ(PositionForThumb(l, at, l.Thumb.top), position);
    }
}

TEST(ScrollBarLayout, LargeRangesNeitherOverflowNorMissTheLastPosition) {
    const ScrollBarValues v = values(0, 2000000000, 1000, 2000000000);
    const ScrollBarLayout l = layoutOf(v);
    EXPECT_EQ(l.Thumb.bottom, 184);
    EXPECT_EQ(PositionForThumb(l, v, 184), v.MaximumPosition());
    EXPECT_EQ(PositionForThumb(l, v, 16), 0);
    EXPECT_EQ(PositionForThumb(l, v, -50), 0);
}

TEST(ScrollBarValues, ScrollInformationIsAppliedAsTheSystemDoes) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 49;
    info.nPage = 80;  // more than the range: the page becomes the range
    info.nPos = 30;
    ScrollBarValues v = ApplyScrollInfo(ScrollBarValues{}, info);
    EXPECT_EQ(v.Page, 50);
    EXPECT_EQ(v.Position, 0);
    EXPECT_FALSE(v.Scrollable());

    info.fMask = SIF_PAGE | SIF_POS;
    info.nPage = 10;
    info.nPos = 55;  // beyond the last position 40
    v = ApplyScrollInfo(v, info);
    EXPECT_EQ(v.Maximum, 49);
    EXPECT_EQ(v.Position, 40);

    info.fMask = SIF_POS;
    info.nPos = -3;
    EXPECT_EQ(ApplyScrollInfo(v, info).Position, 0);

    // A reversed range is empty; shrinking the range pulls the position back.
    info.fMask = SIF_RANGE;
    info.nMin = 10;
    info.nMax = 5;
    v = ApplyScrollInfo(v, info);
    EXPECT_EQ(v.Minimum, 10);
    EXPECT_EQ(v.Maximum, 10);
    EXPECT_EQ(v.Position, 10);
}

// ---- the state machine

namespace {

class ScrollBarTrackerTest : public ::testing::Test {
protected:
    ScrollBarLayout layout() const { return layoutOf(v); }
    ScrollBarStep press(int y) { return tracker.Press({8, y}, layout(), v); }
    ScrollBarStep move(int y, int x = 8) { return tracker.Move({x, y}, layout(), v); }
    ScrollBarStep tick() { return tracker.Tick(layout(), v); }
    ScrollBarStep release() { return tracker.Release(layout(), v); }
    unsigned state(ScrollBarPart part) const { return tracker.PartState(part, v); }

    ScrollBarValues v = values(0, 99, 10, 45);
    ScrollBarTracker tracker;
};

using Messages = std::vector<ScrollBarMessage>;

}  // namespace

TEST_F(ScrollBarTrackerTest, ArrowScrollsAtOnceThenRepeatsWhileHeldOnIt) {
    ScrollBarStep step = press(5);
    EXPECT_EQ(step.Messages, (Messages{{SB_LINEUP, 0}}));
    EXPECT_EQ(step.Timer, ScrollBarTimer::FirstDelay);
    EXPECT_TRUE(step.Redraw);
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsPressed);
    EXPECT_EQ(state(ScrollBarPart::DownArrow), sbsNormal);

    step = tick();
    EXPECT_EQ(step.Messages, (Messages{{SB_LINEUP, 0}}));
    EXPECT_EQ(step.Timer, ScrollBarTimer::Repeat);

    // Off the arrow: it pops up and the repeat pauses, without ending the press.
    step = move(100);
    EXPECT_TRUE(step.Redraw);
    EXPECT_TRUE(step.Messages.empty());
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsNormal);
    step = tick();
    EXPECT_TRUE(step.Messages.empty());
    EXPECT_EQ(step.Timer, ScrollBarTimer::Repeat);

    move(3);
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsPressed);
    EXPECT_EQ(tick().Messages, (Messages{{SB_LINEUP, 0}}));

    step = release();
    EXPECT_EQ(step.Messages, (Messages{{SB_ENDSCROLL, 0}}));
    EXPECT_EQ(step.Timer, ScrollBarTimer::Stop);
    EXPECT_FALSE(tracker.Tracking());
    EXPECT_TRUE(release().Messages.empty());
}

TEST_F(ScrollBarTrackerTest, EachPartSendsItsOwnCode) {
    EXPECT_EQ(press(190).Messages, (Messages{{SB_LINEDOWN, 0}}));
    release();
    EXPECT_EQ(press(20).Messages, (Messages{{SB_PAGEUP, 0}}));
    release();
    EXPECT_EQ(press(180).Messages, (Messages{{SB_PAGEDOWN, 0}}));
    release();
    // A press beside the bar does nothing.
    EXPECT_TRUE(tracker.Press({30, 100}, layout(), v).Messages.empty());
    EXPECT_FALSE(tracker.Tracking());
}

TEST_F(ScrollBarTrackerTest, PagingStopsWhenTheThumbReachesThePointer) {
    v.Position = 0;
    press(150);
    // The window pages down and sets the position; the thumb comes nearer the pointer.
    for (int page = 0; page < 20; ++page) {
        v.Position = v.Clamp(v.Position + 10);
        const ScrollBarStep step = tick();
        if (step.Messages.empty())
            break;
        EXPECT_EQ(step.Messages, (Messages{{SB_PAGEDOWN, 0}}));
    }
    const ScrollBarLayout l = layout();
    EXPECT_LE(l.Thumb.top, 150);
    EXPECT_GT(l.Thumb.bottom, 150);
    EXPECT_LT(v.Position, v.MaximumPosition());
    EXPECT_TRUE(tick().Messages.empty());
}

TEST_F(ScrollBarTrackerTest, ThumbDragReportsTrackPositionsAndTheLastOneOnRelease) {
    v.Position = 0;
    const ScrollBarLayout start = layout();
    const int grab = start.Thumb.top + 5;
    ScrollBarStep step = press(grab);
    EXPECT_TRUE(step.Messages.empty());
    EXPECT_EQ(step.Timer, ScrollBarTimer::Keep);
    EXPECT_TRUE(tracker.DraggingThumb());
    EXPECT_EQ(state(ScrollBarPart::Thumb), sbsPressed);

    // 151 pixels of travel for 90 positions: 50 pixels are 29.8 positions.
    step = move(grab + 50);
    EXPECT_EQ(step.Messages, (Messages{{SB_THUMBTRACK, 30}}));
    EXPECT_TRUE(step.Redraw);
    EXPECT_EQ(tracker.TrackPosition(v), 30);
    EXPECT_EQ(tracker.DisplayLayout(layout()).Thumb.top, start.Thumb.top + 50);
    // The window did not take the position (yet): the bar's own position is unchanged.
    EXPECT_EQ(layout().Thumb.top, start.Thumb.top);

    // A pixel that stands for the same position sends nothing.
    step = move(grab + 51);
    EXPECT_TRUE(step.Messages.empty());
    EXPECT_TRUE(step.Redraw);

    // Far beyond the end, and sideways off the bar, the thumb stays at the end.
    step = move(grab + 1000, 300);
    EXPECT_EQ(step.Messages, (Messages{{SB_THUMBTRACK, 90}}));
    EXPECT_EQ(tracker.DisplayLayout(layout()).Thumb.bottom, 184);

    step = release();
    EXPECT_EQ(step.Messages, (Messages{{SB_THUMBPOSITION, 90}, {SB_ENDSCROLL, 0}}));
    EXPECT_FALSE(tracker.DraggingThumb());
    EXPECT_EQ(tracker.TrackPosition(v), v.Position);
}

TEST_F(ScrollBarTrackerTest, ThumbPressAndReleaseWithoutMovingReportsThePosition) {
    press(layout().Thumb.top + 1);
    EXPECT_EQ(tick().Timer, ScrollBarTimer::Stop);
    EXPECT_EQ(release().Messages, (Messages{{SB_THUMBPOSITION, 45}, {SB_ENDSCROLL, 0}}));
}

TEST_F(ScrollBarTrackerTest, DisabledPartsTakeNoPress) {
    tracker.SetDisabledArrows(ESB_DISABLE_UP);
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsDisabled);
    EXPECT_EQ(state(ScrollBarPart::DownArrow), sbsNormal);
    EXPECT_TRUE(press(5).Messages.empty());
    EXPECT_EQ(press(190).Messages, (Messages{{SB_LINEDOWN, 0}}));
    release();

    tracker.SetDisabledArrows(ESB_DISABLE_BOTH);
    for (ScrollBarPart part : {ScrollBarPart::UpArrow, ScrollBarPart::DownArrow, ScrollBarPart::TrackAbove,
                               ScrollBarPart::TrackBelow, ScrollBarPart::Thumb})
        EXPECT_EQ(state(part), sbsDisabled) << static_cast<int>(part);
    EXPECT_TRUE(press(190).Messages.empty());
    EXPECT_TRUE(press(layout().Thumb.top).Messages.empty());
    EXPECT_FALSE(tracker.Tracking());

    tracker.SetDisabledArrows(ESB_ENABLE_BOTH);
    tracker.SetWindowEnabled(false);
    EXPECT_EQ(state(ScrollBarPart::Thumb), sbsDisabled);
    tracker.SetWindowEnabled(true);
    v.Page = 100;
    EXPECT_EQ(state(ScrollBarPart::TrackAbove), sbsDisabled);
}

TEST_F(ScrollBarTrackerTest, HotPartFollowsThePointerOnlyWithHotTracking) {
    const int thumb = layout().Thumb.top + 2;
    EXPECT_FALSE(move(thumb).Redraw);
    EXPECT_EQ(state(ScrollBarPart::Thumb), sbsNormal);

    // The part under the pointer is known all along; turning hot tracking on shows it.
    tracker.SetHotTracking(true);
    EXPECT_EQ(state(ScrollBarPart::Thumb), sbsHot);
    EXPECT_FALSE(move(thumb + 1).Redraw);
    EXPECT_TRUE(move(5).Redraw);
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsHot);
    EXPECT_EQ(state(ScrollBarPart::Thumb), sbsNormal);

    // While a part is held nothing is hot; after the release the part under the pointer is.
    press(5);
    EXPECT_EQ(state(ScrollBarPart::UpArrow), sbsPressed);
    move(190);
    EXPECT_EQ(state(ScrollBarPart::DownArrow), sbsNormal);
    release();
    EXPECT_EQ(state(ScrollBarPart::DownArrow), sbsHot);

    EXPECT_TRUE(tracker.Leave().Redraw);
    EXPECT_EQ(tracker.HotPart(), ScrollBarPart::None);

    // A disabled part is never hot.
    tracker.SetDisabledArrows(ESB_DISABLE_DOWN);
    move(190);
    EXPECT_EQ(state(ScrollBarPart::DownArrow), sbsDisabled);
    EXPECT_EQ(tracker.HotPart(), ScrollBarPart::None);
}

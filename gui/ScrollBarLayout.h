#pragma once
// Where the parts of a vertical scroll bar lie: the two arrows, the track and the thumb on it,
// and which part lies under a point. The values follow the system's scroll information: an
// inclusive range Minimum..Maximum, a page (0: a thumb of the arrows' size) and a position that
// goes from Minimum to Maximum - Page + 1. Pure logic.
#include <windows.h>

namespace gui {

// The parts as the bar's drawing notifications number them (the scroll codes they send).
enum class ScrollBarPart : int {
    None = -1,
    UpArrow = 0,     // SB_LINEUP
    DownArrow = 1,   // SB_LINEDOWN
    TrackAbove = 2,  // SB_PAGEUP: the track between the up arrow and the thumb
    TrackBelow = 3,  // SB_PAGEDOWN: the track between the thumb and the down arrow
    Thumb = 5,       // SB_THUMBTRACK
};

struct ScrollBarValues {
    int Minimum = 0;
    int Maximum = 100;
    int Page = 0;
    int Position = 0;

    // The largest position a scroll may reach (never below Minimum).
    int MaximumPosition() const;
    // True when the page does not show the whole range, so there is something to scroll.
    bool Scrollable() const { return MaximumPosition() > Minimum; }
    int Clamp(int position) const;
};

// Applies the fields of a SCROLLINFO that fMask names the way the system does: a reversed range
// becomes empty, the page is kept within 0..range and the position within the reachable ones.
ScrollBarValues ApplyScrollInfo(ScrollBarValues values, const SCROLLINFO& info);

struct ScrollBarMetrics {
    int ArrowLength = 16;        // height of an arrow cell (and of a thumb with Page 0)
    int MinimumThumbLength = 8;  // a shorter track shows no thumb
};

struct ScrollBarLayout {
    RECT Bar{};
    RECT UpArrow{};
    RECT DownArrow{};
    RECT Track{};  // between the arrows
    RECT Thumb{};  // empty when there is no thumb
    RECT TrackAbove{};
    RECT TrackBelow{};

    bool HasThumb() const { return Thumb.bottom > Thumb.top; }
    int ThumbLength() const { return Thumb.bottom - Thumb.top; }
    // The distance the thumb can travel.
    int ThumbTravel() const { return (Track.bottom - Track.top) - ThumbLength(); }
    RECT PartRect(ScrollBarPart part) const;
    // The part under a point (bar coordinates as Bar), None outside the bar.
    ScrollBarPart HitTest(POINT point) const;
    // The same layout with the thumb moved to start at thumbTop (kept within the track).
    ScrollBarLayout WithThumbAt(int thumbTop) const;
};

// Lays the parts out in bar. The thumb stands for values.Position; with nothing to scroll or
// too short a track there is no thumb and the track is all TrackAbove.
ScrollBarLayout LayOutScrollBar(const RECT& bar, const ScrollBarMetrics& metrics,
                                const ScrollBarValues& values);

// The position a thumb starting at thumbTop stands for (rounded to the nearest).
int PositionForThumb(const ScrollBarLayout& layout, const ScrollBarValues& values, int thumbTop);

}  // namespace gui

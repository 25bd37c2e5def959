#include "gui/ScrollBarLayout.h"
#include <algorithm>
#include <cstdint>

namespace gui {

namespace {

RECT makeRect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}

bool contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// a * b / c rounded to the nearest, in 64 bits so that large ranges do not overflow.
int64_t scaleRounded(int64_t a, int64_t b, int64_t c) {
    if (c == 0)
        return 0;
    const int64_t product = a * b;
    return product >= 0 ? (product + c / 2) / c : -((-product + c / 2) / c);
}

}  // namespace

int ScrollBarValues::MaximumPosition() const {
    const int64_t last = Page > 0 ? int64_t{Maximum} - Page + 1 : int64_t{Maximum};
    return static_cast<int>(std::max<int64_t>(last, Minimum));
}

int ScrollBarValues::Clamp(int position) const {
    return std::clamp(position, Minimum, MaximumPosition());
}

ScrollBarValues ApplyScrollInfo(ScrollBarValues values, const SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        values.Minimum = info.nMin;
        values.Maximum = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        values.Page = static_cast<int>(std::min<uint64_t>(info.nPage, 0x7FFFFFFF));
    const int64_t extent = int64_t{values.Maximum} - values.Minimum + 1;
    values.Page = static_cast<int>(std::min<int64_t>(values.Page, extent));
    if (info.fMask & SIF_POS)
        values.Position = info.nPos;
    values.Position = values.Clamp(values.Position);
    return values;
}

RECT ScrollBarLayout::PartRect(ScrollBarPart part) const {
    switch (part) {
    case ScrollBarPart::UpArrow:
        return UpArrow;
    case ScrollBarPart::DownArrow:
        return DownArrow;
    case ScrollBarPart::TrackAbove:
        return TrackAbove;
    case ScrollBarPart::TrackBelow:
        return TrackBelow;
    case ScrollBarPart::Thumb:
        return Thumb;
    case ScrollBarPart::None:
        break;
    }
    return RECT{};
}

ScrollBarPart ScrollBarLayout::HitTest(POINT point) const {
    if (!contains(Bar, point))
        return ScrollBarPart::None;
    // The thumb first: it lies on the track.
    for (ScrollBarPart part : {ScrollBarPart::Thumb, ScrollBarPart::UpArrow, ScrollBarPart::DownArrow,
                               ScrollBarPart::TrackAbove, ScrollBarPart::TrackBelow}) {
        if (contains(PartRect(part), point))
            return part;
    }
    return ScrollBarPart::None;
}

ScrollBarLayout ScrollBarLayout::WithThumbAt(int thumbTop) const {
    if (!HasThumb())
        return *this;
    ScrollBarLayout moved = *this;
    const int length = ThumbLength();
    const int top =
        std::clamp(thumbTop, static_cast<int>(Track.top), static_cast<int>(Track.bottom) - length);
    moved.Thumb = makeRect(Thumb.left, top, Thumb.right, top + length);
    moved.TrackAbove = makeRect(Track.left, Track.top, Track.right, top);
    moved.TrackBelow = makeRect(Track.left, top + length, Track.right, Track.bottom);
    return moved;
}

ScrollBarLayout LayOutScrollBar(const RECT& bar, const ScrollBarMetrics& metrics,
                                const ScrollBarValues& values) {
    ScrollBarLayout layout;
    layout.Bar = bar;
    const int height = std::max(0, static_cast<int>(bar.bottom - bar.top));
    // A bar shorter than two arrows shares its height between them and has no track.
    const int arrow = std::min(std::max(0, metrics.ArrowLength), height / 2);
    layout.UpArrow = makeRect(bar.left, bar.top, bar.right, bar.top + arrow);
    layout.DownArrow = makeRect(bar.left, bar.bottom - arrow, bar.right, bar.bottom);
    layout.Track = makeRect(bar.left, bar.top + arrow, bar.right, bar.bottom - arrow);
    layout.TrackAbove = layout.Track;
    layout.TrackBelow = makeRect(bar.left, layout.Track.bottom, bar.right, layout.Track.bottom);
    layout.Thumb = makeRect(bar.left, layout.Track.bottom, bar.right, layout.Track.bottom);

    const int track = layout.Track.bottom - layout.Track.top;
    const int minimum = std::max(1, metrics.MinimumThumbLength);
    if (!values.Scrollable() || track < minimum)
        return layout;

    const int64_t extent = int64_t{values.Maximum} - values.Minimum + 1;
    int64_t length = values.Page > 0 ? scaleRounded(track, values.Page, extent) : metrics.ArrowLength;
    length = std::clamp<int64_t>(length, minimum, track);
    const int travel = track - static_cast<int>(length);
    const int64_t span = int64_t{values.MaximumPosition()} - values.Minimum;
    const int64_t offset =
        scaleRounded(int64_t{values.Clamp(values.Position)} - values.Minimum, travel, span);
    const int top = layout.Track.top + static_cast<int>(offset);
    layout.Thumb = makeRect(bar.left, top, bar.right, top + static_cast<int>(length));
    return layout.WithThumbAt(top);
}

int PositionForThumb(const ScrollBarLayout& layout, const ScrollBarValues& values, int thumbTop) {
    const int travel = layout.ThumbTravel();
    if (!layout.HasThumb() || travel <= 0)
        return values.Clamp(values.Position);
    const int offset = std::clamp(thumbTop - static_cast<int>(layout.Track.top), 0, travel);
    const int64_t span = int64_t{values.MaximumPosition()} - values.Minimum;
    return values.Clamp(static_cast<int>(values.Minimum + scaleRounded(offset, span, travel)));
}

}  // namespace gui

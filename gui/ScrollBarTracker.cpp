#include "gui/ScrollBarTracker.h"

namespace gui {

namespace {

// The scroll code of an arrow or track part: the parts are numbered by their codes.
int scrollCode(ScrollBarPart part) {
    return static_cast<int>(part);
}

}  // namespace

bool ScrollBarTracker::BarDisabled(const ScrollBarValues& values) const {
    return !windowEnabled_ || disabledArrows_ == ESB_DISABLE_BOTH || !values.Scrollable();
}

bool ScrollBarTracker::PartEnabled(ScrollBarPart part, const ScrollBarValues& values) const {
    if (part == ScrollBarPart::None || BarDisabled(values))
        return false;
    if (part == ScrollBarPart::UpArrow)
        return (disabledArrows_ & ESB_DISABLE_UP) == 0;
    if (part == ScrollBarPart::DownArrow)
        return (disabledArrows_ & ESB_DISABLE_DOWN) == 0;
    return true;
}

unsigned ScrollBarTracker::PartState(ScrollBarPart part, const ScrollBarValues& values) const {
    if (!PartEnabled(part, values))
        return sbsDisabled;
    if (Tracking())
        return part == pressed_ && pressedShown_ ? sbsPressed : sbsNormal;
    return hotTracking_ && part == hot_ ? sbsHot : sbsNormal;
}

bool ScrollBarTracker::pointerOnPressedPart(const ScrollBarLayout& layout) const {
    return layout.HitTest(pointer_) == pressed_;
}

ScrollBarPart ScrollBarTracker::hotPartAt(POINT point, const ScrollBarLayout& layout,
                                          const ScrollBarValues& values) const {
    const ScrollBarPart part = layout.HitTest(point);
    return PartEnabled(part, values) ? part : ScrollBarPart::None;
}

ScrollBarStep ScrollBarTracker::Press(POINT point, const ScrollBarLayout& layout,
                                      const ScrollBarValues& values) {
    ScrollBarStep step;
    if (Tracking())
        return step;
    const ScrollBarPart part = layout.HitTest(point);
    if (!PartEnabled(part, values))
        return step;
    pointer_ = point;
    pressed_ = part;
    pressedShown_ = true;
    hot_ = ScrollBarPart::None;
    step.Redraw = true;
    if (part == ScrollBarPart::Thumb) {
        grabOffset_ = point.y - layout.Thumb.top;
        thumbTop_ = layout.Thumb.top;
        trackPosition_ = values.Position;
        return step;
    }
    step.Messages.push_back({scrollCode(part), 0});
    step.Timer = ScrollBarTimer::FirstDelay;
    return step;
}

ScrollBarStep ScrollBarTracker::Move(POINT point, const ScrollBarLayout& layout,
                                     const ScrollBarValues& values) {
    ScrollBarStep step;
    pointer_ = point;
    if (DraggingThumb()) {
        const ScrollBarLayout moved = layout.WithThumbAt(point.y - grabOffset_);
        if (moved.Thumb.top != thumbTop_) {
            thumbTop_ = moved.Thumb.top;
            step.Redraw = true;
        }
        const int position = PositionForThumb(layout, values, thumbTop_);
        if (position != trackPosition_) {
            trackPosition_ = position;
            step.Messages.push_back({SB_THUMBTRACK, position});
        }
        return step;
    }
    if (Tracking()) {
        const bool shown = pointerOnPressedPart(layout);
        step.Redraw = shown != pressedShown_;
        pressedShown_ = shown;
        return step;
    }
    const ScrollBarPart hot = hotPartAt(point, layout, values);
    step.Redraw = hotTracking_ && hot != hot_;
    hot_ = hot;
    return step;
}

ScrollBarStep ScrollBarTracker::Release(const ScrollBarLayout& layout, const ScrollBarValues& values) {
    ScrollBarStep step;
    if (!Tracking())
        return step;
    if (DraggingThumb())
        step.Messages.push_back({SB_THUMBPOSITION, trackPosition_});
    step.Messages.push_back({SB_ENDSCROLL, 0});
    step.Timer = ScrollBarTimer::Stop;
    step.Redraw = true;
    pressed_ = ScrollBarPart::None;
    pressedShown_ = false;
    hot_ = hotPartAt(pointer_, layout, values);
    return step;
}

ScrollBarStep ScrollBarTracker::Leave() {
    ScrollBarStep step;
    if (Tracking())
        return step;
    step.Redraw = hotTracking_ && hot_ != ScrollBarPart::None;
    hot_ = ScrollBarPart::None;
    return step;
}

ScrollBarStep ScrollBarTracker::Tick(const ScrollBarLayout& layout, const ScrollBarValues& values) {
    ScrollBarStep step;
    if (!Tracking() || DraggingThumb()) {
        step.Timer = ScrollBarTimer::Stop;
        return step;
    }
    step.Timer = ScrollBarTimer::Repeat;
    // A page repeat stops once the thumb has reached the pointer; an arrow waits while the
    // pointer is off it and goes on when it comes back.
    const bool shown = pointerOnPressedPart(layout);
    if (shown != pressedShown_) {
        pressedShown_ = shown;
        step.Redraw = true;
    }
    if (shown && PartEnabled(pressed_, values))
        step.Messages.push_back({scrollCode(pressed_), 0});
    return step;
}

}  // namespace gui

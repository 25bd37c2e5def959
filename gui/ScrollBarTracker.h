#pragma once
// What a vertical scroll bar does with the mouse: the part under the pointer (hot), a press on
// an arrow or the track that scrolls at once and then repeats on a timer while the pointer stays
// on that part, and a thumb drag that reports track positions and, on release, the final one.
// The window code feeds it pointer events and timer ticks with the bar's current layout and
// values, sends the scroll messages it asks for, runs the timer and redraws. Pure logic.
#include "gui/ScrollBarLayout.h"
#include <vector>

namespace gui {

// Drawing states of a part (the custom-draw item states).
enum ScrollBarPartState : unsigned {
    sbsNormal = 0,
    sbsPressed = 0x0001,   // CDIS_SELECTED
    sbsDisabled = 0x0004,  // CDIS_DISABLED
    sbsHot = 0x0040,       // CDIS_HOT
};

// One WM_VSCROLL to send: a scroll code (SB_LINEUP, SB_THUMBTRACK, ...) and, for the thumb codes,
// the position.
struct ScrollBarMessage {
    int Code = SB_ENDSCROLL;
    int Position = 0;
    bool operator==(const ScrollBarMessage& other) const {
        return Code == other.Code && Position == other.Position;
    }
};

enum class ScrollBarTimer {
    Keep,        // leave the timer as it is
    FirstDelay,  // start it with the delay before the first repeat
    Repeat,      // (re)start it with the repeat interval
    Stop,
};

struct ScrollBarStep {
    std::vector<ScrollBarMessage> Messages;  // in the order to send
    ScrollBarTimer Timer = ScrollBarTimer::Keep;
    bool Redraw = false;
};

class ScrollBarTracker {
public:
    // Hot parts are shown only with hot tracking on.
    void SetHotTracking(bool on) { hotTracking_ = on; }
    bool HotTracking() const { return hotTracking_; }
    // ESB_DISABLE_UP / ESB_DISABLE_DOWN (ESB_DISABLE_BOTH disables the whole bar).
    void SetDisabledArrows(unsigned flags) { disabledArrows_ = flags & ESB_DISABLE_BOTH; }
    unsigned DisabledArrows() const { return disabledArrows_; }
    // The window itself is enabled.
    void SetWindowEnabled(bool enabled) { windowEnabled_ = enabled; }

    // The whole bar takes no input: both arrows or the window disabled, or nothing to scroll.
    bool BarDisabled(const ScrollBarValues& values) const;
    bool PartEnabled(ScrollBarPart part, const ScrollBarValues& values) const;
    // ScrollBarPartState flags of a part as it is to be drawn now.
    unsigned PartState(ScrollBarPart part, const ScrollBarValues& values) const;

    // Pointer events, in the layout's coordinates.
    ScrollBarStep Press(POINT point, const ScrollBarLayout& layout, const ScrollBarValues& values);
    ScrollBarStep Move(POINT point, const ScrollBarLayout& layout, const ScrollBarValues& values);
    ScrollBarStep Release(const ScrollBarLayout& layout, const ScrollBarValues& values);
    // The pointer left the bar while no button is held.
    ScrollBarStep Leave();
    // The repeat timer fired.
    ScrollBarStep Tick(const ScrollBarLayout& layout, const ScrollBarValues& values);
    // The press ends without the pointer (capture lost, bar disabled): as a release.
    ScrollBarStep Cancel(const ScrollBarLayout& layout, const ScrollBarValues& values) {
        return Release(layout, values);
    }

    bool Tracking() const { return pressed_ != ScrollBarPart::None; }
    bool DraggingThumb() const { return pressed_ == ScrollBarPart::Thumb; }
    ScrollBarPart PressedPart() const { return pressed_; }
    ScrollBarPart HotPart() const { return hot_; }
    // The position the dragged thumb stands for; outside a drag, values.Position.
    int TrackPosition(const ScrollBarValues& values) const {
        return DraggingThumb() ? trackPosition_ : values.Position;
    }
    // The layout to draw: during a drag the thumb follows the pointer.
    ScrollBarLayout DisplayLayout(const ScrollBarLayout& layout) const {
        return DraggingThumb() ? layout.WithThumbAt(thumbTop_) : layout;
    }

private:
    bool pointerOnPressedPart(const ScrollBarLayout& layout) const;
    ScrollBarPart hotPartAt(POINT point, const ScrollBarLayout& layout, const ScrollBarValues& values) const;

    bool hotTracking_ = false;
    unsigned disabledArrows_ = ESB_ENABLE_BOTH;
    bool windowEnabled_ = true;
    ScrollBarPart pressed_ = ScrollBarPart::None;
    ScrollBarPart hot_ = ScrollBarPart::None;
    bool pressedShown_ = false;  // the pointer is on the pressed part
    POINT pointer_{};
    int grabOffset_ = 0;
    int thumbTop_ = 0;
    int trackPosition_ = 0;
};

}  // namespace gui

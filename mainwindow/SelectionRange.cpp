#include "mainwindow/SelectionRange.h"

ShiftClickRange shiftClickRange(int anchor, int clicked, bool shiftHeld, size_t count) {
    ShiftClickRange range;
    range.anchor = clicked;
    const bool anchored = anchor >= 0 && static_cast<size_t>(anchor) < count;
    if (!shiftHeld || !anchored || clicked < 0 || static_cast<size_t>(clicked) >= count)
        return range;
    // The walk starts at the anchor and stops short of the clicked item, which set itself.
    if (anchor < clicked) {
        range.first = static_cast<size_t>(anchor);
        range.end = static_cast<size_t>(clicked);
    } else if (anchor > clicked) {
        range.first = static_cast<size_t>(clicked) + 1;
        range.end = static_cast<size_t>(anchor) + 1;
    }
    return range;
}

#pragma once
// A Shift-click on a tile: the items between the anchor (the last item clicked without Shift) and
// the clicked one take the clicked item's new selection, and the anchor moves to the clicked item
// so the next Shift-click extends from there. Positions are those of the visible list.
#include <cstddef>

struct ShiftClickRange {
    // Positions first .. end - 1 take the clicked item's state; empty when first == end.
    size_t first = 0;
    size_t end = 0;
    int anchor = -1;  // the anchor afterwards
};

// anchor: -1 for none, or an earlier position; clicked: the clicked item's position; count: the
// size of the visible list. An anchor outside the list (it shrank meanwhile) counts as none.
ShiftClickRange shiftClickRange(int anchor, int clicked, bool shiftHeld, size_t count);

#pragma once
// Arithmetic of the hover protocol: which part of a control the pointer can be over, whether a
// mouse message lies on a control, and where a window is centred. Pure functions, no window.
#include <windows.h>

namespace controls {

// The part of a child (top, height, width in its parent's client coordinates) that lies within
// the parent's client height, in the child's own client coordinates: (0, start, width, end).
// Empty (0, 0, 0, 0) when nothing of it is visible.
RECT visibleClientRect(int top, int width, int height, int parentClientHeight);

// Left and top inclusive, right and bottom exclusive.
bool rectContains(const RECT& r, POINT p);

// A mouse message's point read as unsigned words lies within (0, 0, width, height); points left
// of or above the control read as large numbers and so lie outside.
bool messagePointInside(LPARAM lParam, int width, int height);

// The offset that centres an extent in a larger one, halved toward zero.
int centeredOffset(int outerExtent, int extent);

}  // namespace controls

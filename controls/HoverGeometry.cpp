#include "controls/HoverGeometry.h"

#include <algorithm>

namespace controls {

RECT visibleClientRect(int top, int width, int height, int parentClientHeight) {
    // Cut at both ends: a control taller than its parent's client area, scrolled partly above it,
    // must not react below the parent's bottom edge either.
    const int start = top < 0 ? -top : 0;
    const int end = std::min(height, parentClientHeight - top);
    const int visibleHeight = end - start;
    if (width < 1 || visibleHeight < 1)
        return RECT{0, 0, 0, 0};
    return RECT{0, start, width, start + visibleHeight};
}

bool rectContains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool messagePointInside(LPARAM lParam, int width, int height) {
    const unsigned x = LOWORD(lParam);
    const unsigned y = HIWORD(lParam);
    return width > 0 && height > 0 && x < static_cast<unsigned>(width) && y < static_cast<unsigned>(height);
}

int centeredOffset(int outerExtent, int extent) {
    return (outerExtent - extent) / 2;
}

}  // namespace controls

#pragma once
// Which of a parent's windowless children lies under a point: the topmost (last in z-order)
// visible one whose bounds contain the point. Pure logic, no window involved.
#include <windows.h>
#include <cstddef>
#include <functional>

namespace gui {

struct HitBox {
    RECT bounds{};  // in the parent's client coordinates; right and bottom exclusive
    bool visible = true;
    bool enabled = true;
};

// items are in z-order, bottom first. Returns the index of the hit item or -1.
// allowDisabled: disabled items can be hit too (hint and hover), else they are transparent
// to the mouse (a click on a disabled picture goes to the parent).
int TopmostHit(size_t count, const std::function<HitBox(size_t index)>& boxAt, POINT point,
               bool allowDisabled);

inline bool BoundsContain(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace gui

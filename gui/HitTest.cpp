#include "gui/HitTest.h"

namespace gui {

int TopmostHit(size_t count, const std::function<HitBox(size_t index)>& boxAt, POINT point,
               bool allowDisabled) {
    for (size_t i = count; i-- > 0;) {
        const HitBox box = boxAt(i);
        if (!box.visible || (!box.enabled && !allowDisabled))
            continue;
        if (BoundsContain(box.bounds, point))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace gui

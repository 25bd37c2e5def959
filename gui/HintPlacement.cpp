#include "gui/HintPlacement.h"

namespace gui {

RECT PlaceHintRect(SIZE hintSize, POINT cursor, int cursorHeight, const RECT& workArea) {
    int left = cursor.x;
    int top = cursor.y + cursorHeight;
    if (top + hintSize.cy > workArea.bottom)
        top = cursor.y - hintSize.cy;  // no room below: above the pointer
    if (left + hintSize.cx > workArea.right)
        left = workArea.right - hintSize.cx;
    if (left < workArea.left)
        left = workArea.left;
    if (top < workArea.top)
        top = workArea.top;
    return RECT{left, top, left + hintSize.cx, top + hintSize.cy};
}

}  // namespace gui

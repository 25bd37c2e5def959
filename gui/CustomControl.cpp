#include "gui/CustomControl.h"

namespace gui {

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::PaintWindow(HDC dc) {
    canvas_.SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas_.SetHandle(nullptr);
        throw;
    }
    canvas_.SetHandle(nullptr);
}

void TCustomControl::Paint() {}

}  // namespace gui

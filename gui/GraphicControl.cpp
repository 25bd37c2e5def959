#include "gui/GraphicControl.h"

namespace gui {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::Dispatch(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (!dc)
            return;
        // The parent saved the context's state and restores it after this control.
        canvas_.SetHandle(dc);
        try {
            Paint();
        } catch (...) {
            canvas_.SetHandle(nullptr);
            throw;
        }
        canvas_.SetHandle(nullptr);
        message.Result = 0;
        return;
    }
    TControl::Dispatch(message);
}

void TGraphicControl::Paint() {}

}  // namespace gui

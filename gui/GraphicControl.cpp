#include "gui/GraphicControl.h"
#include "gui/Win32Handles.h"

namespace gui {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner)
{
}

void TGraphicControl::Dispatch(TMessage& message)
{
    if (message.Msg == WM_PAINT) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (!dc)
            return;
        SavedDCState state(dc);
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

void TGraphicControl::Paint()
{
}

}  // namespace gui

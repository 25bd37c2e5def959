#include "controls/PanelEx.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"

namespace controls {

TPanelEx::TPanelEx(gui::TComponent* owner) : gui::TPanel(owner)
{
}

void TPanelEx::Dispatch(gui::TMessage& message)
{
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!hover_.Hovered() && messagePointInside(message.LParam, Width(), Height()))
            mouseEnter(message);
        gui::TPanel::Dispatch(message);
        return;
    case gui::CM_MOUSEENTER:
        mouseEnter(message);
        return;
    case gui::CM_MOUSELEAVE:
        hover_.Leave();
        return;
    default:
        gui::TPanel::Dispatch(message);
    }
}

void TPanelEx::mouseEnter(gui::TMessage& message)
{
    broadcastMouseLeave(this, message);
    hover_.Enter();
}

}  // namespace controls

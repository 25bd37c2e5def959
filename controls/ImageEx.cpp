#include "controls/ImageEx.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"

namespace controls {

TImageEx::TImageEx(gui::TComponent* owner) : gui::TImage(owner)
{
}

void TImageEx::Dispatch(gui::TMessage& message)
{
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!hover_.Hovered() && messagePointInside(message.LParam, Width(), Height()))
            mouseEnter(message);
        gui::TImage::Dispatch(message);
        return;
    case gui::CM_MOUSEENTER:
        mouseEnter(message);
        return;
    case gui::CM_MOUSELEAVE:
        mouseLeave();
        return;
    default:
        gui::TImage::Dispatch(message);
    }
}

void TImageEx::mouseEnter(gui::TMessage& message)
{
    broadcastMouseLeave(this, message);
    if (hover_.Enter() && OnMouseEnter)
        OnMouseEnter(this);
}

void TImageEx::mouseLeave()
{
    if (hover_.Leave() && OnMouseLeave)
        OnMouseLeave(this);
}

}  // namespace controls

#include "controls/ImageEx.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"

namespace controls {

TImageEx::TImageEx(gui::TComponent* owner) : gui::TImage(owner) {}

void TImageEx::Dispatch(gui::TMessage& message) {
    const auto onControl = [this](LPARAM point) { return messagePointInside(point, Width(), Height()); };
    if (!dispatchHover(this, message, hover_, onControl, &OnMouseEnter, &OnMouseLeave))
        gui::TImage::Dispatch(message);
}

}  // namespace controls

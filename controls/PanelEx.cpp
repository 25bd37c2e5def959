#include "controls/PanelEx.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"

namespace controls {

TPanelEx::TPanelEx(gui::TComponent* owner) : gui::TPanel(owner) {}

void TPanelEx::Dispatch(gui::TMessage& message) {
    const auto onControl = [this](LPARAM point) { return messagePointInside(point, Width(), Height()); };
    if (!dispatchHover(this, message, hover_, onControl))
        gui::TPanel::Dispatch(message);
}

}  // namespace controls

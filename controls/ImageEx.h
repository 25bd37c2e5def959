#pragma once
// TImageEx: a picture control that takes part in the hover protocol and tells about it through
// OnMouseEnter and OnMouseLeave.
#include "controls/HoverState.h"
#include "gui/Image.h"

namespace controls {

class TImageEx : public gui::TImage {
public:
    explicit TImageEx(gui::TComponent* owner);

    // Writing it fires no event.
    bool MouseOver() const { return hover_.Hovered(); }
    void SetMouseOver(bool mouseOver) { hover_.Set(mouseOver); }

    gui::TNotifyEvent OnMouseEnter;
    gui::TNotifyEvent OnMouseLeave;

    void Dispatch(gui::TMessage& message) override;

private:
    HoverFlag hover_;
};

}  // namespace controls

#pragma once
// TPanelEx: a panel that takes part in the hover protocol. Entering it tells the other controls
// of its form that the pointer left them; it has no events of its own.
#include "controls/HoverState.h"
#include "gui/Panel.h"

namespace controls {

class TPanelEx : public gui::TPanel {
public:
    explicit TPanelEx(gui::TComponent* owner);

    bool Hovered() const { return hover_.Hovered(); }

    void Dispatch(gui::TMessage& message) override;

private:
    HoverFlag hover_;
};

}  // namespace controls

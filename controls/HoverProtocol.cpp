#include "controls/HoverProtocol.h"

#include "controls/HoverGeometry.h"
#include "gui/Screen.h"

namespace controls {

namespace {

void fire(const gui::TNotifyEvent* event, gui::TControl* self) {
    if (event && *event)
        (*event)(self);
}

void enterHover(gui::TControl* self, gui::TMessage& message, HoverFlag& flag,
                const gui::TNotifyEvent* onEnter) {
    broadcastMouseLeave(self, message);
    if (flag.Enter())
        fire(onEnter, self);
}

}  // namespace

void dispatchToAllControls(gui::TWinControl* control, gui::TMessage& message, gui::TControl* excluded) {
    if (!control)
        return;
    // By index, reading the count again each time: a handler may add or remove controls.
    for (int i = 0; i < control->ControlCount(); ++i) {
        gui::TControl* child = control->Controls(i);
        if (child != excluded)
            child->Dispatch(message);
        if (child->IsWindowed() && i < control->ControlCount() && control->Controls(i) == child)
            dispatchToAllControls(static_cast<gui::TWinControl*>(child), message, excluded);
    }
}

void broadcastMouseLeave(gui::TControl* self, gui::TMessage& message) {
    gui::TWinControl* form = self->IsWindowed() ? static_cast<gui::TWinControl*>(self) : nullptr;
    for (gui::TWinControl* parent = self->Parent(); parent; parent = parent->Parent())
        form = parent;
    if (!form)
        return;
    const UINT own = message.Msg;
    message.Msg = gui::CM_MOUSELEAVE;
    dispatchToAllControls(form, message, self);
    message.Msg = own;
}

RECT getVisibleScreenRect(const gui::TControl* control) {
    const gui::TWinControl* parent = control->Parent();
    // A control without a parent is not clipped by one.
    const int parentHeight = parent ? parent->ClientHeight() : control->Top() + control->Height();
    const RECT visible = visibleClientRect(control->Top(), control->Width(), control->Height(), parentHeight);
    if (visible.right <= visible.left || visible.bottom <= visible.top)
        return RECT{0, 0, 0, 0};
    const POINT origin = control->ClientToScreen(POINT{0, visible.top});
    return RECT{origin.x, origin.y, origin.x + (visible.right - visible.left),
                origin.y + (visible.bottom - visible.top)};
}

void centerOnScreen(gui::TControl* control) {
    control->SetBounds(centeredOffset(gui::Screen->Width(), control->Width()),
                       centeredOffset(gui::Screen->Height(), control->Height()), control->Width(),
                       control->Height());
}

bool dispatchHover(gui::TControl* self, gui::TMessage& message, HoverFlag& flag,
                   const std::function<bool(LPARAM)>& pointerInside, const gui::TNotifyEvent* onEnter,
                   const gui::TNotifyEvent* onLeave) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!flag.Hovered() && pointerInside(message.LParam))
            enterHover(self, message, flag, onEnter);
        return false;
    case gui::CM_MOUSEENTER:
        enterHover(self, message, flag, onEnter);
        return true;
    case gui::CM_MOUSELEAVE:
        if (flag.Leave())
            fire(onLeave, self);
        return true;
    default:
        return false;
    }
}

}  // namespace controls

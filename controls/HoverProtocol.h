#pragma once
// The hover protocol of the skinned controls. They do not rely on the system's enter and leave
// tracking: a control that sees the pointer arrive first tells every other control of its form
// that the pointer has left (CM_MOUSELEAVE), then marks itself hovered. Also the screen geometry
// the controls test the pointer against.
#include <functional>

#include "controls/HoverState.h"
#include "gui/Control.h"
#include "gui/Events.h"
#include "gui/WinControl.h"

namespace controls {

// Hands message to the Dispatch of every child control of control except excluded, and goes
// down into every child that is itself a windowed control (excluded's children too).
void dispatchToAllControls(gui::TWinControl* control, gui::TMessage& message, gui::TControl* excluded);

// The first step of a mouse enter: CM_MOUSELEAVE to every other control of self's form (the
// topmost windowed control above it). The message record is reused for the broadcast under that
// number and has its own number back afterwards.
void broadcastMouseLeave(gui::TControl* self, gui::TMessage& message);

// The hover protocol's share of the Dispatch of a control that keeps flag. CM_MOUSEENTER, and a
// mouse move while not hovered that pointerInside (given the message's LParam) places on the
// control, enter it: the other controls are told first, then onEnter fires on a change.
// CM_MOUSELEAVE leaves it, onLeave firing on a change. The events are read when they fire and may
// be null or empty. Returns true for CM_MOUSEENTER and CM_MOUSELEAVE, which go no further; every
// other message, a mouse move too, is left for the control's own handling.
bool dispatchHover(gui::TControl* self, gui::TMessage& message, HoverFlag& flag,
                   const std::function<bool(LPARAM)>& pointerInside,
                   const gui::TNotifyEvent* onEnter = nullptr, const gui::TNotifyEvent* onLeave = nullptr);

// The screen rectangle of the part of control within its parent's client height; empty when
// none of it is visible.
RECT getVisibleScreenRect(const gui::TControl* control);

// Places control in the middle of the screen.
void centerOnScreen(gui::TControl* control);

}  // namespace controls

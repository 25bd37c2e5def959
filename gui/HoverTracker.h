#pragma once
// Decides the mouse-enter and mouse-leave notifications: when the control under the pointer
// changes, the old one is told it was left before the new one is told it was entered.
// Pure logic: the caller finds the control under the pointer and sends the messages.

namespace gui {

class TControl;

class HoverTracker {
public:
    struct Transition {
        TControl* leave = nullptr;  // send CM_MOUSELEAVE to this one first (if not null)
        TControl* enter = nullptr;  // then CM_MOUSEENTER to this one (if not null)
    };

    // underPointer: the control now under the pointer (null: none of ours). capture: the
    // control holding the mouse (null: none). While a control holds the mouse only it is told
    // about enter and leave: the pointer "is over" it or over nothing.
    Transition Update(TControl* underPointer, TControl* capture = nullptr);
    // A control is being destroyed: it must never be named in a later transition.
    void Forget(const TControl* control);

    TControl* Current() const { return current_; }

private:
    TControl* current_ = nullptr;
};

}  // namespace gui

#include "gui/HoverTracker.h"

namespace gui {

HoverTracker::Transition HoverTracker::Update(TControl* underPointer, TControl* capture) {
    if (capture && underPointer != capture)
        underPointer = nullptr;
    Transition t;
    if (underPointer == current_)
        return t;
    t.leave = current_;
    t.enter = underPointer;
    current_ = underPointer;
    return t;
}

void HoverTracker::Forget(const TControl* control) {
    if (current_ == control)
        current_ = nullptr;
}

}  // namespace gui

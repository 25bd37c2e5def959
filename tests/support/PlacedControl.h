#pragma once
// A control of the class library made for a test: owned by its parent, shown in it, at the bounds
// given. For suites that link the class library.
#include "gui/WinControl.h"

namespace testsupport {

template <class Control>
Control* placed(gui::TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new Control(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace testsupport

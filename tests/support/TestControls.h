#pragma once
// Controls of the class library made for a test: a borderless form at a place of the screen, and
// a control owned by its parent, shown in it at the bounds given. For suites that link the class
// library.
#include "gui/Form.h"

#include <memory>

namespace testsupport {

inline std::unique_ptr<gui::TForm> borderlessForm(int left, int top, int width, int height) {
    auto form = std::make_unique<gui::TForm>(nullptr);
    form->SetBorderStyle(gui::bsNone);
    form->SetBounds(left, top, width, height);
    return form;
}

template <class Control>
Control* placed(gui::TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new Control(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace testsupport

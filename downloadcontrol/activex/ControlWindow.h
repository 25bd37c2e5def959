#pragma once
// The window of a control while it is active in place: a child of the container's window whose
// messages go to the control.
#include "downloadcontrol/activex/SystemHeaders.h"

namespace activex {

class ControlBase;

class ControlWindow {
public:
    explicit ControlWindow(ControlBase& control) : control_(control) {}
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;
    ~ControlWindow() { destroy(); }

    // Creates the window as a child of `parent`, covering `position` (parent coordinates).
    bool create(HWND parent, const RECT& position);
    void destroy();
    HWND handle() const { return handle_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    ControlBase& control_;
    HWND handle_ = nullptr;
};

}  // namespace activex

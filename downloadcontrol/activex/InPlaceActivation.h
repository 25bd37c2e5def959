#pragma once
// In-place activation of a windowed control: the conversation with the container's in-place site
// and frame, and the control's window while it is active.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ControlWindow.h"

namespace activex {

class ControlBase;

class InPlaceActivation {
public:
    explicit InPlaceActivation(ControlBase& control);
    InPlaceActivation(const InPlaceActivation&) = delete;
    InPlaceActivation& operator=(const InPlaceActivation&) = delete;

    // Activates in place (creating and showing the window); with `uiActivate` also takes the
    // user interface (focus, active object of the frame).
    HRESULT activate(bool uiActivate);
    // Leaves in-place activation: the window goes and the site is told.
    HRESULT deactivate();
    HRESULT uiDeactivate();
    HRESULT hide();
    // New position and clipping rectangle from the container (parent window coordinates).
    HRESULT setObjectRects(const RECT* position, const RECT* clip);
    // The control's window gained or lost the keyboard focus.
    void onFocus(bool gained);

    bool active() const { return active_; }
    bool uiActive() const { return uiActive_; }
    HWND window() const { return window_.handle(); }
    const RECT& position() const { return position_; }

private:
    ControlBase& control_;
    ComPtr<IOleInPlaceSite> site_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> document_;
    ControlWindow window_;
    RECT position_ = {};
    bool active_ = false;
    bool uiActive_ = false;
};

}  // namespace activex

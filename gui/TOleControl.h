#pragma once
// TOleControl: a windowed control that hosts an ActiveX control in place. The hosted control is
// made by class identifier when this control is constructed and activated in this control's
// window as soon as it has one; it always covers the whole client area.
//
// Creation never throws: a control that cannot be made (not registered, no engine behind it)
// leaves Available() false and CreationResult() telling why, and everything else quietly does
// nothing, so that a window with a hosted control keeps working without it.
#include "gui/OleControlHost.h"
#include "gui/WinControl.h"

namespace gui {

class TOleControl : public TWinControl {
public:
    TOleControl(TComponent* owner, const CLSID& classId);
    ~TOleControl() override;

    // The hosted control exists.
    bool Available() const { return host_.Created(); }
    // S_OK, or why the hosted control could not be made.
    HRESULT CreationResult() const { return creationResult_; }
    // S_OK once activated in place; why not otherwise (OLE_E_BLANK before there is a window).
    HRESULT ActivationResult() const { return activationResult_; }
    // The hosted control's own window while it is active (null otherwise).
    HWND ControlWindow() const { return host_.ControlWindow(); }

    // Properties by dispatch id (failures when the control is not available).
    HRESULT GetProperty(DISPID id, VARIANT* value) const { return host_.GetProperty(id, value); }
    HRESULT SetProperty(DISPID id, const VARIANT& value) { return host_.SetProperty(id, value); }

protected:
    OleControlHost& Host() { return host_; }
    const OleControlHost& Host() const { return host_; }

    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void DestroyWnd() override;
    void Resize() override;

private:
    RECT hostBounds() const;

    OleControlHost host_;
    HRESULT creationResult_ = E_FAIL;
    HRESULT activationResult_ = OLE_E_BLANK;
};

}  // namespace gui

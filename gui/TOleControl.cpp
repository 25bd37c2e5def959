#include "gui/TOleControl.h"

namespace gui {

TOleControl::TOleControl(TComponent* owner, const CLSID& classId) : TWinControl(owner) {
    creationResult_ = host_.Create(classId);
}

TOleControl::~TOleControl() {
    // The hosted control's window lives inside ours: it goes before ours does.
    host_.Close();
}

void TOleControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
}

void TOleControl::HandleCreated() {
    TWinControl::HandleCreated();
    if (host_.Created())
        activationResult_ = host_.Activate(Handle(), hostBounds());
}

void TOleControl::DestroyWnd() {
    host_.Deactivate();
    activationResult_ = OLE_E_BLANK;
    TWinControl::DestroyWnd();
}

void TOleControl::Resize() {
    if (host_.Active())
        host_.SetBounds(hostBounds());
    TWinControl::Resize();
}

RECT TOleControl::hostBounds() const {
    const RECT client = ClientRect();
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

}  // namespace gui

#include "downloadcontrol/activex/OleControlPart.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

OleControlPart::OleControlPart(ControlBase& control) : DelegatingPart(control), control_(control) {}

HRESULT STDMETHODCALLTYPE OleControlPart::GetControlInfo(CONTROLINFO* info) {
    if (!info) {
        return E_POINTER;
    }
    if (info->cb < sizeof(CONTROLINFO)) {
        return E_INVALIDARG;
    }
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlPart::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleControlPart::OnAmbientPropertyChange(DISPID id) {
    control_.ambientPropertyChanged(id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlPart::FreezeEvents(BOOL freeze) {
    control_.freezeEvents(freeze != FALSE);
    return S_OK;
}

}  // namespace activex

#include "downloadcontrol/activex/InPlaceObjectPart.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

InPlaceObjectPart::InPlaceObjectPart(ControlBase& control) : DelegatingPart(control), control_(control) {}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::GetWindow(HWND* window) {
    if (!window) {
        return E_POINTER;
    }
    *window = control_.window();
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::InPlaceDeactivate() {
    return control_.inPlace().deactivate();
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::UIDeactivate() {
    return control_.inPlace().uiDeactivate();
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::SetObjectRects(LPCRECT position, LPCRECT clip) {
    return control_.inPlace().setObjectRects(position, clip);
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) {
    if (result) {
        *result = 0;
    }
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::GetDropTarget(IDropTarget** target) {
    if (!target) {
        return E_POINTER;
    }
    *target = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::TranslateAccelerator(LPMSG message) {
    if (!message) {
        return E_POINTER;
    }
    return control_.translateAccelerator(*message) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::EnableModeless(BOOL) {
    return S_OK;
}

}  // namespace activex

#include "downloadcontrol/activex/ViewObjectPart.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

ViewObjectPart::ViewObjectPart(ControlBase& control) : DelegatingPart(control), control_(control) {}

void ViewObjectPart::sendViewChange() {
    if (adviseSink_ && (adviseAspects_ & DVASPECT_CONTENT)) {
        adviseSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                               ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_OPAQUE && aspect != DVASPECT_TRANSPARENT) {
        return DV_E_DVASPECT;
    }
    if (!dc) {
        return E_INVALIDARG;
    }
    RECT area;
    if (bounds) {
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (control_.window()) {
        // Without bounds a windowed, active control draws in its own client area.
        GetClientRect(control_.window(), &area);
    } else {
        return E_INVALIDARG;
    }
    control_.draw(dc, area);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                      LOGPALETTE** colors) {
    if (colors) {
        *colors = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    adviseSink_ = sink;
    adviseAspects_ = aspects;
    adviseFlags_ = flags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) {
        *aspects = adviseAspects_;
    }
    if (flags) {
        *flags = adviseFlags_;
    }
    if (sink) {
        adviseSink_.copyTo(sink);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (!size) {
        return E_POINTER;
    }
    *size = control_.extent();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetRect(DWORD, LPRECTL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetViewStatus(DWORD* status) {
    if (!status) {
        return E_POINTER;
    }
    *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG,
                                                        DWORD* result) {
    if (!bounds || !result) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    *result = PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG,
                                                       DWORD* result) {
    if (!bounds || !location || !result) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return E_FAIL;
    }
    RECT overlap;
    *result = IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObjectPart::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*,
                                                           LPSIZEL) {
    return E_NOTIMPL;
}

}  // namespace activex

#include "downloadcontrol/activex/QuickActivatePart.h"

#include "downloadcontrol/activex/ControlBase.h"

#include <cstddef>

namespace activex {

QuickActivatePart::QuickActivatePart(ControlBase& control) : DelegatingPart(control), control_(control) {}

HRESULT STDMETHODCALLTYPE QuickActivatePart::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (!container || !control) {
        return E_POINTER;
    }
    // Older containers pass a shorter structure; everything up to the ambient colours is needed.
    if (container->cbSize < offsetof(QACONTAINER, colorBack) + sizeof(container->colorBack) ||
        control->cbSize < sizeof(QACONTROL)) {
        return E_INVALIDARG;
    }

    control_.setClientSite(container->pClientSite);
    if (!control_.stock().backColorSetByHost()) {
        control_.stock().takeAmbientBackColor(container->colorBack);
    }
    if (container->pAdviseSink) {
        control_.viewObject().SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    }

    control->dwEventCookie = 0;
    control->dwPropNotifyCookie = 0;
    if (container->pUnkEventSink) {
        control_.connectionPoints().events().Advise(container->pUnkEventSink, &control->dwEventCookie);
    }
    if (container->pPropertyNotifySink) {
        control_.connectionPoints().propertyNotify().Advise(container->pPropertyNotifySink,
                                                            &control->dwPropNotifyCookie);
    }
    control_.oleObject().GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
    control_.viewObject().GetViewStatus(&control->dwViewStatus);
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE QuickActivatePart::SetContentExtent(LPSIZEL size) {
    return control_.oleObject().SetExtent(DVASPECT_CONTENT, size);
}

HRESULT STDMETHODCALLTYPE QuickActivatePart::GetContentExtent(LPSIZEL size) {
    return control_.oleObject().GetExtent(DVASPECT_CONTENT, size);
}

}  // namespace activex

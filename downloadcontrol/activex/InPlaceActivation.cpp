#include "downloadcontrol/activex/InPlaceActivation.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

InPlaceActivation::InPlaceActivation(ControlBase& control) : control_(control), window_(control) {}

HRESULT InPlaceActivation::activate(bool uiActivate) {
    IOleClientSite* clientSite = control_.clientSite();
    if (!clientSite) {
        return E_UNEXPECTED;
    }
    if (!active_) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(clientSite->QueryInterface(IID_IOleInPlaceSite, site.putVoid())) || !site) {
            return E_FAIL;
        }
        if (site->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        HRESULT hr = site->OnInPlaceActivate();
        if (FAILED(hr)) {
            return hr;
        }
        site_ = site;
        active_ = true;
    }

    if (!window_.handle()) {
        HWND parent = nullptr;
        if (FAILED(site_->GetWindow(&parent)) || !parent) {
            deactivate();
            return E_FAIL;
        }
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        RECT clip = {};
        frame_.reset();
        document_.reset();
        HRESULT hr = site_->GetWindowContext(frame_.put(), document_.put(), &position_, &clip, &frameInfo);
        if (FAILED(hr)) {
            deactivate();
            return hr;
        }
        if (!window_.create(parent, position_)) {
            deactivate();
            return E_FAIL;
        }
    }
    ShowWindow(window_.handle(), SW_SHOW);

    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        site_->OnUIActivate();
        if (GetFocus() != window_.handle() && !IsChild(window_.handle(), GetFocus())) {
            SetFocus(window_.handle());
        }
        if (frame_) {
            frame_->SetActiveObject(control_.inPlaceActiveObject(), nullptr);
            frame_->SetBorderSpace(nullptr);
        }
        if (document_) {
            document_->SetActiveObject(control_.inPlaceActiveObject(), nullptr);
            document_->SetBorderSpace(nullptr);
        }
    }
    clientSite->ShowObject();
    return S_OK;
}

HRESULT InPlaceActivation::uiDeactivate() {
    if (!uiActive_) {
        return S_OK;
    }
    uiActive_ = false;
    if (document_) {
        document_->SetActiveObject(nullptr, nullptr);
    }
    if (frame_) {
        frame_->SetActiveObject(nullptr, nullptr);
    }
    if (site_) {
        site_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT InPlaceActivation::deactivate() {
    if (!active_) {
        return S_OK;
    }
    uiDeactivate();
    active_ = false;
    window_.destroy();
    ComPtr<IOleInPlaceSite> site = site_;
    site_.reset();
    frame_.reset();
    document_.reset();
    if (site) {
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

HRESULT InPlaceActivation::hide() {
    uiDeactivate();
    if (window_.handle()) {
        ShowWindow(window_.handle(), SW_HIDE);
    }
    return S_OK;
}

HRESULT InPlaceActivation::setObjectRects(const RECT* position, const RECT* clip) {
    if (!position) {
        return E_POINTER;
    }
    position_ = *position;
    if (HWND window = window_.handle()) {
        SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
        // Only the part inside the container's clipping rectangle is visible.
        RECT visible;
        if (clip && IntersectRect(&visible, position, clip) && !EqualRect(&visible, position)) {
            OffsetRect(&visible, -position->left, -position->top);
            HRGN region = CreateRectRgnIndirect(&visible);
            if (region && !SetWindowRgn(window, region, TRUE)) {
                DeleteObject(region);  // the window owns the region only when it was taken
            }
        } else {
            SetWindowRgn(window, nullptr, TRUE);
        }
    }
    return S_OK;
}

void InPlaceActivation::onFocus(bool gained) {
    IOleClientSite* clientSite = control_.clientSite();
    if (gained && active_ && !uiActive_) {
        activate(true);
    }
    ComPtr<IOleControlSite> controlSite;
    if (clientSite && SUCCEEDED(clientSite->QueryInterface(IID_IOleControlSite, controlSite.putVoid())) &&
        controlSite) {
        controlSite->OnFocus(gained ? TRUE : FALSE);
    }
}

}  // namespace activex

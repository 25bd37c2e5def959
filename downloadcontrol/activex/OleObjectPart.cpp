#include "downloadcontrol/activex/OleObjectPart.h"

#include "downloadcontrol/activex/ControlBase.h"

#include <cstring>

namespace activex {

OleObjectPart::OleObjectPart(ControlBase& control) : DelegatingPart(control), control_(control) {}

void OleObjectPart::sendOnClose() {
    if (adviseHolder_) {
        adviseHolder_->SendOnClose();
    }
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetClientSite(IOleClientSite* site) {
    control_.setClientSite(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetClientSite(IOleClientSite** site) {
    if (!site) {
        return E_POINTER;
    }
    *site = control_.clientSite();
    if (*site) {
        (*site)->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Close(DWORD saveOption) {
    control_.inPlace().deactivate();
    if ((saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE) && control_.dirty()) {
        if (IOleClientSite* site = control_.clientSite()) {
            site->SaveObject();
        }
    }
    sendOnClose();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetClipboardData(DWORD, IDataObject** data) {
    if (data) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
        return control_.inPlace().activate(false);
    case OLEIVERB_UIACTIVATE:
        return control_.inPlace().activate(true);
    case OLEIVERB_HIDE:
        return control_.inPlace().hide();
    case OLEIVERB_OPEN:
    case OLEIVERB_PROPERTIES:
    case OLEIVERB_DISCARDUNDOSTATE:
        return E_NOTIMPL;
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT STDMETHODCALLTYPE OleObjectPart::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) {
        return E_POINTER;
    }
    return OleRegEnumVerbs(*control_.registration().classId, verbs);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetUserClassID(CLSID* classId) {
    if (!classId) {
        return E_POINTER;
    }
    *classId = *control_.registration().classId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetUserType(DWORD, LPOLESTR* userType) {
    if (!userType) {
        return E_POINTER;
    }
    // The class's own description: it needs no registry, so unregistered use works too.
    const wchar_t* name = control_.registration().description;
    std::size_t bytes = (wcslen(name) + 1) * sizeof(wchar_t);
    *userType = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*userType) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(*userType, name, bytes);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (!size) {
        return E_POINTER;
    }
    SIZEL old = control_.extent();
    control_.setExtent(*size);
    if (old.cx != size->cx || old.cy != size->cy) {
        control_.setDirty(true);
        control_.fireViewChange();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (!size) {
        return E_POINTER;
    }
    *size = control_.extent();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) {
        return E_POINTER;
    }
    *connection = 0;
    if (!adviseHolder_) {
        HRESULT hr = CreateOleAdviseHolder(adviseHolder_.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return adviseHolder_->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Unadvise(DWORD connection) {
    return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::EnumAdvise(IEnumSTATDATA** advises) {
    if (!advises) {
        return E_POINTER;
    }
    *advises = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) {
        return E_POINTER;
    }
    *status = aspect == DVASPECT_CONTENT ? control_.registration().miscStatus : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

}  // namespace activex

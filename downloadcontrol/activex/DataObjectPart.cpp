#include "downloadcontrol/activex/DataObjectPart.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

DataObjectPart::DataObjectPart(ControlBase& control) : DelegatingPart(control) {}

HRESULT STDMETHODCALLTYPE DataObjectPart::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) {
        return E_POINTER;
    }
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::QueryGetData(FORMATETC* format) {
    return format ? DV_E_FORMATETC : E_POINTER;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) {
        out->ptd = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (formats) {
        *formats = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                                  DWORD* connection) {
    if (!connection) {
        return E_POINTER;
    }
    *connection = 0;
    if (!adviseHolder_) {
        HRESULT hr = CreateDataAdviseHolder(adviseHolder_.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return adviseHolder_->Advise(this, format, flags, sink, connection);
}

HRESULT STDMETHODCALLTYPE DataObjectPart::DUnadvise(DWORD connection) {
    return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE DataObjectPart::EnumDAdvise(IEnumSTATDATA** advises) {
    if (!advises) {
        return E_POINTER;
    }
    *advises = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : E_FAIL;
}

}  // namespace activex

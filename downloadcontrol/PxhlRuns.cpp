// Runs: starting, stopping and resuming the queue, and the size and time query.
#include "downloadcontrol/Pxhl.h"

#include "downloadcontrol/activex/ComText.h"

using activex::Bstr;

// These members can fire events before they return (directly, or from the messages a dialog or a
// stop dispatches); a sink may release the control meanwhile, so each holds the control until it
// returns.

HRESULT STDMETHODCALLTYPE Pxhl::Download(VARIANT_BOOL* result) {
    activex::ComPtr<IUnknown> keepAlive(innerUnknown());
    if (!result) {
        return E_POINTER;
    }
    *result = engine_.download() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::StopDownload() {
    activex::ComPtr<IUnknown> keepAlive(innerUnknown());
    engine_.stopDownload();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::ResumeDownload(VARIANT_BOOL* result) {
    activex::ComPtr<IUnknown> keepAlive(innerUnknown());
    if (!result) {
        return E_POINTER;
    }
    *result = engine_.resumeDownload() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetFileSizeLastModified(BSTR url, BSTR referer, BSTR userName, BSTR password,
                                                        short options) {
    activex::ComPtr<IUnknown> keepAlive(innerUnknown());
    engine_.querySizeAndTime(Bstr::textOf(url), Bstr::textOf(referer), Bstr::textOf(userName),
                             Bstr::textOf(password), options);
    return S_OK;
}

// GetLastError and GetLastErrorDesc: what went wrong last, as a code and as text.
#include "downloadcontrol/Pxhl.h"

#include "downloadcontrol/activex/ComText.h"

HRESULT STDMETHODCALLTYPE Pxhl::GetLastError(LONG* errorCode) {
    if (!errorCode) {
        return E_POINTER;
    }
    *errorCode = errors_.error();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetLastErrorDesc(BSTR* errorDesc) {
    return activex::returnText(errors_.description(), errorDesc);
}

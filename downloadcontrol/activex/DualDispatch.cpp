#include "downloadcontrol/activex/DualDispatch.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/Module.h"

namespace activex {

HRESULT dispatchGetTypeInfo(REFIID iid, UINT index, ITypeInfo** info) {
    if (!info) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return Module::typeInfo(iid, info);
}

HRESULT dispatchGetIdsOfNames(REFIID iid, REFIID reserved, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!IsEqualIID(reserved, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!names || !ids) {
        return E_POINTER;
    }
    ComPtr<ITypeInfo> info;
    HRESULT hr = Module::typeInfo(iid, info.put());
    if (FAILED(hr)) {
        return hr;
    }
    return DispGetIDsOfNames(info.get(), names, count, ids);
}

HRESULT dispatchInvoke(void* self, REFIID iid, DISPID id, REFIID reserved, WORD flags, DISPPARAMS* parameters,
                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(reserved, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    ComPtr<ITypeInfo> info;
    HRESULT hr = Module::typeInfo(iid, info.put());
    if (FAILED(hr)) {
        return hr;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return DispInvoke(self, info.get(), id, flags, parameters ? parameters : &none, result, exception,
                      argumentError);
}

}  // namespace activex

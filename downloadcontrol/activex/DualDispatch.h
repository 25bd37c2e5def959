#pragma once
// IDispatch of a dual interface, served from the module's embedded type library: names and
// dispatch ids come from the library and calls are dispatched to the interface's own vtable.
#include "downloadcontrol/activex/SystemHeaders.h"

namespace activex {

// The shared logic, for interface `iid` implemented at `self`.
HRESULT dispatchGetTypeInfo(REFIID iid, UINT index, ITypeInfo** info);
HRESULT dispatchGetIdsOfNames(REFIID iid, REFIID reserved, LPOLESTR* names, UINT count, DISPID* ids);
HRESULT dispatchInvoke(void* self, REFIID iid, DISPID id, REFIID reserved, WORD flags, DISPPARAMS* parameters,
                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

// Derive the implementing class from DualDispatch<IInterface> instead of IInterface.
template <class DualInterface>
class DualDispatch : public DualInterface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return dispatchGetTypeInfo(iid_, index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return dispatchGetIdsOfNames(iid_, reserved, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID reserved, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return dispatchInvoke(static_cast<DualInterface*>(this), iid_, id, reserved, flags, parameters,
                              result, exception, argumentError);
    }

protected:
    explicit DualDispatch(REFIID iid) : iid_(iid) {}
    virtual ~DualDispatch() = default;

private:
    const IID& iid_;
};

}  // namespace activex

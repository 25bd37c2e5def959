#include "gui/OleEventSink.h"

#include "gui/OleValues.h"
#include "gui/WinControl.h"

namespace gui {

namespace {

LONG liveSinks = 0;

}  // namespace

// ---- OleEventArguments

VARIANT* OleEventArguments::at(int index) const {
    if (!params_ || index < 0 || index >= Count())
        return nullptr;
    return &params_->rgvarg[params_->cArgs - 1 - static_cast<UINT>(index)];
}

const VARIANT* OleEventArguments::At(int index) const {
    return at(index);
}

std::wstring OleEventArguments::Text(int index) const {
    const VARIANT* value = at(index);
    return value ? VariantToText(*value) : std::wstring();
}

long OleEventArguments::Integer(int index) const {
    const VARIANT* value = at(index);
    return value ? VariantToInteger(*value) : 0;
}

bool OleEventArguments::Boolean(int index) const {
    const VARIANT* value = at(index);
    return value ? VariantToBoolean(*value) : false;
}

double OleEventArguments::Double(int index) const {
    const VARIANT* value = at(index);
    return value ? VariantToDouble(*value) : 0;
}

IDispatch* OleEventArguments::Dispatch(int index) const {
    const VARIANT* value = at(index);
    if (!value)
        return nullptr;
    if (V_VT(value) == VT_DISPATCH)
        return V_DISPATCH(value);
    if (V_VT(value) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(value))
        return *V_DISPATCHREF(value);
    if (V_VT(value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(value) &&
        V_VT(V_VARIANTREF(value)) == VT_DISPATCH)
        return V_DISPATCH(V_VARIANTREF(value));
    return nullptr;
}

bool OleEventArguments::SetBoolean(int index, bool value) {
    VARIANT* argument = at(index);
    if (!argument)
        return false;
    const VARIANT_BOOL flag = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (V_VT(argument) == (VT_BOOL | VT_BYREF) && V_BOOLREF(argument)) {
        *V_BOOLREF(argument) = flag;
        return true;
    }
    if (V_VT(argument) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(argument)) {
        VARIANT* target = V_VARIANTREF(argument);
        VariantClear(target);
        V_VT(target) = VT_BOOL;
        V_BOOL(target) = flag;
        return true;
    }
    return false;
}

bool OleEventArguments::SetDispatch(int index, IDispatch* value) {
    VARIANT* argument = at(index);
    if (!argument)
        return false;
    if (V_VT(argument) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(argument)) {
        IDispatch** target = V_DISPATCHREF(argument);
        if (value)
            value->AddRef();
        if (*target)
            (*target)->Release();
        *target = value;
        return true;
    }
    if (V_VT(argument) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(argument)) {
        VARIANT* target = V_VARIANTREF(argument);
        if (value)
            value->AddRef();
        VariantClear(target);
        V_VT(target) = VT_DISPATCH;
        V_DISPATCH(target) = value;
        return true;
    }
    return false;
}

// ---- OleEventSink

// The new object has no reference until the pointer that receives it takes one.
Microsoft::WRL::ComPtr<OleEventSink> OleEventSink::Create(REFIID events) {
    return Microsoft::WRL::ComPtr<OleEventSink>(new OleEventSink(events));
}

OleEventSink::OleEventSink(REFIID events) : events_(events) {
    InterlockedIncrement(&liveSinks);
}

OleEventSink::~OleEventSink() {
    Disconnect();
    InterlockedDecrement(&liveSinks);
}

LONG OleEventSink::LiveCount() {
    return liveSinks;
}

HRESULT OleEventSink::Connect(IUnknown* source) {
    Disconnect();
    if (!source)
        return E_POINTER;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(container.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(events_, point.GetAddressOf());
    if (FAILED(hr))
        return hr;
    if (!point)
        return E_FAIL;
    DWORD cookie = 0;
    hr = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (FAILED(hr))
        return hr;
    point_ = point;
    cookie_ = cookie;
    return S_OK;
}

void OleEventSink::Disconnect() {
    if (!point_)
        return;
    // Cleared first: the control may call back into us while it lets go of the connection.
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    point.Swap(point_);
    point->Unadvise(cookie_);
    cookie_ = 0;
}

void OleEventSink::SetHandler(DISPID id, Handler handler) {
    if (handler)
        handlers_[id] = std::move(handler);
    else
        handlers_.erase(id);
}

HRESULT OleEventSink::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG OleEventSink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG OleEventSink::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT OleEventSink::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT OleEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT OleEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT OleEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                             UINT*) {
    if (result)
        VariantInit(result);
    auto found = handlers_.find(id);
    if (found == handlers_.end())
        return S_OK;
    // A copy: the handler may clear or replace its own slot, or let go of this sink.
    Handler handler = found->second;
    AddRef();
    try {
        OleEventArguments arguments(params);
        handler(arguments);
    } catch (...) {
        HandleCallbackException(nullptr);
    }
    Release();
    return S_OK;
}

}  // namespace gui

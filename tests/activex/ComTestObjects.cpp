#include "activex/ComTestObjects.h"

#include <cwchar>

namespace comtest {
namespace {

template <class Interface>
HRESULT answer(Interface* self, void** object) {
    *object = self;
    self->AddRef();
    return S_OK;
}

std::wstring argumentText(const VARIANT& value) {
    wchar_t buffer[64];
    switch (value.vt) {
    case VT_I4:
        swprintf(buffer, 64, L"I4:%ld", value.lVal);
        return buffer;
    case VT_BOOL:
        swprintf(buffer, 64, L"BOOL:%d", static_cast<int>(value.boolVal));
        return buffer;
    case VT_R8:
        swprintf(buffer, 64, L"R8:%g", value.dblVal);
        return buffer;
    case VT_BSTR:
        return L"BSTR:" + std::wstring(value.bstrVal ? value.bstrVal : L"");
    default:
        swprintf(buffer, 64, L"VT%d", static_cast<int>(value.vt));
        return buffer;
    }
}

LRESULT CALLBACK containerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ULONG RefCounted::release() {
    LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) {
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

HRESULT STDMETHODCALLTYPE PropertySink::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) {
        return answer(static_cast<IPropertyNotifySink*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE PropertySink::OnChanged(DISPID id) {
    calls.push_back("changed:" + std::to_string(id));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertySink::OnRequestEdit(DISPID id) {
    calls.push_back("edit:" + std::to_string(id));
    return (refuse != 0 && id == refuse) ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (!dispatchOnly_ && IsEqualIID(iid, eventInterface_))) {
        return answer(static_cast<IDispatch*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                            VARIANT*, EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_METHOD)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    Call call{id, {}};
    for (UINT i = parameters->cArgs; i > 0; --i) {
        call.arguments.push_back(argumentText(parameters->rgvarg[i - 1]));
    }
    calls.push_back(call);
    if (onCall) {
        onCall(id);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AdviseSink::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAdviseSink) ||
        IsEqualIID(iid, IID_IAdviseSinkEx)) {
        return answer(static_cast<IAdviseSinkEx*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

void STDMETHODCALLTYPE AdviseSink::OnClose() {
    ++closes;
    if (onClose) {
        onClose();
    }
}

TestContainer::TestContainer() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = containerProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PxhlTestContainer";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"PxhlTestContainer", L"container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                              0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TestContainer::~TestContainer() {
    if (window_) {
        DestroyWindow(window_);
    }
}

bool TestContainer::called(const std::string& name) const {
    for (const std::string& call : calls) {
        if (call == name) {
            return true;
        }
    }
    return false;
}

HRESULT STDMETHODCALLTYPE TestContainer::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        return answer(static_cast<IOleClientSite*>(this), object);
    }
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        return answer(static_cast<IOleInPlaceSite*>(this), object);
    }
    if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        return answer(static_cast<IOleInPlaceFrame*>(this), object);
    }
    if (IsEqualIID(iid, IID_IDispatch)) {
        return answer(static_cast<IDispatch*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TestContainer::SaveObject() {
    calls.push_back("SaveObject");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestContainer::GetContainer(IOleContainer** container) {
    *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TestContainer::ShowObject() {
    calls.push_back("ShowObject");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::GetWindow(HWND* window) {
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::CanInPlaceActivate() {
    calls.push_back("CanInPlaceActivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::OnInPlaceActivate() {
    calls.push_back("OnInPlaceActivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::OnUIActivate() {
    calls.push_back("OnUIActivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::GetWindowContext(IOleInPlaceFrame** frame,
                                                          IOleInPlaceUIWindow** document, LPRECT place,
                                                          LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *place = position;
    *clip = position;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::OnUIDeactivate(BOOL) {
    calls.push_back("OnUIDeactivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::OnInPlaceDeactivate() {
    calls.push_back("OnInPlaceDeactivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    calls.push_back(object ? "SetActiveObject" : "SetActiveObject(null)");
    activeObject = object;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestContainer::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                                VARIANT* result, EXCEPINFO*, UINT*) {
    if (id == -701 && hasAmbientBackColor && (flags & DISPATCH_PROPERTYGET) && result) {
        VariantInit(result);
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(ambientBackColor);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

OuterObject::~OuterObject() {
    if (inner) {
        inner->Release();
    }
}

HRESULT STDMETHODCALLTYPE OuterObject::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown)) {
        return answer(static_cast<IUnknown*>(this), object);
    }
    // Everything else is the inner object's (blind aggregation).
    if (inner) {
        return inner->QueryInterface(iid, object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

void pumpWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace comtest

#include "gui/OleControlHost.h"

#include <algorithm>
#include <vector>

namespace gui {

namespace {

// Hosts with a control, in creation order. Each host belongs to one thread, but every thread with
// OLE shares the list.
SRWLOCK hostsLock = SRWLOCK_INIT;

std::vector<OleControlHost*>& openHosts() {
    static std::vector<OleControlHost*> hosts;
    return hosts;
}

void remember(OleControlHost* host) {
    AcquireSRWLockExclusive(&hostsLock);
    openHosts().push_back(host);
    ReleaseSRWLockExclusive(&hostsLock);
}

void forget(OleControlHost* host) {
    AcquireSRWLockExclusive(&hostsLock);
    auto& hosts = openHosts();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), host), hosts.end());
    ReleaseSRWLockExclusive(&hostsLock);
}

// The texts a failed Invoke may leave in its exception record.
void freeException(EXCEPINFO& exception) {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    exception = EXCEPINFO{};
}

}  // namespace

OleControlHost::~OleControlHost() {
    Close();
}

HRESULT OleControlHost::Create(const CLSID& classId) {
    Close();
    Microsoft::WRL::ComPtr<IUnknown> object;
    HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(object.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    if (!object)
        return E_FAIL;
    object_ = object;
    thread_ = GetCurrentThreadId();
    remember(this);

    site_ = OleClientSite::Create();
    object_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(oleObject_.GetAddressOf()));
    DWORD status = 0;
    if (oleObject_ && FAILED(oleObject_->GetMiscStatus(DVASPECT_CONTENT, &status)))
        status = 0;
    // Some controls must know their site before they initialise, the others after.
    const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (oleObject_ && siteFirst)
        oleObject_->SetClientSite(site_.Get());
    Microsoft::WRL::ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit,
                                          reinterpret_cast<void**>(persist.GetAddressOf())))) {
        hr = persist->InitNew();
        if (FAILED(hr) && hr != E_NOTIMPL) {
            Close();
            return hr;
        }
    }
    if (oleObject_ && !siteFirst)
        oleObject_->SetClientSite(site_.Get());
    return S_OK;
}

HRESULT OleControlHost::Activate(HWND container, const RECT& bounds) {
    if (!object_)
        return OLE_E_BLANK;
    if (!oleObject_)
        return E_NOINTERFACE;
    if (!container)
        return E_INVALIDARG;
    Deactivate();
    bounds_ = bounds;
    site_->SetPlace(container, bounds_);
    RECT position = bounds_;
    const HRESULT hr =
        oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, container, &position);
    if (FAILED(hr)) {
        site_->SetPlace(nullptr, bounds_);
        return hr;
    }
    object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace_.GetAddressOf()));
    if (inPlace_)
        inPlace_->SetObjectRects(&bounds_, &bounds_);
    return S_OK;
}

void OleControlHost::SetBounds(const RECT& bounds) {
    bounds_ = bounds;
    if (!site_)
        return;
    site_->SetPlace(site_->Container(), bounds_);
    if (inPlace_)
        inPlace_->SetObjectRects(&bounds_, &bounds_);
}

HWND OleControlHost::ControlWindow() const {
    HWND window = nullptr;
    if (inPlace_ && FAILED(inPlace_->GetWindow(&window)))
        window = nullptr;
    return window;
}

void OleControlHost::Deactivate() {
    if (inPlace_) {
        Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace;
        inPlace.Swap(inPlace_);
        inPlace->InPlaceDeactivate();
    }
    if (site_)
        site_->SetPlace(nullptr, bounds_);
}

void OleControlHost::Close() {
    if (!object_)
        return;
    forget(this);
    if (OnClosing) {
        auto closing = OnClosing;
        closing();
    }
    if (sink_) {
        sink_->Disconnect();
        sink_->ClearHandlers();
    }
    Deactivate();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    if (site_)
        site_->Detach();
    release();
}

void OleControlHost::release() {
    // The sink goes last: it may hold the last handler that refers to the owner of this host.
    inPlace_.Reset();
    oleObject_.Reset();
    object_.Reset();
    site_.Reset();
    sink_.Reset();
}

HRESULT OleControlHost::GetProperty(DISPID id, VARIANT* value) const {
    if (!value)
        return E_POINTER;
    VariantInit(value);
    auto dispatch = As<IDispatch>(IID_IDispatch);
    if (!dispatch)
        return object_ ? E_NOINTERFACE : OLE_E_BLANK;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO exception{};
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                                        &exception, nullptr);
    freeException(exception);
    return hr;
}

HRESULT OleControlHost::SetProperty(DISPID id, const VARIANT& value) {
    auto dispatch = As<IDispatch>(IID_IDispatch);
    if (!dispatch)
        return object_ ? E_NOINTERFACE : OLE_E_BLANK;
    VARIANT argument = value;  // Invoke reads an in-argument without changing or freeing it
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    EXCEPINFO exception{};
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                        nullptr, &exception, nullptr);
    freeException(exception);
    return hr;
}

HRESULT OleControlHost::ConnectEvents(REFIID events) {
    if (!object_)
        return OLE_E_BLANK;
    if (sink_ && IsEqualIID(sink_->Events(), events)) {
        sink_->Disconnect();
    } else {
        if (sink_)
            sink_->Disconnect();
        sink_ = OleEventSink::Create(events);
    }
    return sink_->Connect(object_.Get());
}

void OleControlHost::SetEventHandler(DISPID id, OleEventSink::Handler handler) {
    if (!sink_)
        return;
    sink_->SetHandler(id, std::move(handler));
}

void OleControlHost::ClearEventHandler(DISPID id) {
    if (sink_)
        sink_->ClearHandler(id);
}

void CloseAllOleControls() {
    const DWORD thread = GetCurrentThreadId();
    // One at a time, newest first, looked up afresh each time: closing one host removes it from the
    // list and may let its owner go, and that owner may close others of its own.
    for (;;) {
        OleControlHost* next = nullptr;
        AcquireSRWLockShared(&hostsLock);
        const auto& hosts = openHosts();
        for (auto it = hosts.rbegin(); it != hosts.rend() && !next; ++it) {
            if ((*it)->thread_ == thread)
                next = *it;
        }
        ReleaseSRWLockShared(&hostsLock);
        if (!next)
            return;
        next->Close();
    }
}

OleInitializer::OleInitializer() : result_(OleInitialize(nullptr)) {}

OleInitializer::~OleInitializer() {
    CloseAllOleControls();
    if (SUCCEEDED(result_))
        OleUninitialize();
}

}  // namespace gui

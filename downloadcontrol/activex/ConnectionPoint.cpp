#include "downloadcontrol/activex/ConnectionPoint.h"

#include "downloadcontrol/activex/EventArguments.h"
#include "downloadcontrol/activex/SnapshotEnumerator.h"

namespace activex {
namespace {

struct ConnectDataTraits {
    static CONNECTDATA copy(const CONNECTDATA& data) {
        if (data.pUnk) {
            data.pUnk->AddRef();
        }
        return data;
    }
    static void release(CONNECTDATA& data) {
        if (data.pUnk) {
            data.pUnk->Release();
        }
    }
};

using ConnectionEnumerator = SnapshotEnumerator<IEnumConnections, CONNECTDATA, ConnectDataTraits>;

}  // namespace

ConnectionPoint::ConnectionPoint(ObjectRoot& root, IConnectionPointContainer& container, REFIID iid,
                                 bool dispinterface)
    : DelegatingPart(root), container_(container), iid_(iid), dispinterface_(dispinterface) {}

ConnectionPoint::~ConnectionPoint() {
    disconnectAll();
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::snapshot() const {
    std::vector<ComPtr<IUnknown>> result;
    result.reserve(sinks_.size());
    for (const Connection& connection : sinks_) {
        result.push_back(connection.sink);
    }
    return result;
}

void ConnectionPoint::disconnectAll() {
    // Release outside the list: a sink's release may call back into this object.
    std::vector<Connection> dropped;
    dropped.swap(sinks_);
}

void ConnectionPoint::fire(DISPID id, EventArguments& arguments) const {
    for (const ComPtr<IUnknown>& sink : snapshot()) {
        // Sinks of a dispinterface point are held by their IDispatch-shaped interface.
        auto* dispatch = static_cast<IDispatch*>(static_cast<IUnknown*>(sink.get()));
        VARIANT result;
        VariantInit(&result);
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.parameters(), &result,
                         nullptr, nullptr);
        VariantClear(&result);
    }
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = iid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) {
        return E_POINTER;
    }
    *container = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    if (!sink) {
        return E_POINTER;
    }
    ComPtr<IUnknown> connected;
    HRESULT hr = sink->QueryInterface(iid_, connected.putVoid());
    if (FAILED(hr) && dispinterface_) {
        hr = sink->QueryInterface(IID_IDispatch, connected.putVoid());
    }
    if (FAILED(hr) || !connected) {
        return CONNECT_E_CANNOTCONNECT;
    }
    sinks_.push_back(Connection{nextCookie_, connected});
    *cookie = nextCookie_++;
    if (nextCookie_ == 0) {
        nextCookie_ = 1;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            ComPtr<IUnknown> released = it->sink;  // released after the list is consistent again
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    std::vector<CONNECTDATA> data;
    data.reserve(sinks_.size());
    for (const Connection& connection : sinks_) {
        data.push_back(CONNECTDATA{connection.sink.get(), connection.cookie});
    }
    return ConnectionEnumerator::create(IID_IEnumConnections, data, 0, connections);
}

}  // namespace activex

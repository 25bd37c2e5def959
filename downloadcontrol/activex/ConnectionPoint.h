#pragma once
// One outgoing interface of an object: the sinks connected to it and the firing of calls to them.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ObjectRoot.h"

#include <vector>

namespace activex {

class EventArguments;

class ConnectionPoint final : public DelegatingPart<IConnectionPoint> {
public:
    // `container` is the owning object's IConnectionPointContainer. A dispinterface point also
    // accepts sinks that answer only IDispatch, as script hosts' sinks do.
    ConnectionPoint(ObjectRoot& root, IConnectionPointContainer& container, REFIID iid, bool dispinterface);
    ~ConnectionPoint() override;

    const IID& interfaceId() const { return iid_; }

    // A connection point is an object of its own (IUnknown and IConnectionPoint only) whose
    // references keep the owning object alive.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;

    // The connected sinks, each with a new reference, so that a sink may disconnect (or release
    // the object) while it is being called.
    std::vector<ComPtr<IUnknown>> snapshot() const;
    bool hasSinks() const { return !sinks_.empty(); }
    // Drops every connection (the object is going away).
    void disconnectAll();

    // Calls method `id` of a dispinterface on every sink (DISPATCH_METHOD).
    void fire(DISPID id, EventArguments& arguments) const;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    struct Connection {
        DWORD cookie;
        ComPtr<IUnknown> sink;  // the sink's interface for iid_ (or its IDispatch)
    };

    IConnectionPointContainer& container_;
    const IID& iid_;
    bool dispinterface_;
    std::vector<Connection> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace activex

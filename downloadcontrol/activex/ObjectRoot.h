#pragma once
// Identity and lifetime of a COM object that may be aggregated.
//
// Every interface of the object delegates its IUnknown methods to controllingUnknown(): the outer
// object when aggregated, else the object's own inner unknown. The inner unknown owns the
// reference count; when it reaches zero the count is parked at a large value while finalRelease()
// runs, so that references taken and dropped during teardown (by event sinks, for example) cannot
// destroy the object a second time.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <new>

namespace activex {

class ObjectRoot {
public:
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;

    IUnknown* controllingUnknown() const { return outer_; }
    IUnknown* innerUnknown() { return &inner_; }
    bool aggregated() const { return outer_ != &inner_; }

    // The delegating IUnknown methods of every interface of the object.
    HRESULT outerQueryInterface(REFIID iid, void** object) { return outer_->QueryInterface(iid, object); }
    ULONG outerAddRef() { return outer_->AddRef(); }
    ULONG outerRelease() { return outer_->Release(); }

protected:
    // `outer` is the controlling unknown of an aggregate, or null.
    explicit ObjectRoot(IUnknown* outer);
    virtual ~ObjectRoot();

    // Work that may fail, run once after the constructor with one reference held.
    virtual HRESULT finalConstruct() { return S_OK; }
    // Runs once when the last reference goes, before the destructor.
    virtual void finalRelease() {}
    // The interface for `iid` (IUnknown excepted), without a new reference; null when not supported.
    virtual void* findInterface(REFIID iid) = 0;

    template <class Object>
    friend HRESULT createObject(IUnknown* outer, REFIID iid, void** object);

private:
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(ObjectRoot& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        ObjectRoot& owner_;
    };

    InnerUnknown inner_;
    IUnknown* outer_;
    LONG references_ = 0;
};

// Creates an object of class `Object` (constructed from the outer unknown) and returns its
// interface `iid`. An aggregated object can only be asked for IUnknown.
template <class Object>
HRESULT createObject(IUnknown* outer, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    Object* created = new (std::nothrow) Object(outer);
    if (!created) {
        return E_OUTOFMEMORY;
    }
    ObjectRoot* root = created;
    IUnknown* inner = root->innerUnknown();
    inner->AddRef();
    HRESULT hr = root->finalConstruct();
    if (SUCCEEDED(hr)) {
        hr = inner->QueryInterface(iid, object);
    }
    inner->Release();
    return hr;
}

// The IUnknown methods of an interface implementation that belongs to an object: they delegate
// to the object's controlling unknown. Part classes derive from this with the interfaces they
// implement.
template <class... Interfaces>
class DelegatingPart : public Interfaces... {
public:
    explicit DelegatingPart(ObjectRoot& root) : root_(root) {}
    DelegatingPart(const DelegatingPart&) = delete;
    DelegatingPart& operator=(const DelegatingPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return root_.outerQueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return root_.outerAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return root_.outerRelease(); }

protected:
    virtual ~DelegatingPart() = default;
    ObjectRoot& root() { return root_; }

private:
    ObjectRoot& root_;
};

}  // namespace activex

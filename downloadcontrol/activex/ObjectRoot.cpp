#include "downloadcontrol/activex/ObjectRoot.h"

#include "downloadcontrol/activex/Module.h"

namespace activex {
namespace {

// Parked reference count during final release: far from zero in both directions.
constexpr LONG kReleasingCount = 0x40000000;

}  // namespace

ObjectRoot::ObjectRoot(IUnknown* outer) : inner_(*this), outer_(outer ? outer : &inner_) {
    Module::objectCreated();
}

ObjectRoot::~ObjectRoot() {
    Module::objectDestroyed();
}

HRESULT STDMETHODCALLTYPE ObjectRoot::InnerUnknown::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    void* found = owner_.findInterface(iid);
    if (!found) {
        return E_NOINTERFACE;
    }
    // Interfaces other than the inner unknown count references on the controlling unknown.
    static_cast<IUnknown*>(found)->AddRef();
    *object = found;
    return S_OK;
}

ULONG STDMETHODCALLTYPE ObjectRoot::InnerUnknown::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&owner_.references_));
}

ULONG STDMETHODCALLTYPE ObjectRoot::InnerUnknown::Release() {
    LONG remaining = InterlockedDecrement(&owner_.references_);
    if (remaining == 0) {
        owner_.references_ = kReleasingCount;
        owner_.finalRelease();
        delete &owner_;
    }
    return static_cast<ULONG>(remaining);
}

}  // namespace activex

#include "downloadcontrol/activex/ClassFactory.h"

#include "downloadcontrol/activex/Module.h"

#include <new>

namespace activex {

// A class object counts as a live object: a host that holds one keeps the module loaded.
ClassFactory::ClassFactory(CreateFunction create) : create_(create) {
    Module::objectCreated();
}

ClassFactory::~ClassFactory() {
    Module::objectDestroyed();
}

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) {
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    return create_(outer, iid, object);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        Module::lock();
    } else {
        Module::unlock();
    }
    return S_OK;
}

HRESULT getClassObject(const ClassEntry* classes, std::size_t count, REFCLSID classId, REFIID iid,
                       void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (IsEqualCLSID(*classes[i].classId, classId)) {
            ClassFactory* factory = new (std::nothrow) ClassFactory(classes[i].create);
            if (!factory) {
                return E_OUTOFMEMORY;
            }
            HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace activex

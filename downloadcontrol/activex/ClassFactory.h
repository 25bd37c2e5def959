#pragma once
// The class object handed out by DllGetClassObject, and the module's table of creatable classes.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <cstddef>

namespace activex {

struct ClassRegistration;

// Creates an instance of one class: (outer unknown or null, interface id, out pointer).
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

// One creatable class of the module.
struct ClassEntry {
    const CLSID* classId;
    CreateFunction create;
    const ClassRegistration* registration;
};

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~ClassFactory();

    CreateFunction create_;
    LONG references_ = 1;
};

// DllGetClassObject over a table of classes.
HRESULT getClassObject(const ClassEntry* classes, std::size_t count, REFCLSID classId, REFIID iid,
                       void** object);

}  // namespace activex

#pragma once
// Persistence of a control through a stream, a storage or a property bag. The control keeps no
// persistent properties of its own: loading accepts what saving writes (nothing), so a container
// can initialise, save and reload the control through any of the three.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class PersistPart final : public DelegatingPart<IPersistStreamInit, IPersistStorage, IPersistPropertyBag> {
public:
    explicit PersistPart(ControlBase& control);

    // IPersist (shared)
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;

    // IPersistStreamInit, IPersistStorage
    HRESULT STDMETHODCALLTYPE IsDirty() override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

    // IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

private:
    ControlBase& control_;
};

}  // namespace activex

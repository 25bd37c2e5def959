#include "downloadcontrol/activex/PersistPart.h"

#include "downloadcontrol/activex/ControlBase.h"

namespace activex {

PersistPart::PersistPart(ControlBase& control) : DelegatingPart(control), control_(control) {}

HRESULT STDMETHODCALLTYPE PersistPart::GetClassID(CLSID* classId) {
    if (!classId) {
        return E_POINTER;
    }
    *classId = *control_.registration().classId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::IsDirty() {
    return control_.dirty() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE PersistPart::Load(LPSTREAM stream) {
    if (!stream) {
        return E_POINTER;
    }
    control_.setDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) {
        return E_POINTER;
    }
    if (clearDirty) {
        control_.setDirty(false);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) {
        return E_POINTER;
    }
    size->QuadPart = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::InitNew() {
    control_.setDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::InitNew(IStorage*) {
    return InitNew();
}

HRESULT STDMETHODCALLTYPE PersistPart::Load(IStorage* storage) {
    if (!storage) {
        return E_POINTER;
    }
    control_.setDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::Save(IStorage* storage, BOOL) {
    return storage ? S_OK : E_POINTER;
}

HRESULT STDMETHODCALLTYPE PersistPart::SaveCompleted(IStorage*) {
    control_.setDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::HandsOffStorage() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::Load(IPropertyBag* bag, IErrorLog*) {
    if (!bag) {
        return E_POINTER;
    }
    control_.setDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistPart::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) {
        return E_POINTER;
    }
    if (clearDirty) {
        control_.setDirty(false);
    }
    return S_OK;
}

}  // namespace activex

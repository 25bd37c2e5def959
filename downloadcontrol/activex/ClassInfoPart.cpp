#include "downloadcontrol/activex/ClassInfoPart.h"

#include "downloadcontrol/activex/ControlBase.h"
#include "downloadcontrol/activex/Module.h"

namespace activex {

ClassInfoPart::ClassInfoPart(ControlBase& control, REFIID eventInterface)
    : DelegatingPart(control), control_(control), eventInterface_(eventInterface) {}

HRESULT STDMETHODCALLTYPE ClassInfoPart::GetClassInfo(ITypeInfo** info) {
    return Module::typeInfo(*control_.registration().classId, info);
}

HRESULT STDMETHODCALLTYPE ClassInfoPart::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) {
        return E_POINTER;
    }
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = eventInterface_;
    return S_OK;
}

}  // namespace activex

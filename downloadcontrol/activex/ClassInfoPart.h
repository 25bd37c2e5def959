#pragma once
// IProvideClassInfo2: the control's class description and its default event interface.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class ClassInfoPart final : public DelegatingPart<IProvideClassInfo2> {
public:
    ClassInfoPart(ControlBase& control, REFIID eventInterface);

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

private:
    ControlBase& control_;
    const IID& eventInterface_;
};

}  // namespace activex

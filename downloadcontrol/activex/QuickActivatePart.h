#pragma once
// IQuickActivate: one call in which a container sites the control, connects its sinks and
// learns the control's status bits.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class QuickActivatePart final : public DelegatingPart<IQuickActivate> {
public:
    explicit QuickActivatePart(ControlBase& control);

    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

private:
    ControlBase& control_;
};

}  // namespace activex

#pragma once
// IOleControl: keyboard mnemonics (none), ambient property changes and event freezing.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class OleControlPart final : public DelegatingPart<IOleControl> {
public:
    explicit OleControlPart(ControlBase& control);

    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

private:
    ControlBase& control_;
};

}  // namespace activex

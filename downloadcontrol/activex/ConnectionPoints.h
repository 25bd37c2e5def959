#pragma once
// IConnectionPointContainer of a control: its event dispinterface and IPropertyNotifySink.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ConnectionPoint.h"
#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ConnectionPoints final : public DelegatingPart<IConnectionPointContainer> {
public:
    ConnectionPoints(ObjectRoot& root, REFIID eventInterface);

    ConnectionPoint& events() { return events_; }
    ConnectionPoint& propertyNotify() { return propertyNotify_; }
    void disconnectAll();

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    ConnectionPoint events_;
    ConnectionPoint propertyNotify_;
};

}  // namespace activex

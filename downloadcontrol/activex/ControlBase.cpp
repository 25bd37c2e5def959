#include "downloadcontrol/activex/ControlBase.h"

#include "downloadcontrol/activex/AmbientProperties.h"
#include "downloadcontrol/activex/EventArguments.h"
#include "downloadcontrol/activex/StockDispatchIds.h"

namespace activex {
namespace {

// A new control is two inches square until its container says otherwise (HIMETRIC units).
constexpr LONG kDefaultExtent = 5080;

}  // namespace

ControlBase::ControlBase(IUnknown* outer, const ClassRegistration& registration, REFIID eventInterface)
    : ObjectRoot(outer),
      registration_(registration),
      extent_{kDefaultExtent, kDefaultExtent},
      connectionPoints_(*this, eventInterface),
      stock_(*this),
      inPlace_(*this),
      oleObject_(*this),
      inPlaceObject_(*this),
      viewObject_(*this),
      dataObject_(*this),
      persist_(*this),
      oleControl_(*this),
      quickActivate_(*this),
      classInfo_(*this, eventInterface) {}

ControlBase::~ControlBase() = default;

void* ControlBase::findInterface(REFIID iid) {
    if (void* primary = primaryInterface(iid)) {
        return primary;
    }
    if (IsEqualIID(iid, IID_IOleObject))
        return static_cast<IOleObject*>(&oleObject_);
    if (IsEqualIID(iid, IID_IOleInPlaceObject))
        return static_cast<IOleInPlaceObject*>(&inPlaceObject_);
    if (IsEqualIID(iid, IID_IOleInPlaceObjectWindowless))
        return static_cast<IOleInPlaceObjectWindowless*>(&inPlaceObject_);
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
        return static_cast<IOleInPlaceActiveObject*>(&inPlaceObject_);
    if (IsEqualIID(iid, IID_IOleWindow))
        return static_cast<IOleWindow*>(static_cast<IOleInPlaceObject*>(&inPlaceObject_));
    if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2) ||
        IsEqualIID(iid, IID_IViewObjectEx))
        return static_cast<IViewObjectEx*>(&viewObject_);
    if (IsEqualIID(iid, IID_IDataObject))
        return static_cast<IDataObject*>(&dataObject_);
    if (IsEqualIID(iid, IID_IPersistStreamInit))
        return static_cast<IPersistStreamInit*>(&persist_);
    if (IsEqualIID(iid, IID_IPersist))
        return static_cast<IPersist*>(static_cast<IPersistStreamInit*>(&persist_));
    if (IsEqualIID(iid, IID_IPersistStorage))
        return static_cast<IPersistStorage*>(&persist_);
    if (IsEqualIID(iid, IID_IPersistPropertyBag))
        return static_cast<IPersistPropertyBag*>(&persist_);
    if (IsEqualIID(iid, IID_IOleControl))
        return static_cast<IOleControl*>(&oleControl_);
    if (IsEqualIID(iid, IID_IQuickActivate))
        return static_cast<IQuickActivate*>(&quickActivate_);
    if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        return static_cast<IProvideClassInfo2*>(&classInfo_);
    if (IsEqualIID(iid, IID_IConnectionPointContainer))
        return static_cast<IConnectionPointContainer*>(&connectionPoints_);
    return nullptr;
}

void ControlBase::finalRelease() {
    inPlace_.deactivate();
    oleObject_.sendOnClose();
    oleObject_.releaseAdviseHolder();
    viewObject_.releaseAdviseSink();
    dataObject_.releaseAdviseHolder();
    connectionPoints_.disconnectAll();
    stock_.releaseFont();
    clientSite_.reset();
}

void ControlBase::setClientSite(IOleClientSite* site) {
    clientSite_ = site;
    OLE_COLOR ambient = 0;
    if (site && !stock_.backColorSetByHost() && ambientBackColor(site, &ambient)) {
        stock_.takeAmbientBackColor(ambient);
    }
}

void ControlBase::ambientPropertyChanged(DISPID id) {
    if (id != kDispidUnknown && id != kDispidAmbientBackColor) {
        return;
    }
    OLE_COLOR ambient = 0;
    if (!stock_.backColorSetByHost() && ambientBackColor(clientSite_.get(), &ambient)) {
        stock_.takeAmbientBackColor(ambient);
    }
}

bool ControlBase::requestEdit(DISPID id) {
    if (eventsFrozen()) {
        return true;
    }
    for (const ComPtr<IUnknown>& sink : connectionPoints_.propertyNotify().snapshot()) {
        auto* notify = static_cast<IPropertyNotifySink*>(sink.get());
        if (notify->OnRequestEdit(id) == S_FALSE) {
            return false;
        }
    }
    return true;
}

void ControlBase::propertyChanged(DISPID id) {
    if (eventsFrozen()) {
        return;
    }
    for (const ComPtr<IUnknown>& sink : connectionPoints_.propertyNotify().snapshot()) {
        static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(id);
    }
}

void ControlBase::freezeEvents(bool freeze) {
    if (freeze) {
        ++freezeCount_;
    } else if (freezeCount_ > 0) {
        --freezeCount_;
    }
}

void ControlBase::fireEvent(DISPID id, EventArguments& arguments) {
    // The sinks may release the control while it fires; it stays whole until the call returns.
    ComPtr<IUnknown> keepAlive(innerUnknown());
    connectionPoints_.events().fire(id, arguments);
}

void ControlBase::fireViewChange() {
    if (HWND window = inPlace_.window()) {
        InvalidateRect(window, nullptr, TRUE);
    } else {
        viewObject_.sendViewChange();
    }
}

LRESULT ControlBase::onMessage(HWND, UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

void ControlBase::draw(HDC dc, const RECT& bounds) {
    HBRUSH brush = CreateSolidBrush(stock_.backColorRef());
    if (brush) {
        FillRect(dc, &bounds, brush);
        DeleteObject(brush);
    }
}

}  // namespace activex

#pragma once
// The base of an ActiveX control: everything a container uses to create, site, activate in place,
// draw, persist and quick-activate a windowed control, its connection points and stock properties.
//
// A control class derives from ControlBase and from DualDispatch<its dual interface>, returns
// that interface from primaryInterface(), and overrides the hooks it needs (window messages,
// drawing, stock property changes).
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ClassInfoPart.h"
#include "downloadcontrol/activex/ClassRegistration.h"
#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ConnectionPoints.h"
#include "downloadcontrol/activex/DataObjectPart.h"
#include "downloadcontrol/activex/InPlaceActivation.h"
#include "downloadcontrol/activex/InPlaceObjectPart.h"
#include "downloadcontrol/activex/ObjectRoot.h"
#include "downloadcontrol/activex/OleControlPart.h"
#include "downloadcontrol/activex/OleObjectPart.h"
#include "downloadcontrol/activex/PersistPart.h"
#include "downloadcontrol/activex/QuickActivatePart.h"
#include "downloadcontrol/activex/StockProperties.h"
#include "downloadcontrol/activex/ViewObjectPart.h"

namespace activex {

class EventArguments;

class ControlBase : public ObjectRoot {
public:
    const ClassRegistration& registration() const { return registration_; }

    // --- Site and container ---
    IOleClientSite* clientSite() const { return clientSite_.get(); }
    // Keeps the site; a new site brings the ambient back colour with it.
    void setClientSite(IOleClientSite* site);
    // Called by the container (IOleControl) when ambient `id` changed (kDispidUnknown: several).
    void ambientPropertyChanged(DISPID id);

    // --- Property notification (IPropertyNotifySink), skipped while events are frozen ---
    // False when a connected sink refused the edit.
    bool requestEdit(DISPID id);
    void propertyChanged(DISPID id);
    // The put protocol: request-edit, store, changed. S_FALSE (nothing stored) on refusal.
    template <class Store>
    HRESULT putProperty(DISPID id, Store store) {
        if (!requestEdit(id)) {
            return S_FALSE;
        }
        store();
        setDirty(true);
        propertyChanged(id);
        return S_OK;
    }
    void freezeEvents(bool freeze);
    bool eventsFrozen() const { return freezeCount_ > 0; }

    // --- Events of the control's default source interface ---
    void fireEvent(DISPID id, EventArguments& arguments);
    ConnectionPoints& connectionPoints() { return connectionPoints_; }

    // --- Extent, persistence state and view ---
    SIZEL extent() const { return extent_; }
    void setExtent(const SIZEL& extent) { extent_ = extent; }
    bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }
    // Repaints the window, or tells the container's view sink when the control has no window.
    void fireViewChange();

    // --- Parts and components ---
    StockProperties& stock() { return stock_; }
    InPlaceActivation& inPlace() { return inPlace_; }
    HWND window() const { return inPlace_.window(); }
    IOleInPlaceActiveObject* inPlaceActiveObject() { return &inPlaceObject_; }
    ViewObjectPart& viewObject() { return viewObject_; }
    OleObjectPart& oleObject() { return oleObject_; }

    // --- Hooks for the control class ---
    // A message to the control's window. Set `handled` to keep the framework's default away.
    virtual LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Draws the control into `bounds` (window painting and IViewObject::Draw). Default: fills
    // the rectangle with the back colour.
    virtual void draw(HDC dc, const RECT& bounds);
    // A stock property (BackColor, Font, Enabled, TabStop) changed its value.
    virtual void onStockPropertyChanged(DISPID) {}
    // A keystroke offered by the container while the control is UI-active; true when used.
    virtual bool translateAccelerator(const MSG&) { return false; }

protected:
    ControlBase(IUnknown* outer, const ClassRegistration& registration, REFIID eventInterface);
    ~ControlBase() override;

    // The control's own dual interface when `iid` names it (or IDispatch), else null.
    virtual void* primaryInterface(REFIID iid) = 0;

    void* findInterface(REFIID iid) override;
    // Deactivates, disconnects every sink and drops the site. A control class that overrides
    // finalRelease calls this last.
    void finalRelease() override;

private:
    const ClassRegistration& registration_;
    ComPtr<IOleClientSite> clientSite_;
    LONG freezeCount_ = 0;
    SIZEL extent_;
    bool dirty_ = false;

    ConnectionPoints connectionPoints_;
    StockProperties stock_;
    InPlaceActivation inPlace_;
    OleObjectPart oleObject_;
    InPlaceObjectPart inPlaceObject_;
    ViewObjectPart viewObject_;
    DataObjectPart dataObject_;
    PersistPart persist_;
    OleControlPart oleControl_;
    QuickActivatePart quickActivate_;
    ClassInfoPart classInfo_;
};

}  // namespace activex

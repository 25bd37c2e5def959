#pragma once
// Hosts one ActiveX control: creates it by class identifier, gives it a client site, activates it
// in place in a container window when asked, reads and writes its properties by dispatch id,
// connects an event sink to it, and tears it all down again.
//
// Teardown must happen before OLE is uninitialised on the thread. Close() does it; the destructor
// calls Close(); CloseAllOleControls() closes every host of the calling thread that is still open
// (OleInitializer calls it before it uninitialises OLE).
#include "gui/OleClientSite.h"
#include "gui/OleEventSink.h"
#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>
#include <functional>

namespace gui {

class OleControlHost {
public:
    OleControlHost() = default;
    ~OleControlHost();
    OleControlHost(const OleControlHost&) = delete;
    OleControlHost& operator=(const OleControlHost&) = delete;

    // Makes the control (any earlier one is closed first): creation, client site, initialisation
    // as a new object. The control is not placed in any window.
    HRESULT Create(const CLSID& classId);
    bool Created() const { return object_ != nullptr; }

    // Activates the control in place in container at bounds (container client coordinates).
    HRESULT Activate(HWND container, const RECT& bounds);
    bool Active() const { return inPlace_ != nullptr; }
    // Moves the active control; remembered for the next activation otherwise.
    void SetBounds(const RECT& bounds);
    const RECT& Bounds() const { return bounds_; }
    // The control's own window while it is active in place (null otherwise or when windowless).
    HWND ControlWindow() const;
    // Ends in-place activation (the control's window goes); the control itself stays.
    void Deactivate();

    // Disconnects the events, deactivates, closes and lets go of the control. Safe to repeat.
    void Close();
    // Runs at the start of Close(): whoever keeps interfaces of the control lets go of them here,
    // so that nothing of it outlives the host (or OLE).
    std::function<void()> OnClosing;

    // The control's identity (null before Create or after Close), and its other interfaces.
    IUnknown* Object() const { return object_.Get(); }
    template <class Interface>
    Microsoft::WRL::ComPtr<Interface> As(REFIID iid) const {
        Microsoft::WRL::ComPtr<Interface> result;
        if (object_)
            object_->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
        return result;
    }

    // Properties through the control's IDispatch.
    HRESULT GetProperty(DISPID id, VARIANT* value) const;
    HRESULT SetProperty(DISPID id, const VARIANT& value);

    // Connects a sink for the event interface to the control's connection point. One event
    // interface per host; handlers (SetEventHandler) are set after connecting.
    HRESULT ConnectEvents(REFIID events);
    void SetEventHandler(DISPID id, OleEventSink::Handler handler);
    void ClearEventHandler(DISPID id);
    bool EventsConnected() const { return sink_ && sink_->Connected(); }

private:
    friend void CloseAllOleControls();
    void release();

    Microsoft::WRL::ComPtr<IUnknown> object_;
    Microsoft::WRL::ComPtr<IOleObject> oleObject_;
    Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace_;
    Microsoft::WRL::ComPtr<OleClientSite> site_;
    Microsoft::WRL::ComPtr<OleEventSink> sink_;
    RECT bounds_{};
    DWORD thread_ = 0;
};

// Closes every host of the calling thread that is still open.
void CloseAllOleControls();

// OLE for the calling thread for the life of this object. Before OLE is uninitialised, every
// hosted control of the thread is closed, whoever still owns it.
class OleInitializer {
public:
    OleInitializer();
    ~OleInitializer();
    OleInitializer(const OleInitializer&) = delete;
    OleInitializer& operator=(const OleInitializer&) = delete;
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace gui

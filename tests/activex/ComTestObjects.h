#pragma once
// Small host-side COM objects for driving a control in tests: a container site with a window,
// property and event sinks that record what they hear, and an outer object for aggregation.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

namespace comtest {

// Reference counting for heap test objects; they start with one reference held by the creator.
class RefCounted {
public:
    ULONG addRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG release();
    LONG references() const { return references_; }

protected:
    virtual ~RefCounted() = default;

private:
    LONG references_ = 1;
};

// IPropertyNotifySink that records "edit:<id>" and "changed:<id>" and refuses edits on request.
class PropertySink final : public IPropertyNotifySink, public RefCounted {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID id) override;

    std::vector<std::string> calls;
    DISPID refuse = 0;  // OnRequestEdit answers S_FALSE for this id (0: none)
};

// A dispinterface sink: records each call's dispid and arguments (as text, in declaration order).
// Answers QueryInterface for `eventInterface` unless told to answer only IDispatch.
class EventSink final : public IDispatch, public RefCounted {
public:
    EventSink(REFIID eventInterface, bool dispatchOnly = false)
        : eventInterface_(eventInterface), dispatchOnly_(dispatchOnly) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    struct Call {
        DISPID id;
        std::vector<std::wstring> arguments;  // "I4:5", "BOOL:-1", "BSTR:text", "R8:1.5"
    };
    std::vector<Call> calls;
    std::function<void(DISPID)> onCall;  // runs inside Invoke, after recording

private:
    const IID& eventInterface_;
    bool dispatchOnly_;
};

// IAdviseSink(Ex) that counts view changes and runs a callback on OnClose.
class AdviseSink final : public IAdviseSinkEx, public RefCounted {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override { ++viewChanges; }
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override;
    void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override {}

    int viewChanges = 0;
    int closes = 0;
    std::function<void()> onClose;
};

// A container for one control: client site, in-place site, in-place frame, ambient properties
// (IDispatch) and a window to hold the control. Records the calls the control makes.
class TestContainer final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleInPlaceFrame,
                            public IDispatch,
                            public RefCounted {
public:
    TestContainer();
    ~TestContainer() override;

    HWND window() const { return window_; }
    // Where the control is placed inside window().
    RECT position = {10, 20, 210, 170};
    // The ambient back colour offered (VT_I4); offered only when hasAmbientBackColor.
    OLE_COLOR ambientBackColor = 0x00345678;
    bool hasAmbientBackColor = true;
    std::vector<std::string> calls;
    bool called(const std::string& name) const;
    IOleInPlaceActiveObject* activeObject = nullptr;  // last SetActiveObject (not referenced)

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the ambient properties
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

private:
    HWND window_ = nullptr;
};

// The controlling unknown of an aggregate that holds the inner object's IUnknown.
class OuterObject final : public IUnknown, public RefCounted {
public:
    ~OuterObject() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    IUnknown* inner = nullptr;  // owned
};

// Pumps the calling thread's messages until none is waiting.
void pumpWaitingMessages();

}  // namespace comtest

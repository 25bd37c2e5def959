#pragma once
// The receiving end of a hosted control's events: a dispatch object that answers for one event
// interface, connects to the control's connection point, and hands each event to the handler
// stored for its dispatch id. Handlers can be replaced or cleared at any time, also from inside
// an event; an event without a handler is accepted and ignored.
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>
#include <functional>
#include <map>
#include <string>

namespace gui {

// The arguments of one event, in the order the event declares them (DISPPARAMS holds them
// reversed). Values are converted on reading; out arguments (passed by reference) can be set.
class OleEventArguments {
public:
    explicit OleEventArguments(DISPPARAMS* params) : params_(params) {}

    int Count() const { return params_ ? static_cast<int>(params_->cArgs) : 0; }
    // The argument at index, or null when there are fewer arguments.
    const VARIANT* At(int index) const;

    std::wstring Text(int index) const;
    long Integer(int index) const;
    bool Boolean(int index) const;
    double Double(int index) const;
    // The object passed at index (by value or by reference), not referenced for the caller.
    IDispatch* Dispatch(int index) const;

    // Stores into a by-reference boolean argument (VT_BOOL or VT_VARIANT); false when the
    // argument is not one.
    bool SetBoolean(int index, bool value);
    // Stores an object into a by-reference IDispatch* argument, releasing what it held and
    // referencing the new one; false when the argument is not one.
    bool SetDispatch(int index, IDispatch* value);

private:
    VARIANT* at(int index) const;
    DISPPARAMS* params_;
};

class OleEventSink final : public IDispatch {
public:
    using Handler = std::function<void(OleEventArguments& arguments)>;

    // A new sink for the event interface events.
    static Microsoft::WRL::ComPtr<OleEventSink> Create(REFIID events);

    // Connects to source's connection point for the event interface; one connection at a time.
    HRESULT Connect(IUnknown* source);
    void Disconnect();
    bool Connected() const { return point_ != nullptr; }
    const IID& Events() const { return events_; }

    void SetHandler(DISPID id, Handler handler);
    void ClearHandler(DISPID id) { handlers_.erase(id); }
    void ClearHandlers() { handlers_.clear(); }
    bool HasHandler(DISPID id) const { return handlers_.count(id) != 0; }

    // Sinks alive in the process (for leak checks).
    static LONG LiveCount();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    explicit OleEventSink(REFIID events);
    ~OleEventSink();

    LONG references_ = 0;
    IID events_;
    Microsoft::WRL::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    std::map<DISPID, Handler> handlers_;
};

}  // namespace gui

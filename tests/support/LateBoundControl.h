#pragma once
// The download control driven as a script host drives it: names resolved with GetIDsOfNames, calls
// through IDispatch::Invoke, and the events taken by a plain IDispatch on the source interface that
// IProvideClassInfo2 names.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

namespace testsupport {

// A variant that frees what it holds.
struct Value {
    Value() { VariantInit(&v); }
    explicit Value(const std::wstring& text);
    explicit Value(long number);
    ~Value() { VariantClear(&v); }
    Value(const Value& other);
    Value& operator=(const Value&) = delete;
    VARIANT v;
};

// Calls by name, arguments in declaration order.
class LateBound {
public:
    explicit LateBound(IDispatch* object) : object_(object) {}

    Value call(const wchar_t* name, std::vector<Value> arguments = {});
    void put(const wchar_t* name, Value value);

private:
    Value invoke(const wchar_t* name, WORD flags, std::vector<Value> arguments);

    IDispatch* object_;
};

// One event as a script sees it: its dispid and its arguments as "TYPE:value" texts ("BSTR:300000",
// "I4:0", "BOOL:-1", "R8").
struct Heard {
    DISPID id;
    std::vector<std::wstring> arguments;
};

class ScriptSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    int count(DISPID id) const;
    // The last event of that kind, nullptr when none came.
    const Heard* last(DISPID id) const;

    std::vector<Heard> events;

private:
    LONG references_ = 1;
};

constexpr DISPID kSizeQuery = 1, kDownloadComplete = 2, kFileComplete = 3, kProgress = 4, kSegment = 5,
                 kStart = 6, kResume = 7;

// A control made by `create` (the control's class factory function) with a script sink on the interface
// its class information names.
struct ScriptedControl {
    using Create = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);
    explicit ScriptedControl(Create create);
    ~ScriptedControl();
    ScriptedControl(const ScriptedControl&) = delete;
    ScriptedControl& operator=(const ScriptedControl&) = delete;

    IDispatch* control = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    ScriptSink sink;
};

class OleApartment {
public:
    OleApartment();
    ~OleApartment();
};

// AddFile(url, size, "", savePath, segments, "", user, password, implicitTls).
Value addFile(LateBound& pxhl, const std::wstring& url, const std::wstring& savePath, long segments,
              const std::wstring& size = L"-1", const std::wstring& user = L"",
              const std::wstring& password = L"", long implicitTls = 0);

}  // namespace testsupport

#include "LateBoundControl.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>

namespace testsupport {

Value::Value(const std::wstring& text) {
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text.c_str());
}

Value::Value(long number) {
    v.vt = VT_I4;
    v.lVal = number;
}

Value::Value(const Value& other) {
    VariantInit(&v);
    VariantCopy(&v, const_cast<VARIANT*>(&other.v));
}

Value LateBound::call(const wchar_t* name, std::vector<Value> arguments) {
    return invoke(name, DISPATCH_METHOD, std::move(arguments));
}

void LateBound::put(const wchar_t* name, Value value) {
    invoke(name, DISPATCH_PROPERTYPUT, {std::move(value)});
}

Value LateBound::invoke(const wchar_t* name, WORD flags, std::vector<Value> arguments) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
        reversed.push_back(it->v);
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &named;
        parameters.cNamedArgs = 1;
    }
    Value result;
    EXPECT_EQ(
        object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result.v, nullptr, nullptr),
        S_OK)
        << name;
    return result;
}

HRESULT STDMETHODCALLTYPE ScriptSink::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ScriptSink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE ScriptSink::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&references_));
}

HRESULT STDMETHODCALLTYPE ScriptSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ScriptSink::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ScriptSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ScriptSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                             EXCEPINFO*, UINT*) {
    Heard heard{id, {}};
    for (UINT i = parameters ? parameters->cArgs : 0; i-- > 0;) {
        const VARIANT& argument = parameters->rgvarg[i];
        switch (argument.vt) {
        case VT_BSTR:
            heard.arguments.push_back(L"BSTR:" + std::wstring(argument.bstrVal ? argument.bstrVal : L""));
            break;
        case VT_I4:
            heard.arguments.push_back(L"I4:" + std::to_wstring(argument.lVal));
            break;
        case VT_BOOL:
            heard.arguments.push_back(L"BOOL:" + std::to_wstring(argument.boolVal));
            break;
        case VT_R8:
            heard.arguments.push_back(L"R8");
            break;
        default:
            heard.arguments.push_back(L"VT" + std::to_wstring(argument.vt));
        }
    }
    events.push_back(heard);
    return S_OK;
}

int ScriptSink::count(DISPID id) const {
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const Heard& h) { return h.id == id; }));
}

const Heard* ScriptSink::last(DISPID id) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (it->id == id) {
            return &*it;
        }
    }
    return nullptr;
}

ScriptedControl::ScriptedControl(Create create) {
    EXPECT_EQ(create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
    if (!control) {
        return;
    }
    IProvideClassInfo2* info = nullptr;
    EXPECT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
    GUID source{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    info->Release();
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
              S_OK);
    EXPECT_EQ(container->FindConnectionPoint(source, &point), S_OK);
    container->Release();
    EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
}

ScriptedControl::~ScriptedControl() {
    if (point) {
        point->Unadvise(cookie);
        point->Release();
    }
    if (control) {
        control->Release();
    }
}

OleApartment::OleApartment() {
    EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
}

OleApartment::~OleApartment() {
    OleUninitialize();
}

Value addFile(LateBound& pxhl, const std::wstring& url, const std::wstring& savePath, long segments,
              const std::wstring& size, const std::wstring& user, const std::wstring& password,
              long implicitTls) {
    return pxhl.call(L"AddFile",
                     {Value(url), Value(size), Value(std::wstring()), Value(savePath), Value(segments),
                      Value(std::wstring()), Value(user), Value(password), Value(implicitTls)});
}

}  // namespace testsupport

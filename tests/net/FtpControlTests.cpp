// FTP and FTP over TLS through the whole control, driven late-bound as a script host would drive it:
// names resolved with GetIDsOfNames, calls through IDispatch::Invoke, and the events sunk by a plain
// IDispatch on the source interface that IProvideClassInfo2 names.
#include <winsock2.h>
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NetPeers.h"
#include "downloadcontrol/Pxhl.h"
#include "support/TestSupport.h"

using nettest::port;
using nettest::servedFile;

namespace {

// A variant that frees what it holds.
struct Value {
    Value() { VariantInit(&v); }
    explicit Value(const std::wstring& text) {
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text.c_str());
    }
    explicit Value(long number) {
        v.vt = VT_I4;
        v.lVal = number;
    }
    ~Value() { VariantClear(&v); }
    Value(const Value& other) {
        VariantInit(&v);
        VariantCopy(&v, const_cast<VARIANT*>(&other.v));
    }
    Value& operator=(const Value&) = delete;
    std::wstring text() const { return v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : L""; }
    VARIANT v;
};

class LateBound {
public:
    explicit LateBound(IDispatch* object) : object_(object) {}

    // Calls a method or gets a property (`flags`), arguments in declaration order.
    Value invoke(const wchar_t* name, WORD flags, std::vector<Value> arguments = {}) {
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
        EXPECT_EQ(object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result.v, nullptr,
                                  nullptr),
                  S_OK)
            << name;
        return result;
    }
    Value call(const wchar_t* name, std::vector<Value> arguments = {}) {
        return invoke(name, DISPATCH_METHOD, std::move(arguments));
    }
    void put(const wchar_t* name, Value value) { invoke(name, DISPATCH_PROPERTYPUT, {std::move(value)}); }

private:
    IDispatch* object_;
};

// Records the dispid of every event and the result argument of OnDownloadComplete.
class EventRecorder final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return static_cast<ULONG>(InterlockedDecrement(&references_));
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        events.push_back(id);
        if (id == kDownloadComplete && parameters && parameters->cArgs == 1) {
            VARIANT result;
            VariantInit(&result);
            if (SUCCEEDED(VariantChangeType(&result, &parameters->rgvarg[0], 0, VT_BOOL))) {
                completed = result.boolVal ? 1 : 0;
            }
        }
        return S_OK;
    }

    static constexpr DISPID kDownloadComplete = 2;
    std::vector<DISPID> events;
    int completed = -1;  // OnDownloadComplete's result once it came

private:
    LONG references_ = 1;
};

TEST(FtpThroughTheControl, OneFileEachOverFtpNegotiatedTlsAndImplicitTls) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        IDispatch* control = nullptr;
        ASSERT_EQ(Pxhl::create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);

        IProvideClassInfo2* info = nullptr;
        ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
        GUID events{};
        ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
        info->Release();
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(
            control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
            S_OK);
        IConnectionPoint* point = nullptr;
        ASSERT_EQ(container->FindConnectionPoint(events, &point), S_OK);
        container->Release();
        EventRecorder recorder;
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(&recorder, &cookie), S_OK);

        LateBound pxhl(control);
        pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
        pxhl.put(L"ConnectionTimeout", Value(4000L));
        testsupport::TempFolder folder;
        // Secure servers by the name their certificate is made out to.
        const std::wstring host = L"://127.0.0.1:";
        const std::wstring secureHost = L"://localhost:";
        const struct {
            std::wstring url;
            const wchar_t* size;
            long segments;
            const wchar_t* user;
            const wchar_t* password;
            long implicitTls;
            std::wstring savePath;
            const char* served;
        } files[] = {
            {L"ftp" + host + std::to_wstring(port("ftp_plain")) + L"/files/small.bin", L"", 1, L"user",
             L"secret", 0, folder.file(L"plain.bin"), "files/small.bin"},
            {L"ftps" + secureHost + std::to_wstring(port("ftps_explicit")) + L"/files/medium.bin", L"1000000",
             3, L"", L"", 0, folder.file(L"explicit.bin"), "files/medium.bin"},
            {L"ftps" + secureHost + std::to_wstring(port("ftps_implicit")) + L"/files/large.bin", L"", 1, L"",
             L"", 1, folder.file(L"implicit.bin"), "files/large.bin"},
        };
        for (const auto& file : files) {
            const Value id =
                pxhl.call(L"AddFile", {Value(file.url), Value(std::wstring(file.size)), Value(std::wstring()),
                                       Value(file.savePath), Value(file.segments), Value(std::wstring()),
                                       Value(std::wstring(file.user)), Value(std::wstring(file.password)),
                                       Value(file.implicitTls)});
            EXPECT_EQ(id.v.vt, VT_I4);
            EXPECT_GE(id.v.lVal, 0) << "error " << pxhl.call(L"GetLastError").v.lVal;
        }

        const Value started = pxhl.call(L"Download");
        EXPECT_EQ(started.v.vt, VT_BOOL);
        EXPECT_TRUE(started.v.boolVal);
        const ULONGLONG deadline = GetTickCount64() + 120000;
        while (recorder.completed < 0 && GetTickCount64() < deadline) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        EXPECT_EQ(recorder.completed, 1) << "error " << pxhl.call(L"GetLastError").v.lVal;
        for (const auto& file : files) {
            EXPECT_TRUE(testsupport::readFileBytes(file.savePath) == servedFile(file.served)) << file.served;
        }
        // Start, progress, file completion and run completion all came through the plain sink.
        for (DISPID id : {6, 4, 3, 2}) {
            EXPECT_NE(std::find(recorder.events.begin(), recorder.events.end(), id), recorder.events.end())
                << id;
        }

        point->Unadvise(cookie);
        point->Release();
        control->Release();
    }
    OleUninitialize();
}

}  // namespace

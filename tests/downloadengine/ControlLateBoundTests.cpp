// The whole control driven as a script host drives it: names resolved with GetIDsOfNames, calls through
// IDispatch::Invoke, and the events taken by a plain IDispatch on the source interface that
// IProvideClassInfo2 names. Also the control released in the middle of runs, and a run with no sink.
#include <winsock2.h>
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "EnginePeers.h"
#include "EngineTestSupport.h"
#include "downloadcontrol/Pxhl.h"
#include "support/TestSupport.h"

namespace {

using enginetest::fileHash;
using enginetest::peerUrl;
using enginetest::pumpUntil;
using enginetest::servedPath;
using testsupport::TempFolder;

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
    VARIANT v;
};

// Calls by name, as a script engine does.
class LateBound {
public:
    explicit LateBound(IDispatch* object) : object_(object) {}

    Value call(const wchar_t* name, std::vector<Value> arguments = {}) {
        return invoke(name, DISPATCH_METHOD, std::move(arguments));
    }
    void put(const wchar_t* name, Value value) { invoke(name, DISPATCH_PROPERTYPUT, {std::move(value)}); }

private:
    Value invoke(const wchar_t* name, WORD flags, std::vector<Value> arguments) {
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

    IDispatch* object_;
};

// One event as a script sees it: its dispid and its arguments as "TYPE:value" texts.
struct Heard {
    DISPID id;
    std::vector<std::wstring> arguments;
};

class ScriptSink final : public IDispatch {
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

    int count(DISPID id) const {
        return static_cast<int>(
            std::count_if(events.begin(), events.end(), [&](const Heard& h) { return h.id == id; }));
    }
    const Heard* last(DISPID id) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->id == id) {
                return &*it;
            }
        }
        return nullptr;
    }

    std::vector<Heard> events;

private:
    LONG references_ = 1;
};

constexpr DISPID kSizeQuery = 1, kDownloadComplete = 2, kFileComplete = 3, kProgress = 4, kSegment = 5,
                 kStart = 6, kResume = 7;

// A control made through its class, with a script sink on the interface its class information names.
struct ScriptedControl {
    ScriptedControl() {
        EXPECT_EQ(Pxhl::create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
        IProvideClassInfo2* info = nullptr;
        EXPECT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
        GUID source{};
        EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
        info->Release();
        IConnectionPointContainer* container = nullptr;
        EXPECT_EQ(
            control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
            S_OK);
        EXPECT_EQ(container->FindConnectionPoint(source, &point), S_OK);
        container->Release();
        EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
    }
    ~ScriptedControl() {
        point->Unadvise(cookie);
        point->Release();
        control->Release();
    }
    IDispatch* control = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    ScriptSink sink;
};

class OleApartment {
public:
    OleApartment() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~OleApartment() { OleUninitialize(); }
};

Value addFile(LateBound& pxhl, const std::wstring& url, const std::wstring& savePath, long segments) {
    return pxhl.call(L"AddFile", {Value(url), Value(std::wstring(L"-1")), Value(std::wstring()),
                                  Value(savePath), Value(segments), Value(std::wstring()),
                                  Value(std::wstring()), Value(std::wstring()), Value(0L)});
}

TEST(ScriptHost, TwoFilesFromNginxWithEveryEvent) {
    OleApartment ole;
    TempFolder folder;
    TempFolder headers;
    ScriptedControl script;
    LateBound pxhl(script.control);
    ScriptSink& sink = script.sink;
    pxhl.put(L"DownloadSessionTempSubfolder", Value(headers.path()));
    pxhl.put(L"MinFileSegmentSize", Value(262144L));

    const std::wstring small = peerUrl("nginx_http", L"/files/small.bin");
    pxhl.call(L"GetFileSizeLastModified",
              {Value(small), Value(std::wstring()), Value(std::wstring()), Value(std::wstring()), Value(0L)});
    ASSERT_TRUE(pumpUntil([&] { return sink.count(kSizeQuery) == 1; }));
    EXPECT_EQ(sink.last(kSizeQuery)->arguments[0], L"BSTR:" + small);
    EXPECT_EQ(sink.last(kSizeQuery)->arguments[1], L"BSTR:300000");

    const std::wstring one = peerUrl("nginx_http", L"/slow/slow6.bin");
    const std::wstring two = peerUrl("nginx_http", L"/slow/slow7.bin");
    EXPECT_EQ(addFile(pxhl, one, folder.file(L"one.bin"), 2).v.lVal, 0);
    EXPECT_EQ(addFile(pxhl, two, folder.file(L"two.bin"), 1).v.lVal, 1);
    EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
    auto progressFor = [&](long fileId) {
        return std::any_of(sink.events.begin(), sink.events.end(), [&](const Heard& h) {
            return h.id == kProgress && h.arguments[0] == L"I4:" + std::to_wstring(fileId);
        });
    };
    ASSERT_TRUE(pumpUntil([&] { return progressFor(0) && progressFor(1); }));
    pxhl.call(L"StopDownload");
    EXPECT_EQ(pxhl.call(L"GetLastError").v.lVal, 33);
    ASSERT_EQ(sink.count(kDownloadComplete), 1);
    EXPECT_EQ(sink.last(kDownloadComplete)->arguments, std::vector<std::wstring>{L"BOOL:0"});

    // A new list rebuilds itself from the header files; each resumed file is announced at once.
    EXPECT_TRUE(pxhl.call(L"ClearFiles").v.boolVal);
    EXPECT_TRUE(pxhl.call(L"ResumeDownload").v.boolVal);
    ASSERT_EQ(sink.count(kResume), 2);
    EXPECT_EQ(sink.events[sink.events.size() - 2].arguments[0], L"BSTR:" + one);
    EXPECT_EQ(sink.events[sink.events.size() - 2].arguments[1], L"I4:0");
    EXPECT_EQ(sink.events.back().arguments[0], L"BSTR:" + two);
    EXPECT_EQ(sink.events.back().arguments[1], L"I4:1");
    ASSERT_TRUE(pumpUntil([&] { return sink.count(kDownloadComplete) == 2; }));
    EXPECT_EQ(sink.last(kDownloadComplete)->arguments, std::vector<std::wstring>{L"BOOL:-1"});
    EXPECT_EQ(fileHash(folder.file(L"one.bin")), fileHash(servedPath(L"slow/slow6.bin")));
    EXPECT_EQ(fileHash(folder.file(L"two.bin")), fileHash(servedPath(L"slow/slow7.bin")));

    // Every event came, with the argument types a script expects.
    std::set<DISPID> kinds;
    for (const Heard& heard : sink.events) {
        kinds.insert(heard.id);
    }
    EXPECT_EQ(kinds, (std::set<DISPID>{kSizeQuery, kDownloadComplete, kFileComplete, kProgress, kSegment,
                                       kStart, kResume}));
    const Heard* start = sink.last(kStart);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->arguments.size(), 3u);
    EXPECT_EQ(start->arguments[1], L"BSTR:786432");
    const Heard* progress = sink.last(kProgress);
    ASSERT_TRUE(progress);
    ASSERT_EQ(progress->arguments.size(), 7u);
    EXPECT_EQ(progress->arguments[3].rfind(L"I4:", 0), 0u);
    EXPECT_EQ(progress->arguments[6], L"R8");
    const Heard* segment = sink.last(kSegment);
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->arguments.size(), 5u);
    for (const Heard& heard : sink.events) {
        if (heard.id == kFileComplete && heard.arguments[1] == L"BOOL:-1") {
            EXPECT_TRUE(heard.arguments[0] == L"I4:0" || heard.arguments[0] == L"I4:1");
        }
    }
}

TEST(ScriptHost, ReleasingTheControlInTheMiddleOfRuns) {
    OleApartment ole;
    TempFolder folder;
    for (int round = 0; round < 50; ++round) {
        auto script = std::make_unique<ScriptedControl>();
        LateBound pxhl(script->control);
        pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
        const std::wstring prefix = L"r" + std::to_wstring(round);
        addFile(
            pxhl,
            peerUrl("nginx_http", L"/slow/" + std::wstring(L"slow") + std::to_wstring(round % 8) + L".bin"),
            folder.file(prefix + L"a.bin"), 2);
        addFile(pxhl, peerUrl("nginx_http", L"/files/large.bin"), folder.file(prefix + L"b.bin"), 3);
        EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
        if (round % 2) {
            pumpUntil([&] { return script->sink.count(kProgress) > 0; }, 10000);
        }
        script.reset();
    }
}

TEST(ScriptHost, ARunWithNoSinkFreesEveryRecord) {
    OleApartment ole;
    TempFolder folder;
    IDispatch* control = nullptr;
    ASSERT_EQ(Pxhl::create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
    {
        LateBound pxhl(control);
        pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
        pxhl.put(L"AutoRemoveCompletedFiles", Value(1L));
        auto run = [&] {
            for (int i = 0; i < 4; ++i) {
                addFile(pxhl, peerUrl("nginx_http", L"/files/file" + std::to_wstring(i) + L".bin"),
                        folder.file(L"f" + std::to_wstring(i) + L".bin"), 3);
            }
            EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
            // Without a sink the end shows in the list: every completed file leaves it.
            ASSERT_TRUE(pumpUntil([&] {
                Value count = pxhl.call(L"GetFileInfo", {Value(0L), Value(16L)});
                return count.v.vt == VT_BSTR && std::wstring(count.v.bstrVal) == L"0";
            }));
            ASSERT_TRUE(pumpUntil([&] { return pxhl.call(L"ClearFiles").v.boolVal != VARIANT_FALSE; }));
            enginetest::pumpWaiting();  // the run has ended: what it reported is queued already
        };
        run();
        const long before = enginetest::liveAllocations();
        for (int i = 0; i < 3; ++i) {
            run();
        }
        EXPECT_EQ(enginetest::liveAllocations(), before);
    }
    control->Release();
}

}  // namespace

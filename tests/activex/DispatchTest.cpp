// IDownloadX through IDispatch: the type library, every member by name and by dispatch id.
#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"

using namespace pxhltest;

namespace {

struct Member {
    const wchar_t* name;
    DISPID id;
};

const Member kMembers[] = {
    {L"BackColor", -501},
    {L"Font", -512},
    {L"Enabled", -514},
    {L"TabStop", -516},
    {L"Columns", 30},
    {L"SetColumn", 2},
    {L"GetColumn", 3},
    {L"ColumnsForeColor", 28},
    {L"ColumnsBackColor", 29},
    {L"GetLastError", 7},
    {L"GetLastErrorDesc", 8},
    {L"GetFileSizeLastModified", 16},
    {L"AddFile", 4},
    {L"RemoveFile", 22},
    {L"ClearFiles", 23},
    {L"ClearDownloadSessionTempSubfolder", 25},
    {L"CommonSaveFolder", 6},
    {L"DownloadSessionTempSubfolder", 9},
    {L"ReceiveBufferSize", 31},
    {L"MinFileSegmentSize", 10},
    {L"ConcurrentDownloadFileCount", 11},
    {L"AutoRemoveCompletedFiles", 12},
    {L"ConnectionTimeout", 13},
    {L"RetryWait", 14},
    {L"RetryCount", 15},
    {L"Download", 5},
    {L"StopDownload", 17},
    {L"ResumeDownload", 24},
    {L"GetFileInfo", 18},
    {L"GetFileSegmentInfo", 19},
    {L"SetProxy", 20},
    {L"GetProxy", 21},
    {L"SetProgressBar", 26},
    {L"GetProgressBar", 27},
};

// Arguments in declaration order; invoke() reverses them as IDispatch expects.
class Arguments {
public:
    ~Arguments() {
        for (VARIANT& value : values_) {
            VariantClear(&value);
        }
    }
    Arguments& i4(LONG value) { return add(VT_I4)->lVal = value, *this; }
    Arguments& i2(SHORT value) { return add(VT_I2)->iVal = value, *this; }
    Arguments& boolean(bool value) {
        return add(VT_BOOL)->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE, *this;
    }
    Arguments& text(const wchar_t* value) { return add(VT_BSTR)->bstrVal = SysAllocString(value), *this; }
    Arguments& object(IUnknown* value) {
        VARIANT* slot = add(VT_DISPATCH);
        value->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&slot->pdispVal));
        return *this;
    }
    std::vector<VARIANT> reversed() const { return std::vector<VARIANT>(values_.rbegin(), values_.rend()); }

private:
    VARIANT* add(VARTYPE type) {
        values_.emplace_back();
        VariantInit(&values_.back());
        values_.back().vt = type;
        return &values_.back();
    }
    std::vector<VARIANT> values_;
};

HRESULT invoke(IDispatch* dispatch, DISPID id, WORD flags, const Arguments& arguments, VARIANT* result,
               EXCEPINFO* exception = nullptr) {
    std::vector<VARIANT> reversed = arguments.reversed();
    DISPID named = DISPID_PROPERTYPUT;
    bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS parameters = {reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                             static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    EXCEPINFO ignored = {};
    UINT argumentError = 0;
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                                  exception ? exception : &ignored, &argumentError);
    if (!exception) {
        SysFreeString(ignored.bstrSource);
        SysFreeString(ignored.bstrDescription);
        SysFreeString(ignored.bstrHelpFile);
    }
    return hr;
}

LONG getLong(IDispatch* dispatch, DISPID id) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(invoke(dispatch, id, DISPATCH_PROPERTYGET, Arguments(), &result), S_OK);
    EXPECT_EQ(VariantChangeType(&result, &result, 0, VT_I4), S_OK);
    LONG value = result.lVal;
    VariantClear(&result);
    return value;
}

ComPtr<IDispatch> dispatchOf(const ComPtr<IDownloadX>& control) {
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(control.query(IID_IDispatch, dispatch), S_OK);
    return dispatch;
}

}  // namespace

TEST(Dispatch, TypeInformationDescribesTheInterfaceClassAndLibrary) {
    OleApartment ole;
    for (const ComPtr<IDownloadX>& control : {createRegisteredControl(), createLinkedControl()}) {
        ASSERT_TRUE(control);
        UINT count = 0;
        EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(control->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
        ASSERT_EQ(control->GetTypeInfo(0, 0, info.put()), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IDownloadX));
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
        info->ReleaseTypeAttr(attributes);

        // The library identifier as the type library itself carries it (registration writes it).
        ComPtr<ITypeLib> library;
        UINT index = 0;
        ASSERT_EQ(info->GetContainingTypeLib(library.put(), &index), S_OK);
        TLIBATTR* libraryAttributes = nullptr;
        ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(libraryAttributes->guid, LIBID_PxhlLib));
        EXPECT_EQ(libraryAttributes->wMajorVerNum, 1);
        EXPECT_EQ(libraryAttributes->wMinorVerNum, 0);
        library->ReleaseTLibAttr(libraryAttributes);

        ComPtr<IProvideClassInfo2> classInfo;
        ASSERT_EQ(control.query(IID_IProvideClassInfo2, classInfo), S_OK);
        GUID source = {};
        EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
        EXPECT_TRUE(IsEqualGUID(source, DIID__IDownloadXEvents));
        EXPECT_EQ(classInfo->GetGUID(12345, &source), E_INVALIDARG);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
        ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_Pxhl));
        EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
        EXPECT_EQ(attributes->cImplTypes, 2);
        coclass->ReleaseTypeAttr(attributes);
    }
}

TEST(Dispatch, EveryMemberHasItsNameAndDispatchId) {
    OleApartment ole;
    ComPtr<IDispatch> dispatch = dispatchOf(createRegisteredControl());
    ASSERT_TRUE(dispatch);
    for (const Member& member : kMembers) {
        LPOLESTR name = const_cast<LPOLESTR>(member.name);
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK) << member.name;
        EXPECT_EQ(id, member.id) << member.name;
    }
    // Names are matched without regard to case, as script clients write them.
    LPOLESTR lower = const_cast<LPOLESTR>(L"addfile");
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &lower, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 4);
    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IDownloadX, &lower, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNINTERFACE);
}

TEST(Dispatch, EveryMemberIsReachedByDispatchIdWithItsArguments) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IDispatch> dispatch = dispatchOf(control);
    ASSERT_TRUE(dispatch);
    ComPtr<IFontDisp> font;
    ASSERT_EQ(control->get_Font(font.put()), S_OK);

    struct Call {
        DISPID id;
        WORD flags;
        Arguments arguments;
    };
    std::vector<Call> calls;
    auto add = [&](DISPID id, WORD flags) -> Arguments& {
        calls.push_back(Call{id, flags, {}});
        return calls.back().arguments;
    };
    calls.reserve(64);
    for (DISPID property : {-501, -514, -516, 6, 10, 11, 12, 13, 14, 15, 31, 9, 30, 28, 29, -512}) {
        add(property, DISPATCH_PROPERTYGET);
    }
    add(-501, DISPATCH_PROPERTYPUT).i4(0x00FF00);
    add(-512, DISPATCH_PROPERTYPUT).object(font.get());
    add(-512, DISPATCH_PROPERTYPUTREF).object(font.get());
    add(-514, DISPATCH_PROPERTYPUT).boolean(true);
    add(-516, DISPATCH_PROPERTYPUT).boolean(true);
    add(30, DISPATCH_PROPERTYPUT).text(L"0;1");
    add(2, DISPATCH_METHOD).i2(0).text(L"Name").i4(100);
    add(3, DISPATCH_METHOD).i2(0).i2(0);
    add(28, DISPATCH_PROPERTYPUT).i4(0);
    add(29, DISPATCH_PROPERTYPUT).i4(0);
    add(7, DISPATCH_METHOD);
    add(8, DISPATCH_METHOD);
    add(16, DISPATCH_METHOD).text(L"gopher://h/x").text(L"").text(L"").text(L"").i2(0);
    add(4, DISPATCH_METHOD)
        .text(L"http://127.0.0.1/a.jpg")
        .text(L"10")
        .text(L"a.jpg")
        .text(L"")
        .i4(1)
        .text(L"")
        .text(L"")
        .text(L"")
        .i2(0);
    add(22, DISPATCH_METHOD).i4(12345);
    add(23, DISPATCH_METHOD);
    add(25, DISPATCH_METHOD);
    add(6, DISPATCH_PROPERTYPUT).boolean(true);
    add(9, DISPATCH_PROPERTYPUT).text(L"");
    add(31, DISPATCH_PROPERTYPUT).i4(4096);
    add(10, DISPATCH_PROPERTYPUT).i4(204800);
    add(11, DISPATCH_PROPERTYPUT).i4(3);
    add(12, DISPATCH_PROPERTYPUT).boolean(false);
    add(13, DISPATCH_PROPERTYPUT).i4(30000);
    add(14, DISPATCH_PROPERTYPUT).i4(10000);
    add(15, DISPATCH_PROPERTYPUT).i4(0);
    add(18, DISPATCH_METHOD).i4(0).i2(16);
    add(19, DISPATCH_METHOD).i4(0).i4(0).i2(0);
    add(20, DISPATCH_METHOD).i2(0).text(L"").text(L"").text(L"").i2(0);
    add(21, DISPATCH_METHOD).i2(0).i2(0);
    add(26, DISPATCH_METHOD).boolean(true).i4(0).i4(10);
    add(27, DISPATCH_METHOD).i2(0);
    add(24, DISPATCH_METHOD);
    add(17, DISPATCH_METHOD);
    add(5, DISPATCH_METHOD);

    for (const Call& call : calls) {
        VARIANT result;
        VariantInit(&result);
        HRESULT hr = invoke(dispatch.get(), call.id, call.flags, call.arguments,
                            (call.flags & DISPATCH_PROPERTYPUT) ? nullptr : &result);
        // Found, with arguments the member accepts, and every member succeeds at the COM level.
        EXPECT_EQ(hr, S_OK) << "dispid " << call.id << " flags " << call.flags;
        VariantClear(&result);
    }
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(invoke(dispatch.get(), 1, DISPATCH_METHOD, Arguments(), &result), DISP_E_MEMBERNOTFOUND);
}

TEST(Dispatch, LateBoundPutsFollowTheSameRulesAsEarlyBoundOnes) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IDispatch> dispatch = dispatchOf(control);
    ASSERT_TRUE(dispatch);

    EXPECT_EQ(getLong(dispatch.get(), 11), 3);
    EXPECT_EQ(invoke(dispatch.get(), 11, DISPATCH_PROPERTYPUT, Arguments().i4(0), nullptr), S_OK);
    EXPECT_EQ(getLong(dispatch.get(), 11), 3);
    EXPECT_EQ(invoke(dispatch.get(), 11, DISPATCH_PROPERTYPUT, Arguments().i4(5), nullptr), S_OK);
    LONG early = 0;
    EXPECT_EQ(control->get_ConcurrentDownloadFileCount(&early), S_OK);
    EXPECT_EQ(early, 5);

    EXPECT_EQ(invoke(dispatch.get(), 15, DISPATCH_PROPERTYPUT, Arguments().i4(-5), nullptr), S_OK);
    EXPECT_EQ(getLong(dispatch.get(), 15), 0);
    // Script clients pass numbers as text too; the dispatcher converts them.
    EXPECT_EQ(invoke(dispatch.get(), 13, DISPATCH_PROPERTYPUT, Arguments().text(L"250"), nullptr), S_OK);
    EXPECT_EQ(getLong(dispatch.get(), 13), 250);
    EXPECT_EQ(invoke(dispatch.get(), 13, DISPATCH_PROPERTYPUT, Arguments().text(L"many"), nullptr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(getLong(dispatch.get(), 13), 250);

    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(invoke(dispatch.get(), 7, DISPATCH_METHOD, Arguments(), &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    ASSERT_EQ(invoke(dispatch.get(), 8, DISPATCH_METHOD, Arguments(), &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(result.bstrVal), 0u);
    VariantClear(&result);
}

// The event sink on its own: arguments read in declared order whatever their variant type,
// by-reference results written back, handlers that clear themselves, and events nobody handles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/OleEventSink.h"
#include "gui/OleValues.h"

using namespace gui;

namespace {

// {7D0A0E4C-2E8B-4C3E-9C55-9A3B6B0F1D22}: an event interface of this test.
const IID kEvents = {0x7d0a0e4c, 0x2e8b, 0x4c3e, {0x9c, 0x55, 0x9a, 0x3b, 0x6b, 0x0f, 0x1d, 0x22}};

HRESULT fire(OleEventSink& sink, DISPID id, std::vector<VARIANT>& reversed) {
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                       nullptr);
}

VARIANT value(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    return v;
}

}  // namespace

TEST(OleEventSink, ArgumentsComeInDeclaredOrderConvertedFromWhateverTypeTheSourceUsed) {
    auto sink = OleEventSink::Create(kEvents);
    std::wstring text;
    long number = 0;
    bool flag = false;
    double rate = 0;
    int calls = 0;
    sink->SetHandler(4, [&](OleEventArguments& a) {
        ++calls;
        EXPECT_EQ(a.Count(), 4);
        text = a.Text(0);
        number = a.Integer(1);
        flag = a.Boolean(2);
        rate = a.Double(3);
        EXPECT_EQ(a.At(4), nullptr);
        EXPECT_EQ(a.Text(7), L"");
    });

    OleVariant url = OleVariant::FromText(L"http://127.0.0.1/\u00e9");
    std::vector<VARIANT> reversed(4);
    reversed[3] = url.Get();
    reversed[2] = value(VT_I2);  // a long sent as a short
    V_I2(&reversed[2]) = 42;
    reversed[1] = value(VT_I2);  // a COM boolean sent as a 2-byte integer
    V_I2(&reversed[1]) = -1;
    reversed[0] = value(VT_R8);
    V_R8(&reversed[0]) = 12.5;
    EXPECT_EQ(fire(*sink.Get(), 4, reversed), S_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(text, L"http://127.0.0.1/\u00e9");
    EXPECT_EQ(number, 42);
    EXPECT_TRUE(flag);
    EXPECT_EQ(rate, 12.5);

    // By reference, as some sources pass them.
    BSTR inner = SysAllocString(L"by reference");
    LONG innerNumber = 7;
    std::vector<VARIANT> byRef(4);
    byRef[3] = value(VT_BSTR | VT_BYREF);
    V_BSTRREF(&byRef[3]) = &inner;
    byRef[2] = value(VT_I4 | VT_BYREF);
    V_I4REF(&byRef[2]) = &innerNumber;
    byRef[1] = value(VT_BOOL);
    V_BOOL(&byRef[1]) = VARIANT_FALSE;
    byRef[0] = value(VT_BSTR);  // not a number: read as 0
    V_BSTR(&byRef[0]) = nullptr;
    EXPECT_EQ(fire(*sink.Get(), 4, byRef), S_OK);
    EXPECT_EQ(text, L"by reference");
    EXPECT_EQ(number, 7);
    EXPECT_FALSE(flag);
    EXPECT_EQ(rate, 0.0);
    SysFreeString(inner);
}

TEST(OleEventSink, OutArgumentsAreWrittenBackAndObjectsHandedBackAreReferenced) {
    auto sink = OleEventSink::Create(kEvents);
    auto other = OleEventSink::Create(kEvents);  // any dispatch object will do as the one handed back
    sink->SetHandler(251, [&](OleEventArguments& a) {
        EXPECT_EQ(a.Dispatch(0), nullptr);
        EXPECT_TRUE(a.SetDispatch(0, other.Get()));
        EXPECT_TRUE(a.SetBoolean(1, true));
        EXPECT_FALSE(a.SetBoolean(2, true));  // no such argument
    });
    IDispatch* handedBack = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> reversed(2);
    reversed[1] = value(VT_DISPATCH | VT_BYREF);
    V_DISPATCHREF(&reversed[1]) = &handedBack;
    reversed[0] = value(VT_BOOL | VT_BYREF);
    V_BOOLREF(&reversed[0]) = &cancel;
    EXPECT_EQ(fire(*sink.Get(), 251, reversed), S_OK);
    EXPECT_EQ(handedBack, static_cast<IDispatch*>(other.Get()));
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // The receiver owns a reference of its own.
    other->AddRef();
    EXPECT_EQ(other->Release(), 2u);
    handedBack->Release();

    // A by-value argument is not an out argument.
    sink->SetHandler(252, [&](OleEventArguments& a) { EXPECT_FALSE(a.SetBoolean(0, true)); });
    std::vector<VARIANT> plain(1, value(VT_BOOL));
    EXPECT_EQ(fire(*sink.Get(), 252, plain), S_OK);
}

TEST(OleEventSink, AHandlerMayClearItselfAndEventsWithoutHandlersAreAcceptedQuietly) {
    auto sink = OleEventSink::Create(kEvents);
    int calls = 0;
    sink->SetHandler(1, [&](OleEventArguments&) {
        ++calls;
        sink->ClearHandler(1);
        sink->ClearHandlers();
    });
    std::vector<VARIANT> none;
    EXPECT_EQ(fire(*sink.Get(), 1, none), S_OK);
    EXPECT_EQ(fire(*sink.Get(), 1, none), S_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(sink->HasHandler(1));
    EXPECT_EQ(fire(*sink.Get(), 99, none), S_OK);

    // An empty handler is no handler.
    sink->SetHandler(2, nullptr);
    EXPECT_FALSE(sink->HasHandler(2));

    // It answers for IDispatch and for its own event interface only.
    IDispatch* asEvents = nullptr;
    EXPECT_EQ(sink->QueryInterface(kEvents, reinterpret_cast<void**>(&asEvents)), S_OK);
    asEvents->Release();
    IUnknown* other = nullptr;
    EXPECT_EQ(sink->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&other)),
              E_NOINTERFACE);
    EXPECT_EQ(sink->Connect(nullptr), E_POINTER);
    EXPECT_FALSE(sink->Connected());
}

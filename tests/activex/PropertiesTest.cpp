// Property defaults, put rules and the host notification protocol; the stock and ambient properties.
#include <gtest/gtest.h>

#include <climits>

#include "activex/PxhlTestSupport.h"

using namespace pxhltest;

namespace {

// A control with a property sink connected to its IPropertyNotifySink point.
struct NotifiedControl {
    NotifiedControl() : control(createRegisteredControl()), sink(new comtest::PropertySink) {
        ComPtr<IConnectionPointContainer> container;
        EXPECT_EQ(control.query(IID_IConnectionPointContainer, container), S_OK);
        EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
        EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
        EXPECT_EQ(control.query(IID_IOleControl, oleControl), S_OK);
    }
    ~NotifiedControl() {
        if (point) {
            point->Unadvise(cookie);
        }
        sink->Release();
    }
    std::vector<std::string> takeCalls() {
        std::vector<std::string> calls;
        calls.swap(sink->calls);
        return calls;
    }

    ComPtr<IDownloadX> control;
    comtest::PropertySink* sink;
    ComPtr<IConnectionPoint> point;
    ComPtr<IOleControl> oleControl;
    DWORD cookie = 0;
};

using Calls = std::vector<std::string>;

Calls editAndChange(int id) {
    return {"edit:" + std::to_string(id), "changed:" + std::to_string(id)};
}

LONG longValue(HRESULT (STDMETHODCALLTYPE IDownloadX::*get)(LONG*), IDownloadX* control) {
    LONG value = 0x7EADBEEF;
    EXPECT_EQ((control->*get)(&value), S_OK);
    return value;
}

// The face name the system gives a font asked for by `face` (without the face installed it
// substitutes another, and the font object reports that one).
std::wstring realizedFaceName(const wchar_t* face) {
    FONTDESC description = {sizeof(FONTDESC), const_cast<LPOLESTR>(face), {}, 400, 0, FALSE, FALSE, FALSE};
    description.cySize.int64 = 82500;
    ComPtr<IFont> font;
    EXPECT_EQ(OleCreateFontIndirect(&description, IID_IFont, font.putVoid()), S_OK);
    BSTR name = nullptr;
    font->get_Name(&name);
    return takeText(name);
}

VARIANT_BOOL boolValue(HRESULT (STDMETHODCALLTYPE IDownloadX::*get)(VARIANT_BOOL*), IDownloadX* control) {
    VARIANT_BOOL value = 123;
    EXPECT_EQ((control->*get)(&value), S_OK);
    return value;
}

}  // namespace

TEST(Properties, NewControlHasTheDocumentedDefaults) {
    OleApartment ole;
    for (const ComPtr<IDownloadX>& control : {createRegisteredControl(), createLinkedControl()}) {
        IDownloadX* x = control.get();
        ASSERT_TRUE(x);
        EXPECT_EQ(boolValue(&IDownloadX::get_CommonSaveFolder, x), VARIANT_TRUE);
        EXPECT_EQ(longValue(&IDownloadX::get_ReceiveBufferSize, x), 4096);
        EXPECT_EQ(longValue(&IDownloadX::get_MinFileSegmentSize, x), 204800);
        EXPECT_EQ(longValue(&IDownloadX::get_ConcurrentDownloadFileCount, x), 3);
        EXPECT_EQ(boolValue(&IDownloadX::get_AutoRemoveCompletedFiles, x), VARIANT_FALSE);
        EXPECT_EQ(longValue(&IDownloadX::get_ConnectionTimeout, x), 30000);
        EXPECT_EQ(longValue(&IDownloadX::get_RetryWait, x), 10000);
        EXPECT_EQ(longValue(&IDownloadX::get_RetryCount, x), 0);
        EXPECT_EQ(boolValue(&IDownloadX::get_Enabled, x), VARIANT_TRUE);
        EXPECT_EQ(boolValue(&IDownloadX::get_TabStop, x), VARIANT_TRUE);
        LONG error = -1;
        EXPECT_EQ(x->GetLastError(&error), S_OK);
        EXPECT_EQ(error, 0);
        BSTR description = nullptr;
        EXPECT_EQ(x->GetLastErrorDesc(&description), S_OK);
        EXPECT_EQ(takeText(description), L"");

        ComPtr<IFontDisp> fontDisp;
        ASSERT_EQ(x->get_Font(fontDisp.put()), S_OK);
        ComPtr<IFont> font;
        ASSERT_EQ(fontDisp.query(IID_IFont, font), S_OK);
        BSTR name = nullptr;
        EXPECT_EQ(font->get_Name(&name), S_OK);
        EXPECT_EQ(takeText(name), realizedFaceName(L"Tahoma"));
        CY size = {};
        EXPECT_EQ(font->get_Size(&size), S_OK);
        EXPECT_EQ(size.int64, 82500);  // 8.25 points
        SHORT weight = 0;
        EXPECT_EQ(font->get_Weight(&weight), S_OK);
        EXPECT_EQ(weight, 400);
    }
}

TEST(Properties, PutsKeepOnlyValuesTheirRulesAllow) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    IDownloadX* x = control.get();
    ASSERT_TRUE(x);

    // Sizes and counts must be 1 or more; anything else is ignored without failing. A receive buffer
    // larger than 16 MiB is stored as 16 MiB (every running segment allocates two of them).
    struct Positive {
        HRESULT (STDMETHODCALLTYPE IDownloadX::*put)(LONG);
        HRESULT (STDMETHODCALLTYPE IDownloadX::*get)(LONG*);
        LONG initial;
        LONG largest;
    };
    for (const Positive& property :
         {Positive{&IDownloadX::put_ReceiveBufferSize, &IDownloadX::get_ReceiveBufferSize, 4096, 16777216},
          Positive{&IDownloadX::put_MinFileSegmentSize, &IDownloadX::get_MinFileSegmentSize, 204800,
                   LONG_MAX},
          Positive{&IDownloadX::put_ConcurrentDownloadFileCount, &IDownloadX::get_ConcurrentDownloadFileCount,
                   3, LONG_MAX}}) {
        EXPECT_EQ((x->*property.put)(0), S_OK);
        EXPECT_EQ(longValue(property.get, x), property.initial);
        EXPECT_EQ((x->*property.put)(-7), S_OK);
        EXPECT_EQ(longValue(property.get, x), property.initial);
        EXPECT_EQ((x->*property.put)(1), S_OK);
        EXPECT_EQ(longValue(property.get, x), 1);
        EXPECT_EQ((x->*property.put)(LONG_MAX), S_OK);
        EXPECT_EQ(longValue(property.get, x), property.largest);
    }

    // Times are stored as given.
    EXPECT_EQ(x->put_ConnectionTimeout(-1), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_ConnectionTimeout, x), -1);
    EXPECT_EQ(x->put_RetryWait(0), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_RetryWait, x), 0);

    // RetryCount is attempts - 1; a negative count, or one with no successor, means one attempt.
    EXPECT_EQ(x->put_RetryCount(4), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_RetryCount, x), 4);
    EXPECT_EQ(x->put_RetryCount(-5), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_RetryCount, x), 0);
    EXPECT_EQ(x->put_RetryCount(LONG_MAX - 1), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_RetryCount, x), LONG_MAX - 1);
    EXPECT_EQ(x->put_RetryCount(LONG_MAX), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_RetryCount, x), 0);

    // Flags: any non-zero value sets them, and they read back as COM booleans.
    EXPECT_EQ(x->put_CommonSaveFolder(VARIANT_FALSE), S_OK);
    EXPECT_EQ(boolValue(&IDownloadX::get_CommonSaveFolder, x), VARIANT_FALSE);
    EXPECT_EQ(x->put_CommonSaveFolder(1), S_OK);
    EXPECT_EQ(boolValue(&IDownloadX::get_CommonSaveFolder, x), VARIANT_TRUE);
    EXPECT_EQ(x->put_AutoRemoveCompletedFiles(2), S_OK);
    EXPECT_EQ(boolValue(&IDownloadX::get_AutoRemoveCompletedFiles, x), VARIANT_TRUE);
    EXPECT_EQ(x->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_EQ(boolValue(&IDownloadX::get_Enabled, x), VARIANT_FALSE);
    EXPECT_EQ(x->put_TabStop(VARIANT_FALSE), S_OK);
    EXPECT_EQ(boolValue(&IDownloadX::get_TabStop, x), VARIANT_FALSE);

    // Missing out-pointers.
    EXPECT_EQ(x->get_ConnectionTimeout(nullptr), E_POINTER);
    EXPECT_EQ(x->get_CommonSaveFolder(nullptr), E_POINTER);
    EXPECT_EQ(x->get_BackColor(nullptr), E_POINTER);
    EXPECT_EQ(x->get_Font(nullptr), E_POINTER);
    EXPECT_EQ(x->GetLastError(nullptr), E_POINTER);
    EXPECT_EQ(x->GetLastErrorDesc(nullptr), E_POINTER);
}

TEST(Properties, EveryPutAsksTheHostFirstAndReportsTheChange) {
    OleApartment ole;
    NotifiedControl notified;
    IDownloadX* x = notified.control.get();
    ASSERT_TRUE(x);

    EXPECT_EQ(x->put_CommonSaveFolder(VARIANT_FALSE), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(6));
    EXPECT_EQ(x->put_ReceiveBufferSize(1000), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(31));
    EXPECT_EQ(x->put_MinFileSegmentSize(1000), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(10));
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(2), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(11));
    EXPECT_EQ(x->put_AutoRemoveCompletedFiles(VARIANT_TRUE), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(12));
    EXPECT_EQ(x->put_ConnectionTimeout(4000), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(13));
    EXPECT_EQ(x->put_RetryWait(3000), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(14));
    EXPECT_EQ(x->put_RetryCount(2), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(15));
    EXPECT_EQ(x->put_BackColor(0x00FF00), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(-501));
    EXPECT_EQ(x->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(-514));
    EXPECT_EQ(x->put_TabStop(VARIANT_FALSE), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(-516));
    // A value the rules ignore still goes through the protocol.
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(0), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(11));
}

TEST(Properties, HostThatRefusesAnEditKeepsTheOldValue) {
    OleApartment ole;
    NotifiedControl notified;
    IDownloadX* x = notified.control.get();
    ASSERT_TRUE(x);

    notified.sink->refuse = 11;
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(7), S_FALSE);
    EXPECT_EQ(notified.takeCalls(), Calls{"edit:11"});
    EXPECT_EQ(longValue(&IDownloadX::get_ConcurrentDownloadFileCount, x), 3);
    // Other properties are not affected.
    EXPECT_EQ(x->put_RetryCount(1), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(15));

    notified.sink->refuse = -501;
    EXPECT_EQ(x->put_BackColor(0x0000FF), S_FALSE);
    OLE_COLOR color = 0;
    EXPECT_EQ(x->get_BackColor(&color), S_OK);
    EXPECT_NE(color, 0x0000FFu);
    notified.takeCalls();

    // While the host has frozen events the control neither asks nor reports, and stores the value.
    notified.sink->refuse = 11;
    EXPECT_EQ(notified.oleControl->FreezeEvents(TRUE), S_OK);
    EXPECT_EQ(notified.oleControl->FreezeEvents(TRUE), S_OK);
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(7), S_OK);
    EXPECT_EQ(longValue(&IDownloadX::get_ConcurrentDownloadFileCount, x), 7);
    EXPECT_EQ(notified.oleControl->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(8), S_OK);  // still frozen once
    EXPECT_TRUE(notified.takeCalls().empty());
    EXPECT_EQ(notified.oleControl->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(9), S_FALSE);
    EXPECT_EQ(longValue(&IDownloadX::get_ConcurrentDownloadFileCount, x), 8);
    // Unbalanced thaws do not leave the count negative.
    EXPECT_EQ(notified.oleControl->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(notified.oleControl->FreezeEvents(TRUE), S_OK);
    EXPECT_EQ(x->put_ConcurrentDownloadFileCount(9), S_OK);
}

TEST(Properties, AmbientBackColourAppliesUntilTheHostPutsItsOwn) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ASSERT_TRUE(control);
    ComPtr<IOleObject> oleObject;
    ComPtr<IOleControl> oleControl;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    ASSERT_EQ(control.query(IID_IOleControl, oleControl), S_OK);
    auto* container = new comtest::TestContainer;
    container->ambientBackColor = 0x00345678;

    ASSERT_EQ(oleObject->SetClientSite(container), S_OK);
    OLE_COLOR color = 0;
    EXPECT_EQ(control->get_BackColor(&color), S_OK);
    EXPECT_EQ(color, 0x00345678u);

    container->ambientBackColor = 0x00111111;
    EXPECT_EQ(oleControl->OnAmbientPropertyChange(-701), S_OK);
    EXPECT_EQ(control->get_BackColor(&color), S_OK);
    EXPECT_EQ(color, 0x00111111u);
    container->ambientBackColor = 0x00222222;
    EXPECT_EQ(oleControl->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
    EXPECT_EQ(control->get_BackColor(&color), S_OK);
    EXPECT_EQ(color, 0x00222222u);

    EXPECT_EQ(control->put_BackColor(0x000000FF), S_OK);
    container->ambientBackColor = 0x00333333;
    EXPECT_EQ(oleControl->OnAmbientPropertyChange(-701), S_OK);
    EXPECT_EQ(oleObject->SetClientSite(container), S_OK);
    EXPECT_EQ(control->get_BackColor(&color), S_OK);
    EXPECT_EQ(color, 0x000000FFu);

    EXPECT_EQ(oleObject->SetClientSite(nullptr), S_OK);
    container->Release();
}

TEST(Properties, FontPutTakesACopyAndPutRefSharesTheHostsFont) {
    OleApartment ole;
    NotifiedControl notified;
    IDownloadX* x = notified.control.get();
    ASSERT_TRUE(x);

    FONTDESC description = {
        sizeof(FONTDESC), const_cast<LPOLESTR>(L"Arial"), {}, 700, 0, FALSE, FALSE, FALSE};
    description.cySize.int64 = 120000;
    ComPtr<IFontDisp> hostFont;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, hostFont.putVoid()), S_OK);
    ComPtr<IFont> hostFontObject;
    ASSERT_EQ(hostFont.query(IID_IFont, hostFontObject), S_OK);

    EXPECT_EQ(x->put_Font(hostFont.get()), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(-512));
    ComPtr<IFontDisp> held;
    ASSERT_EQ(x->get_Font(held.put()), S_OK);
    EXPECT_NE(held.get(), hostFont.get());
    ComPtr<IFont> heldObject;
    ASSERT_EQ(held.query(IID_IFont, heldObject), S_OK);
    CY size = {};
    heldObject->get_Size(&size);
    EXPECT_EQ(size.int64, 120000);
    BOOL bold = FALSE;
    heldObject->get_Bold(&bold);
    EXPECT_TRUE(bold);
    // Later changes to the host's font do not reach the copy.
    CY larger = {};
    larger.int64 = 200000;
    hostFontObject->put_Size(larger);
    heldObject->get_Size(&size);
    EXPECT_EQ(size.int64, 120000);
    EXPECT_TRUE(notified.takeCalls().empty());

    EXPECT_EQ(x->putref_Font(hostFont.get()), S_OK);
    EXPECT_EQ(notified.takeCalls(), editAndChange(-512));
    ASSERT_EQ(x->get_Font(held.put()), S_OK);
    EXPECT_EQ(held.get(), hostFont.get());
    // A change inside the shared font is a change of the Font property.
    hostFontObject->put_Size(size);
    Calls calls = notified.takeCalls();
    EXPECT_FALSE(calls.empty());
    for (const std::string& call : calls) {
        EXPECT_EQ(call, "changed:-512");
    }

    // Refused: the font stays.
    notified.sink->refuse = -512;
    ComPtr<IFontDisp> other;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, other.putVoid()), S_OK);
    EXPECT_EQ(x->putref_Font(other.get()), S_FALSE);
    ASSERT_EQ(x->get_Font(held.put()), S_OK);
    EXPECT_EQ(held.get(), hostFont.get());

    // After the control is gone the host's font no longer calls into it.
    notified.point->Unadvise(notified.cookie);
    notified.point.reset();
    notified.oleControl.reset();
    held.reset();
    notified.control.reset();
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
    hostFontObject->put_Size(larger);
}

// The control in a container: siting, in-place activation in a window, drawing, quick activation,
// persistence, and a hundred create-activate-release rounds without leaks.
#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"

#include <commctrl.h>
#include <psapi.h>

using namespace pxhltest;

namespace {

// Colour of the pixel that IViewObject::Draw leaves in the middle of a 40 x 30 bitmap.
COLORREF drawnColour(const ComPtr<IDownloadX>& control) {
    ComPtr<IViewObject> view;
    EXPECT_EQ(control.query(IID_IViewObject, view), S_OK);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECTL bounds = {0, 0, 40, 30};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
              S_OK);
    COLORREF colour = GetPixel(dc, 20, 15);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return colour;
}

struct Usage {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;
};

Usage currentUsage() {
    Usage usage;
    GetProcessHandleCount(GetCurrentProcess(), &usage.handles);
    usage.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    usage.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof(memory));
    usage.privateBytes = memory.PrivateUsage;
    return usage;
}

// One full life of a control in a container: sited, activated in place and UI-activated,
// events connected, properties put, deactivated, closed and released.
void liveOnce(comtest::TestContainer* container) {
    ComPtr<IDownloadX> control;
    ASSERT_EQ(CoCreateInstance(CLSID_Pxhl, nullptr, CLSCTX_INPROC_SERVER, IID_IDownloadX, control.putVoid()),
              S_OK);
    ComPtr<IOleObject> oleObject;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    ASSERT_EQ(oleObject->SetClientSite(container), S_OK);
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.query(IID_IConnectionPointContainer, points), S_OK);
    ASSERT_EQ(points->FindConnectionPoint(DIID__IDownloadXEvents, point.put()), S_OK);
    auto* sink = new comtest::EventSink(DIID__IDownloadXEvents);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
    sink->Release();
    ASSERT_EQ(oleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, container, 0, container->window(),
                                &container->position),
              S_OK);
    control->put_BackColor(0x00A0B0C0);
    control->put_ConnectionTimeout(4000);
    comtest::pumpWaitingMessages();
    // The host forgets to unadvise and to close: releasing must still free everything.
    if (cookie % 2 == 0) {
        point->Unadvise(cookie);
        oleObject->Close(OLECLOSE_NOSAVE);
        oleObject->SetClientSite(nullptr);
    }
}

}  // namespace

TEST(InPlace, ActivationCreatesTheControlsWindowInTheContainer) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ASSERT_TRUE(control);
    auto* container = new comtest::TestContainer;
    ASSERT_NE(container->window(), nullptr);
    ComPtr<IOleObject> oleObject;
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    ASSERT_EQ(control.query(IID_IOleInPlaceObject, inPlace), S_OK);

    DWORD status = 0;
    EXPECT_EQ(oleObject->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    EXPECT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST);
    HWND window = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
    // No site, no activation.
    EXPECT_NE(oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), S_OK);

    ASSERT_EQ(oleObject->SetClientSite(container), S_OK);
    ComPtr<IOleClientSite> site;
    EXPECT_EQ(oleObject->GetClientSite(site.put()), S_OK);
    EXPECT_EQ(site.get(), static_cast<IOleClientSite*>(container));
    site.reset();

    ASSERT_EQ(oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container, 0, container->window(),
                                &container->position),
              S_OK);
    EXPECT_TRUE(container->called("CanInPlaceActivate"));
    EXPECT_TRUE(container->called("OnInPlaceActivate"));
    EXPECT_TRUE(container->called("ShowObject"));
    EXPECT_FALSE(container->called("OnUIActivate"));
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), container->window());
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
    RECT placed = {};
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, container->window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right, 210);
    EXPECT_EQ(placed.bottom, 170);

    RECT moved = {5, 6, 105, 56};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, container->window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 5);
    EXPECT_EQ(placed.bottom, 56);

    // UI activation makes the control the frame's active object.
    ASSERT_EQ(oleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, container, 0, container->window(), nullptr),
              S_OK);
    EXPECT_TRUE(container->called("OnUIActivate"));
    EXPECT_TRUE(container->called("SetActiveObject"));
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(control.query(IID_IOleInPlaceActiveObject, active), S_OK);
    EXPECT_EQ(container->activeObject, active.get());
    MSG key = {window, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&key), S_FALSE);

    comtest::pumpWaitingMessages();
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_TRUE(container->called("OnUIDeactivate"));
    EXPECT_TRUE(container->called("SetActiveObject(null)"));
    EXPECT_TRUE(container->called("OnInPlaceDeactivate"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);

    // Activated again, then closed: the window goes and advise sinks hear of it.
    auto* adviseSink = new comtest::AdviseSink;
    DWORD connection = 0;
    ASSERT_EQ(oleObject->Advise(adviseSink, &connection), S_OK);
    ASSERT_EQ(oleObject->DoVerb(OLEIVERB_SHOW, nullptr, container, 0, container->window(), nullptr), S_OK);
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(oleObject->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(adviseSink->closes, 1);
    EXPECT_EQ(oleObject->Unadvise(connection), S_OK);
    adviseSink->Release();

    EXPECT_EQ(oleObject->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(container->references(), 1);
    container->Release();
}

TEST(InPlace, ControlDrawsItsBackColour) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ASSERT_TRUE(control);
    EXPECT_EQ(control->put_BackColor(RGB(200, 10, 30)), S_OK);
    EXPECT_EQ(drawnColour(control), RGB(200, 10, 30));
    // A system colour is translated for drawing.
    EXPECT_EQ(control->put_BackColor(0x80000000 | COLOR_WINDOW), S_OK);
    EXPECT_EQ(drawnColour(control), GetSysColor(COLOR_WINDOW));

    ComPtr<IViewObjectEx> view;
    ASSERT_EQ(control.query(IID_IViewObjectEx, view), S_OK);
    DWORD status = 0;
    EXPECT_EQ(view->GetViewStatus(&status), S_OK);
    EXPECT_EQ(status, static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));
    RECT bounds = {0, 0, 50, 50};
    DWORD hit = 0;
    EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{10, 10}, 0, &hit), S_OK);
    EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_HIT));
    EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{60, 10}, 0, &hit), S_OK);
    EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_OUTSIDE));

    // Without a window, changes go to the container's view sink.
    auto* adviseSink = new comtest::AdviseSink;
    EXPECT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, adviseSink), S_OK);
    EXPECT_EQ(control->put_BackColor(RGB(1, 2, 3)), S_OK);
    EXPECT_GE(adviseSink->viewChanges, 1);
    EXPECT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, nullptr), S_OK);
    adviseSink->Release();

    // Extent in HIMETRIC, as the container sets it.
    ComPtr<IOleObject> oleObject;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    SIZEL extent = {3000, 2000};
    EXPECT_EQ(oleObject->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    SIZEL read = {};
    EXPECT_EQ(oleObject->GetExtent(DVASPECT_CONTENT, &read), S_OK);
    EXPECT_EQ(read.cx, 3000);
    EXPECT_EQ(read.cy, 2000);
    EXPECT_EQ(oleObject->SetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);
}

TEST(InPlace, QuickActivationSitesTheControlAndConnectsItsSinks) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IQuickActivate> quick;
    ASSERT_EQ(control.query(IID_IQuickActivate, quick), S_OK);
    auto* container = new comtest::TestContainer;
    container->hasAmbientBackColor = false;
    auto* events = new comtest::EventSink(DIID__IDownloadXEvents);
    auto* properties = new comtest::PropertySink;
    auto* adviseSink = new comtest::AdviseSink;

    QACONTAINER info = {};
    info.cbSize = sizeof(info);
    info.pClientSite = container;
    info.pAdviseSink = adviseSink;
    info.pPropertyNotifySink = properties;
    info.pUnkEventSink = events;
    info.colorBack = 0x00112233;
    QACONTROL result = {};
    result.cbSize = sizeof(result);
    ASSERT_EQ(quick->QuickActivate(&info, &result), S_OK);
    EXPECT_EQ(result.dwMiscStatus, 131473u);
    EXPECT_EQ(result.dwViewStatus, static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));
    EXPECT_NE(result.dwEventCookie, 0u);
    EXPECT_NE(result.dwPropNotifyCookie, 0u);

    OLE_COLOR color = 0;
    EXPECT_EQ(control->get_BackColor(&color), S_OK);
    EXPECT_EQ(color, 0x00112233u);
    EXPECT_EQ(control->put_RetryWait(5), S_OK);
    EXPECT_EQ(properties->calls, (std::vector<std::string>{"edit:14", "changed:14"}));
    ComPtr<IOleObject> oleObject;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    ComPtr<IOleClientSite> site;
    EXPECT_EQ(oleObject->GetClientSite(site.put()), S_OK);
    EXPECT_EQ(site.get(), static_cast<IOleClientSite*>(container));
    site.reset();

    SIZEL extent = {1000, 500};
    EXPECT_EQ(quick->SetContentExtent(&extent), S_OK);
    SIZEL read = {};
    EXPECT_EQ(quick->GetContentExtent(&read), S_OK);
    EXPECT_EQ(read.cx, 1000);

    QACONTROL tooSmall = {};
    tooSmall.cbSize = 8;
    EXPECT_EQ(quick->QuickActivate(&info, &tooSmall), E_INVALIDARG);

    // The cookies are real connections.
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.query(IID_IConnectionPointContainer, points), S_OK);
    ASSERT_EQ(points->FindConnectionPoint(DIID__IDownloadXEvents, point.put()), S_OK);
    EXPECT_EQ(point->Unadvise(result.dwEventCookie), S_OK);
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
    EXPECT_EQ(point->Unadvise(result.dwPropNotifyCookie), S_OK);

    oleObject->SetClientSite(nullptr);
    events->Release();
    properties->Release();
    adviseSink->Release();
    container->Release();
}

TEST(InPlace, ControlInitialisesSavesAndLoadsThroughEachPersistenceInterface) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IPersistStreamInit> stream;
    ASSERT_EQ(control.query(IID_IPersistStreamInit, stream), S_OK);
    CLSID classId = {};
    EXPECT_EQ(stream->GetClassID(&classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, CLSID_Pxhl));
    EXPECT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    EXPECT_EQ(control->put_RetryWait(1), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_OK);

    ComPtr<IStream> memory;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, memory.put()), S_OK);
    EXPECT_EQ(stream->Save(memory.get(), TRUE), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    LARGE_INTEGER start = {};
    memory->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(stream->Load(memory.get()), S_OK);
    EXPECT_EQ(stream->Save(nullptr, TRUE), E_POINTER);

    ComPtr<IPersistStorage> storage;
    ASSERT_EQ(control.query(IID_IPersistStorage, storage), S_OK);
    ComPtr<ILockBytes> bytes;
    ComPtr<IStorage> root;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()), S_OK);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                           0, root.put()),
              S_OK);
    EXPECT_EQ(storage->InitNew(root.get()), S_OK);
    EXPECT_EQ(storage->Save(root.get(), TRUE), S_OK);
    EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(storage->HandsOffStorage(), S_OK);
    EXPECT_EQ(storage->Load(root.get()), S_OK);

    ComPtr<IPersistPropertyBag> bag;
    ASSERT_EQ(control.query(IID_IPersistPropertyBag, bag), S_OK);
    EXPECT_EQ(bag->InitNew(), S_OK);
    EXPECT_EQ(bag->Load(nullptr, nullptr), E_POINTER);
}

TEST(InPlace, AHundredControlsLiveAndGoWithoutLeakingHandlesOrMemory) {
    OleApartment ole;
    registerPxhl();
    auto* container = new comtest::TestContainer;
    // Warm up: first-use allocations (window class, type library, fonts) are not leaks.
    for (int round = 0; round < 5; ++round) {
        liveOnce(container);
    }
    Usage before = currentUsage();
    for (int round = 0; round < 100; ++round) {
        liveOnce(container);
    }
    comtest::pumpWaitingMessages();
    Usage after = currentUsage();
    EXPECT_LE(after.handles, before.handles + 2);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 2);
    EXPECT_LE(after.userObjects, before.userObjects + 2);
    EXPECT_LT(after.privateBytes, before.privateBytes + 1024 * 1024);
    EXPECT_EQ(container->references(), 1);
    container->Release();
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
}

TEST(InPlace, SinkThatTouchesTheControlDuringFinalReleaseDoesNotDestroyItTwice) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IOleObject> oleObject;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    auto* adviseSink = new comtest::AdviseSink;
    DWORD connection = 0;
    ASSERT_EQ(oleObject->Advise(adviseSink, &connection), S_OK);
    IDownloadX* raw = control.get();
    adviseSink->onClose = [raw] {
        // The object is going; references taken and dropped now must not delete it again.
        raw->AddRef();
        LONG timeout = 0;
        raw->get_ConnectionTimeout(&timeout);
        raw->Release();
    };
    oleObject.reset();
    control.reset();  // final release sends OnClose
    EXPECT_EQ(adviseSink->closes, 1);
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
    adviseSink->Release();
}

TEST(InPlace, ActiveControlShowsItsQueueInAListWithItsFontAndState) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ASSERT_TRUE(control);
    BSTR empty = SysAllocString(L"");
    BSTR first = SysAllocString(L"http://127.0.0.1/first.jpg");
    BSTR second = SysAllocString(L"http://127.0.0.1/second.jpg");
    LONG id = -1;
    ASSERT_EQ(control->AddFile(first, empty, empty, empty, 0, empty, empty, empty, 0, &id), S_OK);
    ASSERT_EQ(id, 0);

    auto* container = new comtest::TestContainer;
    ComPtr<IOleObject> oleObject;
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
    ASSERT_EQ(control.query(IID_IOleInPlaceObject, inPlace), S_OK);
    ASSERT_EQ(oleObject->SetClientSite(container), S_OK);
    ASSERT_EQ(
        oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container, 0, container->window(), nullptr),
        S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);

    HWND list = GetDlgItem(window, 201);
    HWND bar = GetDlgItem(window, 203);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(bar, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(list, className, 64);
    EXPECT_STREQ(className, L"SysListView32");
    GetClassNameW(bar, className, 64);
    EXPECT_STREQ(className, L"msctls_progress32");
    // The file queued before activation has its row; a file added now gets one at once.
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    ASSERT_EQ(control->AddFile(second, empty, empty, empty, 0, empty, empty, empty, 0, &id), S_OK);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(control->RemoveFile(0, &result), S_OK);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);

    // The list shows the control's font, and follows a new one.
    ComPtr<IFontDisp> fontDisp;
    ComPtr<IFont> font;
    ASSERT_EQ(control->get_Font(fontDisp.put()), S_OK);
    ASSERT_EQ(fontDisp.query(IID_IFont, font), S_OK);
    HFONT handle = nullptr;
    ASSERT_EQ(font->get_hFont(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), handle);
    FONTDESC description = {
        sizeof(FONTDESC), const_cast<LPOLESTR>(L"Tahoma"), {}, 700, 0, FALSE, FALSE, FALSE};
    description.cySize.int64 = 120000;
    ComPtr<IFontDisp> bold;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, bold.putVoid()), S_OK);
    ASSERT_EQ(control->putref_Font(bold.get()), S_OK);
    ComPtr<IFont> boldFont;
    ASSERT_EQ(bold.query(IID_IFont, boldFont), S_OK);
    ASSERT_EQ(boldFont->get_hFont(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), handle);

    // Enabled reaches the list; the bar follows SetProgressBar.
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_EQ(control->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_EQ(control->SetProgressBar(VARIANT_FALSE, -1, -1), S_OK);
    EXPECT_FALSE(IsWindowVisible(bar));

    comtest::pumpWaitingMessages();
    EXPECT_EQ(oleObject->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(list));
    oleObject->SetClientSite(nullptr);
    container->Release();
    SysFreeString(empty);
    SysFreeString(first);
    SysFreeString(second);
}

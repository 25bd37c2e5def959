// The control's connection points: connecting sinks, listing them, and firing events to them.
#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"
#include "downloadcontrol/Pxhl.h"
#include "downloadcontrol/activex/EventArguments.h"
#include "downloadcontrol/activex/Module.h"

using namespace pxhltest;

namespace {

ComPtr<IConnectionPoint> eventPoint(const ComPtr<IDownloadX>& control) {
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(control.query(IID_IConnectionPointContainer, container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(DIID__IDownloadXEvents, point.put()), S_OK);
    return point;
}

// The object behind a control made by the linked library.
Pxhl* objectOf(const ComPtr<IDownloadX>& control) {
    return static_cast<Pxhl*>(control.get());
}

}  // namespace

TEST(ConnectionPoints, ContainerOffersTheEventsAndPropertyNotifications) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.query(IID_IConnectionPointContainer, container), S_OK);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
    IConnectionPoint* found[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(3, found, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    IID interfaces[2] = {};
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(found[i]->GetConnectionInterface(&interfaces[i]), S_OK);
        // Each point leads back to the control.
        ComPtr<IConnectionPointContainer> back;
        EXPECT_EQ(found[i]->GetConnectionPointContainer(back.put()), S_OK);
        EXPECT_EQ(back.get(), container.get());
        found[i]->Release();
    }
    EXPECT_TRUE(IsEqualIID(interfaces[0], DIID__IDownloadXEvents));
    EXPECT_TRUE(IsEqualIID(interfaces[1], IID_IPropertyNotifySink));
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(5), S_FALSE);

    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
    // A connection point is an object of its own: it does not answer the control's interfaces.
    ComPtr<IDownloadX> notControl;
    EXPECT_EQ(point.query(IID_IDownloadX, notControl), E_NOINTERFACE);
}

TEST(ConnectionPoints, SinksAreAdvisedListedAndUnadvised) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ComPtr<IConnectionPoint> point = eventPoint(control);
    ASSERT_TRUE(point);

    auto* typed = new comtest::EventSink(DIID__IDownloadXEvents);
    auto* scriptLike = new comtest::EventSink(DIID__IDownloadXEvents, true);  // answers IDispatch only
    auto* wrong = new comtest::PropertySink;
    DWORD first = 0;
    DWORD second = 0;
    DWORD refused = 99;
    ASSERT_EQ(point->Advise(typed, &first), S_OK);
    ASSERT_EQ(point->Advise(scriptLike, &second), S_OK);
    EXPECT_EQ(point->Advise(wrong, &refused), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(refused, 0u);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(point->Advise(nullptr, &refused), E_POINTER);
    EXPECT_EQ(typed->references(), 2);

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, first);
    EXPECT_EQ(data[1].dwCookie, second);
    for (ULONG i = 0; i < fetched; ++i) {
        data[i].pUnk->Release();
    }
    connections.reset();

    EXPECT_EQ(point->Unadvise(first), S_OK);
    EXPECT_EQ(point->Unadvise(first), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(typed->references(), 1);
    EXPECT_EQ(point->Unadvise(second), S_OK);

    typed->Release();
    scriptLike->Release();
    wrong->Release();
}

TEST(ConnectionPoints, EventReachesEverySinkWithItsArgumentsInOrder) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createLinkedControl();
    ComPtr<IConnectionPoint> point = eventPoint(control);
    ASSERT_TRUE(point);
    auto* one = new comtest::EventSink(DIID__IDownloadXEvents);
    auto* two = new comtest::EventSink(DIID__IDownloadXEvents, true);
    DWORD cookieOne = 0;
    DWORD cookieTwo = 0;
    ASSERT_EQ(point->Advise(one, &cookieOne), S_OK);
    ASSERT_EQ(point->Advise(two, &cookieTwo), S_OK);

    activex::EventArguments progress;
    progress.addLong(7).addText(L"1024").addText(L"512").addLong(3).addText(L"512").addLong(-1).addDouble(
        2.5);
    objectOf(control)->fireEvent(OnFileDownloadProgressId, progress);
    activex::EventArguments done;
    done.addBool(true);
    objectOf(control)->fireEvent(OnDownloadCompleteId, done);

    std::vector<std::wstring> expected = {L"I4:7",     L"BSTR:1024", L"BSTR:512", L"I4:3",
                                          L"BSTR:512", L"I4:-1",     L"R8:2.5"};
    for (comtest::EventSink* sink : {one, two}) {
        ASSERT_EQ(sink->calls.size(), 2u);
        EXPECT_EQ(sink->calls[0].id, 4);
        EXPECT_EQ(sink->calls[0].arguments, expected);
        EXPECT_EQ(sink->calls[1].id, 2);
        EXPECT_EQ(sink->calls[1].arguments, std::vector<std::wstring>{L"BOOL:-1"});
    }
    point->Unadvise(cookieOne);
    point->Unadvise(cookieTwo);
    one->Release();
    two->Release();
}

TEST(ConnectionPoints, SinkMayDisconnectOrReleaseTheControlWhileAnEventIsFired) {
    OleApartment ole;
    const LONG objectsBefore = activex::Module::objectCount();
    ComPtr<IDownloadX> control = createLinkedControl();
    ComPtr<IConnectionPoint> point = eventPoint(control);
    ASSERT_TRUE(point);
    auto* leaving = new comtest::EventSink(DIID__IDownloadXEvents);
    auto* staying = new comtest::EventSink(DIID__IDownloadXEvents);
    DWORD leavingCookie = 0;
    DWORD stayingCookie = 0;
    ASSERT_EQ(point->Advise(leaving, &leavingCookie), S_OK);
    ASSERT_EQ(point->Advise(staying, &stayingCookie), S_OK);

    // The first sink disconnects itself during the event; the second still hears this event.
    leaving->onCall = [&](DISPID) { point->Unadvise(leavingCookie); };
    activex::EventArguments first;
    first.addBool(false);
    objectOf(control)->fireEvent(OnDownloadCompleteId, first);
    EXPECT_EQ(leaving->calls.size(), 1u);
    EXPECT_EQ(staying->calls.size(), 1u);
    activex::EventArguments second;
    second.addBool(true);
    objectOf(control)->fireEvent(OnDownloadCompleteId, second);
    EXPECT_EQ(leaving->calls.size(), 1u);
    EXPECT_EQ(staying->calls.size(), 2u);

    // The last reference goes inside a sink: the control outlives the firing, then goes.
    Pxhl* object = objectOf(control);
    IDownloadX* last = control.detach();
    point.reset();
    staying->onCall = [&](DISPID) {
        if (last) {
            last->Release();
            last = nullptr;
        }
    };
    activex::EventArguments third;
    third.addLong(5).addBool(true);
    object->fireEvent(OnFileDownloadCompleteId, third);
    EXPECT_EQ(last, nullptr);
    EXPECT_EQ(staying->calls.size(), 3u);
    EXPECT_EQ(activex::Module::objectCount(), objectsBefore);
    // The connections went with the control.
    EXPECT_EQ(staying->references(), 1);
    leaving->Release();
    staying->Release();
}

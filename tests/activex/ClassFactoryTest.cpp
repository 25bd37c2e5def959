// The DLL's class object: creation, aggregation, server locks and unloading.
#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"

using namespace pxhltest;

namespace {

ComPtr<IClassFactory> classFactory() {
    auto getClassObject =
        pxhlFunction<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ComPtr<IClassFactory> factory;
    EXPECT_NE(getClassObject, nullptr);
    if (getClassObject) {
        EXPECT_EQ(getClassObject(CLSID_Pxhl, IID_IClassFactory, factory.putVoid()), S_OK);
    }
    return factory;
}

}  // namespace

TEST(ClassFactory, HandsOutOnlyTheControlsClass) {
    OleApartment ole;
    auto getClassObject =
        pxhlFunction<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IDownloadX, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(CLSID_Pxhl, IID_IDownloadX, &object), E_NOINTERFACE);
    EXPECT_EQ(getClassObject(CLSID_Pxhl, IID_IClassFactory, nullptr), E_POINTER);
}

TEST(ClassFactory, ObjectsClassObjectsAndLocksKeepTheModuleLoaded) {
    OleApartment ole;
    CoFreeUnusedLibraries();
    ASSERT_EQ(pxhlCanUnloadNow(), S_OK);
    {
        ComPtr<IClassFactory> factory = classFactory();
        ASSERT_TRUE(factory);
        EXPECT_EQ(pxhlCanUnloadNow(), S_FALSE);

        ComPtr<IDownloadX> control;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDownloadX, control.putVoid()), S_OK);
        factory.reset();
        EXPECT_EQ(pxhlCanUnloadNow(), S_FALSE);
        control.reset();
        EXPECT_EQ(pxhlCanUnloadNow(), S_OK);

        factory = classFactory();
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        factory.reset();
        EXPECT_EQ(pxhlCanUnloadNow(), S_FALSE);
        factory = classFactory();
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    }
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
}

TEST(ClassFactory, AggregatedControlDelegatesToItsOuterObject) {
    OleApartment ole;
    ComPtr<IClassFactory> factory = classFactory();
    ASSERT_TRUE(factory);

    auto* outer = new comtest::OuterObject;
    void* refused = reinterpret_cast<void*>(1);
    // An aggregate's creator must ask for the inner unknown.
    EXPECT_EQ(factory->CreateInstance(outer, IID_IDownloadX, &refused), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    ASSERT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&outer->inner)), S_OK);
    ASSERT_NE(outer->inner, nullptr);
    EXPECT_EQ(outer->references(), 1);

    ComPtr<IDownloadX> control;
    ASSERT_EQ(outer->QueryInterface(IID_IDownloadX, control.putVoid()), S_OK);
    // References to the control's interfaces count on the outer object.
    EXPECT_EQ(outer->references(), 2);

    // Identity: the control's interfaces answer IUnknown with the outer object.
    ComPtr<IUnknown> identity;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
    EXPECT_EQ(identity.get(), static_cast<IUnknown*>(outer));
    identity.reset();

    ComPtr<IOleObject> oleObject;
    EXPECT_EQ(control->QueryInterface(IID_IOleObject, oleObject.putVoid()), S_OK);
    ComPtr<IConnectionPointContainer> points;
    EXPECT_EQ(oleObject->QueryInterface(IID_IConnectionPointContainer, points.putVoid()), S_OK);
    EXPECT_EQ(outer->references(), 4);

    // The control works when aggregated.
    EXPECT_EQ(control->put_ConnectionTimeout(4000), S_OK);
    LONG timeout = 0;
    EXPECT_EQ(control->get_ConnectionTimeout(&timeout), S_OK);
    EXPECT_EQ(timeout, 4000);

    points.reset();
    oleObject.reset();
    control.reset();
    EXPECT_EQ(outer->references(), 1);
    EXPECT_EQ(pxhlCanUnloadNow(), S_FALSE);
    factory.reset();
    outer->Release();  // releases the inner object too
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
}

TEST(ClassFactory, ControlAnswersTheInterfacesOfAControl) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    ASSERT_TRUE(control);
    const IID* supported[] = {&IID_IDispatch,
                              &IID_IOleObject,
                              &IID_IOleInPlaceObject,
                              &IID_IOleInPlaceObjectWindowless,
                              &IID_IOleInPlaceActiveObject,
                              &IID_IOleWindow,
                              &IID_IOleControl,
                              &IID_IViewObject,
                              &IID_IViewObject2,
                              &IID_IViewObjectEx,
                              &IID_IDataObject,
                              &IID_IPersist,
                              &IID_IPersistStreamInit,
                              &IID_IPersistStorage,
                              &IID_IPersistPropertyBag,
                              &IID_IQuickActivate,
                              &IID_IProvideClassInfo,
                              &IID_IProvideClassInfo2,
                              &IID_IConnectionPointContainer};
    ComPtr<IUnknown> identity;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
    for (const IID* iid : supported) {
        ComPtr<IUnknown> answered;
        ASSERT_EQ(control->QueryInterface(*iid, answered.putVoid()), S_OK);
        // Every interface leads back to the same object.
        ComPtr<IUnknown> back;
        ASSERT_EQ(answered->QueryInterface(IID_IUnknown, back.putVoid()), S_OK);
        EXPECT_EQ(back.get(), identity.get());
        ComPtr<IDownloadX> primary;
        EXPECT_EQ(answered->QueryInterface(IID_IDownloadX, primary.putVoid()), S_OK);
    }
    ComPtr<IUnknown> none;
    EXPECT_EQ(control->QueryInterface(IID_IClassFactory, none.putVoid()), E_NOINTERFACE);
    EXPECT_EQ(control->QueryInterface(IID_IDownloadX, nullptr), E_POINTER);
}

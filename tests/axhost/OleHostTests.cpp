// The generic host: creation by class identifier and its failures, in-place activation in a window
// with placing and deactivation, and teardown of every open host before OLE ends on a thread.
#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include "PxhlLibrary.h"
#include "gui/Form.h"
#include "gui/OleClientSite.h"
#include "gui/OleControlHost.h"
#include "gui/OleValues.h"
#include "gui/TOleControl.h"
#include "gui/TPxhl.h"

using namespace gui;

namespace {

// {0E5B2E64-7C55-4C3B-9D4F-2B8C86D5E0A1}: registered by nobody.
const CLSID kBogusClassId = {0x0e5b2e64, 0x7c55, 0x4c3b, {0x9d, 0x4f, 0x2b, 0x8c, 0x86, 0xd5, 0xe0, 0xa1}};

RECT windowRectIn(HWND window, HWND container) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(OleHost, AClassThatIsNotRegisteredIsReportedAndEveryLaterCallIsHarmless) {
    OleControlHost host;
    EXPECT_EQ(host.Create(kBogusClassId), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(host.Created());
    EXPECT_EQ(host.Object(), nullptr);
    OleVariant value;
    EXPECT_EQ(host.GetProperty(1, value.Out()), OLE_E_BLANK);
    EXPECT_EQ(host.SetProperty(1, OleVariant::FromInteger(1).Get()), OLE_E_BLANK);
    EXPECT_EQ(host.Activate(GetDesktopWindow(), RECT{0, 0, 10, 10}), OLE_E_BLANK);
    EXPECT_EQ(host.ConnectEvents(DIID__IDownloadXEvents), OLE_E_BLANK);
    EXPECT_EQ(host.ControlWindow(), nullptr);
    host.SetBounds(RECT{0, 0, 20, 20});
    host.Deactivate();
    host.Close();
    host.Close();
    EXPECT_EQ(OleClientSite::LiveCount(), 0);
}

TEST(OleHost, AWindowedHostOfAMissingControlStillLivesInItsFormLikeAnEmptyPanel) {
    auto* form = new TForm(nullptr);
    form->SetBounds(40, 40, 300, 200);
    auto* missing = new TOleControl(form, kBogusClassId);
    missing->SetParent(form);
    missing->SetBounds(10, 10, 200, 100);
    form->Show();
    axtest::Pump(50);
    EXPECT_FALSE(missing->Available());
    EXPECT_EQ(missing->CreationResult(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(missing->ActivationResult(), OLE_E_BLANK);
    EXPECT_TRUE(IsWindow(missing->Handle()));
    EXPECT_EQ(missing->ControlWindow(), nullptr);
    missing->SetBounds(0, 0, 50, 50);
    missing->Hide();
    OleVariant value;
    EXPECT_TRUE(FAILED(missing->GetProperty(1, value.Out())));
    delete form;
}

TEST(OleHost, InPlaceActivationPutsTheControlsWindowInTheContainerAndFollowsItsBounds) {
    auto* form = new TForm(nullptr);
    form->SetBounds(60, 60, 400, 300);
    form->Show();
    HWND container = form->Handle();

    OleControlHost host;
    ASSERT_EQ(host.Create(CLSID_Pxhl), S_OK);
    ASSERT_EQ(host.Activate(container, RECT{10, 20, 210, 120}), S_OK);
    EXPECT_TRUE(host.Active());
    HWND window = host.ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), container);
    EXPECT_TRUE(sameRect(windowRectIn(window, container), RECT{10, 20, 210, 120}));

    host.SetBounds(RECT{0, 0, 300, 50});
    EXPECT_TRUE(sameRect(windowRectIn(window, container), RECT{0, 0, 300, 50}));

    host.Deactivate();
    EXPECT_FALSE(host.Active());
    EXPECT_FALSE(IsWindow(window));
    // Still alive and answering without a window; activation can come again.
    EXPECT_TRUE(host.Created());
    OleVariant value;
    EXPECT_EQ(host.GetProperty(11, value.Out()), S_OK);
    EXPECT_EQ(value.AsInteger(), 3);
    ASSERT_EQ(host.Activate(container, RECT{5, 5, 105, 55}), S_OK);
    window = host.ControlWindow();
    host.Close();
    EXPECT_FALSE(IsWindow(window));
    delete form;
}

TEST(OleHost, AWindowedHostActivatesWithItsWindowCoversItsClientAreaAndTakesItsControlAlongWhenItGoes) {
    auto* form = new TForm(nullptr);
    form->SetBounds(80, 80, 400, 300);
    auto* hosted = new TOleControl(form, CLSID_Pxhl);
    ASSERT_TRUE(hosted->Available());
    EXPECT_EQ(hosted->ActivationResult(), OLE_E_BLANK);  // no window yet
    hosted->SetBounds(10, 10, 200, 120);
    hosted->SetParent(form);
    form->Show();
    EXPECT_EQ(hosted->ActivationResult(), S_OK);
    HWND window = hosted->ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), hosted->Handle());
    EXPECT_TRUE(sameRect(windowRectIn(window, hosted->Handle()), RECT{0, 0, 200, 120}));

    hosted->SetBounds(20, 30, 150, 60);
    axtest::Pump(20);
    EXPECT_TRUE(sameRect(windowRectIn(window, hosted->Handle()), RECT{0, 0, 150, 60}));

    hosted->Hide();
    EXPECT_FALSE(IsWindowVisible(window));
    hosted->Show();
    EXPECT_TRUE(IsWindowVisible(window));

    delete hosted;
    EXPECT_FALSE(IsWindow(window));
    delete form;
}

namespace {

struct ThreadRun {
    TPxhl* control = nullptr;
    bool closedWithOle = false;
    bool otherThreadsHostOpen = false;
    OleControlHost* otherThreadsHost = nullptr;
};

DWORD WINAPI apartmentThread(void* parameter) {
    auto* run = static_cast<ThreadRun*>(parameter);
    {
        OleInitializer ole;
        run->control = new TPxhl(nullptr);  // its owner forgets to free it before OLE ends
        run->control->AddFile(axtest::PeerUrl(L"/files/one.bin"), L"", L"", L"", 1, L"", L"", L"", 0);
    }
    // OLE is gone: the control was closed first, so its wrapper answers harmlessly.
    run->closedWithOle = run->control->GetFileInfo(-1, 16).empty() && run->control->GetLastError() == -1;
    run->otherThreadsHostOpen = run->otherThreadsHost->Created();
    delete run->control;
    return 0;
}

}  // namespace

TEST(OleHost, EndingOleOnAThreadClosesTheHostsOfThatThreadOnly) {
    OleControlHost mine;
    ASSERT_EQ(mine.Create(CLSID_Pxhl), S_OK);
    ThreadRun run;
    run.otherThreadsHost = &mine;
    HANDLE thread = CreateThread(nullptr, 0, apartmentThread, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // The thread's control has a window of its own: keep pumping ours while it runs.
    ASSERT_TRUE(axtest::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
    CloseHandle(thread);
    EXPECT_TRUE(run.closedWithOle);
    EXPECT_TRUE(run.otherThreadsHostOpen);
    EXPECT_TRUE(mine.Created());
}

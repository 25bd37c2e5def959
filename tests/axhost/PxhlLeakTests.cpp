// Making and releasing download controls over and over leaves nothing behind: no object of the
// control's module, no site or sink of ours, no window, no handle.
#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "gui/OleClientSite.h"
#include "gui/OleEventSink.h"
#include "gui/TPxhl.h"
#include "support/TestSupport.h"

using namespace gui;

namespace {

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Open handles of the process, found by asking about every possible handle value (the system's own
// count is not kept everywhere).
DWORD openHandles() {
    DWORD count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x40000; value += 4) {
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

struct Resources {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    int threadWindows = 0;
    LONG sites = 0;
    LONG sinks = 0;
};

Resources measure() {
    Resources r;
    r.handles = openHandles();
    r.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    r.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&r.threadWindows));
    r.sites = OleClientSite::LiveCount();
    r.sinks = OleEventSink::LiveCount();
    return r;
}

// One life of a control as the program leads it: made, set up, bound, a file downloaded, released.
void oneLife(TComponent& owner, const testsupport::TempFolder& folder, int index) {
    auto* control = new TPxhl(&owner);
    control->SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, L"");
    control->SetBooleanProperty(PxhlDispId::AutoRemoveCompletedFiles, true);
    control->SetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount, 3);
    control->SetIntegerProperty(PxhlDispId::ConnectionTimeout, 12000);
    control->SetTag(index);
    bool done = false;
    bool result = false;
    int files = 0;
    control->OnFileDownloadComplete = [&](TObject*, long, bool) { ++files; };
    control->OnDownloadComplete = [&](TObject*, bool ok) {
        done = true;
        result = ok;
    };
    const std::wstring target = folder.file(L"copy" + std::to_wstring(index) + L".bin");
    ASSERT_EQ(control->AddFile(axtest::PeerUrl(L"/files/file" + std::to_wstring(index % 6) + L".bin"), L"",
                               L"", target, 2, L"", L"", L"", 0),
              0);
    ASSERT_TRUE(control->Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return done; }));
    EXPECT_TRUE(result) << "life " << index << ", error " << control->GetLastError();
    EXPECT_EQ(files, 1);
    EXPECT_EQ(control->GetFileInfo(-1, 16), L"0");  // a returned text, freed by the wrapper
    delete control;
    EXPECT_EQ(owner.ComponentCount(), 0);
    DeleteFileW(target.c_str());
}

// One life on the error paths: a run stopped mid-way, a file whose connection is refused, and a release
// while a run goes on.
void oneFailingLife(TComponent& owner, const testsupport::TempFolder& folder, int index) {
    auto* control = new TPxhl(&owner);
    control->SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, L"");
    control->SetIntegerProperty(PxhlDispId::ConnectionTimeout, 12000);
    bool done = false;
    bool result = true;
    bool started = false;
    control->OnFileDownloadStart = [&](TObject*, long, const std::wstring&, long) { started = true; };
    control->OnDownloadComplete = [&](TObject*, bool ok) {
        done = true;
        result = ok;
    };
    const std::wstring slow = axtest::PeerUrl(L"/slow/slow" + std::to_wstring(index % 6) + L".bin");
    const std::wstring target = folder.file(L"slow" + std::to_wstring(index % 6) + L".bin");
    // Stopped mid-run, refused, then released mid-run.
    const std::wstring urls[] = {slow, axtest::RefusedUrl(L"/refused.bin"), slow};
    for (int step = 0; step < 3; ++step) {
        done = false;
        started = false;
        ASSERT_TRUE(control->ClearFiles());
        ASSERT_EQ(control->AddFile(urls[step], L"", L"", target, 2, L"", L"", L"", 0), 0);
        ASSERT_TRUE(control->Download());
        if (step == 1) {
            ASSERT_TRUE(axtest::PumpUntil([&] { return done; }));
            EXPECT_FALSE(result);
            EXPECT_EQ(control->GetLastError(), 14);
            continue;
        }
        ASSERT_TRUE(axtest::PumpUntil([&] { return started; }));
        if (step == 0) {
            control->StopDownload();
            EXPECT_TRUE(done);
            EXPECT_FALSE(result);
        }
    }
    delete control;
}

// Each life's control, with what a process keeps once made by a first life, leaves nothing behind.
template <class Life>
void expectAHundredLivesLeaveNothing(Life life) {
    testsupport::TempFolder folder;
    TComponent owner(nullptr);
    // The first life loads the module and makes what a process keeps once (registered messages,
    // window classes, socket layer).
    life(owner, folder, 0);
    axtest::Pump(200);
    const Resources before = measure();

    for (int i = 1; i <= 100; ++i) {
        life(owner, folder, i);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    axtest::Pump(200);
    const Resources after = measure();
    std::printf("handles %lu -> %lu, GDI objects %lu -> %lu, user objects %lu -> %lu, windows %d -> %d\n",
                before.handles, after.handles, before.gdiObjects, after.gdiObjects, before.userObjects,
                after.userObjects, before.threadWindows, after.threadWindows);

    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(axtest::PxhlCanUnloadNow(), S_OK);  // no object and no lock of the module remain
    EXPECT_EQ(after.sites, 0);
    EXPECT_EQ(after.sinks, 0);
    EXPECT_EQ(after.threadWindows, before.threadWindows);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    // A handle per life would show as 100; a few may belong to the system's own bookkeeping.
    EXPECT_LE(after.handles, before.handles + 3)
        << "before " << before.handles << ", after " << after.handles;
}

}  // namespace

TEST(PxhlLeaks, AHundredControlsMadeUsedAndReleasedLeaveNothingBehind) {
    expectAHundredLivesLeaveNothing(oneLife);
}

TEST(PxhlLeaks, AHundredControlsStoppedRefusedAndReleasedMidRunLeaveNothingBehind) {
    expectAHundredLivesLeaveNothing(oneFailingLife);
}

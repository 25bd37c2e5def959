// The main window made, used and destroyed in process, as the program does: start screen, work
// files, frame drags through real input, the slider, closing, and what two lives leave behind.
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFolder.h"
#include "support/ProgramUnderTest.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <functional>

namespace {

// OLE and the application object for the whole run, OLE outliving the application.
class ProgramEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ole_ = std::make_unique<gui::OleInitializer>();
        application_ = std::make_unique<gui::TApplication>();
        application_->Initialize();
        // The download control of this build, so the window opens without a warning.
        HMODULE pxhl = LoadLibraryW(testsupport::binaryPath(L"Pxhl.dll").c_str());
        if (pxhl) {
            auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(pxhl, "DllRegisterServer"));
            if (reg)
                reg();
        }
    }
    void TearDown() override {
        application_.reset();
        ole_.reset();
    }

private:
    std::unique_ptr<gui::OleInitializer> ole_;
    std::unique_ptr<gui::TApplication> application_;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return done();
        gui::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void pump(int milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

// The work folder of the window under test, chosen through the setting the program reads.
class WorkFolderSetting {
public:
    WorkPaths paths() const { return workPathsFor(folder_.path() + L"Pixhaul"); }

private:
    testsupport::TempFolder folder_;
    testsupport::TemporaryFolderSetting setting_{folder_.path()};
};

TForm1* openForm() {
    TForm1* form = nullptr;
    gui::Application->CreateForm(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    pumpUntil([form] { return IsWindowVisible(form->Handle()) && GetForegroundWindow() == form->Handle(); });
    pump(100);
    return form;
}

RECT windowRect(TForm1* form) {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    return r;
}

// A press, a move in steps and a release, as a hand would make them.
void drag(POINT from, POINT to) {
    testsupport::moveMouseTo(from);
    pump(30);
    testsupport::mouseButton(true, true);
    pump(50);
    for (int step = 1; step <= 4; ++step) {
        testsupport::moveMouseTo(
            POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
        pump(30);
    }
    testsupport::mouseButton(true, false);
    pump(80);
}

bool existsFile(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(FormLife, OpensCleanOnTheStartScreenAndCleansUpAgain) {
    WorkFolderSetting setting;
    WorkPaths paths = setting.paths();
    ASSERT_TRUE(makeWorkFolders(paths.folder));
    CreateDirectoryW((paths.viewerFolder + L"\\kept").c_str(), nullptr);
    const std::vector<std::wstring> stale = {paths.pageFilePath, paths.versionFilePath + L".tmp",
                                             paths.thumbnailsFolder + L"\\old.jpg"};
    for (const auto& file : stale)
        ASSERT_TRUE(testsupport::writeFileBytes(file, "x"));
    ASSERT_TRUE(testsupport::writeFileBytes(paths.viewerFolder + L"\\kept\\x.jpg", "x"));

    TForm1* form = openForm();
    EXPECT_EQ(form->tempBaseFolder, paths.folder);
    for (const auto& file : stale)
        EXPECT_FALSE(existsFile(file));
    RECT r = windowRect(form);
    EXPECT_EQ(r.left, 69);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right - r.left, 1143);
    EXPECT_EQ(r.bottom - r.top, 865);
    EXPECT_EQ(form->Constraints()->MinWidth(), 1024);
    EXPECT_FALSE(form->toolbarPanel->Visible());
    EXPECT_FALSE(form->bottomPanel->Visible());
    EXPECT_TRUE(form->bottomScrollBox->Visible());
    EXPECT_TRUE(form->logoBigImage->Visible());
    EXPECT_EQ(form->thumbnailWidth, 150);
    EXPECT_EQ(form->idleDownloaders.size(), 1u);
    EXPECT_TRUE(form->activeDownloaders.empty());

    ASSERT_TRUE(testsupport::writeFileBytes(paths.thumbnailsFolder + L"\\new.jpg", "x"));
    delete form;
    EXPECT_FALSE(existsFile(paths.thumbnailsFolder + L"\\new.jpg"));
    EXPECT_TRUE(existsFile(paths.viewerFolder + L"\\kept\\x.jpg"));
    DeleteFileW((paths.viewerFolder + L"\\kept\\x.jpg").c_str());
    RemoveDirectoryW((paths.viewerFolder + L"\\kept").c_str());
}

TEST(FormLife, TheFrameMovesResizesAndMaximisesThroughRealInput) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    RECT start = windowRect(form);

    // The top panel moves the window exactly.
    drag(POINT{start.left + 20, start.top + 40}, POINT{start.left + 70, start.top + 70});
    RECT moved = windowRect(form);
    EXPECT_EQ(moved.left, start.left + 50);
    EXPECT_EQ(moved.top, start.top + 30);
    EXPECT_EQ(mouseHookHandle, nullptr);

    // The left edge stops at the minimum width with the right edge in place.
    drag(POINT{moved.left + 1, moved.top + 300}, POINT{moved.left + 301, moved.top + 300});
    RECT narrowed = windowRect(form);
    EXPECT_EQ(narrowed.right, moved.right);
    EXPECT_EQ(narrowed.right - narrowed.left, 1024);

    // The bottom-right corner grows the window.
    drag(POINT{narrowed.right - 2, narrowed.bottom - 2}, POINT{narrowed.right + 8, narrowed.bottom + 18});
    RECT grown = windowRect(form);
    EXPECT_EQ(grown.right - grown.left, 1034);
    EXPECT_EQ(grown.bottom - grown.top, (narrowed.bottom - narrowed.top) + 20);

    // Maximised: the work area less the auto-hidden taskbar's row, and no moving.
    form->maximizeImageButtonBtnClick(form);
    pump(100);
    RECT maximised = windowRect(form);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(maximised.left, 0);
    EXPECT_EQ(maximised.top, 0);
    EXPECT_EQ(maximised.right, screenWidth);
    EXPECT_EQ(maximised.bottom, screenHeight - 1);
    drag(POINT{20, 40}, POINT{120, 140});
    EXPECT_EQ(windowRect(form).left, 0);

    // A double click on the top panel restores, and the next drag still works.
    const POINT onPanel{600 - 250, 12};
    testsupport::moveMouseTo(onPanel);
    pump(30);
    for (int click = 0; click < 2; ++click) {
        testsupport::mouseButton(true, true);
        pump(20);
        testsupport::mouseButton(true, false);
        pump(20);
    }
    pumpUntil([form] { return form->WindowState() == gui::wsNormal; });
    EXPECT_EQ(form->WindowState(), gui::wsNormal);
    EXPECT_EQ(mouseHookHandle, nullptr);
    RECT restored = windowRect(form);
    drag(POINT{restored.left + 20, restored.top + 40}, POINT{restored.left + 30, restored.top + 45});
    EXPECT_EQ(windowRect(form).left, restored.left + 10);
    delete form;
}

TEST(FormLife, TheSliderEndsGiveTheSmallestAndLargestThumbnails) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->setPhotoViewVisible(true);
    form->FormResize(form);
    pump(100);
    controls::ImageButton* knob = form->resizeThumbImageButton;
    auto knobCentre = [&] { return knob->ClientToScreen(POINT{knob->Width() / 2, knob->Height() / 2}); };
    POINT from = knobCentre();
    drag(from, POINT{from.x + 400, from.y});
    EXPECT_EQ(form->thumbnailWidth, 306);
    EXPECT_EQ(form->thumbnailHeight, 306);
    EXPECT_EQ(knob->Left(), form->resizeImage->Left() + form->resizeImage->Width() - 20 - knob->Width());
    from = knobCentre();
    drag(from, POINT{from.x - 400, from.y + 10});
    EXPECT_EQ(form->thumbnailWidth, 150);
    EXPECT_EQ(knob->Left(), form->resizeImage->Left() + 20);
    delete form;
}

TEST(FormLife, ClosingIsRefusedWhileAJobShowsItsProgress) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->showDownloadProgress(true, 0.3);
    // The refusal is a message box; answer it as the user would.
    bool answered = false;
    HANDLE closer = nullptr;
    struct Watch {
        bool* answered;
    } watch{&answered};
    closer = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* w = static_cast<Watch*>(p);
            for (int i = 0; i < 500; ++i) {
                HWND box = FindWindowW(L"#32770", L"Pixhaul");
                if (box) {
                    *w->answered = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return 0;
                }
                Sleep(10);
            }
            return 0;
        },
        &watch, 0, nullptr);
    form->Close();
    WaitForSingleObject(closer, 5000);
    CloseHandle(closer);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->idleDownloaders.size(), 1u);

    // Without the strip the window closes: timers stop, the controls go back to the pool.
    form->showDownloadProgress(false, 1);
    form->pageDownloader = acquireDownloader(form);
    const int generation = form->pageGeneration;
    form->Close();
    EXPECT_GT(form->pageGeneration, generation);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(form->checkUpdateTimer->Enabled());
    EXPECT_TRUE(form->activeDownloaders.empty());
    EXPECT_EQ(form->idleDownloaders.size(), 1u);
    delete form;
}

namespace {

DWORD openHandles() {
    DWORD count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x40000; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    return count;
}

// GDI handles are accepted by their table index alone (the upper word 0).
int gdiObjects() {
    int count = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    return count;
}

int threadWindows() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM p) -> BOOL {
            ++*reinterpret_cast<int*>(p);
            EnumChildWindows(
                window,
                [](HWND, LPARAM q) -> BOOL {
                    ++*reinterpret_cast<int*>(q);
                    return TRUE;
                },
                p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

int processThreads() {
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

struct Counts {
    DWORD handles;
    int gdi;
    int windows;
    int threads;
    bool operator==(const Counts& o) const {
        return handles == o.handles && gdi == o.gdi && windows == o.windows && threads == o.threads;
    }
};

Counts measure() {
    return Counts{openHandles(), gdiObjects(), threadWindows(), processThreads()};
}

void oneLife() {
    TForm1* form = openForm();
    form->setPhotoViewVisible(true);
    form->FormResize(form);
    pump(50);
    form->maximizeImageButtonBtnClick(form);
    pump(50);
    form->Close();
    delete form;
    pump(50);
}

}  // namespace

TEST(FormLife, TwoLivesEndAtTheSameHandleGdiWindowAndThreadCounts) {
    WorkFolderSetting setting;
    // The first life makes what a process keeps once (classes, the control's module, caches).
    oneLife();
    Counts before{};
    pumpUntil([&] {
        before = measure();
        pump(100);
        return before == measure();
    });
    oneLife();
    oneLife();
    Counts after{};
    pumpUntil([&] {
        after = measure();
        return after == before;
    });
    std::printf("handles %lu -> %lu, GDI %d -> %d, windows %d -> %d, threads %d -> %d\n", before.handles,
                after.handles, before.gdi, after.gdi, before.windows, after.windows, before.threads,
                after.threads);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.threads, before.threads);
}

TEST(FormLife, TheContentBarFollowsItsBoxInItsColours) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->setPhotoViewVisible(true);
    form->contentScrollBox->VertScrollBar()->SetRange(5000);
    form->FormResize(form);
    pump(100);
    HWND bar = form->contentScrollBarWindow;
    ASSERT_TRUE(IsWindowVisible(bar));
    RECT r{};
    GetWindowRect(bar, &r);
    const int width = r.right - r.left;
    // The down arrow scrolls the box a line; the bar follows.
    testsupport::moveMouseTo(POINT{r.left + width / 2, r.bottom - width / 2});
    pump(30);
    testsupport::mouseButton(true, true);
    pump(30);
    testsupport::mouseButton(true, false);
    pump(100);
    const int afterLine = form->contentScrollBox->VertScrollBar()->Position();
    EXPECT_GT(afterLine, 0);
    EXPECT_EQ(form->contentScrollBar->GetScrollPos(), afterLine);
    // The track below the thumb pages down.
    testsupport::moveMouseTo(POINT{r.left + width / 2, r.bottom - width * 2});
    pump(30);
    testsupport::mouseButton(true, true);
    pump(30);
    testsupport::mouseButton(true, false);
    pump(100);
    const int afterPage = form->contentScrollBox->VertScrollBar()->Position();
    EXPECT_GT(afterPage, afterLine + 100);
    EXPECT_EQ(form->contentScrollBar->GetScrollPos(), afterPage);
    // Track and thumb in the dark skin's colours (the pointer moved away first).
    testsupport::moveMouseTo(POINT{r.left - 200, r.top + 200});
    pump(150);
    gui::ScrollBarLayout parts = form->contentScrollBar->Layout();
    HDC screen = GetDC(nullptr);
    const COLORREF trackColour = GetPixel(screen, r.left + width / 2, r.top + parts.Thumb.top - 2);
    const COLORREF thumbColour =
        GetPixel(screen, r.left + width / 2, r.top + (parts.Thumb.top + parts.Thumb.bottom) / 2);
    const COLORREF sideColour =
        GetPixel(screen, r.left + parts.Thumb.left, r.top + (parts.Thumb.top + parts.Thumb.bottom) / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(trackColour, 0x3C4041u);
    EXPECT_EQ(thumbColour, 0x292B2Cu);
    EXPECT_EQ(sideColour, 0x3C4041u);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"mainwindow-photo-view.png");
    delete form;
}

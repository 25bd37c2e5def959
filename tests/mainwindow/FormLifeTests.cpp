// The main window's life in process, as the program leads it: the start screen and its work
// files, a refused and a granted close, and what two lives leave behind.
#include <array>
#include "FormTestSupport.h"
#include <gtest/gtest.h>
#include <cstdio>

// After <windows.h>, which it needs.
#include <tlhelp32.h>

using namespace formtest;

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
        EXPECT_FALSE(testsupport::pathExists(file));
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
    EXPECT_EQ(form->thumbnailWidth, 228);  // the slider starts in the middle of its track
    EXPECT_EQ(form->idleDownloaders.size(), 1u);
    EXPECT_TRUE(form->activeDownloaders.empty());

    // The user-name box inside its 4-pixel frame; the edit takes the pie's place while it is hidden.
    for (const bool pie : {false, true}) {
        form->userNameProgressPiePanel->SetVisible(pie);
        form->userNamePanelResize(form->userNamePanel);
        const gui::TControl* arrow = form->userNameArrowDownImageButton;
        const gui::TControl* pieces = form->userNameProgressPiePanel;
        const gui::TControl* panel = form->userNameEditPanel;
        const gui::TControl* edit = form->userNameEdit;
        EXPECT_EQ(panel->Left() + panel->Width(), arrow->Left() - (pie ? pieces->Width() + 3 : 0));
        EXPECT_EQ((std::array<int, 7>{panel->Left(), panel->Top(), edit->Left(), edit->Width(), edit->Top(),
                                      pieces->Left(), pieces->Top()}),
                  (std::array<int, 7>{4, 4, 4, panel->Width() - 5, (panel->Height() - edit->Height()) / 2 + 2,
                                      arrow->Left() - pieces->Width() - 3,
                                      (panel->Height() - pieces->Height()) / 2 + 1}));
    }
    // The search edit inside its skin's edges.
    const gui::TControl* search = form->searchEdit;
    EXPECT_EQ((std::array<int, 3>{search->Left(), search->Top(), search->Width()}),
              (std::array<int, 3>{3, (form->searchEditPanel->Height() - search->Height()) / 2 + 2,
                                  form->searchEditPanel->Width() - 5}));

    ASSERT_TRUE(testsupport::writeFileBytes(paths.thumbnailsFolder + L"\\new.jpg", "x"));
    // A fault in a window's last messages is swallowed by the system's dispatch: counted here.
    static int accessViolations = 0;
    void* counter = AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* info) -> LONG {
        accessViolations += info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION;
        return EXCEPTION_CONTINUE_SEARCH;
    });
    delete form;
    RemoveVectoredExceptionHandler(counter);
    EXPECT_EQ(accessViolations, 0);
    EXPECT_FALSE(testsupport::pathExists(paths.thumbnailsFolder + L"\\new.jpg"));
    EXPECT_TRUE(testsupport::pathExists(paths.viewerFolder + L"\\kept\\x.jpg"));
    DeleteFileW((paths.viewerFolder + L"\\kept\\x.jpg").c_str());
    RemoveDirectoryW((paths.viewerFolder + L"\\kept").c_str());
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
        return after.handles == before.handles && after.gdi == before.gdi &&
               after.windows == before.windows && after.threads <= before.threads;
    });
    std::printf("handles %lu -> %lu, GDI %d -> %d, windows %d -> %d, threads %d -> %d\n", before.handles,
                after.handles, before.gdi, after.gdi, before.windows, after.windows, before.threads,
                after.threads);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.windows, before.windows);
    // Fewer is no leak: an idle thread of the system's pool, left by an earlier test's page reads,
    // ends when the pool decides.
    EXPECT_LE(after.threads, before.threads);
}

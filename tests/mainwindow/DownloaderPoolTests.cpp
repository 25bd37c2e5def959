#include "ServiceWindow.h"
#include <algorithm>

namespace {

long count(const std::vector<gui::TPxhl*>& list, gui::TPxhl* control) {
    return std::count(list.begin(), list.end(), control);
}

void addPage(gui::TPxhl* control, const std::wstring& path, const testsupport::TempFolder& folder) {
    static int files = 0;
    const std::wstring file = folder.file(std::to_wstring(++files) + L".txt");
    control->AddFile(L"http://" + serviceHost() + path, L"-1", L"", file, 1, L"", L"", L"", 0);
}

using DownloaderPool = formtest::ServiceWindow;

}  // namespace

TEST_F(DownloaderPool, IdleControlsAreReusedInTheOrderGivenBackExceptBusyOnes) {
    testsupport::TempFolder folder;
    std::vector<gui::TPxhl*> held;  // whatever waits idle from the window's start
    while (!form()->idleDownloaders.empty())
        held.push_back(acquireDownloader(form()));
    gui::TPxhl* first = acquireDownloader(form());
    gui::TPxhl* second = acquireDownloader(form());
    second->SetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount, 6);
    second->SetTag(7);
    releaseDownloader(form(), second);
    releaseDownloader(form(), first);
    releaseDownloader(form(), first);  // twice: still once in the idle list, in neither twice
    EXPECT_EQ(form()->idleDownloaders, (std::vector<gui::TPxhl*>{second, first}));
    EXPECT_EQ(count(form()->activeDownloaders, first), 0);
    EXPECT_EQ(second->Tag(), -1);

    // Busy while idle (a page that never answers): it cannot clear its list and is passed over.
    addPage(second, L"/stall", folder);
    ASSERT_TRUE(second->Download());
    gui::TPxhl* taken = acquireDownloader(form());
    EXPECT_EQ(taken, first);
    EXPECT_EQ(taken->GetTextProperty(gui::PxhlDispId::DownloadSessionTempSubfolder), L"");
    EXPECT_TRUE(taken->GetBooleanProperty(gui::PxhlDispId::AutoRemoveCompletedFiles));
    gui::TPxhl* made = acquireDownloader(form());
    EXPECT_EQ(count(form()->idleDownloaders, second), 1);
    EXPECT_EQ(made->GetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount), 3);
    EXPECT_EQ(made->GetIntegerProperty(gui::PxhlDispId::ConnectionTimeout), 12000);
    second->StopDownload();
    ASSERT_TRUE(formtest::pumpUntil([&] { return second->ClearFiles(); }));
    releaseDownloader(form(), taken);
    releaseDownloader(form(), made);

    // 100 cycles with at most three in use at once make no control beyond the three.
    for (int cycle = 0; cycle < 100; ++cycle) {
        gui::TPxhl* a = acquireDownloader(form());
        gui::TPxhl* b = acquireDownloader(form());
        releaseDownloader(form(), a);
        gui::TPxhl* c = acquireDownloader(form());
        releaseDownloader(form(), b);
        releaseDownloader(form(), c);
    }
    EXPECT_EQ(form()->idleDownloaders.size(), 3u);
    for (gui::TPxhl* control : held)
        releaseDownloader(form(), control);
}

TEST_F(DownloaderPool, AReleasedControlFiresNothing) {
    testsupport::TempFolder folder;
    int events = 0;
    gui::TPxhl* released = acquireDownloader(form());
    released->OnFileDownloadStart = [&](gui::TObject*, long, const std::wstring&, long) { ++events; };
    released->OnDownloadComplete = [&](gui::TObject*, bool) { ++events; };
    addPage(released, L"/slow", folder);  // answered after a delay: under way when given back
    ASSERT_TRUE(released->Download());
    releaseDownloader(form(), released);

    // The same page on another control: once it is complete, the first would have completed too.
    bool done = false;
    gui::TPxhl* clock = acquireDownloader(form());
    clock->OnDownloadComplete = [&](gui::TObject*, bool) { done = true; };
    addPage(clock, L"/slow", folder);
    ASSERT_TRUE(clock->Download());
    ASSERT_TRUE(formtest::pumpUntil([&] { return done; }));
    EXPECT_EQ(events, 0);
    releaseDownloader(form(), clock);
}

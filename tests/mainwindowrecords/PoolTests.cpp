#include <gtest/gtest.h>

#include <algorithm>

#include "RecordsEnvironment.h"
#include "gui/Exception.h"
#include "mainwindow/Unit1.h"
#include "support/TestSupport.h"

using records::form;

namespace {

int controlCount() {
    int count = 0;
    for (int i = 0; i < form()->ComponentCount(); ++i)
        count += dynamic_cast<gui::TPxhl*>(form()->Components(i)) != nullptr;
    return count;
}

bool contains(const std::vector<gui::TPxhl*>& list, gui::TPxhl* control) {
    return std::find(list.begin(), list.end(), control) != list.end();
}

// Gives back whatever a test left in use.
void releaseEverything() {
    std::vector<gui::TPxhl*> active = form()->activeDownloaders;
    for (gui::TPxhl* control : active)
        releaseDownloader(form(), control);
}

}  // namespace

TEST(DownloaderPool, ReusesIdleControlsInTheOrderGivenBackAndSkipsBusyOnes) {
    releaseEverything();
    ASSERT_FALSE(form()->idleDownloaders.empty()) << "the window keeps one idle control from its start";
    gui::TPxhl* first = acquireDownloader(form());
    gui::TPxhl* second = acquireDownloader(form());
    // A caller's own settings do not survive a trip through the pool.
    second->SetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount, 6);
    second->SetIntegerProperty(gui::PxhlDispId::ConnectionTimeout, 4000);
    second->SetBooleanProperty(gui::PxhlDispId::AutoRemoveCompletedFiles, false);
    second->SetTag(7);
    releaseDownloader(form(), second);
    releaseDownloader(form(), first);
    EXPECT_EQ(second->Tag(), -1);
    ASSERT_GE(form()->idleDownloaders.size(), 2u);
    const size_t idleCount = form()->idleDownloaders.size();
    EXPECT_EQ(form()->idleDownloaders[idleCount - 2], second);
    EXPECT_EQ(form()->idleDownloaders[idleCount - 1], first);

    // Busy while idle (a page that never answers): its file list cannot be cleared, so it is passed over.
    gui::TPxhl* busy = form()->idleDownloaders.front();
    testsupport::TempFolder folder;
    ASSERT_GE(busy->AddFile(records::serviceUrl(L"/stall"), L"-1", L"", folder.file(L"stall.txt"), 1, L"", L"", L"", 0), 0);
    ASSERT_TRUE(busy->Download());
    gui::TPxhl* taken = acquireDownloader(form());
    EXPECT_NE(taken, busy);
    EXPECT_TRUE(contains(form()->idleDownloaders, busy));
    EXPECT_FALSE(contains(form()->idleDownloaders, taken));
    EXPECT_TRUE(contains(form()->activeDownloaders, taken));
    EXPECT_EQ(taken->GetTextProperty(gui::PxhlDispId::DownloadSessionTempSubfolder), L"");
    EXPECT_EQ(taken->GetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount), 3);
    EXPECT_EQ(taken->GetIntegerProperty(gui::PxhlDispId::ConnectionTimeout), 12000);
    EXPECT_TRUE(taken->GetBooleanProperty(gui::PxhlDispId::AutoRemoveCompletedFiles));
    busy->StopDownload();
    releaseDownloader(form(), taken);
}

TEST(DownloaderPool, GivingBackIsIdempotentAndCyclesMakeNoMoreControlsThanAreInUse) {
    releaseEverything();
    gui::TPxhl* control = acquireDownloader(form());
    releaseDownloader(form(), control);
    releaseDownloader(form(), control);
    EXPECT_EQ(std::count(form()->idleDownloaders.begin(), form()->idleDownloaders.end(), control), 1);
    EXPECT_FALSE(contains(form()->activeDownloaders, control));

    // The slots keep their handles after a release of all: a second one (closing, then
    // destruction) changes nothing.
    form()->pageDownloader = acquireDownloader(form());
    form()->thumbnailsDownloader = acquireDownloader(form());
    releaseAllDownloaders(form());
    const std::vector<gui::TPxhl*> idleAfterFirst = form()->idleDownloaders;
    releaseAllDownloaders(form());
    EXPECT_EQ(form()->idleDownloaders, idleAfterFirst);
    EXPECT_TRUE(form()->activeDownloaders.empty());
    form()->pageDownloader = form()->thumbnailsDownloader = nullptr;

    const int before = controlCount();
    const size_t idle = form()->idleDownloaders.size();
    for (int cycle = 0; cycle < 100; ++cycle) {
        gui::TPxhl* a = acquireDownloader(form());
        gui::TPxhl* b = acquireDownloader(form());
        releaseDownloader(form(), a);
        gui::TPxhl* c = acquireDownloader(form());
        releaseDownloader(form(), b);
        releaseDownloader(form(), c);
    }
    EXPECT_LE(controlCount(), std::max<int>(before, 2));
    EXPECT_EQ(form()->idleDownloaders.size(), std::max<size_t>(idle, 2));
}

TEST(DownloaderPool, AReleasedControlFiresNothing) {
    releaseEverything();
    testsupport::TempFolder folder;
    int releasedEvents = 0;
    gui::TPxhl* released = acquireDownloader(form());
    released->OnFileDownloadStart = [&](gui::TObject*, long, const std::wstring&, long) { ++releasedEvents; };
    released->OnFileDownloadComplete = [&](gui::TObject*, long, bool) { ++releasedEvents; };
    released->OnDownloadComplete = [&](gui::TObject*, bool) { ++releasedEvents; };
    // The slow user's page answers after a delay: the transfer is under way when it is given back.
    released->AddFile(records::serviceUrl(L"/slow"), L"-1", L"", folder.file(L"a.txt"), 1, L"", L"", L"", 0);
    ASSERT_TRUE(released->Download());
    releaseDownloader(form(), released);

    // The same page on another control: once it is complete, the first would have completed too.
    bool clockDone = false;
    gui::TPxhl* clock = acquireDownloader(form());
    clock->OnDownloadComplete = [&](gui::TObject*, bool) { clockDone = true; };
    clock->AddFile(records::serviceUrl(L"/slow"), L"-1", L"", folder.file(L"b.txt"), 1, L"", L"", L"", 0);
    ASSERT_TRUE(clock->Download());
    ASSERT_TRUE(records::pumpUntil([&] { return clockDone; }));
    EXPECT_EQ(releasedEvents, 0);
    releaseDownloader(form(), clock);
}

TEST(DownloaderPool, WithoutTheRegisteredControlTakingOneNamesIt) {
    releaseEverything();
    // Only a new control needs the registration: empty the idle list for the moment.
    std::vector<gui::TPxhl*> idle;
    idle.swap(form()->idleDownloaders);
    ASSERT_EQ(records::unregisterPxhl(), S_OK);
    std::wstring message;
    try {
        acquireDownloader(form());
    } catch (const gui::Exception& error) {
        message = error.Message();
    }
    EXPECT_EQ(records::registerPxhl(), S_OK);
    idle.swap(form()->idleDownloaders);
    EXPECT_NE(message.find(L"Pxhl"), std::wstring::npos) << "no exception, or one that does not name the control";
    EXPECT_TRUE(form()->activeDownloaders.empty());
}

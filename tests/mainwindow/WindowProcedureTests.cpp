#include "ServiceWindow.h"
#include <algorithm>
#include "feed/AllocationCounter.h"
#include "feed/FeedRecords.h"
#include "mainwindow/Photo.h"

namespace {

ULONGLONG ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class WindowProcedure : public formtest::ServiceWindow {
protected:
    void send(UINT message, const void* record) {
        SendMessageW(form()->Handle(), message, reinterpret_cast<WPARAM>(record), 0);
    }

    // A new load: its own generation and no items.
    int startLoad(const std::wstring& user, int total) {
        form()->photoFileNames.clear();
        clearPhotos(form());
        form()->currentUserName = user;
        form()->totalMediaCount = total;
        form()->loadState = LoadState::pages;
        return ++form()->pageGeneration;
    }

    void sendPhoto(int generation, const std::wstring& name, const std::wstring& caption = L"") {
        auto* record = new FeedPhotosMessageInfo(generation, {});
        record->photos.push_back(std::make_unique<PhotoMessageInfo>(generation, L"http://i/l/" + name,
                                                                    L"http://i/s/" + name, L"", L"", caption,
                                                                    L"http://s/p/" + name, name));
        send(WM_FEED_PHOTOS, record);
    }
};

}  // namespace

TEST_F(WindowProcedure, FeedPhotosArriveInOrderAndStaleOrNullRecordsAreOnlyFreed) {
    const int generation = startLoad(L"alice", 45);
    sendPhoto(generation, L"A.jpg", L"Hello, World! #Sun");
    sendPhoto(generation, L"b.jpg");
    sendPhoto(generation, L"a.JPG");
    ASSERT_EQ(form()->photos.size(), 3u);
    EXPECT_EQ(form()->photos[2]->index, 2);
    EXPECT_EQ(form()->photos[0]->words.size(), 3u);
    EXPECT_EQ(*form()->photos[0]->words[2], L"sun");
    // Each next item 3 s before the previous one, so saved files sort in feed order.
    EXPECT_EQ(ticks(form()->photos[0]->fileTime) - ticks(form()->photos[2]->fileTime), 60000000ull);
    StringKey found;
    ASSERT_TRUE(form()->photoFileNames.find(L"a.jpg", found));
    EXPECT_EQ(found.value, form()->photos[0]);  // of two equal names the first keeps the key

    // A photo gives its full-size control back to the pool when it goes, and its timer stops.
    gui::TPxhl* control = acquireDownloader(form());
    form()->photos[1]->fullSizeDownloader = control;
    form()->photos[1]->fullSizeRetryTimer.reset(new gui::TTimer(nullptr));
    form()->photos[1]->deleteFullSizeRetryTimer();  // as the full-size view gives up early
    form()->photoFileNames.clear();
    clearPhotos(form());
    EXPECT_TRUE(form()->photos.empty());
    EXPECT_EQ(std::count(form()->idleDownloaders.begin(), form()->idleDownloaders.end(), control), 1);
    EXPECT_TRUE(form()->activeDownloaders.empty());
    sendPhoto(generation, L"A.jpg");
    sendPhoto(generation, L"b.jpg");
    sendPhoto(generation, L"a.JPG");

    long before = 0;
    for (int round = 0; round < 3; ++round) {
        if (round == 1)  // after one round, so that nothing made once on first use counts
            before = allocation::liveBlocks();
        send(WM_FEED_TOTAL, new MessageInfo(generation - 1, 7, L""));
        send(WM_FEED_NEXT_PAGE,
             new MessageInfo(generation - 1, 0, L"/media?max_id=a_text_longer_than_a_short_one"));
        send(WM_FEED_END, new MessageInfo(generation - 1, -1, L""));
        sendPhoto(generation - 1, L"stale_and_longer_than_a_short_text.jpg", L"x y z");
        for (UINT message = WM_FEED_TOTAL; message <= WM_PRINT_PROGRESS; ++message)
            send(message, nullptr);
    }
    EXPECT_EQ(allocation::liveBlocks(), before);
    EXPECT_EQ(form()->photos.size(), 3u);
    EXPECT_EQ(form()->totalMediaCount, 45);
    EXPECT_EQ(form()->loadState, LoadState::pages);

    // No usable count: the end says nothing (no message box to wait for).
    const int next = startLoad(L"nocount", 0);
    send(WM_FEED_TOTAL, new MessageInfo(next, -1, L""));
    send(WM_FEED_END, new MessageInfo(next, 0, L""));
    EXPECT_FALSE(pagesMayCome(form()->loadState));
}

TEST_F(WindowProcedure, NextPageRequestsThePageUnlessStopped) {
    const int generation = startLoad(L"alice", 45);
    formtest::serviceSite().reset();
    form()->pageDownloader = acquireDownloader(form());
    bool complete = false;
    form()->pageDownloader->OnDownloadComplete = [&](gui::TObject*, bool) { complete = true; };
    form()->loadState = LoadState::pagesStopped;
    send(WM_FEED_NEXT_PAGE, new MessageInfo(generation, 0, L"/media?max_id=stopped"));
    form()->loadState = LoadState::pages;
    form()->pageRetryCount = 4;
    for (int repeat = 0; repeat < 2; ++repeat) {
        complete = false;
        send(WM_FEED_NEXT_PAGE, new MessageInfo(generation, 0, L"/media?max_id=1"));
        EXPECT_EQ(form()->samePageRepeatCount, repeat);
        EXPECT_EQ(form()->pageRetryCount, 0);
        ASSERT_TRUE(formtest::pumpUntil([&] { return complete; }));
    }
    EXPECT_EQ(formtest::serviceSite().countRequests("GET /alice/media?max_id=1"), 2);
    EXPECT_EQ(formtest::serviceSite().countRequests("GET /alice/media?max_id=stopped"), 0);
    releaseDownloader(form(), form()->pageDownloader);
    form()->pageDownloader = nullptr;
}

TEST_F(WindowProcedure, NextPageThatCannotBeQueuedEndsThePages) {
    formtest::MessageBoxWatcher boxes;
    // The slow profile page still downloads: the control takes no other page meanwhile.
    formtest::loadTyped(form(), L"slow");
    ASSERT_EQ(form()->loadState, LoadState::pageDownloading);
    send(WM_FEED_NEXT_PAGE, new MessageInfo(form()->pageGeneration, 0, L"/media"));
    ASSERT_TRUE(formtest::pumpUntil([&] { return !boxes.texts().empty(); }, 5000));
    EXPECT_EQ(boxes.texts().at(0), L"There are some temporary server issues. Please try again.");
    EXPECT_EQ(form()->loadState, LoadState::idle);
    EXPECT_EQ(form()->userNameImageButton->Tag(), 0);
}

TEST_F(WindowProcedure, JobRecordsAreCheckedAndZipProgressIsThrottled) {
    sendPhoto(startLoad(L"alice", 1), L"1.jpg");
    form()->photos[0]->inUseByJob = 1;
    const int save = ++form()->saveGeneration;
    form()->jobWorkUnits = 10;
    form()->jobProgress = form()->jobShownProgress = 0;
    form()->copyDone = false;
    auto copied = [this](int32_t saveGeneration, int32_t index, uint8_t lastFile) {
        auto* record = new PhotoCopiedMessageInfo;
        record->saveGeneration = saveGeneration;
        record->thumbnailsGeneration = form()->thumbnailsGeneration;
        record->photoIndex = index;
        record->lastFile = lastFile;
        return record;
    };
    send(WM_PHOTO_COPIED, copied(save, 99999, 0));  // no such photo, no job entry: no progress
    send(WM_PHOTO_COPIED, copied(save - 1, 0, 1));  // clears the flag; the job part is stale
    EXPECT_EQ(form()->photos[0]->inUseByJob, 0);
    EXPECT_FALSE(form()->copyDone);
    send(WM_PHOTO_COPIED, copied(save, -7, 1));  // the last file ends the copying even without an entry
    EXPECT_TRUE(form()->copyDone);
    EXPECT_EQ(form()->jobProgress, 0.0);

    int redraws = 0;
    for (int i = 0; i < 30; ++i) {
        auto* share = new ZipArchiveMessageInfo;
        share->generation = save;
        share->share = 0.04;
        const double shown = form()->jobShownProgress;
        send(WM_ZIP_PROGRESS, share);
        redraws += form()->jobShownProgress != shown;
    }
    // Every third record: more than a hundredth of the job's 10 units each time.
    EXPECT_EQ(redraws, 10);
    form()->jobWorkUnits = 0;
}

TEST_F(WindowProcedure, MenuCommandsReachTheirItems) {
    std::vector<gui::TMenuItem*> items;
    for (int i = 0; i < form()->ComponentCount(); ++i) {
        auto* item = dynamic_cast<gui::TMenuItem*>(form()->Components(i));
        if (item && item->OnClick)
            items.push_back(item);
    }
    ASSERT_EQ(items.size(), 27u);
    gui::TObject* clicked = nullptr;
    for (gui::TMenuItem* item : items) {
        const gui::TNotifyEvent handler = item->OnClick;
        item->OnClick = [&](gui::TObject* sender) { clicked = sender; };
        send(WM_COMMAND, reinterpret_cast<void*>(static_cast<UINT_PTR>(item->Command())));
        EXPECT_EQ(clicked, item);
        item->OnClick = handler;
    }
}

#include <winsock2.h>

#include <gtest/gtest.h>

#include "RecordsEnvironment.h"
#include "feed/AllocationCounter.h"
#include "feed/FeedRecords.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "saving/JobRecords.h"
#include "support/FixtureSite.h"

using records::form;

namespace {

LRESULT send(UINT message, void* record) {
    return SendMessageW(form()->Handle(), message, reinterpret_cast<WPARAM>(record), 0);
}

// A clean slate for the feed: a new load's generation and no items.
void startLoad(const std::wstring& user) {
    form()->photoFileNames.clear();
    form()->visiblePhotos.clear();
    clearPhotos(form());
    ++form()->pageGeneration;
    form()->currentUserName = user;
    form()->lastPageSuffix.clear();
    form()->samePageRepeatCount = 0;
    form()->totalMediaCount = 0;
    form()->stopLoading = false;
    form()->pageLoading = true;
}

PhotoMessageInfo* photoRecord(int generation, const std::wstring& name, const std::wstring& caption) {
    return new PhotoMessageInfo(generation, L"http://i/l/" + name, L"http://i/s/" + name, L"",
                                L"March 5, 2014", caption, L"http://s/p/" + name, name);
}

ULONGLONG ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Answers the one message box the test thread is about to show: keeps its text and presses OK.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_(CreateThread(nullptr, 0, run, this, 0, nullptr)) {}
    ~MessageBoxWatcher() { text(); }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The box's text, once the box has been answered (or the watch gave up).
    std::wstring text() {
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return text_;
    }

private:
    static DWORD WINAPI run(void* self) {
        auto* watcher = static_cast<MessageBoxWatcher*>(self);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000) {
            if (HWND box = FindWindowW(L"#32770", L"Pixhaul")) {
                EnumChildWindows(box, collect, reinterpret_cast<LPARAM>(watcher));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(20);  // polling for a window of another thread; bounded by the deadline above
        }
        return 0;
    }
    static BOOL CALLBACK collect(HWND child, LPARAM self) {
        wchar_t name[32] = {}, text[512] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0)
            reinterpret_cast<MessageBoxWatcher*>(self)->text_ += text;
        return TRUE;
    }

    std::wstring text_;
    HANDLE thread_;
};

}  // namespace

TEST(WindowProcedure, FeedPhotosBuildRecordsInArrivalOrder) {
    startLoad(L"alice");
    const int generation = form()->pageGeneration;
    send(WM_FEED_PHOTO, photoRecord(generation, L"A.jpg", L"Hello, World! #Sun"));
    send(WM_FEED_PHOTO, photoRecord(generation, L"b.jpg", L""));
    send(WM_FEED_PHOTO, photoRecord(generation, L"a.JPG", L""));
    auto* video = photoRecord(generation, L"c.jpg", L"");
    video->videoUrl = L"http://v/c.MP4";
    send(WM_FEED_PHOTO, video);

    ASSERT_EQ(form()->photos.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form()->photos[i]->index, i);
    const Photo& first = *form()->photos[0];
    ASSERT_EQ(first.words.size(), 3u);
    EXPECT_EQ(*first.words[0], L"hello");
    EXPECT_EQ(*first.words[2], L"sun");
    EXPECT_EQ(first.fileName, L"a.jpg");
    EXPECT_EQ(form()->photos[3]->fileName, L"c.mp4");
    // Each next item 3 s before the previous one, so saved files sort in feed order.
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(ticks(form()->photos[i - 1]->fileTime) - ticks(form()->photos[i]->fileTime), 30000000ull);
    // Two items with the same file name: the first keeps the key.
    StringKey found;
    ASSERT_TRUE(form()->photoFileNames.find(L"a.jpg", found));
    EXPECT_EQ(found.value, form()->photos[0]);
}

TEST(WindowProcedure, StaleAndNullRecordsAreFreedWithoutEffect) {
    startLoad(L"alice");
    send(WM_FEED_PHOTO, photoRecord(form()->pageGeneration, L"keep.jpg", L""));
    form()->totalMediaCount = 45;
    form()->lastPageSuffix = L"/media";
    const int stale = form()->pageGeneration - 1;
    long before = 0;
    for (int round = 0; round < 5; ++round) {
        if (round == 1)  // after one round, so that nothing made once on first use is counted
            before = allocation::liveBlocks();
        send(WM_FEED_TOTAL, new MessageInfo(stale, 7, L""));
        send(WM_FEED_NEXT_PAGE,
             new MessageInfo(stale, 0, L"/media?max_id=stale_with_a_long_text_beyond_small_strings"));
        send(WM_FEED_END, new MessageInfo(stale, -1, L""));
        send(WM_FEED_PHOTO, photoRecord(stale, L"stale_with_a_long_text_beyond_small_strings.jpg", L"x y z"));
        for (UINT message = WM_FEED_TOTAL; message <= WM_FEED_PHOTO; ++message)
            send(message, nullptr);
    }
    EXPECT_EQ(allocation::liveBlocks(), before);
    EXPECT_EQ(form()->photos.size(), 1u);
    EXPECT_EQ(form()->totalMediaCount, 45);
    EXPECT_EQ(form()->lastPageSuffix, L"/media");
    EXPECT_TRUE(form()->pageLoading);
}

TEST(WindowProcedure, NextPageRequestsThePageUnlessStopped) {
    startLoad(L"alice");
    testsupport::FixtureSite& site = records::site();
    site.reset();
    form()->pageDownloader = acquireDownloader(form());
    bool complete = false;
    form()->pageDownloader->OnDownloadComplete = [&](gui::TObject*, bool) { complete = true; };
    const int generation = form()->pageGeneration;

    form()->stopLoading = true;
    send(WM_FEED_NEXT_PAGE, new MessageInfo(generation, 0, L"/media?max_id=stopped"));
    EXPECT_EQ(form()->samePageRepeatCount, 0);
    form()->stopLoading = false;
    form()->pageRetryCount = 4;
    send(WM_FEED_NEXT_PAGE, new MessageInfo(generation, 0, L"/media?max_id=1"));
    EXPECT_EQ(form()->pageRetryCount, 0);
    EXPECT_EQ(form()->pageProgress, 0);
    EXPECT_EQ(form()->lastPageSuffix, L"/media?max_id=1");
    ASSERT_TRUE(records::pumpUntil([&] { return site.countRequests("GET /alice/media?max_id=1") == 1; }));
    EXPECT_EQ(site.countRequests("GET /alice/media?max_id=stopped"), 0);
    // Asked again for the same page: one repeat, which the page worker sees.
    ASSERT_TRUE(records::pumpUntil([&] { return complete; }));
    send(WM_FEED_NEXT_PAGE, new MessageInfo(generation, 0, L"/media?max_id=1"));
    EXPECT_EQ(form()->samePageRepeatCount, 1);
    ASSERT_TRUE(records::pumpUntil([&] { return site.countRequests("GET /alice/media?max_id=1") == 2; }));
    releaseDownloader(form(), form()->pageDownloader);
    form()->pageDownloader = nullptr;
}

TEST(WindowProcedure, FeedEndReportsOnlyWhatIsMissing) {
    startLoad(L"alice");
    const int generation = form()->pageGeneration;
    send(WM_FEED_TOTAL, new MessageInfo(generation, 2, L""));
    EXPECT_EQ(form()->totalMediaCount, 2);
    send(WM_FEED_PHOTO, photoRecord(generation, L"1.jpg", L""));
    send(WM_FEED_PHOTO, photoRecord(generation, L"2.jpg", L""));
    send(WM_FEED_END, new MessageInfo(generation, 0, L""));  // all there: no message box to wait for
    EXPECT_FALSE(form()->pageLoading);

    startLoad(L"nocount");
    send(WM_FEED_TOTAL, new MessageInfo(form()->pageGeneration, -1, L""));
    send(WM_FEED_PHOTO, photoRecord(form()->pageGeneration, L"1.jpg", L""));
    send(WM_FEED_END, new MessageInfo(form()->pageGeneration, 0, L""));  // unknown count: nothing to say
    EXPECT_FALSE(form()->pageLoading);

    startLoad(L"alice");
    send(WM_FEED_TOTAL, new MessageInfo(form()->pageGeneration, 5, L""));
    send(WM_FEED_PHOTO, photoRecord(form()->pageGeneration, L"1.jpg", L""));
    MessageBoxWatcher watcher;
    send(WM_FEED_END, new MessageInfo(form()->pageGeneration, 0, L""));
    EXPECT_EQ(watcher.text(), L"4 photos cannot be downloaded. Please try again.");
}

TEST(WindowProcedure, MenuCommandsReachTheirItems) {
    std::vector<gui::TMenuItem*> items;
    for (int i = 0; i < form()->ComponentCount(); ++i) {
        auto* item = dynamic_cast<gui::TMenuItem*>(form()->Components(i));
        if (item && item->OnClick && !item->IsLine())
            items.push_back(item);
    }
    ASSERT_EQ(items.size(), 27u);
    std::vector<gui::TNotifyEvent> handlers;
    gui::TObject* clicked = nullptr;
    for (gui::TMenuItem* item : items) {
        handlers.push_back(item->OnClick);
        item->OnClick = [&](gui::TObject* sender) { clicked = sender; };
    }
    for (gui::TMenuItem* item : items) {
        clicked = nullptr;
        send(WM_COMMAND, reinterpret_cast<void*>(static_cast<UINT_PTR>(item->Command())));
        EXPECT_EQ(clicked, item) << "command " << item->Command();
    }
    // An item without a handler lets the command pass: nothing else is clicked.
    items[0]->OnClick = nullptr;
    clicked = nullptr;
    send(WM_COMMAND, reinterpret_cast<void*>(static_cast<UINT_PTR>(items[0]->Command())));
    EXPECT_EQ(clicked, nullptr);
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->OnClick = handlers[i];
}

TEST(WindowProcedure, JobRecordsAreCheckedAndZipProgressIsThrottled) {
    startLoad(L"alice");
    send(WM_FEED_PHOTO, photoRecord(form()->pageGeneration, L"1.jpg", L""));
    form()->photos[0]->inUseByJob = 1;
    ++form()->saveGeneration;
    ++form()->printGeneration;
    form()->jobWorkUnits = 10;
    form()->jobProgress = form()->jobShownProgress = 0;
    form()->copyDone = form()->zipDone = false;
    auto copied = [](int32_t saveGeneration, int32_t index, uint8_t lastFile) {
        auto* record = new PhotoCopiedMessageInfo;
        record->saveGeneration = saveGeneration;
        record->thumbnailsGeneration = form()->thumbnailsGeneration;
        record->targetPath = L"C:\\saved\\alice_1.jpg";
        record->photoIndex = index;
        record->lastFile = lastFile;
        return record;
    };

    // Indexes out of the list and a file without a job entry change no progress; stale records
    // of every kind are freed.
    send(WM_PHOTO_COPIED, copied(form()->saveGeneration, 99999, 0));
    long before = allocation::liveBlocks();
    send(WM_PHOTO_COPIED, copied(form()->saveGeneration, -7, 0));
    send(WM_PHOTO_COPIED, copied(form()->saveGeneration - 1, 0, 1));
    auto* times = new UpdatePhotoTimesMessageInfo;
    times->saveGeneration = form()->saveGeneration - 1;
    send(WM_PHOTO_TIMES_UPDATED, times);
    auto* zip = new ZipArchiveMessageInfo;
    zip->generation = form()->saveGeneration - 1;
    zip->share = 1;
    send(WM_ZIP_PROGRESS, zip);
    auto* print = new PrintMessageInfo;
    print->printGeneration = form()->printGeneration - 1;
    print->progress = 1;
    send(WM_PRINT_PROGRESS, print);
    for (UINT message = WM_PHOTO_COPIED; message <= WM_PRINT_PROGRESS; ++message)
        send(message, nullptr);
    EXPECT_EQ(allocation::liveBlocks(), before);
    EXPECT_EQ(form()->photos[0]->inUseByJob, 0);  // the copy's own generation check is the thumbnails one
    EXPECT_EQ(form()->jobProgress, 0.0);
    EXPECT_FALSE(form()->copyDone);
    // The last file still ends the copy part of the job, also without an entry.
    send(WM_PHOTO_COPIED, copied(form()->saveGeneration, 5, 1));
    EXPECT_TRUE(form()->copyDone);
    EXPECT_EQ(form()->jobProgress, 0.0);

    int redraws = 0;
    double shown = form()->jobShownProgress;
    for (int i = 0; i < 30; ++i) {
        auto* share = new ZipArchiveMessageInfo;
        share->generation = form()->saveGeneration;
        share->share = 0.004;
        send(WM_ZIP_PROGRESS, share);
        if (form()->jobShownProgress != shown) {
            shown = form()->jobShownProgress;
            ++redraws;
        }
    }
    EXPECT_NEAR(form()->jobProgress, 0.12, 1e-9);
    EXPECT_EQ(redraws, 10);
    form()->jobWorkUnits = 0;
    form()->jobProgress = form()->jobShownProgress = 0;
}

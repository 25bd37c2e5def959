#include "feed/ThumbnailBatches.h"

#include "feed/PageRetryRule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace {

using Texts = std::vector<std::wstring>;

// A download control that runs when the test says so. Each address answers its scripted codes in
// turn (0 = the file arrives), the last one for every later try; an address starting "//" cannot
// be queued.
struct ScriptedDownloader : ThumbnailDownloader {
    struct File {
        long id;
        std::wstring url, path;
    };
    long addFile(const std::wstring& url, const std::wstring& path) override {
        error = url.rfind(L"//", 0) == 0 ? 12 : kErrorDuplicateUrl;
        if (error == 12 ||
            std::any_of(files.begin(), files.end(), [&](const File& f) { return f.url == url; })) {
            return -1;
        }
        files.push_back({nextId, url, path});
        return nextId++;
    }
    bool download() override {
        emptyDownloads += files.empty();
        runs.emplace_back();
        for (const File& file : files) {
            runs.back().push_back(file.url);
        }
        return true;
    }
    void stopDownload() override { ++stops; }
    bool removeFile(long id) override {
        files.erase(std::remove_if(files.begin(), files.end(), [&](const File& f) { return f.id == id; }),
                    files.end());
        return true;
    }
    long queuedFileCount() override { return static_cast<long>(files.size()); }
    std::wstring finalPath(long id) override {
        for (const File& file : files) {
            if (file.id == id) {
                return file.path.substr(0, file.path.find(L'|'));
            }
        }
        return L"";
    }
    long lastError() override { return error; }

    // Every queued file ends with its next code (forced: all with that code); an arrived file
    // leaves the list after its event; the run fails with the last failure's code.
    void finish(ThumbnailBatches& batches, long forced = 0) {
        long runError = 0;
        for (const File& file : std::vector<File>(files)) {
            std::deque<long>& script = codes[file.url];
            const long code = forced != 0 ? forced : script.empty() ? 0 : script.front();
            if (forced == 0 && script.size() > 1) {
                script.pop_front();
            }
            error = code != 0 ? (runError = code) : 0;
            batches.fileDone(7, file.id, code == 0);
            if (code == 0) {
                removeFile(file.id);
            }
        }
        error = runError;
        batches.runDone(7, runError == 0);
    }

    std::vector<File> files;
    std::map<std::wstring, std::deque<long>> codes;
    std::vector<Texts> runs;
    long nextId = 1, error = 0;
    int emptyDownloads = 0, stops = 0;
};

struct FakeHost : ThumbnailBatchHost {
    std::wstring thumbnailSavePath(size_t photo) override {
        return L"C:\\T\\alice_" + std::to_wstring(photo) + L".jpg|1-2";
    }
    void thumbnailArrived(size_t photo, const std::wstring& path) override { paths[photo] = path; }
    void thumbnailFailed(size_t, bool) override {}
    bool matchesSearch(size_t photo) override { return matching.empty() || matching.count(photo) != 0; }
    size_t visibleCount() override { return visible.size(); }
    size_t visiblePhoto(size_t slot) override { return visible.at(slot); }
    void insertVisible(size_t slot, size_t photo) override {
        visible.insert(visible.begin() + static_cast<std::ptrdiff_t>(slot), photo);
    }
    void visibleListGrew() override {}
    void setProgress(double fraction) override { progress = fraction; }
    LoadState feedLoadState() override { return state; }
    void startRetryTimer() override { ++retryTimers; }
    void batchesEnded(const std::wstring& message) override { endings.push_back(message); }

    std::set<size_t> matching;  // empty: no search
    std::vector<size_t> visible;
    std::map<size_t, std::wstring> paths;
    double progress = -1;
    LoadState state = LoadState::thumbnails;
    int retryTimers = 0;
    Texts endings;
};

std::wstring url(size_t n) {
    return L"http://127.0.0.1:1/l/" + std::to_wstring(n) + L".jpg";
}

class ThumbnailBatchesTest : public testing::Test {
protected:
    void SetUp() override { batches.start(7, &downloader); }
    void addPhotos(size_t count) {
        for (size_t end = batches.photoCount() + count; batches.photoCount() < end;) {
            batches.addPhoto(url(batches.photoCount()));
        }
    }
    // Retry passes until the batches end; how many.
    int retryUntilEnd() {
        int passes = 0;
        for (; host.endings.empty() && passes < 20; ++passes) {
            batches.retryTimerFired();
            downloader.finish(batches);
        }
        return passes;
    }

    FakeHost host;
    ScriptedDownloader downloader;
    ThumbnailBatches batches{host};
};

TEST_F(ThumbnailBatchesTest, FortyFivePhotosInBatchesOfTwentyTwentyAndFive) {
    host.state = LoadState::pages;
    batches.setMediaCount(45);
    addPhotos(20);
    batches.queueBatch(true);
    addPhotos(20);
    batches.queueBatch(true);  // a page arriving while a batch runs waits for it
    downloader.finish(batches);
    addPhotos(5);
    host.state = LoadState::thumbnails;
    batches.queueBatch(true);
    downloader.finish(batches);
    downloader.finish(batches);

    ASSERT_EQ(3u, downloader.runs.size());
    EXPECT_EQ(20u, downloader.runs[0].size());
    EXPECT_EQ(url(20), downloader.runs[1].front());
    EXPECT_EQ(5u, downloader.runs[2].size());
    EXPECT_EQ(45u, host.visible.size());
    EXPECT_TRUE(std::is_sorted(host.visible.begin(), host.visible.end()));
    EXPECT_EQ(L"C:\\T\\alice_44.jpg", host.paths[44]);
    EXPECT_DOUBLE_EQ(1.0, host.progress);
    EXPECT_EQ(Texts{L""}, host.endings);
}

TEST_F(ThumbnailBatchesTest, LateArrivalInsertedInFeedOrderUnderSearch) {
    addPhotos(6);
    host.matching = {0, 1, 3, 5};
    downloader.codes[url(1)] = {500, 0};
    downloader.codes[url(5)] = {500, 0};
    batches.queueBatch(true);
    downloader.finish(batches);
    EXPECT_EQ((std::vector<size_t>{0, 3}), host.visible);
    batches.retryTimerFired();
    EXPECT_EQ((Texts{url(1), url(5)}), downloader.runs.back());
    downloader.finish(batches);
    EXPECT_EQ((std::vector<size_t>{0, 1, 3, 5}), host.visible);
}

TEST_F(ThumbnailBatchesTest, RefusedOnceOthersRetriedUntilTheSeventhPassWithoutProgress) {
    addPhotos(6);
    batches.setMediaCount(6);
    downloader.codes[url(1)] = {kErrorAccessDenied};
    downloader.codes[url(2)] = {500};
    downloader.codes[url(4)] = {kErrorAccessDenied};
    batches.queueBatch(true);
    downloader.finish(batches);
    EXPECT_EQ(5, batches.thumbnailsDone());
    EXPECT_EQ(7, retryUntilEnd());
    for (size_t pass = 1; pass < downloader.runs.size(); ++pass) {
        EXPECT_EQ(Texts{url(2)}, downloader.runs[pass]);
    }
    EXPECT_EQ(Texts{L"1 photo cannot be downloaded. Please try again."}, host.endings);
    EXPECT_EQ((std::vector<size_t>{0, 3, 5}), host.visible);

    // No missing figure without a count above 0 and above the number done.
    EXPECT_EQ(L"", missingThumbnailsMessage(-1, 3));
    EXPECT_EQ(L"", missingThumbnailsMessage(0, 0));
    EXPECT_EQ(L"", missingThumbnailsMessage(3, 3));
    EXPECT_EQ(L"2 photos cannot be downloaded. Please try again.", missingThumbnailsMessage(5, 3));
    EXPECT_DOUBLE_EQ(0.0, thumbnailProgress(-1, 3));
}

TEST_F(ThumbnailBatchesTest, DuplicateAddressWaitsForItsTwinOtherAddFailuresAreRefused) {
    for (const wchar_t* address : {L"a", L"b", L"b", L"c", L"//bad"}) {
        batches.addPhoto(address);
    }
    batches.queueBatch(true);
    EXPECT_EQ((Texts{L"a", L"b", L"c"}), downloader.runs[0]);
    EXPECT_TRUE(batches.isRefused(4));
    downloader.finish(batches);
    EXPECT_EQ((std::vector<size_t>{0, 1, 3}), host.visible);
    EXPECT_EQ(Texts{L"b"}, downloader.runs.at(1));
    downloader.finish(batches);
    EXPECT_EQ((std::vector<size_t>{0, 1, 2, 3}), host.visible);
    EXPECT_EQ(Texts{L""}, host.endings);
    EXPECT_EQ(2u, downloader.runs.size());
}

TEST_F(ThumbnailBatchesTest, NothingToDownloadIsAPassWithoutProgress) {
    addPhotos(1);
    batches.setMediaCount(1);
    downloader.codes[url(0)] = {500};
    batches.queueBatch(true);
    downloader.finish(batches);
    downloader.files.clear();  // the control lost the file
    int passes = 0;
    for (; host.endings.empty() && passes < 20; ++passes) {
        batches.retryTimerFired();
    }
    EXPECT_EQ(6, passes);  // the first pass brought nothing either
    EXPECT_EQ(0, downloader.emptyDownloads);
    EXPECT_EQ(Texts{L"1 photo cannot be downloaded. Please try again."}, host.endings);
}

TEST_F(ThumbnailBatchesTest, StrayEventsIgnoredStale33NeverFreezesNoConnectionEnds) {
    addPhotos(2);
    batches.queueBatch(true);
    const long first = downloader.files[0].id;
    batches.fileDone(6, first, true);
    batches.runDone(6, true);
    batches.fileDone(7, 999, true);
    downloader.error = kErrorStopped;
    batches.fileDone(7, first, false);
    EXPECT_FALSE(batches.isFailed(0));
    batches.fileDone(7, first, true);
    batches.fileDone(7, first, true);
    EXPECT_EQ(1, batches.thumbnailsDone());
    downloader.removeFile(first);
    downloader.error = kErrorStopped;  // no stop of ours: a failed pass
    batches.runDone(7, false);
    EXPECT_EQ(1, host.retryTimers);
    downloader.codes[url(1)] = {kErrorNoConnection};
    batches.retryTimerFired();
    downloader.finish(batches);
    EXPECT_EQ(Texts{L"Please check your Internet connection."}, host.endings);
}

TEST_F(ThumbnailBatchesTest, StopAndResume) {
    host.state = LoadState::pages;
    EXPECT_FALSE(batches.resume());  // empty queues start nothing
    addPhotos(3);
    batches.queueBatch(true);
    host.state = LoadState::pagesStopped;
    batches.stop();
    downloader.finish(batches, kErrorStopped);
    addPhotos(2);
    batches.queueBatch(true);
    EXPECT_EQ(3u, downloader.files.size());
    host.state = LoadState::pages;
    EXPECT_TRUE(batches.resume());
    host.state = LoadState::thumbnails;
    downloader.finish(batches);
    EXPECT_EQ(2u, downloader.runs.back().size());
    host.state = LoadState::thumbnailsStopped;
    batches.stop();
    downloader.finish(batches);
    host.state = LoadState::thumbnails;
    EXPECT_FALSE(batches.resume());
    EXPECT_EQ(Texts{L""}, host.endings);
    EXPECT_EQ(2, downloader.stops);
    EXPECT_EQ(0, downloader.emptyDownloads);
}

TEST(PageRetryRule, TriesAndMessages) {
    auto tries = [](long error, bool countReceived) {
        int retries = 0;
        while (decidePageFailure(error, countReceived, retries) == PageFailureAction::retry) {
            ++retries;
        }
        return std::make_pair(retries + 1, decidePageFailure(error, countReceived, retries));
    };
    EXPECT_EQ(std::make_pair(3, PageFailureAction::noSuchUser), tries(kErrorNotFound, false));
    EXPECT_EQ(std::make_pair(7, PageFailureAction::serverIssues), tries(kErrorNotFound, true));
    EXPECT_EQ(std::make_pair(7, PageFailureAction::serverIssues), tries(14, false));
    EXPECT_EQ(PageFailureAction::ignore, decidePageFailure(kErrorStopped, false, 9));
    EXPECT_EQ(PageFailureAction::noConnection, decidePageFailure(kErrorNoConnection, true, 0));
    EXPECT_EQ(L"Instagram username \"bob\" doesn't exist.",
              pageFailureMessage(PageFailureAction::noSuchUser, L"bob"));
}

}  // namespace

#include "feed/ThumbnailBatches.h"

#include "feed/PageRetryRule.h"
#include "feed/SearchMatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A download control that runs when the test says so. Each address answers its scripted codes
// in turn (0 = the file arrives), the last one for every later try; unscripted addresses arrive.
class ScriptedDownloader : public ThumbnailDownloader {
public:
    long addFile(const std::wstring& url, const std::wstring& savePath) override {
        if (addFailures.count(url) != 0) {
            error = addFailures[url];
            return -1;
        }
        for (const File& file : files) {
            if (file.url == url) {
                error = kErrorDuplicateUrl;
                return -1;
            }
        }
        files.push_back({nextId, url, savePath});
        return nextId++;
    }
    bool download() override {
        if (files.empty()) {
            ++emptyDownloads;
        }
        std::vector<std::wstring> urls;
        for (const File& file : files) {
            urls.push_back(file.url);
        }
        runs.push_back(urls);
        return true;
    }
    void stopDownload() override { ++stops; }
    bool removeFile(long fileId) override {
        removed.push_back(fileId);
        files.erase(std::remove_if(files.begin(), files.end(), [&](const File& f) { return f.id == fileId; }),
                    files.end());
        return true;
    }
    long queuedFileCount() override { return static_cast<long>(files.size()); }
    std::wstring finalPath(long fileId) override {
        for (const File& file : files) {
            if (file.id == fileId) {
                return file.savePath.substr(0, file.savePath.find(L'|'));
            }
        }
        return std::wstring();
    }
    long lastError() override { return error; }

    // Every queued file ends with its next scripted code (stopped: with 33); an arrived file
    // leaves the list after its event. The run fails with the last failure's code.
    void finishRun(ThumbnailBatches& batches, int32_t generation, bool stopped = false) {
        long runError = 0;
        const std::vector<File> running = files;
        for (const File& file : running) {
            std::deque<long>& codes = outcomes[file.url];
            long code = stopped ? kErrorStopped : (codes.empty() ? 0 : codes.front());
            if (!stopped && codes.size() > 1) {
                codes.pop_front();
            }
            if (code == 0) {
                batches.fileDone(generation, file.id, true);
                removeFile(file.id);
                removed.pop_back();
            } else {
                error = runError = code;
                batches.fileDone(generation, file.id, false);
            }
        }
        error = runError;
        batches.runDone(generation, runError == 0);
    }

    struct File {
        long id;
        std::wstring url;
        std::wstring savePath;
    };
    std::vector<File> files;
    std::map<std::wstring, std::deque<long>> outcomes;
    std::map<std::wstring, long> addFailures;
    std::vector<std::vector<std::wstring>> runs;
    std::vector<long> removed;
    long nextId = 1;
    long error = 0;
    int emptyDownloads = 0;
    int stops = 0;
};

class FakeHost : public ThumbnailBatchHost {
public:
    std::wstring thumbnailSavePath(size_t photo) override {
        return L"C:\\work\\Thumbnails\\alice_" + std::to_wstring(photo) + L".jpg|1-2";
    }
    void thumbnailArrived(size_t photo, const std::wstring& path) override { paths[photo] = path; }
    void thumbnailFailed(size_t, bool) override {}
    bool matchesSearch(size_t photo) override { return !searching || matching.count(photo) != 0; }
    size_t visibleCount() override { return visible.size(); }
    size_t visiblePhoto(size_t slot) override { return visible.at(slot); }
    void insertVisible(size_t slot, size_t photo) override {
        visible.insert(visible.begin() + static_cast<std::ptrdiff_t>(slot), photo);
    }
    void visibleListGrew() override { ++layouts; }
    void setProgress(double fraction) override { progress = fraction; }
    bool pagesLoading() override { return loading; }
    void startRetryTimer() override { ++retryTimers; }
    void batchesEnded(const std::wstring& message) override { endings.push_back(message); }

    bool searching = false;
    std::set<size_t> matching;
    std::vector<size_t> visible;
    std::map<size_t, std::wstring> paths;
    double progress = -1;
    bool loading = false;
    int layouts = 0;
    int retryTimers = 0;
    std::vector<std::wstring> endings;
};

std::wstring url(int n) {
    return L"http://127.0.0.1:1/cdn/alice/l/" + std::to_wstring(n) + L".jpg";
}

class ThumbnailBatchesTest : public testing::Test {
protected:
    void SetUp() override { batches.start(generation, &downloader); }

    void addPhotos(int count) {
        for (int n = 0; n < count; ++n) {
            batches.addPhoto(url(static_cast<int>(batches.photoCount())));
        }
    }

    // Runs retry passes until the batches end; the number of passes.
    int retryUntilEnd(int limit = 20) {
        int passes = 0;
        while (host.endings.empty() && passes < limit) {
            batches.retryTimerFired();
            downloader.finishRun(batches, generation);
            ++passes;
        }
        return passes;
    }

    const int32_t generation = 7;
    FakeHost host;
    ScriptedDownloader downloader;
    ThumbnailBatches batches{host};
};

TEST_F(ThumbnailBatchesTest, FeedInBatchesOfTwentyAndVisibleInFeedOrder) {
    host.loading = true;
    addPhotos(20);
    batches.setMediaCount(45);
    batches.queueBatch(true);
    addPhotos(20);
    batches.queueBatch(true);  // a page arrived while the first batch runs
    downloader.finishRun(batches, generation);
    addPhotos(5);
    host.loading = false;
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    downloader.finishRun(batches, generation);

    ASSERT_EQ(3u, downloader.runs.size());
    EXPECT_EQ(20u, downloader.runs[0].size());
    EXPECT_EQ(20u, downloader.runs[1].size());
    EXPECT_EQ(5u, downloader.runs[2].size());
    EXPECT_EQ(url(20), downloader.runs[1][0]);
    ASSERT_EQ(45u, host.visible.size());
    EXPECT_TRUE(std::is_sorted(host.visible.begin(), host.visible.end()));
    EXPECT_EQ(L"C:\\work\\Thumbnails\\alice_44.jpg", host.paths[44]);
    EXPECT_DOUBLE_EQ(1.0, host.progress);
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
    EXPECT_EQ(0, downloader.emptyDownloads);
}

TEST_F(ThumbnailBatchesTest, LateArrivalInsertedInFeedOrderUnderSearch) {
    addPhotos(6);
    host.searching = true;
    host.matching = {0, 1, 3, 5};
    downloader.outcomes[url(1)] = {500, 0};
    downloader.outcomes[url(5)] = {500, 0};
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<size_t>{0, 3}), host.visible);
    EXPECT_TRUE(batches.isFailed(1));
    EXPECT_EQ(5u, batches.visibleCursor());  // a failure does not move it
    EXPECT_EQ(1, host.retryTimers);

    batches.retryTimerFired();
    EXPECT_EQ((std::vector<std::wstring>{url(1), url(5)}), downloader.runs.back());
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<size_t>{0, 1, 3, 5}), host.visible);
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
}

TEST_F(ThumbnailBatchesTest, RefusedOnceOthersRetriedUntilTheSeventhIdlePass) {
    addPhotos(6);
    batches.setMediaCount(6);
    downloader.outcomes[url(1)] = {kErrorAccessDenied};
    downloader.outcomes[url(2)] = {500};
    downloader.outcomes[url(4)] = {kErrorAccessDenied};
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    EXPECT_EQ(5, batches.thumbnailsDone());
    EXPECT_EQ(2u, downloader.removed.size());

    EXPECT_EQ(7, retryUntilEnd());
    EXPECT_EQ(8u, downloader.runs.size());
    for (size_t pass = 1; pass < downloader.runs.size(); ++pass) {
        EXPECT_EQ((std::vector<std::wstring>{url(2)}), downloader.runs[pass]);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"1 photo cannot be downloaded. Please try again."}), host.endings);
    EXPECT_EQ((std::vector<size_t>{0, 3, 5}), host.visible);

    EXPECT_EQ(L"", missingThumbnailsMessage(-1, 3));
    EXPECT_EQ(L"", missingThumbnailsMessage(0, 0));
    EXPECT_EQ(L"", missingThumbnailsMessage(3, 3));
    EXPECT_EQ(L"2 photos cannot be downloaded. Please try again.", missingThumbnailsMessage(5, 3));
}

TEST_F(ThumbnailBatchesTest, RetryThatBringsAThumbnailResetsTheIdlePasses) {
    addPhotos(2);
    batches.setMediaCount(-1);
    downloader.outcomes[url(0)] = {500, 500, 500, 0};
    downloader.outcomes[url(1)] = {500};
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    batches.retryTimerFired();
    downloader.finishRun(batches, generation);
    batches.retryTimerFired();
    downloader.finishRun(batches, generation);
    EXPECT_EQ(3, batches.idlePasses());
    batches.retryTimerFired();
    downloader.finishRun(batches, generation);
    EXPECT_EQ(0, batches.idlePasses());
    // The unknown count -1 never moves the pie and never gives a missing figure.
    EXPECT_DOUBLE_EQ(0.0, host.progress);
    EXPECT_EQ(7, retryUntilEnd());
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
}

TEST_F(ThumbnailBatchesTest, DuplicateAddressWaitsForItsTwinOtherAddFailuresAreRefused) {
    batches.addPhoto(url(0));
    batches.addPhoto(url(1));
    batches.addPhoto(url(1));
    batches.addPhoto(url(3));
    batches.addPhoto(L"//no-scheme");
    downloader.addFailures[L"//no-scheme"] = 12;
    batches.queueBatch(true);
    EXPECT_EQ(3u, downloader.runs[0].size());
    EXPECT_TRUE(batches.isRefused(4));
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<size_t>{0, 1, 3}), host.visible);
    ASSERT_EQ(2u, downloader.runs.size());
    EXPECT_EQ((std::vector<std::wstring>{url(1)}), downloader.runs[1]);
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<size_t>{0, 1, 2, 3}), host.visible);
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
    EXPECT_EQ(2u, downloader.runs.size());
    EXPECT_FALSE(batches.isRunning());
}

TEST_F(ThumbnailBatchesTest, NothingToDownloadIsAPassWithoutProgress) {
    addPhotos(1);
    batches.setMediaCount(1);
    downloader.outcomes[url(0)] = {500};
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    downloader.files.clear();  // the control lost the file
    int passes = 0;
    while (host.endings.empty() && passes < 20) {
        batches.retryTimerFired();
        ++passes;
    }
    EXPECT_EQ(6, passes);  // the first pass brought nothing either
    EXPECT_EQ(0, downloader.emptyDownloads);
    EXPECT_EQ(1u, downloader.runs.size());
    EXPECT_EQ((std::vector<std::wstring>{L"1 photo cannot be downloaded. Please try again."}), host.endings);
}

TEST_F(ThumbnailBatchesTest, StrayEventsAreIgnoredAndAStale33NeverFreezes) {
    addPhotos(2);
    batches.queueBatch(true);
    const long first = downloader.files[0].id;
    batches.fileDone(generation - 1, first, true);
    batches.runDone(generation - 1, true);
    batches.fileDone(generation, 999, true);
    batches.fileDone(generation, 999, false);
    downloader.error = kErrorStopped;
    batches.fileDone(generation, first, false);
    EXPECT_FALSE(batches.isFailed(0));
    EXPECT_TRUE(host.visible.empty());
    EXPECT_TRUE(batches.isRunning());

    batches.fileDone(generation, first, true);
    batches.fileDone(generation, first, true);
    EXPECT_EQ(1, batches.thumbnailsDone());
    downloader.removeFile(first);

    // A 33 that no stop of ours caused counts as a failed pass.
    downloader.error = kErrorStopped;
    batches.runDone(generation, false);
    EXPECT_FALSE(batches.isRunning());
    EXPECT_EQ(1, host.retryTimers);
    batches.retryTimerFired();
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<size_t>{0, 1}), host.visible);
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
}

TEST_F(ThumbnailBatchesTest, NoConnectionEndsWithItsMessage) {
    addPhotos(1);
    downloader.outcomes[url(0)] = {kErrorNoConnection};
    batches.queueBatch(true);
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<std::wstring>{L"Please check your Internet connection."}), host.endings);
    EXPECT_EQ(0, host.retryTimers);
}

TEST_F(ThumbnailBatchesTest, StopAndResume) {
    host.loading = true;
    addPhotos(3);
    batches.queueBatch(true);
    batches.stop();
    EXPECT_EQ(1, downloader.stops);
    downloader.finishRun(batches, generation, true);
    addPhotos(2);
    batches.queueBatch(true);  // a page while stopped queues nothing new
    EXPECT_EQ(3u, downloader.files.size());
    EXPECT_TRUE(batches.resume());
    EXPECT_EQ(3u, downloader.runs.back().size());
    host.loading = false;
    downloader.finishRun(batches, generation);
    EXPECT_EQ(2u, downloader.runs.back().size());

    // Stopped after the last file arrived: the control is empty and nothing is left to queue.
    batches.stop();
    downloader.finishRun(batches, generation);
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.endings);
    EXPECT_FALSE(batches.resume());
    EXPECT_EQ(0, downloader.emptyDownloads);
    EXPECT_EQ(5u, host.visible.size());
}

TEST_F(ThumbnailBatchesTest, ResumeOnEmptyQueuesStartsNothing) {
    host.loading = true;
    batches.stop();
    EXPECT_FALSE(batches.resume());
    EXPECT_TRUE(downloader.runs.empty());

    ThumbnailBatches idle(host);
    idle.start(1, nullptr);
    idle.addPhoto(url(0));
    idle.queueBatch(true);
    EXPECT_FALSE(idle.resume());
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
    EXPECT_EQ(L"Instagram username \"nosuchuser\" doesn't exist.",
              pageFailureMessage(PageFailureAction::noSuchUser, L"nosuchuser"));
    EXPECT_EQ(L"There are some temporary server issues. Please try again.",
              pageFailureMessage(PageFailureAction::serverIssues, L"x"));
    EXPECT_EQ(L"", pageFailureMessage(PageFailureAction::retry, L"x"));
}

TEST(SearchMatch, AnyWordAndAllWords) {
    auto words = [](std::initializer_list<const wchar_t*> texts) {
        WordList list;
        for (const wchar_t* text : texts) {
            list.push_back(std::make_unique<std::wstring>(text));
        }
        return list;
    };
    const WordList caption = words({L"sun", L"Sea", L"sand"});
    EXPECT_TRUE(photoMatchesSearch(caption, words({L"moon", L"sea"}), false));
    EXPECT_FALSE(photoMatchesSearch(caption, words({L"moon", L"sea"}), true));
    EXPECT_TRUE(photoMatchesSearch(caption, words({L"SUN", L"sea"}), true));
    EXPECT_FALSE(photoMatchesSearch(caption, words({}), false));
    EXPECT_TRUE(photoMatchesSearch(caption, words({}), true));
    EXPECT_FALSE(photoMatchesSearch(words({}), words({L"sun"}), false));
}

}  // namespace

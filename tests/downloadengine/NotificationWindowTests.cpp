#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "support/MessagePump.h"
#include "downloadcontrol/engine/NotificationWindow.h"

namespace {

using enginetest::liveAllocations;
using testsupport::pumpUntil;

class CountingHandler : public NotificationHandler {
public:
    void onListRefresh(int32_t row, ListRefreshMode mode) override {
        seen.push_back("refresh " + std::to_string(row) + "/" + std::to_string(mode));
    }
    void onFileFinished(DownloadItem*) override { seen.push_back("finished"); }
    void onSizeQueryDone(const SizeQueryResult& result) override {
        seen.push_back("size " + std::to_string(result.size));
    }
    void onFileStart(const ProgressSnapshot& snapshot, int32_t segments) override {
        seen.push_back("start " + std::to_string(snapshot.fileId) + "/" + std::to_string(segments));
    }
    void onFileProgress(const ProgressSnapshot& snapshot) override {
        seen.push_back("progress " + std::to_string(snapshot.downloaded));
    }
    void onSegmentProgress(const SegmentSnapshot& snapshot, int32_t index) override {
        seen.push_back("segment " + std::to_string(snapshot.start) + "/" + std::to_string(index));
    }
    void onDownloadDone(bool result, int32_t) override { seen.push_back(result ? "done 1" : "done 0"); }
    void onTimer() override { ++timers; }
    void beginMessage() override { ++depth; }
    void endMessage() override { --depth; }

    std::vector<std::string> seen;
    int timers = 0;
    int depth = 0;
};

std::unique_ptr<ProgressSnapshot> snapshot(int32_t fileId, int64_t downloaded) {
    auto record = std::make_unique<ProgressSnapshot>();
    record->fileId = fileId;
    record->downloaded = downloaded;
    return record;
}

TEST(NotificationWindow, MessagesArriveInOrderOnTheCreatingThreadAndDrainTheQueue) {
    CountingHandler handler;
    NotificationWindow window;
    ASSERT_TRUE(window.create(handler));
    window.beginReport();
    EXPECT_EQ(WaitForSingleObject(window.queueEmptyEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    auto segment = std::make_unique<SegmentSnapshot>();
    segment->start = 500;
    auto size = std::make_unique<SizeQueryResult>();
    size->size = -2;
    window.postFileStart(snapshot(4, 0), 3);
    window.postListRefresh(7, RefreshOverall);
    window.postSegmentProgress(std::move(segment), 2);
    window.postFileProgress(snapshot(4, 1234));
    window.postSizeQueryDone(std::move(size));
    window.postFileFinished(nullptr);
    window.postDownloadDone(true);
    ASSERT_TRUE(pumpUntil([&] { return handler.seen.size() == 7; }, 10000));
    EXPECT_EQ(handler.seen, (std::vector<std::string>{"start 4/3", "refresh 7/2", "segment 500/2",
                                                      "progress 1234", "size -2", "finished", "done 1"}));
    EXPECT_EQ(handler.depth, 0);
    // Drained: a worker waiting for the window goes on.
    EXPECT_EQ(WaitForSingleObject(window.queueEmptyEvent(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(NotificationWindow, TwoWindowsShareTheMessagesButNotTheirQueues) {
    CountingHandler first;
    CountingHandler second;
    NotificationWindow a;
    NotificationWindow b;
    ASSERT_TRUE(a.create(first));
    ASSERT_TRUE(b.create(second));
    EXPECT_NE(a.handle(), b.handle());
    EXPECT_NE(notificationMessageId(NotificationMessage::ListRefresh), 0u);
    EXPECT_NE(notificationMessageId(NotificationMessage::ListRefresh),
              notificationMessageId(NotificationMessage::DownloadDone));

    // A message of the host's own stays queued while a window dispatches only its own.
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP + 5, 0, 0));
    a.postDownloadDone(false);
    b.postDownloadDone(true);
    EXPECT_TRUE(a.dispatchPending());
    EXPECT_EQ(first.seen, (std::vector<std::string>{"done 0"}));
    EXPECT_TRUE(second.seen.empty());
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_APP + 5, WM_APP + 5, PM_REMOVE));
    EXPECT_TRUE(b.dispatchPending());
    EXPECT_EQ(second.seen, (std::vector<std::string>{"done 1"}));
}

TEST(NotificationWindow, RecordsStillQueuedAreFreedWhenTheWindowGoes) {
    CountingHandler handler;
    const long before = liveAllocations();
    {
        NotificationWindow window;
        ASSERT_TRUE(window.create(handler));
        for (int i = 0; i < 100; ++i) {
            window.postFileProgress(snapshot(1, i));
            window.postSegmentProgress(std::make_unique<SegmentSnapshot>(), 0);
            window.postSizeQueryDone(std::make_unique<SizeQueryResult>());
        }
        window.destroy();
        // Posting to a window that is gone frees the record at once.
        EXPECT_FALSE(window.postFileProgress(snapshot(1, 1)));
    }
    EXPECT_EQ(liveAllocations(), before);
    EXPECT_TRUE(handler.seen.empty());
}

TEST(NotificationWindow, TheProgressTimerTicksUntilStopped) {
    CountingHandler handler;
    NotificationWindow window;
    ASSERT_TRUE(window.create(handler));
    window.startTimer();
    ASSERT_TRUE(pumpUntil([&] { return handler.timers >= 2; }, 10000));
    window.stopTimer();
    const int ticks = handler.timers;
    testsupport::pumpFor(1500);
    EXPECT_EQ(handler.timers, ticks);
}

}  // namespace

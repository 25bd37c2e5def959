// The queues the jobs share with their worker threads: print hand-over in job order, zip input
// closing, and the stop flag's event.
#include "saving/JobStopFlag.h"
#include "saving/PrintQueue.h"
#include "saving/ZipQueue.h"

#include <gtest/gtest.h>

namespace {

JobEntries entries(int count) {
    JobEntries result;
    for (int i = 0; i < count; ++i) {
        result.push_back(std::make_unique<PhotoDownload>());
        result.back()->photoIndex = i;
        result.back()->path = L"C:\\p" + std::to_wstring(i + 1) + L".jpg";
    }
    return result;
}

TEST(PrintQueueTest, HandsOverStrictlyInJobOrderAndRewinds) {
    PrintQueue queue;
    JobEntries job = entries(3);
    job[1]->done = 1;  // the second file arrives first
    queue.handOver(job);
    EXPECT_EQ(queue.handedCount(), 0);
    EXPECT_EQ(queue.take(), L"");

    job[0]->done = 1;
    queue.handOver(job);
    EXPECT_EQ(queue.handedCount(), 2);
    EXPECT_EQ(WaitForSingleObject(queue.readyEvent(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(queue.take(), L"C:\\p1.jpg");
    EXPECT_EQ(queue.take(), L"C:\\p2.jpg");
    EXPECT_EQ(queue.take(), L"");

    job[2]->done = 1;
    queue.handOver(job);
    EXPECT_EQ(queue.take(), L"C:\\p3.jpg");
    queue.rewind();
    EXPECT_EQ(queue.take(), L"C:\\p1.jpg");

    queue.clear();
    EXPECT_EQ(queue.handedCount(), 0);
    EXPECT_EQ(queue.take(), L"");
}

TEST(ZipQueueTest, LastFileQueuedBeforeTheCloseIsTakenBeforeFinishing) {
    ZipQueue queue;
    EXPECT_TRUE(queue.take().finished);  // a new queue has its input closed: no job
    queue.setInputClosed(false);
    ZipQueue::Next next = queue.take();
    EXPECT_TRUE(next.path.empty());
    EXPECT_FALSE(next.finished);

    queue.queue(L"C:\\a");
    queue.queue(L"C:\\b");
    queue.setInputClosed(true);
    EXPECT_EQ(WaitForSingleObject(queue.readyEvent(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(queue.take().path, L"C:\\a");
    next = queue.take();
    EXPECT_EQ(next.path, L"C:\\b");
    EXPECT_FALSE(next.finished);
    EXPECT_TRUE(queue.take().finished);
}

TEST(JobStopFlagTest, EventFollowsTheFlag) {
    JobStopFlag flag;
    EXPECT_FALSE(flag.isSet());
    EXPECT_EQ(WaitForSingleObject(flag.event(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    flag.set(true);
    EXPECT_TRUE(flag.isSet());
    EXPECT_EQ(WaitForSingleObject(flag.event(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(flag.event(), 0), WAIT_OBJECT_0);  // stays set for every waiter
    flag.set(false);
    EXPECT_EQ(WaitForSingleObject(flag.event(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace

// Files handed to the print thread strictly in job order; its page loop: print order with copies,
// files that arrive while it waits, a stop while a download is pending, a printer that refuses.
#include "saving/JobStopFlag.h"
#include "saving/PrintPages.h"
#include "saving/PrintQueue.h"

#include <gtest/gtest.h>

namespace {

// Keeps the printed pages as one text (the files are named "1", "2", ...); refuses every page
// after refuseAfter.
class RecordingPrinter : public PagePrinter {
public:
    bool printPage(const std::wstring& path) override {
        JobLockHold hold(lock_);
        printed_ += path;
        return refuseAfter < 0 || static_cast<int>(printed_.size()) <= refuseAfter;
    }
    std::wstring printed() {
        JobLockHold hold(lock_);
        return printed_;
    }
    int refuseAfter = -1;

private:
    JobLock lock_;
    std::wstring printed_;
};

JobEntries entries(int count, int done) {
    JobEntries result;
    for (int i = 0; i < count; ++i) {
        result.push_back(std::make_unique<PhotoDownload>());
        result.back()->path = std::to_wstring(i + 1);
        result.back()->done = i < done ? 1 : 0;
    }
    return result;
}

TEST(PrintQueueTest, HandsOverStrictlyInJobOrderAndRewinds) {
    PrintQueue queue;
    JobEntries job = entries(3, 0);
    job[1]->done = 1;  // the second file arrives first
    queue.handOver(job);
    EXPECT_EQ(queue.take(), L"");
    job[0]->done = 1;
    queue.handOver(job);
    EXPECT_EQ(queue.handedCount(), 2);
    EXPECT_EQ(queue.take(), L"1");
    EXPECT_EQ(queue.take(), L"2");
    EXPECT_EQ(queue.take(), L"");
    job[2]->done = 1;
    queue.handOver(job);
    EXPECT_EQ(queue.take(), L"3");
    queue.rewind();
    EXPECT_EQ(queue.take(), L"1");
    queue.clear();
    EXPECT_EQ(queue.handedCount(), 0);
    EXPECT_EQ(queue.take(), L"");
}

TEST(PrintPagesTest, CopiesCollatedAndUncollated) {
    JobStopFlag stopFlag;
    JobEntries job = entries(3, 3);
    PrintQueue queue;
    queue.handOver(job);
    RecordingPrinter collated;
    EXPECT_EQ(printQueuedPages(queue, stopFlag, 3, 2, true, collated), PrintOutcome::Printed);
    EXPECT_EQ(collated.printed(), L"123123");
    RecordingPrinter uncollated;
    EXPECT_EQ(printQueuedPages(queue, stopFlag, 3, 2, false, uncollated), PrintOutcome::Printed);
    EXPECT_EQ(uncollated.printed(), L"112233");
    RecordingPrinter refusing;
    refusing.refuseAfter = 2;
    EXPECT_EQ(printQueuedPages(queue, stopFlag, 3, 1, true, refusing), PrintOutcome::Failed);
    EXPECT_EQ(refusing.printed(), L"123");
}

// The loop on a thread of its own, as the print thread runs it: one page of each of three files.
struct PrintRun {
    PrintQueue queue;
    JobStopFlag stopFlag;
    RecordingPrinter printer;
    PrintOutcome outcome = PrintOutcome::Printed;

    static DWORD WINAPI run(LPVOID self) {
        auto* run = static_cast<PrintRun*>(self);
        run->outcome = printQueuedPages(run->queue, run->stopFlag, 3, 1, true, run->printer);
        return 0;
    }
    bool waitForPrinted(HANDLE thread, const std::wstring& pages) {
        const ULONGLONG deadline = GetTickCount64() + 10000;
        while (printer.printed() != pages && GetTickCount64() < deadline)
            WaitForSingleObject(thread, 10);
        return printer.printed() == pages;
    }
};

TEST(PrintPagesTest, WaitsForLateFilesAndEndsOnAStopWhileOneIsPending) {
    PrintRun run;
    JobEntries job = entries(3, 1);
    run.queue.handOver(job);
    HANDLE thread = CreateThread(nullptr, 0, PrintRun::run, &run, 0, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(run.waitForPrinted(thread, L"1"));
    job[1]->done = 1;  // the second download arrives; the third stays pending
    run.queue.handOver(job);
    EXPECT_TRUE(run.waitForPrinted(thread, L"12"));
    run.stopFlag.set(true);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(run.outcome, PrintOutcome::Stopped);
    EXPECT_EQ(run.printer.printed(), L"12");
}

}  // namespace

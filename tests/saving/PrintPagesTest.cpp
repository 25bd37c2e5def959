// Files handed to the print thread strictly in job order; its page loop: print order with copies, files that
// arrive while it waits, a stop while a download is pending, and a printer that refuses a page.
#include "saving/JobStopFlag.h"
#include "saving/PrintPages.h"
#include "saving/PrintQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingPrinter : public PagePrinter {
public:
    bool printPage(const std::wstring& path) override {
        JobLockHold hold(lock_);
        pages_.push_back(path);
        return refuseAt_ < 0 || static_cast<int>(pages_.size()) <= refuseAt_;
    }
    std::vector<std::wstring> pages() {
        JobLockHold hold(lock_);
        return pages_;
    }
    int refuseAt_ = -1;  // the number of pages after which every page fails

private:
    JobLock lock_;
    std::vector<std::wstring> pages_;
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

std::vector<std::wstring> pages(std::initializer_list<const wchar_t*> names) {
    return std::vector<std::wstring>(names.begin(), names.end());
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
};

bool waitForPages(HANDLE thread, RecordingPrinter& printer, size_t count) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (printer.pages().size() < count && GetTickCount64() < deadline)
        WaitForSingleObject(thread, 10);
    return printer.pages().size() >= count;
}

TEST(PrintQueueTest, HandsOverStrictlyInJobOrderAndRewinds) {
    PrintQueue queue;
    JobEntries job = entries(3, 0);
    job[1]->done = 1;  // the second file arrives first
    queue.handOver(job);
    EXPECT_EQ(queue.handedCount(), 0);
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
    EXPECT_EQ(collated.pages(), pages({L"1", L"2", L"3", L"1", L"2", L"3"}));

    RecordingPrinter uncollated;
    EXPECT_EQ(printQueuedPages(queue, stopFlag, 3, 2, false, uncollated), PrintOutcome::Printed);
    EXPECT_EQ(uncollated.pages(), pages({L"1", L"1", L"2", L"2", L"3", L"3"}));

    RecordingPrinter refusing;
    refusing.refuseAt_ = 2;
    EXPECT_EQ(printQueuedPages(queue, stopFlag, 3, 1, true, refusing), PrintOutcome::Failed);
    EXPECT_EQ(refusing.pages().size(), 3u);
}

TEST(PrintPagesTest, WaitsForLateFilesAndEndsOnAStopWhileOneIsPending) {
    PrintRun run;
    JobEntries job = entries(3, 1);
    run.queue.handOver(job);
    HANDLE thread = CreateThread(nullptr, 0, PrintRun::run, &run, 0, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(waitForPages(thread, run.printer, 1));
    job[1]->done = 1;  // the second download arrives; the third stays pending
    run.queue.handOver(job);
    EXPECT_TRUE(waitForPages(thread, run.printer, 2));
    run.stopFlag.set(true);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(run.outcome, PrintOutcome::Stopped);
    EXPECT_EQ(run.printer.pages(), pages({L"1", L"2"}));
}

}  // namespace

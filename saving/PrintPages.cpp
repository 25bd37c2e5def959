#include "saving/PrintPages.h"

#include "saving/JobStopFlag.h"
#include "saving/PrintQueue.h"

namespace {

// Longest wait between two looks at the queue and the stop flag; the events normally end it early.
constexpr DWORD kWaitMs = 1000;

// The next ready file; empty once the job is stopped.
std::wstring nextFile(PrintQueue& queue, JobStopFlag& stopFlag) {
    for (;;) {
        if (stopFlag.isSet())
            return std::wstring();
        std::wstring path = queue.take();
        if (!path.empty())
            return path;
        waitForEither(queue.readyEvent(), stopFlag.event(), kWaitMs);
    }
}

}  // namespace

PrintOutcome printQueuedPages(PrintQueue& queue, JobStopFlag& stopFlag, int32_t pageCount, int32_t copies,
                              bool collate, PagePrinter& printer) {
    // Collated, each copy runs through every page; else each page is printed copies times in a row.
    const int32_t outer = collate ? copies : 1;
    const int32_t inner = collate ? 1 : copies;
    for (int32_t copy = 0; copy < outer; ++copy) {
        queue.rewind();
        for (int32_t page = 0; page < pageCount; ++page) {
            const std::wstring path = nextFile(queue, stopFlag);
            if (path.empty())
                return PrintOutcome::Stopped;
            for (int32_t repeat = 0; repeat < inner; ++repeat) {
                if (stopFlag.isSet())
                    return PrintOutcome::Stopped;
                if (!printer.printPage(path))
                    return stopFlag.isSet() ? PrintOutcome::Stopped : PrintOutcome::Failed;
            }
        }
    }
    return stopFlag.isSet() ? PrintOutcome::Stopped : PrintOutcome::Printed;
}

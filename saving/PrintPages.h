#pragma once
// The page loop of the print thread: every copy of every page in print order, each file taken from
// the print queue as it becomes ready. Collated: 1, 2, 3, 1, 2, 3; else 1, 1, 2, 2, 3, 3. While the
// next file is not ready it waits on the queue's and the stop flag's events, so a stop while a
// download is pending ends it.
#include <cstdint>
#include <string>

class JobStopFlag;
class PrintQueue;

class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // Prints one page with the file; false when the printer refused the page.
    virtual bool printPage(const std::wstring& path) = 0;
};

enum class PrintOutcome { Printed, Stopped, Failed };

PrintOutcome printQueuedPages(PrintQueue& queue, JobStopFlag& stopFlag, int32_t pageCount, int32_t copies,
                              bool collate, PagePrinter& printer);

#pragma once
// Files ready for printing, in page order. The main window owns it: it hands over the job's entries
// strictly in job order (a file that finishes early waits for every earlier one) and clears it; the
// print thread takes the files and rewinds to print them again.
#include "saving/JobRecords.h"
#include "saving/JobSync.h"

#include <string>
#include <vector>

class PrintQueue {
public:
    PrintQueue() : ready_(false) {}
    PrintQueue(const PrintQueue&) = delete;
    PrintQueue& operator=(const PrintQueue&) = delete;

    // GUI thread: appends the path of every leading done entry not yet handed over.
    void handOver(const JobEntries& entries);
    // GUI thread: forgets every path and both counts (job start and end).
    void clear();
    int32_t handedCount();

    // Print thread: the next path, or an empty string when none is ready yet.
    std::wstring take();
    // Print thread: the next take starts at the first path again.
    void rewind();

    // Set whenever a path is handed over.
    HANDLE readyEvent() const { return ready_.get(); }

private:
    JobLock lock_;
    std::vector<std::wstring> paths_;
    int32_t handedCount_ = 0;
    int32_t readCount_ = 0;
    JobEvent ready_;
};

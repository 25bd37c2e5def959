#pragma once
// A message-only window that collects the job records the worker threads post, in arrival order,
// and owns them from receipt.
#include "saving/JobRecords.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

class JobMessageSink {
public:
    JobMessageSink();
    ~JobMessageSink();
    JobMessageSink(const JobMessageSink&) = delete;
    JobMessageSink& operator=(const JobMessageSink&) = delete;

    HWND handle() const { return handle_; }

    // Takes every waiting record.
    void drain();
    // Drains until the condition holds; false when the deadline passed first.
    bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs = 60000);

    std::vector<std::unique_ptr<PhotoCopiedMessageInfo>> copied;
    std::vector<std::unique_ptr<UpdatePhotoTimesMessageInfo>> times;
    std::vector<std::unique_ptr<ZipArchiveMessageInfo>> zip;
    std::vector<std::unique_ptr<PrintMessageInfo>> print;

private:
    HWND handle_ = nullptr;
};

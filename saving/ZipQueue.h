#pragma once
// The zip writer's input: paths of finished files, oldest first, and whether more will come. The
// main window owns it and is the producer; the zip writer thread takes from it. Every access holds
// the one lock, which is never held while a file is compressed.
#include "saving/JobSync.h"

#include <deque>
#include <string>

class ZipQueue {
public:
    ZipQueue() : ready_(false) {}
    ZipQueue(const ZipQueue&) = delete;
    ZipQueue& operator=(const ZipQueue&) = delete;

    // GUI thread.
    void queue(const std::wstring& path);
    void setInputClosed(bool closed);
    // Drops every queued path and the discard (job start and end).
    void clear();
    // The job failed: the archive being written is not to take the zip file's place.
    void discard();

    bool isInputClosed();
    bool isDiscarded();

    // Zip thread: the next path, or an empty path with finished set when the input is closed and
    // nothing is left (both read in one lock hold, so a last file queued just before the close is
    // never missed), or an empty path with finished clear when the thread should wait.
    struct Next {
        std::wstring path;
        bool finished = false;
    };
    Next take();

    // Set by queue when the queue was empty, and by closing the input.
    HANDLE readyEvent() const { return ready_.get(); }

private:
    JobLock lock_;
    std::deque<std::wstring> paths_;
    bool inputClosed_ = true;
    bool discarded_ = false;
    JobEvent ready_;
};

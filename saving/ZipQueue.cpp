#include "saving/ZipQueue.h"

void ZipQueue::queue(const std::wstring& path) {
    bool wasEmpty = false;
    {
        JobLockHold hold(lock_);
        wasEmpty = paths_.empty();
        paths_.push_back(path);
    }
    // The writer waits only after it found the queue empty; while it has files to take, waking it
    // once per file is a system call for nothing.
    if (wasEmpty)
        ready_.set();
}

void ZipQueue::setInputClosed(bool closed) {
    {
        JobLockHold hold(lock_);
        inputClosed_ = closed;
    }
    if (closed)
        ready_.set();
}

void ZipQueue::clear() {
    JobLockHold hold(lock_);
    paths_.clear();
    discarded_ = false;
}

void ZipQueue::discard() {
    JobLockHold hold(lock_);
    discarded_ = true;
}

bool ZipQueue::isDiscarded() {
    JobLockHold hold(lock_);
    return discarded_;
}

bool ZipQueue::isInputClosed() {
    JobLockHold hold(lock_);
    return inputClosed_;
}

ZipQueue::Next ZipQueue::take() {
    JobLockHold hold(lock_);
    Next next;
    if (!paths_.empty()) {
        next.path = std::move(paths_.front());
        paths_.pop_front();
    } else {
        next.finished = inputClosed_;
    }
    return next;
}

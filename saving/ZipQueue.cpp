#include "saving/ZipQueue.h"

void ZipQueue::queue(const std::wstring& path) {
    {
        JobLockHold hold(lock_);
        paths_.push_back(path);
    }
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

#include "saving/PrintQueue.h"

void PrintQueue::handOver(const JobEntries& entries) {
    bool added = false;
    {
        JobLockHold hold(lock_);
        while (handedCount_ >= 0 && static_cast<size_t>(handedCount_) < entries.size() &&
               entries[handedCount_]->done) {
            paths_.push_back(entries[handedCount_]->path);
            ++handedCount_;
            added = true;
        }
    }
    if (added)
        ready_.set();
}

void PrintQueue::clear() {
    JobLockHold hold(lock_);
    paths_.clear();
    handedCount_ = 0;
    readCount_ = 0;
}

int32_t PrintQueue::handedCount() {
    JobLockHold hold(lock_);
    return handedCount_;
}

std::wstring PrintQueue::take() {
    JobLockHold hold(lock_);
    if (readCount_ < 0 || static_cast<size_t>(readCount_) >= paths_.size())
        return std::wstring();
    return paths_[readCount_++];
}

void PrintQueue::rewind() {
    JobLockHold hold(lock_);
    readCount_ = 0;
}

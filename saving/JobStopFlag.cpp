#include "saving/JobStopFlag.h"

void JobStopFlag::set(bool stopped) {
    JobLockHold hold(lock_);
    stopped_ = stopped;
    if (stopped)
        event_.set();
    else
        event_.reset();
}

bool JobStopFlag::isSet() {
    JobLockHold hold(lock_);
    return stopped_;
}

#include "saving/JobStopFlag.h"

void JobStopFlag::set(bool stopped) {
    CriticalSectionLock hold(lock_);
    stopped_ = stopped;
    if (stopped)
        event_.set();
    else
        event_.reset();
}

bool JobStopFlag::isSet() {
    CriticalSectionLock hold(lock_);
    return stopped_;
}

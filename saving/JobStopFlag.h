#pragma once
// The stop flag of the running save or print job. The main window owns it (its setJobStopped and
// isJobStopped go through it); the job's worker threads read it, and wait on its event beside their
// own so that a stop wakes them at once.
#include "saving/JobSync.h"

class JobStopFlag {
public:
    JobStopFlag() : event_(true) {}
    JobStopFlag(const JobStopFlag&) = delete;
    JobStopFlag& operator=(const JobStopFlag&) = delete;

    void set(bool stopped);
    bool isSet();
    // Signalled while the flag is set.
    HANDLE event() const { return event_.get(); }

private:
    JobLock lock_;
    bool stopped_ = false;
    JobEvent event_;
};

#pragma once
// What the jobs' GUI thread and worker threads share: a critical section with its scope guard, an
// event, and the start of a worker thread. (Named for the jobs so that they never meet another
// critical-section class of the program.)
#include <windows.h>

#include <memory>

class JobLock {
public:
    JobLock() { InitializeCriticalSection(&section_); }
    ~JobLock() { DeleteCriticalSection(&section_); }
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section from construction to the end of the scope.
class JobLockHold {
public:
    explicit JobLockHold(JobLock& section) : section_(section) { section_.enter(); }
    ~JobLockHold() { section_.leave(); }
    JobLockHold(const JobLockHold&) = delete;
    JobLockHold& operator=(const JobLockHold&) = delete;

private:
    JobLock& section_;
};

// An unnamed event, closed with its owner. Waiters also use a timeout, so a failed creation (null
// handle) slows a wait down but never hangs it.
class JobEvent {
public:
    explicit JobEvent(bool manualReset) : handle_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    ~JobEvent() {
        if (handle_)
            CloseHandle(handle_);
    }
    JobEvent(const JobEvent&) = delete;
    JobEvent& operator=(const JobEvent&) = delete;

    HANDLE get() const { return handle_; }
    void set() {
        if (handle_)
            SetEvent(handle_);
    }
    void reset() {
        if (handle_)
            ResetEvent(handle_);
    }

private:
    HANDLE handle_;
};

// Waits until one of the two events is set or the time is up; a null handle is left out.
void waitForEither(HANDLE first, HANDLE second, DWORD milliseconds);

// Starts proc suspended on the block, gives the block its thread handle and lets it run; the
// thread owns the block from then on. False (the block freed) when no thread could be made.
template <typename Params>
bool startJobThread(LPTHREAD_START_ROUTINE proc, std::unique_ptr<Params> params) {
    HANDLE thread = CreateThread(nullptr, 0, proc, params.get(), CREATE_SUSPENDED, nullptr);
    if (!thread)
        return false;
    params->thread = thread;
    params.release();
    ResumeThread(thread);
    return true;
}

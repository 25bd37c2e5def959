#pragma once
// The synchronisation objects the jobs share between the GUI thread and their worker threads: a
// critical section with its scope guard, and an event handle.
#include <windows.h>

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section from construction to the end of the scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.enter(); }
    ~CriticalSectionLock() { section_.leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& section_;
};

// An unnamed event, closed with its owner. Waiters also use a timeout, so a failed creation (null
// handle) slows a wait down but never hangs it.
class EventHandle {
public:
    explicit EventHandle(bool manualReset) : handle_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    ~EventHandle() {
        if (handle_)
            CloseHandle(handle_);
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;

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

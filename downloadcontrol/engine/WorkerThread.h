#pragma once
// Starts a worker object's run() on a thread of its own. The thread owns the object and frees it when
// run() returns. The thread is created suspended, so that the caller can store its handle (and leave
// any lock) before it runs; ResumeThread starts it.
#include <winsock2.h>
#include <windows.h>

#include <memory>

#include "downloadcontrol/ScopedHandle.h"

// Runs one step of a worker thread; false when it raised an exception, which must never leave a thread
// entry. The only exceptions the transfers raise are failed allocations (of sizes that a host or a server
// chose), so a caller fails the step's file as out of memory.
template <class Step>
bool runWithoutExceptions(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

namespace workerthread {

template <class Work>
DWORD WINAPI entry(void* parameter) {
    std::unique_ptr<Work> work(static_cast<Work*>(parameter));
    return runWithoutExceptions([&] { work->run(); }) ? 0 : 1;
}

template <class Work>
DWORD WINAPI borrowedEntry(void* parameter) {
    return runWithoutExceptions([&] { static_cast<Work*>(parameter)->run(); }) ? 0 : 1;
}

}  // namespace workerthread

// An empty handle when the thread cannot be created; the work is freed then.
template <class Work>
ScopedHandle createSuspendedThread(std::unique_ptr<Work> work) {
    HANDLE thread =
        CreateThread(nullptr, 0, &workerthread::entry<Work>, work.get(), CREATE_SUSPENDED, nullptr);
    if (thread) {
        work.release();
    }
    return ScopedHandle(thread);
}

// The same for work that the caller keeps and frees once the thread has ended.
template <class Work>
ScopedHandle createSuspendedThreadFor(Work& work) {
    return ScopedHandle(
        CreateThread(nullptr, 0, &workerthread::borrowedEntry<Work>, &work, CREATE_SUSPENDED, nullptr));
}

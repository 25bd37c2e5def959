#include "downloadcontrol/engine/WorkerThread.h"

#include <algorithm>

WorkerPool::WorkerPool()
    : wake_(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)),
      quit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WorkerPool::~WorkerPool() {
    if (quit_.valid()) {
        SetEvent(quit_.get());
    }
    for (const ScopedHandle& thread : threads_) {
        WaitForSingleObject(thread.get(), INFINITE);
    }
}

ScopedHandle WorkerPool::hand(std::unique_ptr<Task> task) {
    if (!wake_.valid() || !quit_.valid()) {
        return ScopedHandle();
    }
    ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE copy = nullptr;
    if (!done.valid() || !DuplicateHandle(GetCurrentProcess(), done.get(), GetCurrentProcess(), &copy, 0,
                                          FALSE, DUPLICATE_SAME_ACCESS)) {
        return ScopedHandle();
    }
    task->done.reset(copy);
    CriticalSectionLock lock(lock_);
    if (!runWithoutExceptions([&] {
            threads_.reserve(threads_.size() + 1);
            waiting_.push_back(std::move(task));
        })) {
        return ScopedHandle();
    }
    if (idle_ > 0) {
        --idle_;
    } else {
        ScopedHandle thread(CreateThread(nullptr, 0, &WorkerPool::entry, this, 0, nullptr));
        if (!thread.valid()) {
            waiting_.pop_back();
            return ScopedHandle();
        }
        threads_.push_back(std::move(thread));
    }
    ReleaseSemaphore(wake_.get(), 1, nullptr);
    return done;
}

DWORD WINAPI WorkerPool::entry(void* parameter) {
    static_cast<WorkerPool*>(parameter)->serve();
    return 0;
}

void WorkerPool::serve() {
    HANDLE events[2] = {quit_.get(), wake_.get()};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        std::unique_ptr<Task> task;
        {
            CriticalSectionLock lock(lock_);
            if (waiting_.empty()) {
                continue;
            }
            task = std::move(waiting_.front());
            waiting_.erase(waiting_.begin());
        }
        task->run();
        ScopedHandle done = std::move(task->done);
        task.reset();
        // Counted idle before it says the work ended: a file started next finds this thread.
        {
            CriticalSectionLock lock(lock_);
            ++idle_;
        }
        SetEvent(done.get());
    }
}

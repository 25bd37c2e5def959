#include "downloadcontrol/engine/WorkerThread.h"

#include <algorithm>
#include <utility>

WorkerPool::WorkerPool(DWORD idleLifetimeMs)
    : wake_(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)),
      quit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      ended_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      idleLifetimeMs_(idleLifetimeMs) {}

WorkerPool::~WorkerPool() {
    if (quit_.valid()) {
        SetEvent(quit_.get());
    }
    for (const ScopedHandle& thread : threads_) {
        WaitForSingleObject(thread.get(), INFINITE);
    }
}

std::shared_ptr<const WorkTicket> WorkerPool::hand(std::unique_ptr<Task> task,
                                                   std::shared_ptr<const WorkTicket> ticket) {
    if (!wake_.valid() || !quit_.valid() || !ended_.valid()) {
        return nullptr;
    }
    CriticalSectionLock lock(lock_);
    if (!runWithoutExceptions([&] {
            threads_.reserve(threads_.size() + 1);
            waiting_.push_back(std::move(task));
        })) {
        return nullptr;
    }
    if (idle_ > 0) {
        --idle_;
    } else {
        // Threads that ended idle leave their handles behind; a start is rare enough to sweep them.
        threads_.erase(std::remove_if(threads_.begin(), threads_.end(),
                                      [](const ScopedHandle& thread) {
                                          return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
                                      }),
                       threads_.end());
        ScopedHandle thread(CreateThread(nullptr, 0, &WorkerPool::entry, this, 0, nullptr));
        if (!thread.valid()) {
            waiting_.pop_back();
            return nullptr;
        }
        threads_.push_back(std::move(thread));
    }
    ReleaseSemaphore(wake_.get(), 1, nullptr);
    return ticket;
}

void WorkerPool::wait(const WorkTicket& ticket) {
    while (!ticket.ended()) {
        // Counted before the look: a work that ends after it sees the waiter and sets the event. The
        // event wakes one waiter of several; the others look again a little later.
        ++waiters_;
        if (!ticket.ended()) {
            WaitForSingleObject(ended_.get(), 100);
        }
        --waiters_;
    }
}

DWORD WINAPI WorkerPool::entry(void* parameter) {
    static_cast<WorkerPool*>(parameter)->serve();
    return 0;
}

void WorkerPool::serve() {
    HANDLE events[2] = {quit_.get(), wake_.get()};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, idleLifetimeMs_);
        if (woken == WAIT_TIMEOUT) {
            // Ends only while counted idle: a thread that was counted out has a wake coming for its
            // work (another idle thread may take that wake; the count stays right either way).
            CriticalSectionLock lock(lock_);
            if (idle_ > 0) {
                --idle_;
                return;
            }
            continue;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return;
        }
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
        WorkTicket* ticket = std::exchange(task->ticket, nullptr);
        task.reset();
        // Counted idle before it says the work ended: a file started next finds this thread.
        {
            CriticalSectionLock lock(lock_);
            ++idle_;
        }
        WorkTicket::release(ticket, WorkTicket::kThread);
        if (waiters_ > 0) {
            SetEvent(ended_.get());
        }
    }
}

#pragma once
// Starts a worker object's run() on a thread of its own. The thread owns the object and frees it when
// run() returns. The thread is created suspended, so that the caller can store its handle (and leave
// any lock) before it runs; ResumeThread starts it.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "downloadcontrol/CriticalSection.h"

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

// Stands for a work handed to a WorkerPool, as a thread handle would: it has ended once the work's run()
// has returned and the work is freed.
//
// The pool's thread and the holders (the shared pointers handed out) own it together. The thread's release
// is its last touch of the ticket and tells the end in the same step, so a holder that saw the end frees
// the ticket itself: nothing of a work is freed by its thread after the work was seen to end.
class WorkTicket {
public:
    bool ended() const { return (owners_.load() & kThread) == 0; }

private:
    friend class WorkerPool;
    static constexpr int kThread = 1;
    static constexpr int kHolders = 2;
    // Frees the ticket when `owner` was the last one.
    static void release(WorkTicket* ticket, int owner) {
        if (ticket && ticket->owners_.fetch_and(~owner) == owner) {
            delete ticket;
        }
    }
    std::atomic<int> owners_{kThread | kHolders};
};

// Threads kept for the file transfers of one engine: a file runs on an idle one, and a new thread is
// made only when none is idle. Starting a thread costs more than fetching a small file under some
// systems, and a run of many small files would otherwise start one per file. For the same reason a
// work is told by a ticket, not by a kernel object of its own: handing out a work and ending it make
// no calls to the system besides waking the thread.
//
// A thread left idle for `idleLifetimeMs` ends: under some systems every thread holds about a megabyte
// of memory for as long as it lives, and the next run pays only its start again.
//
// The destructor ends the idle threads and waits for them; every work must have ended before.
class WorkerPool {
public:
    static constexpr DWORD kIdleLifetimeMs = 5000;

    explicit WorkerPool(DWORD idleLifetimeMs = kIdleLifetimeMs);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Nothing when no thread could be had; the work is freed then.
    template <class Work>
    std::shared_ptr<const WorkTicket> run(std::unique_ptr<Work> work) {
        std::unique_ptr<Task> task;
        std::shared_ptr<const WorkTicket> ticket;
        if (!runWithoutExceptions([&] {
                task = std::make_unique<WorkTask<Work>>(std::move(work));
                task->ticket = new WorkTicket;
                ticket = std::shared_ptr<const WorkTicket>(
                    task->ticket, [](WorkTicket* held) { WorkTicket::release(held, WorkTicket::kHolders); });
            })) {
            return nullptr;
        }
        return hand(std::move(task), std::move(ticket));
    }

    // Returns once the work of `ticket` has ended.
    void wait(const WorkTicket& ticket);

private:
    struct Task {
        virtual ~Task() { WorkTicket::release(ticket, WorkTicket::kThread); }
        virtual void run() = 0;
        WorkTicket* ticket = nullptr;  // the thread's share
    };
    template <class Work>
    struct WorkTask : Task {
        explicit WorkTask(std::unique_ptr<Work> work) : work(std::move(work)) {}
        void run() override {
            runWithoutExceptions([&] { work->run(); });
            work.reset();
        }
        std::unique_ptr<Work> work;
    };

    std::shared_ptr<const WorkTicket> hand(std::unique_ptr<Task> task,
                                           std::shared_ptr<const WorkTicket> ticket);
    static DWORD WINAPI entry(void* parameter);
    void serve();

    CriticalSection lock_;
    ScopedHandle wake_;  // semaphore: one count per task waiting for a thread
    ScopedHandle quit_;
    ScopedHandle ended_;  // auto-reset: a work ended while somebody waited
    std::atomic<LONG> waiters_{0};
    std::vector<std::unique_ptr<Task>> waiting_;
    std::vector<ScopedHandle> threads_;  // also of threads that have ended, until the next start
    std::size_t idle_ = 0;               // idle threads not yet woken for a work
    DWORD idleLifetimeMs_;
};

#include <gtest/gtest.h>

#include "downloadcontrol/engine/WorkerThread.h"

namespace {

// Notes the thread it ran on, as a handle that outlives the thread.
struct ThreadNote {
    explicit ThreadNote(HANDLE* thread) : thread(thread) {}
    void run() {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), thread, SYNCHRONIZE,
                        FALSE, 0);
    }
    HANDLE* thread;
};

struct Nap {
    Nap(DWORD milliseconds, std::atomic<int>* runs) : milliseconds(milliseconds), runs(runs) {}
    void run() {
        Sleep(milliseconds);
        ++*runs;
    }
    DWORD milliseconds;
    std::atomic<int>* runs;
};

bool endsWithin(const WorkTicket& ticket, DWORD milliseconds) {
    const ULONGLONG limit = GetTickCount64() + milliseconds;
    while (!ticket.ended()) {
        if (GetTickCount64() > limit) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

TEST(WorkerPool, AThreadLeftIdleEndsAndTheNextWorkGetsANewOne) {
    WorkerPool pool(50);
    HANDLE first = nullptr;
    auto ticket = pool.run(std::make_unique<ThreadNote>(&first));
    ASSERT_TRUE(ticket);
    ASSERT_TRUE(endsWithin(*ticket, 5000));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(WaitForSingleObject(first, 5000), WAIT_OBJECT_0);
    CloseHandle(first);

    HANDLE second = nullptr;
    ticket = pool.run(std::make_unique<ThreadNote>(&second));
    ASSERT_TRUE(ticket);
    EXPECT_TRUE(endsWithin(*ticket, 5000));
    ASSERT_NE(second, nullptr);
    CloseHandle(second);
}

TEST(WorkerPool, NoWorkIsLostWhileIdleThreadsEnd) {
    // Idle threads end after a millisecond: works arrive both while threads are ending and while
    // others are still counted idle.
    WorkerPool pool(1);
    std::atomic<int> runs{0};
    std::vector<std::shared_ptr<const WorkTicket>> tickets;
    for (int round = 0; round < 200; ++round) {
        for (int work = 0; work < 1 + round % 4; ++work) {
            tickets.push_back(pool.run(std::make_unique<Nap>(round % 3, &runs)));
            ASSERT_TRUE(tickets.back());
        }
        Sleep(round % 5 == 0 ? 3 : round % 2);
    }
    for (const auto& ticket : tickets) {
        ASSERT_TRUE(endsWithin(*ticket, 10000));
    }
    EXPECT_EQ(runs.load(), static_cast<int>(tickets.size()));
}

}  // namespace

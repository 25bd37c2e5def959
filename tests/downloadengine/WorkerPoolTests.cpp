#include <gtest/gtest.h>

#include "downloadcontrol/engine/WorkerThread.h"
#include "support/TestSupport.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Call {
    void run() { body(); }
    std::function<void()> body;
};

bool endsWithin(const WorkTicket& ticket, int milliseconds) {
    return testsupport::waitUntil([&ticket] { return ticket.ended(); }, milliseconds);
}

TEST(WorkerPool, AThreadLeftIdleEndsAndTheNextWorkGetsANewOne) {
    WorkerPool pool(50);
    HANDLE thread = nullptr;
    auto ticket = pool.run(std::make_unique<Call>(Call{[&thread] {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, SYNCHRONIZE,
                        FALSE, 0);
    }}));
    ASSERT_TRUE(ticket && endsWithin(*ticket, 5000) && thread);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);

    bool ran = false;
    ticket = pool.run(std::make_unique<Call>(Call{[&ran] { ran = true; }}));
    ASSERT_TRUE(ticket && endsWithin(*ticket, 5000));
    EXPECT_TRUE(ran);
}

TEST(WorkerPool, NoWorkIsLostWhileIdleThreadsEnd) {
    // Idle threads end after a millisecond: works arrive while some end and others are counted idle.
    WorkerPool pool(1);
    std::atomic<int> runs{0};
    std::vector<std::shared_ptr<const WorkTicket>> tickets;
    for (int round = 0; round < 200; ++round) {
        for (int work = 0; work <= round % 4; ++work) {
            const DWORD nap = round % 3;
            tickets.push_back(pool.run(std::make_unique<Call>(Call{[&runs, nap] {
                Sleep(nap);
                ++runs;
            }})));
            ASSERT_TRUE(tickets.back());
        }
        Sleep(round % 5 == 0 ? 3 : round % 2);
    }
    for (const auto& ticket : tickets)
        ASSERT_TRUE(endsWithin(*ticket, 10000));
    EXPECT_EQ(runs.load(), static_cast<int>(tickets.size()));
}

}  // namespace

// SPDX-License-Identifier: MIT
#include "app/CriticalSection.h"
#include "app/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A worker that takes the lock, notes that it holds it, and answers with a given result.
struct Worker : Thread {
    explicit Worker(CriticalSection& lock, bool result = true) : lock(lock), result(result) {}
    ~Worker() override { joinThread(); }
    bool run() override
    {
        ++runs;
        holding = lock.lock();
        lock.unlock();
        return holding && result;
    }

    CriticalSection& lock;
    bool result;
    std::atomic<int> runs{0};
    std::atomic<bool> holding{false};
};

} // namespace

TEST(Threads, OneWorkerPerObjectWaitsForTheLockAndEndsWithItsResult)
{
    testing::internal::CaptureStdout();
    CriticalSection lock;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a lock that was made says it could not be";
    ASSERT_TRUE(lock.lock());
    Worker worker(lock);
    worker.startThread(&worker);
    worker.startThread(&worker); // a second start is ignored
    EXPECT_TRUE(worker.hasThread());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(worker.holding) << "the worker took a lock that was held";
    lock.unlock();
    while (!worker.holding)
        std::this_thread::yield();
    ASSERT_TRUE(lock.lock()) << "the worker kept the lock";
    lock.unlock();
    EXPECT_EQ(Thread::threadMethod(&worker), 1);
    Worker failing(lock, false);
    EXPECT_EQ(Thread::threadMethod(&failing), 0);
    EXPECT_EQ(worker.runs + failing.runs, 3);
}

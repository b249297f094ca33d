#include "CriticalSection.h"
#include "Thread.h"
#include "TwoFloats.h"
#include "ThreeFloats.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Counts how often its body ran; the body waits until the test lets it finish.
class CountingThread : public Thread {
public:
    ~CountingThread() override
    {
        release.store(true, std::memory_order_release);
        joinThread();
    }

    bool run() override
    {
        runs.fetch_add(1);
        while (!release.load(std::memory_order_acquire)) {
        }
        return true;
    }

    std::atomic<int> runs{0};
    std::atomic<bool> release{false};
};

class NeverStarted : public Thread {
public:
    bool run() override { return false; }
};

} // namespace

TEST(Thread, StartsAtMostOneWorker)
{
    int runs = 0;
    {
        CountingThread thread;
        thread.startThread(&thread);
        thread.startThread(&thread);
        EXPECT_TRUE(thread.hasThread());
        thread.release.store(true);
        while (thread.runs.load() == 0) {
        }
        runs = thread.runs.load();
    }
    EXPECT_EQ(runs, 1);
}

TEST(Thread, AnUnstartedThreadIsNotWaitedFor)
{
    NeverStarted thread;
    EXPECT_FALSE(thread.hasThread());
}

TEST(Thread, EntryFunctionReturnsTheBodysResult)
{
    NeverStarted failing;
    EXPECT_EQ(Thread::threadMethod(&failing), 0);
    CountingThread succeeding;
    succeeding.release.store(true);
    EXPECT_EQ(Thread::threadMethod(&succeeding), 1);
}

TEST(CriticalSection, GuardsACounterAcrossThreads)
{
    CriticalSection section;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            ASSERT_TRUE(section.lock());
            const int seen = counter;
            std::this_thread::yield();
            counter = seen + 1;
            section.unlock();
        }
    };
    std::thread first(work);
    std::thread second(work);
    first.join();
    second.join();
    EXPECT_EQ(counter, 40000);
}

TEST(Vectors, ScalarMultiplication)
{
    const TwoFloats two = 2.5f * TwoFloats{2.0f, -4.0f};
    EXPECT_FLOAT_EQ(two.x, 5.0f);
    EXPECT_FLOAT_EQ(two.y, -10.0f);
    const ThreeFloats three = -0.5f * ThreeFloats{2.0f, 4.0f, 0.0f};
    EXPECT_FLOAT_EQ(three.x, -1.0f);
    EXPECT_FLOAT_EQ(three.y, -2.0f);
    EXPECT_FLOAT_EQ(three.z, 0.0f);
}

#include "FramePacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A clock that only moves when the loop sleeps or the test says that drawing took time.
class FakeClock : public FrameClock {
public:
    std::uint32_t getTicks() override { return now; }
    void delay(std::uint32_t milliseconds) override
    {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }

    std::uint32_t now = 0;
    std::vector<std::uint32_t> sleeps;
};

// Runs frames that each take `drawTime` and returns how long each pass slept.
std::vector<std::uint32_t> run(FakeClock& clock, FramePacer& pacer, std::uint32_t drawTime, int frames)
{
    std::vector<std::uint32_t> slept;
    for (int i = 0; i < frames; ++i) {
        slept.push_back(pacer.waitForNextFrame());
        clock.now += drawTime;
    }
    return slept;
}

} // namespace

TEST(FramePacer, QuickFramesSleepTheRestOfEveryPeriod)
{
    FakeClock clock;
    clock.now = 1000;
    FramePacer pacer(clock);
    pacer.waitForNextFrame();
    clock.now += 5;
    const std::vector<std::uint32_t> slept = run(clock, pacer, 5, 6);
    EXPECT_EQ(slept, std::vector<std::uint32_t>(6, 25));
}

TEST(FramePacer, EveryPassLastsThirtyMilliseconds)
{
    FakeClock clock;
    FramePacer pacer(clock);
    std::uint32_t previous = 0;
    for (std::uint32_t drawTime : {0u, 3u, 12u, 29u, 30u, 1u}) {
        pacer.waitForNextFrame();
        if (previous) {
            EXPECT_EQ(clock.now - previous, 30u) << "draw time " << drawTime;
        }
        previous = clock.now;
        clock.now += drawTime;
    }
}

TEST(FramePacer, SlowFramesNeverSleep)
{
    FakeClock clock;
    FramePacer pacer(clock);
    pacer.waitForNextFrame();
    clock.now += 40;
    EXPECT_EQ(run(clock, pacer, 40, 5), std::vector<std::uint32_t>(5, 0));
    clock.now += 30;
    EXPECT_EQ(pacer.waitForNextFrame(), 0u);
}

TEST(FramePacer, SurvivesTheClockWrapping)
{
    FakeClock clock;
    clock.now = 0xfffffff0u;
    FramePacer pacer(clock);
    pacer.waitForNextFrame();
    clock.now += 10;  // wraps past zero
    EXPECT_EQ(pacer.waitForNextFrame(), 20u);
}

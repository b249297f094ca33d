// SPDX-License-Identifier: MIT
#include "app/FramePacer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A clock that only moves when the loop sleeps or the test says that drawing took time.
struct FakeClock : FrameClock {
    std::uint32_t getTicks() override { return now; }
    void delay(std::uint32_t milliseconds) override { now += milliseconds; }

    std::uint32_t now = 0;
};

} // namespace

TEST(FramePacer, EveryPassLastsThirtyMillisecondsOrItsDrawingTime)
{
    // The second start crosses the clock's wrap at 2^32 within the first passes.
    for (std::uint32_t start : {1000u, 0xfffffff0u}) {
        FakeClock clock;
        clock.now = start;
        FramePacer pacer(clock);
        pacer.waitForNextFrame();
        // Quick frames in a row each sleep the rest of the period, not every other one.
        for (std::uint32_t drawTime : {5u, 5u, 5u, 0u, 29u, 30u, 40u, 40u, 1u, 12u}) {
            clock.now += drawTime;
            const std::uint32_t passStart = clock.now - drawTime;
            EXPECT_EQ(pacer.waitForNextFrame(), drawTime < 30 ? 30 - drawTime : 0) << "draw time " << drawTime;
            // What was really slept, not only what was reported.
            EXPECT_EQ(clock.now - passStart, std::max(drawTime, 30u)) << "draw time " << drawTime;
        }
    }
}

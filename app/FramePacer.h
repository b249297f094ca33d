// SPDX-License-Identifier: MIT
#pragma once

#include "app/FrameClock.h"

#include <cstdint>

// Keeps the main loop at one pass every 30 ms without busy waiting. The stamp is taken after the
// sleep, so every pass lasts 30 ms or its own drawing time, whichever is longer; all game timing
// counts frames, so this sets the game's speed.
class FramePacer {
public:
    static constexpr std::uint32_t framePeriod = 30;

    explicit FramePacer(FrameClock& clock) : clock(clock) {}

    // Sleeps for what is left of the frame period since the previous pass, then stamps the time.
    // Returns the milliseconds slept.
    std::uint32_t waitForNextFrame();

private:
    // Where the time comes from and how we sleep.
    FrameClock& clock;
    // When the previous pass ended its wait.
    std::uint32_t lastFrameTicks = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The time source of the frame pacing: SDL's millisecond clock in the game, a fake one in tests.
class FrameClock {
public:
    virtual ~FrameClock() = default;

    // Milliseconds since start, wrapping at 32 bits.
    virtual std::uint32_t getTicks() = 0;
    // Sleeps for the given milliseconds.
    virtual void delay(std::uint32_t milliseconds) = 0;

    // The clock the game runs on.
    static FrameClock& sdl();
};

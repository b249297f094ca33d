// SPDX-License-Identifier: MIT
#include "app/FramePacer.h"

std::uint32_t FramePacer::waitForNextFrame()
{
    const std::uint32_t elapsed = clock.getTicks() - lastFrameTicks;
    std::uint32_t slept = 0;
    if (elapsed < framePeriod) {
        slept = framePeriod - elapsed;
        clock.delay(slept);
    }
    lastFrameTicks = clock.getTicks();
    return slept;
}

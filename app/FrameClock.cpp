// SPDX-License-Identifier: MIT
#include "app/FrameClock.h"

#include <SDL.h>

namespace {

class SdlClock : public FrameClock {
public:
    std::uint32_t getTicks() override { return SDL_GetTicks(); }
    void delay(std::uint32_t milliseconds) override { SDL_Delay(milliseconds); }
};

} // namespace

FrameClock& FrameClock::sdl()
{
    static SdlClock clock;
    return clock;
}

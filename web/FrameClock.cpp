// SPDX-License-Identifier: MIT
#include "app/FrameClock.h"

#include <SDL.h>

namespace {

// The page's clock. A page must not sleep: the browser's event loop does the waiting between the
// passes of the main loop (web/main.cpp), which it starts 30 ms apart, as the pacer would.
class BrowserClock : public FrameClock {
public:
    std::uint32_t getTicks() override { return SDL_GetTicks(); }
    void delay(std::uint32_t) override {}
};

} // namespace

FrameClock& FrameClock::sdl()
{
    static BrowserClock clock;
    return clock;
}

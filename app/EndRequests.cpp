// SPDX-License-Identifier: MIT
#include "app/EndRequests.h"

#include "app/LoadedLibrary.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

// Written by the signal handler, read by the main loop; lock-free, so safe in a handler.
std::atomic<bool> hangUp{false};

void onHangUp(int)
{
    hangUp.store(true);
}

// Xlib calls this when the connection is gone and ends the process if it returns; SDL's own handler,
// replaced here, would only pass it on to Xlib's, which prints a message of Xlib's own.
int onLostDisplay(Display*)
{
    std::cout << "Lost the connection to the X server, so Marrowgate ends." << std::endl;
    _exit(1);
}

} // namespace

void EndRequests::install()
{
    static_assert(std::atomic<bool>::is_always_lock_free, "the hang-up flag is set in a signal handler");
    std::signal(SIGHUP, onHangUp);
    // Where SDL talks to an X server, it has loaded Xlib.
    if (auto set = functionOfLoadedLibrary<decltype(&XSetIOErrorHandler)>("libX11.so.6", "XSetIOErrorHandler"))
        set(onLostDisplay);
}

bool EndRequests::hangUpReceived()
{
    return hangUp.load();
}

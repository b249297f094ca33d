// SPDX-License-Identifier: MIT
#pragma once

// Ways the game is asked to end from outside that SDL does not handle itself: SIGHUP (the terminal
// that started it closed), which ends it in order as SIGTERM and SIGINT do through SDL, and the loss
// of the X server, after which nothing can be drawn, so the game says so and exits with status 1.
class EndRequests {
public:
    // Installs the SIGHUP handler and Xlib's handler for a lost connection, replacing any that SDL set;
    // after SDL has started, and again after anything that may have set its own.
    static void install();
    // Whether SIGHUP has arrived since install().
    static bool hangUpReceived();
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>

// Windows need an X server. tools/run-tests.sh always starts one (Xvfb); plain ctest may run without.
inline bool hasXDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

// Skips the running test, from its body or its fixture's SetUp, when there is no X server to open a
// window on.
#define SKIP_WITHOUT_X_DISPLAY()                                                                        \
    do {                                                                                                \
        if (!hasXDisplay())                                                                             \
            GTEST_SKIP() << "needs an X display and DISPLAY is not set (tools/run-tests.sh provides Xvfb)"; \
    } while (false)

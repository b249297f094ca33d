// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>

// Skips the running test, from its body or its fixture's SetUp, when there is no X server to open a
// window on: tools/run-tests.sh always starts one (Xvfb); plain ctest may run without.
#define SKIP_WITHOUT_X_DISPLAY()                                                                        \
    do {                                                                                                \
        if (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0')                       \
            GTEST_SKIP() << "needs an X display and DISPLAY is not set (tools/run-tests.sh provides Xvfb)"; \
    } while (false)

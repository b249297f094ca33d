// SPDX-License-Identifier: MIT
#include "app/Random.h"

#include <ctime>

Random* Random::getGlobal()
{
    // A function-local static is constructed exactly once even when threads race to it.
    static Random global(static_cast<std::int32_t>(std::time(nullptr)));
    return &global;
}

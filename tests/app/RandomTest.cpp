// SPDX-License-Identifier: MIT
#include "app/Random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

TEST(Random, DrawsFromKnownStates)
{
    // The state, the draw and the state after it. Both ends of [0, 1] occur: 64 of the 2^32 states give
    // exactly 0, so no user may divide by a draw or take its logarithm. The last state wraps.
    const std::tuple<std::int32_t, float, std::int32_t> cases[] = {
        {0, 0.38681346f, 1}, {-5, 0.796758056f, -4}, {1765000000, 0.0778809786f, 1765000001},
        {2676097, 0.0f, 2676098}, {63794502, 0.0f, 63794503}, {5750294, 1.0f, 5750295},
        {2147483647, 0.359104514f, -2147483647 - 1},
        // Draws whose last bit the divisor's last bit, and the hash's lowest bit, decide.
        {113, 0.0679359138f, 114}, {67, 0x1.c3af5p-5f, 68}};
    for (const auto& [state, draw, next] : cases) {
        Random random(state);
        EXPECT_EQ(random.nextFloat(), draw) << state;
        EXPECT_EQ(random.getState(), next) << state;
    }
}

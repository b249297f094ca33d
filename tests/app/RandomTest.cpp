// SPDX-License-Identifier: MIT
#include "Random.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Random, FirstDrawFromStateZero)
{
    Random random(0);
    EXPECT_EQ(random.nextFloat(), 0.38681346f);
    EXPECT_EQ(random.getState(), 1);
}

TEST(Random, BothEndsOfTheRangeOccur)
{
    // 64 of the 2^32 states give exactly 0: no user may divide by a draw or take its logarithm.
    for (const std::int32_t state : {2676097, 51995597, 63794502})
        EXPECT_EQ(Random(state).nextFloat(), 0.0f) << state;
    EXPECT_EQ(Random(5750294).nextFloat(), 1.0f);
}

TEST(Random, LongRunMatchesAnIndependentComputation)
{
    for (std::int32_t seed : {0, 1765000000, -5, 2147483600}) {
        Random random(seed);
        // The same draw in 64-bit arithmetic, masked to 32 bits at every step; the last seed's state wraps.
        std::uint64_t counter = static_cast<std::uint32_t>(seed);
        for (int i = 0; i < 20000; ++i) {
            counter = (counter + 1) & 0xffffffffu;
            const std::uint64_t n = (counter ^ (counter << 13)) & 0xffffffffu;
            const std::uint64_t inner = (n * n % 4294967296u * 15731u + 789221u) % 4294967296u;
            const std::uint64_t v = ((n * inner) % 4294967296u + 1376312589u) % 4294967296u & 0x7fffffffu;
            const float expected = (static_cast<float>(1.0 - static_cast<double>(v) / 1073741824.0) + 1.0f) * 0.5f;
            ASSERT_EQ(random.nextFloat(), expected) << "seed " << seed << " draw " << i;
        }
    }
}

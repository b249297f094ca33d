#include "Random.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The same draw computed independently in 64-bit arithmetic, masked to 32 bits at every step.
float referenceDraw(std::int64_t& counter)
{
    counter = (counter + 1) & 0xffffffff;
    const std::uint64_t s = static_cast<std::uint64_t>(counter);
    const std::uint64_t n = (s ^ (s << 13)) & 0xffffffffu;
    const std::uint64_t inner = (n * n % 4294967296u * 15731u + 789221u) % 4294967296u;
    const std::uint64_t v = ((n * inner) % 4294967296u + 1376312589u) % 4294967296u & 0x7fffffffu;
    const double d = 1.0 - static_cast<double>(v) / 1073741824.0;
    return (static_cast<float>(d) + 1.0f) * 0.5f;
}

} // namespace

TEST(Random, FirstDrawFromStateZero)
{
    Random random(0);
    EXPECT_EQ(random.nextFloat(), 0.38681346f);
    EXPECT_EQ(random.getState(), 1);
}

TEST(Random, LongRunMatchesAnIndependentComputation)
{
    for (std::int32_t seed : {0, 1765000000, -5, 2147483600}) {
        Random random(seed);
        std::int64_t counter = static_cast<std::uint32_t>(seed);
        for (int i = 0; i < 20000; ++i) {
            const float expected = referenceDraw(counter);
            ASSERT_EQ(random.nextFloat(), expected) << "seed " << seed << " draw " << i;
        }
    }
}

TEST(Random, StateWrapsAtThirtyTwoBits)
{
    Random random(2147483647);
    random.nextFloat();
    EXPECT_EQ(random.getState(), -2147483647 - 1);
}

TEST(Random, DrawsStayInTheHalfOpenUnitRange)
{
    Random random(12345);
    for (int i = 0; i < 200000; ++i) {
        const float value = random.nextFloat();
        ASSERT_GT(value, 0.0f);
        ASSERT_LE(value, 1.0f);
    }
}

TEST(Random, GlobalIsOneObject)
{
    EXPECT_EQ(Random::getGlobal(), Random::getGlobal());
}

#include "Random.h"

#include <gtest/gtest.h>

TEST(Random, FirstDrawFromStateZero)
{
    Random random(0);
    EXPECT_FLOAT_EQ(random.nextFloat(), 0.38681346f);
    EXPECT_EQ(random.getState(), 1);
}

// SPDX-License-Identifier: MIT
#include "Player.h"

#include <gtest/gtest.h>

// What the games never reach: taking food from an empty store, exploring a space twice.
TEST(Player, StoreNeverGoesBelowZeroAndASpaceIsExploredOnce)
{
    Player player;
    for (int i = 0; i < 6; ++i)
        player.decrementFood();
    EXPECT_EQ(player.food, 0);
    for (int index : {4, 9, 4})
        player.addExplored(index);
    EXPECT_EQ(player.explored, (std::vector<int>{4, 9}));
}

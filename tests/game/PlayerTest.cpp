#include "GamePlay.h"
#include "Player.h"
#include "Random.h"

#include <gtest/gtest.h>

TEST(Player, FoodNeverGoesBelowZero)
{
    Player player;
    EXPECT_EQ(player.food, 5);
    for (int i = 0; i < 7; ++i)
        player.decrementFood();
    EXPECT_EQ(player.food, 0);
    player.addFood(3);
    EXPECT_EQ(player.food, 3);
}

TEST(Player, ExploredListKeepsFirstVisitsOnce)
{
    Player player;
    player.addExplored(4);
    player.addExplored(2);
    player.addExplored(4);
    EXPECT_EQ(player.explored, (std::vector<int>{4, 2}));
    EXPECT_TRUE(player.hasExplored(2));
    EXPECT_FALSE(player.hasExplored(3));
}

TEST(Player, NationsStartOnTheirHomesWithTheirColours)
{
    Random::getGlobal()->setState(0);
    const bool humans[4] = {true, false, true, false};
    GamePlay game(nullptr, humans);
    const int homes[4] = {0, 3, 6, 9};
    const float colours[4][3] = {{0.8f, 0.0f, 0.0f}, {0.1f, 0.1f, 0.8f}, {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 0.2f}};
    for (int nation = 0; nation < 4; ++nation) {
        const Player& player = game.getPlayer(nation);
        EXPECT_EQ(player.space, &game.getSpace(homes[nation]));
        EXPECT_EQ(player.explored, std::vector<int>{homes[nation]});
        EXPECT_EQ(player.food, 5);
        EXPECT_EQ(player.cpu, !humans[nation]);
        EXPECT_EQ(player.red, colours[nation][0]);
        EXPECT_EQ(player.green, colours[nation][1]);
        EXPECT_EQ(player.blue, colours[nation][2]);
    }
    EXPECT_EQ(game.getCurrentPlayer(), 0);
    EXPECT_EQ(game.getCpuDelay(), 60);
    EXPECT_EQ(game.getNumWinners(), 0);
}

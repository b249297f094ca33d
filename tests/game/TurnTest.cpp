// SPDX-License-Identifier: MIT
#include "GameFixture.h"

using Turns = GameFixture;

TEST_F(Turns, MovesGarrisonsAndWaitsOverFourRounds)
{
    click(space(1).x + 64, space(1).y);  // just outside the box
    clickSpace(2);                       // not a neighbour
    click(space(1).x, space(1).y);
    EXPECT_EQ(player(0).explored, (std::vector<int>{0, 1}));
    EXPECT_EQ(player(0).food, 4);
    garrison();  // Molotavia on 3, round 1
    wait(2);
    EXPECT_EQ(player(3).food, 5);

    clickSpace(2);
    clickSpace(2);  // Molotavia, from 3, onto Ruritania's piece
    garrison();     // nor twice on one space
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    wait(3);

    clickSpace(3);  // garrisoned
    clickSpace(1);  // explored ground costs the same
    EXPECT_EQ(player(0).food, 2);
    wait(3);
    EXPECT_TRUE(space(3).garrison);
    wait(4);  // the end of round 4 lifts it
    EXPECT_FALSE(space(3).garrison);
    EXPECT_TRUE(game->getGarrisons().empty());
    EXPECT_EQ(player(1).food, 4);
}

TEST_F(Turns, NoFoodAllowsOnlyForageOrWaitAndForagingNeverUsesTheSpaceUp)
{
    player(0).food = 0;
    clickSpace(1);
    garrison();
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_FALSE(space(0).garrison);
    wait(4);
    forage();
    wait(3);
    forage();
    EXPECT_EQ(player(0).food, 10);
}

TEST_F(Turns, CursorShowsTheHandExactlyWhereAClickWouldAct)
{
    GamePlay::mouse = 101;
    GamePlay::hand = 102;
    humans[1] = false;
    start();
    auto handAt = [&](int x, int y) {
        game->mouseMove(x, y);
        return game->getCursor() == GamePlay::hand;
    };
    auto handOver = [&](int index) { return handAt(space(index).x, space(index).y); };
    EXPECT_TRUE(handAt(34, 567) && handAt(219, 650) && handAt(100, 739) && handOver(1) && handOver(11));
    EXPECT_FALSE(handAt(33, 567) || handAt(100, 622) || handOver(2) || handOver(0));
    space(1).setGarrison(true);
    player(2).setSpace(&space(12));
    space(0).setGarrison(true);  // the button still shows the hand
    EXPECT_FALSE(handOver(1) || handOver(12));
    EXPECT_TRUE(handAt(100, 650));
    player(0).food = 0;
    EXPECT_FALSE(handAt(100, 650) || handOver(11));

    player(0).food = 5;
    click(space(11).x, space(11).y);  // a click on the board shows the arrow
    EXPECT_EQ(game->getCursor(), GamePlay::mouse);
    EXPECT_FALSE(handAt(100, 710));  // a computer's turn leaves the cursor alone
    wait();                          // and ignores clicks
    EXPECT_EQ(game->getCurrentPlayer(), 1);
}

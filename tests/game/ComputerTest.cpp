// SPDX-License-Identifier: MIT
#include "GameFixture.h"

#include <map>
#include <set>

namespace {

// Random states whose next draw is below (0.39) and above (0.96) the garrison threshold of 0.9.
const std::int32_t LOW_DRAW = 0;
const std::int32_t HIGH_DRAW = 9;

// Takes the current nation's turn for the computer from a random state; returns the draws it used.
int turnFrom(GamePlay& game, std::int32_t state)
{
    Random::getGlobal()->setState(state);
    game.cpuTurn();
    return Random::getGlobal()->getState() - state;
}

} // namespace

// Ruritania, on space 0, is on turn.
using Computer = GameFixture;

TEST_F(Computer, HungerForagesAndAHighDrawGarrisonsUnlessGarrisonedAlready)
{
    player(0).food = 0;
    EXPECT_EQ(turnFrom(*game, HIGH_DRAW), 0);
    EXPECT_EQ(player(0).food, 5);
    wait(3);
    EXPECT_EQ(turnFrom(*game, HIGH_DRAW), 1);
    EXPECT_TRUE(space(0).garrison);
    wait(3);
    EXPECT_EQ(turnFrom(*game, HIGH_DRAW), 2);  // the draw is spent and it moves instead
    EXPECT_NE(player(0).space, &space(0));
    EXPECT_EQ(player(0).food, 3);
}

TEST_F(Computer, PrefersNewNeighboursPickedByTheSecondDraw)
{
    const int neighbours[3] = {1, 11, 12};
    for (std::int32_t state : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13}) {  // all below the threshold
        start();
        Random::getGlobal()->setState(state + 1);  // each draw advances the state by one
        const int expected = neighbours[GamePlay::drawIndex(3)];
        EXPECT_EQ(turnFrom(*game, state), 2);
        EXPECT_EQ(game->indexOf(player(0).space), expected) << "state " << state;
    }
    // With one new neighbour, that one.
    start();
    player(0).addExplored(1);
    player(0).addExplored(12);
    EXPECT_EQ(turnFrom(*game, LOW_DRAW), 2);
    EXPECT_EQ(player(0).space, &space(11));
}

TEST(ComputerGames, EveryDealIsFairAndEveryGameEndsWithinTwoHundredRoundsConsistently)
{
    const bool humans[4] = {false, false, false, false};
    for (std::int32_t seed = 0; seed < 300; ++seed) {
        Random::getGlobal()->setState(seed * 7919);
        GamePlay game(nullptr, humans);
        std::map<int, int> quantities;  // every deal holds the same food
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            ++quantities[game.getSpace(index).numFood];
        ASSERT_EQ(quantities, (std::map<int, int>{{1, 6}, {2, 4}, {3, 4}, {4, 3}, {5, 2}})) << "seed " << seed;
        for (int round = 1; game.getNumWinners() == 0 && round <= 200; ++round) {
            for (int frame = 0; frame < 4 * 60; ++frame)
                game.tick();
            std::set<const Space*> occupied;
            for (int nation = 0; nation < 4; ++nation) {
                const Player& player = game.getPlayer(nation);
                ASSERT_TRUE(occupied.insert(player.space).second) << "seed " << seed << " round " << round;
                ASSERT_GE(player.food, 0);
                ASSERT_EQ(std::set<int>(player.explored.begin(), player.explored.end()).size(),
                          player.explored.size());
            }
        }
        ASSERT_NE(game.getNumWinners(), 0) << "seed " << seed << " did not end within 200 rounds";
    }
}

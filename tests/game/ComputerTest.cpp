#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// A random state whose next draw is above (or not above) the garrison threshold.
std::int32_t stateWithNextDraw(bool aboveThreshold)
{
    for (std::int32_t state = 0;; ++state) {
        if ((Random(state).nextFloat() > 0.9f) == aboveThreshold)
            return state;
    }
}

// Ruritania, on space 0 with neighbours 1, 11 and 12, is the computer's.
class Computer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Random::getGlobal()->setState(0);
        const bool humans[4] = {false, true, true, true};
        game = std::make_unique<GamePlay>(nullptr, humans);
    }
    // Takes Ruritania's turn from a random state; returns how many draws it used.
    int turnFrom(std::int32_t state)
    {
        Random::getGlobal()->setState(state);
        game->cpuTurn();
        EXPECT_EQ(game->getCurrentPlayer(), 1);
        return Random::getGlobal()->getState() - state;
    }
    Player& ruritania() { return game->getPlayer(0); }
    Space& space(int index) { return game->getSpace(index); }

    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST_F(Computer, HungryNationForagesWithoutADraw)
{
    ruritania().food = 0;
    EXPECT_EQ(turnFrom(stateWithNextDraw(true)), 0);
    EXPECT_EQ(ruritania().food, 5);
    EXPECT_TRUE(space(0).foraged);
    EXPECT_EQ(ruritania().space, &space(0));
}

TEST_F(Computer, HighDrawGarrisonsUnlessTheSpaceIsGarrisoned)
{
    EXPECT_EQ(turnFrom(stateWithNextDraw(true)), 1);
    EXPECT_TRUE(space(0).garrison);
    ASSERT_EQ(game->getGarrisons().size(), 1u);
    EXPECT_EQ(game->getGarrisons()[0].turns, 3);
    EXPECT_EQ(ruritania().food, 4);

    // Next time the draw is spent and it moves instead.
    for (int turn = 0; turn < 3; ++turn)
        game->mouseDown(1, 100, 710);
    EXPECT_EQ(turnFrom(stateWithNextDraw(true)), 2);
    EXPECT_NE(ruritania().space, &space(0));
    EXPECT_EQ(ruritania().food, 3);
    EXPECT_EQ(game->getGarrisons().size(), 1u);
}

TEST_F(Computer, PrefersNewNeighboursByTheIndexDraw)
{
    // The second draw picks among 1, 11 and 12: a quarter, a half and a quarter of the time.
    int picked[19] = {};
    int turns = 0;
    for (std::int32_t state = 0; state < 400; ++state) {
        if (Random(state).nextFloat() > 0.9f)
            continue;
        SetUp();
        ASSERT_EQ(turnFrom(state), 2);
        ++picked[game->indexOf(ruritania().space)];
        ++turns;
        EXPECT_EQ(ruritania().explored.size(), 2u);
        EXPECT_EQ(ruritania().food, 4);
    }
    EXPECT_EQ(picked[1] + picked[11] + picked[12], turns);
    EXPECT_GT(picked[11], picked[1]);
    EXPECT_GT(picked[11], picked[12]);

    // With only one new neighbour, that one.
    SetUp();
    ruritania().addExplored(1);
    ruritania().addExplored(12);
    EXPECT_EQ(turnFrom(stateWithNextDraw(false)), 2);
    EXPECT_EQ(ruritania().space, &space(11));
}

TEST_F(Computer, OverExploredGroundTakesTheFirstFreeNeighbour)
{
    for (int index : {1, 11, 12})
        ruritania().addExplored(index);
    space(1).setGarrison(true);
    EXPECT_EQ(turnFrom(stateWithNextDraw(false)), 1);
    EXPECT_EQ(ruritania().space, &space(11));
    EXPECT_EQ(ruritania().food, 4);
}

TEST_F(Computer, BlockedNationForages)
{
    space(1).setGarrison(true);
    space(12).setGarrison(true);
    game->getPlayer(1).setSpace(&space(11));
    EXPECT_EQ(turnFrom(stateWithNextDraw(false)), 1);
    EXPECT_EQ(ruritania().space, &space(0));
    EXPECT_EQ(ruritania().food, 10);
}

TEST_F(Computer, ActsOnTheSixtiethFrameOfItsTurn)
{
    for (int frame = 1; frame < 60; ++frame)
        game->tick();
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    game->tick();
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    EXPECT_EQ(game->getCpuDelay(), 60);
    for (int frame = 0; frame < 100; ++frame)
        game->tick();
    EXPECT_EQ(game->getCurrentPlayer(), 1);  // a person's turn waits
    EXPECT_EQ(game->getCpuDelay(), 60);
}

TEST(ComputerGames, AllComputerGamesEndWithConsistentState)
{
    const bool humans[4] = {false, false, false, false};
    for (std::int32_t seed = 0; seed < 300; ++seed) {
        Random::getGlobal()->setState(seed * 7919);
        GamePlay game(nullptr, humans);
        int rounds = 0;
        while (game.getNumWinners() == 0 && rounds < 200) {
            for (int frame = 0; frame < 4 * 60; ++frame)
                game.tick();
            ++rounds;
            ASSERT_EQ(game.getCurrentPlayer(), 0);
            std::set<const Space*> occupied;
            for (int nation = 0; nation < 4; ++nation) {
                const Player& player = game.getPlayer(nation);
                ASSERT_TRUE(occupied.insert(player.space).second) << "seed " << seed << " round " << rounds;
                ASSERT_GE(player.food, 0);
                ASSERT_EQ(std::set<int>(player.explored.begin(), player.explored.end()).size(),
                          player.explored.size());
            }
            for (const Garrison& garrison : game.getGarrisons())
                ASSERT_TRUE(garrison.space->garrison && garrison.turns >= 0 && garrison.turns <= 3);
        }
        ASSERT_NE(game.getNumWinners(), 0) << "seed " << seed << " did not end within 200 rounds";
    }
}

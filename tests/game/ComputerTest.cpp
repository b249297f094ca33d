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
        Random probe(state);
        if ((probe.nextFloat() > 0.9f) == aboveThreshold)
            return state;
    }
}

class Computer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Random::getGlobal()->setState(0);
        const bool humans[4] = {false, true, true, true};
        game.reset(new GamePlay(nullptr, humans));
    }

    // Runs nation 0's computer turn with the given random state; returns how many draws it took.
    int cpuTurnFrom(std::int32_t state)
    {
        Random::getGlobal()->setState(state);
        game->cpuTurn();
        return Random::getGlobal()->getState() - state;
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST_F(Computer, HungryNationForagesWithoutDrawing)
{
    player(0).food = 0;
    EXPECT_EQ(cpuTurnFrom(stateWithNextDraw(true)), 0);
    EXPECT_EQ(player(0).food, space(0).numFood);
    EXPECT_TRUE(space(0).foraged);
    EXPECT_EQ(player(0).space, &space(0));
    EXPECT_EQ(game->getCurrentPlayer(), 1);
}

TEST_F(Computer, HighDrawGarrisonsItsSpace)
{
    EXPECT_EQ(cpuTurnFrom(stateWithNextDraw(true)), 1);
    EXPECT_TRUE(space(0).garrison);
    ASSERT_EQ(game->getGarrisons().size(), 1u);
    EXPECT_EQ(game->getGarrisons()[0].space, &space(0));
    EXPECT_EQ(game->getGarrisons()[0].turns, 3);
    EXPECT_EQ(player(0).food, 4);
    EXPECT_EQ(player(0).space, &space(0));
}

TEST_F(Computer, HighDrawOnAGarrisonedSpaceMovesInstead)
{
    space(0).setGarrison(true);
    EXPECT_EQ(cpuTurnFrom(stateWithNextDraw(true)), 2);
    EXPECT_NE(player(0).space, &space(0));
    EXPECT_EQ(player(0).food, 4);
    EXPECT_TRUE(game->getGarrisons().empty());
}

TEST_F(Computer, MovesToANewNeighbourByTheIndexDraw)
{
    // From 0 the new neighbours are 1, 11 and 12; the second draw picks among them.
    const std::int32_t state = stateWithNextDraw(false);
    Random probe(state + 1);
    const float r = probe.nextFloat();
    const int expected[3] = {1, 11, 12};
    const int index = r * 2.0f - int(r * 2.0f) > 0.5f ? int(r * 2.0f) + 1 : int(r * 2.0f);
    EXPECT_EQ(cpuTurnFrom(state), 2);
    EXPECT_EQ(player(0).space, &space(expected[index]));
    EXPECT_EQ(player(0).explored.back(), expected[index]);
    EXPECT_EQ(player(0).food, 4);
}

TEST_F(Computer, SkipsExploredNeighboursWhenNewOnesRemain)
{
    for (std::int32_t state : {0, 5, 17, 99, 1234}) {
        if (Random(state).nextFloat() > 0.9f)
            continue;
        SetUp();
        player(0).addExplored(1);
        player(0).addExplored(12);
        EXPECT_EQ(cpuTurnFrom(state), 2);
        EXPECT_EQ(player(0).space, &space(11));
    }
}

TEST_F(Computer, WalksToTheFirstFreeNeighbourOverExploredGround)
{
    for (int index : {1, 11, 12})
        player(0).addExplored(index);
    // Space 1 is garrisoned, so the first free neighbour of 0 is 11.
    space(1).setGarrison(true);
    EXPECT_EQ(cpuTurnFrom(stateWithNextDraw(false)), 1);
    EXPECT_EQ(player(0).space, &space(11));
    EXPECT_EQ(player(0).food, 4);
}

TEST_F(Computer, BlockedNationForages)
{
    space(1).setGarrison(true);
    space(12).setGarrison(true);
    player(1).setSpace(&space(11));
    EXPECT_EQ(cpuTurnFrom(stateWithNextDraw(false)), 1);
    EXPECT_EQ(player(0).space, &space(0));
    EXPECT_EQ(player(0).food, 5 + space(0).numFood);
    EXPECT_TRUE(space(0).foraged);
}

TEST_F(Computer, TakesItsTurnOnTheSixtiethFrame)
{
    for (int frame = 1; frame < 60; ++frame) {
        game->tick();
        ASSERT_EQ(game->getCurrentPlayer(), 0) << frame;
    }
    EXPECT_EQ(game->getCpuDelay(), 1);
    game->tick();
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    EXPECT_EQ(game->getCpuDelay(), 60);
    // A person's turn leaves the timer alone.
    for (int frame = 0; frame < 100; ++frame)
        game->tick();
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    EXPECT_EQ(game->getCpuDelay(), 60);
}

TEST(ComputerGames, AllComputerGamesEndConsistently)
{
    const bool humans[4] = {false, false, false, false};
    int longest = 0;
    for (std::int32_t seed = 0; seed < 300; ++seed) {
        Random::getGlobal()->setState(seed * 7919);
        GamePlay game(nullptr, humans);
        int rounds = 0;
        while (game.getNumWinners() == 0 && rounds < 200) {
            for (int turn = 0; turn < 4; ++turn) {
                for (int frame = 0; frame < 60; ++frame)
                    game.tick();
            }
            ++rounds;
            ASSERT_EQ(game.getCurrentPlayer(), 0);
            std::set<const Space*> occupied;
            for (int nation = 0; nation < 4; ++nation) {
                const Player& player = game.getPlayer(nation);
                ASSERT_TRUE(occupied.insert(player.space).second) << "seed " << seed << " round " << rounds;
                ASSERT_GE(player.food, 0);
                ASSERT_EQ(std::set<int>(player.explored.begin(), player.explored.end()).size(),
                          player.explored.size());
                ASSERT_TRUE(player.hasExplored(game.indexOf(player.space)));
            }
            for (const Garrison& garrison : game.getGarrisons()) {
                ASSERT_TRUE(garrison.space->garrison);
                ASSERT_GE(garrison.turns, 0);
                ASSERT_LE(garrison.turns, 3);
            }
        }
        ASSERT_NE(game.getNumWinners(), 0) << "seed " << seed << " did not end";
        longest = std::max(longest, rounds);
        // The finished game stays finished.
        for (int frame = 0; frame < 240; ++frame)
            game.tick();
        EXPECT_EQ(game.getCurrentPlayer(), 0);
    }
    EXPECT_LE(longest, 200);
}

#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A game of four people, dealt from random state 0 (space 0 holds 5 food, space 3 holds 3).
class Turns : public ::testing::Test {
protected:
    void SetUp() override
    {
        Random::getGlobal()->setState(0);
        game = std::make_unique<GamePlay>(nullptr, humans);
    }
    void click(int x, int y) { game->mouseDown(1, x, y); }
    void clickSpace(int index) { click(space(index).x + 32, space(index).y + 32); }
    void forage() { click(100, 590); }
    void garrison() { click(100, 650); }
    void wait(int turns = 1)
    {
        for (int i = 0; i < turns; ++i)
            click(100, 710);
    }
    void finish(int nation)
    {
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            player(nation).addExplored(index);
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    bool humans[4] = {true, true, true, true};
    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST_F(Turns, NationsStartAtHomeWithFiveFood)
{
    humans[1] = humans[3] = false;
    SetUp();
    const int homes[4] = {0, 3, 6, 9};
    for (int nation = 0; nation < 4; ++nation) {
        EXPECT_EQ(player(nation).space, &space(homes[nation]));
        EXPECT_EQ(player(nation).explored, std::vector<int>{homes[nation]});
        EXPECT_EQ(player(nation).food, 5);
        EXPECT_EQ(player(nation).cpu, nation % 2 == 1);
    }
    EXPECT_EQ(player(1).blue, 0.8f);
    EXPECT_EQ(player(3).blue, 0.2f);
}

TEST_F(Turns, ButtonEdgesAreInclusive)
{
    EXPECT_EQ(GamePlay::buttonAt(34, 567), GamePlay::ForageButton);
    EXPECT_EQ(GamePlay::buttonAt(219, 618), GamePlay::ForageButton);
    EXPECT_EQ(GamePlay::buttonAt(33, 590), GamePlay::NoButton);
    EXPECT_EQ(GamePlay::buttonAt(220, 590), GamePlay::NoButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 566), GamePlay::NoButton);
    for (int y = 619; y <= 626; ++y)
        EXPECT_EQ(GamePlay::buttonAt(100, y), GamePlay::NoButton) << y;
    EXPECT_EQ(GamePlay::buttonAt(100, 627), GamePlay::GarrisonButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 680), GamePlay::NoButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 687), GamePlay::WaitButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 739), GamePlay::WaitButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 740), GamePlay::NoButton);
}

TEST_F(Turns, MovesExploreAndCostFoodWaitingIsFree)
{
    click(space(1).x + 64, space(1).y);  // just outside the box
    clickSpace(2);                       // not a neighbour
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    click(space(1).x, space(1).y);
    EXPECT_EQ(player(0).space, &space(1));
    EXPECT_EQ(player(0).explored, (std::vector<int>{0, 1}));
    EXPECT_EQ(player(0).food, 4);
    for (int nation = 1; nation < 4; ++nation) {
        EXPECT_EQ(game->getCurrentPlayer(), nation);
        wait();
    }
    EXPECT_EQ(player(1).food, 5);
    clickSpace(0);  // explored ground costs the same
    EXPECT_EQ(player(0).food, 3);
    EXPECT_EQ(player(0).explored.size(), 2u);
}

TEST_F(Turns, OccupiedAndGarrisonedNeighboursCannotBeEntered)
{
    clickSpace(1);
    wait(3);
    clickSpace(2);
    clickSpace(2);  // Molotavia, from 3, onto Ruritania's piece
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    garrison();
    wait(2);
    clickSpace(3);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).space, &space(2));
}

TEST_F(Turns, ForageYieldsTheSpaceValueEveryTime)
{
    forage();
    EXPECT_TRUE(space(0).foraged);
    EXPECT_EQ(player(0).food, 10);
    wait(3);
    click(34, 567);
    EXPECT_EQ(player(0).food, 15);
    EXPECT_EQ(space(0).numFood, 5);
}

TEST_F(Turns, NoFoodAllowsOnlyForageOrWait)
{
    player(0).food = 0;
    player(0).decrementFood();
    clickSpace(1);
    garrison();
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).food, 0);
    EXPECT_FALSE(space(0).garrison);
    wait(4);
    forage();
    EXPECT_EQ(player(0).food, 5);
}

TEST_F(Turns, GarrisonStandsThroughThreeFurtherRoundsAndCannotBeDoubled)
{
    wait();
    garrison();  // Molotavia on 3, round 1
    EXPECT_EQ(player(1).food, 4);
    wait(2);
    for (int round = 2; round <= 4; ++round) {
        wait();
        garrison();  // ignored: the space is garrisoned already
        ASSERT_EQ(game->getCurrentPlayer(), 1) << round;
        wait(3);
        EXPECT_EQ(space(3).garrison, round < 4) << round;
    }
    EXPECT_EQ(player(1).food, 4);
    EXPECT_TRUE(game->getGarrisons().empty());
}

TEST_F(Turns, GarrisonsExpireIndependently)
{
    garrison();  // round 1, on 0
    wait(4);
    garrison();  // round 2, on 3
    wait(2);
    wait(8);     // rounds 3 and 4
    EXPECT_FALSE(space(0).garrison);
    ASSERT_EQ(game->getGarrisons().size(), 1u);
    EXPECT_EQ(game->getGarrisons()[0].space, &space(3));
    EXPECT_EQ(game->getGarrisons()[0].turns, 0);
}

TEST_F(Turns, OutcomeIsDecidedOnlyAtTheRoundEnd)
{
    finish(2);
    wait(3);
    EXPECT_EQ(game->getNumWinners(), 0);
    wait();
    EXPECT_EQ(game->getNumWinners(), 1);
    // Once it is over no computer nation moves.
    player(0).setCPU();
    for (int frame = 0; frame < 200; ++frame)
        game->tick();
    EXPECT_EQ(player(0).space, &space(0));
}

TEST_F(Turns, TwoNationsFinishingInOneRoundDraw)
{
    finish(1);
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        if (index != 10)
            player(3).addExplored(index);
    }
    // Molotavia finished before the round; Stamark completes it with the round's last move.
    wait(3);
    clickSpace(10);
    EXPECT_EQ(game->getNumWinners(), 2);
}

TEST_F(Turns, ClicksDuringAComputerTurnAreIgnored)
{
    player(0).setCPU();
    clickSpace(1);
    wait();
    forage();
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).food, 5);
}

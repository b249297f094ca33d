#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Centre of a space's box, where a person would click.
int centreX(const Space& space) { return space.x + 32; }
int centreY(const Space& space) { return space.y + 32; }

// Points on the three buttons.
const int BUTTON_X = 100;
const int FORAGE_Y = 590;
const int GARRISON_Y = 650;
const int WAIT_Y = 710;

class Turns : public ::testing::Test {
protected:
    void SetUp() override
    {
        Random::getGlobal()->setState(0);
        game.reset(new GamePlay(nullptr, humans));
    }

    void click(int x, int y) { game->mouseDown(1, x, y); }
    void clickSpace(int index) { click(centreX(game->getSpace(index)), centreY(game->getSpace(index))); }
    void waitTurn() { click(BUTTON_X, WAIT_Y); }
    void waitRound()
    {
        for (int i = 0; i < 4; ++i)
            waitTurn();
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    bool humans[4] = {true, true, true, true};
    std::unique_ptr<GamePlay> game;
};

} // namespace

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
    EXPECT_EQ(GamePlay::buttonAt(100, 679), GamePlay::GarrisonButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 680), GamePlay::NoButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 687), GamePlay::WaitButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 739), GamePlay::WaitButton);
    EXPECT_EQ(GamePlay::buttonAt(100, 740), GamePlay::NoButton);
}

TEST_F(Turns, RoundPassesThroughTheNationsInOrder)
{
    for (int nation = 0; nation < 4; ++nation) {
        EXPECT_EQ(game->getCurrentPlayer(), nation);
        waitTurn();
    }
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).food, 5);  // waiting is free
}

TEST_F(Turns, MoveExploresAndCostsOneFood)
{
    clickSpace(1);
    EXPECT_EQ(player(0).space, &space(1));
    EXPECT_EQ(player(0).explored, (std::vector<int>{0, 1}));
    EXPECT_EQ(player(0).food, 4);
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    waitTurn();
    waitTurn();
    waitTurn();
    // Back onto explored ground still costs food.
    clickSpace(0);
    EXPECT_EQ(player(0).food, 3);
    EXPECT_EQ(player(0).explored.size(), 2u);
}

TEST_F(Turns, InvalidClicksKeepTheTurn)
{
    clickSpace(2);  // not a neighbour of 0
    click(10, 10);
    click(33, FORAGE_Y);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).space, &space(0));
    EXPECT_EQ(player(0).food, 5);
}

TEST_F(Turns, BoxEdgesDecideWhetherAMoveHappens)
{
    click(space(1).x + 64, space(1).y);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    click(space(1).x, space(1).y + 64);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    click(space(1).x, space(1).y);
    EXPECT_EQ(player(0).space, &space(1));
}

TEST_F(Turns, OccupiedAndGarrisonedNeighboursCannotBeEntered)
{
    // Nation 0 walks 0 -> 1 -> 2 while the others wait; then nation 1 (on 3) cannot enter 2.
    clickSpace(1);
    waitTurn();
    waitTurn();
    waitTurn();
    clickSpace(2);
    clickSpace(2);
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    EXPECT_EQ(player(1).space, &space(3));
    // Nation 1 garrisons 3; after the round nation 0 cannot step onto it.
    click(BUTTON_X, GARRISON_Y);
    waitTurn();
    waitTurn();
    clickSpace(3);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).space, &space(2));
}

TEST_F(Turns, ForageAddsTheSpaceValueEveryTime)
{
    // Space 0 holds 5 food with the deal from state 0.
    click(BUTTON_X, FORAGE_Y);
    EXPECT_TRUE(space(0).foraged);
    EXPECT_EQ(player(0).food, 10);
    waitTurn();
    waitTurn();
    waitTurn();
    click(34, 567);
    EXPECT_EQ(player(0).food, 15);
    EXPECT_EQ(space(0).numFood, 5);
}

TEST_F(Turns, NoFoodAllowsOnlyForageOrWait)
{
    player(0).food = 0;
    clickSpace(1);
    click(BUTTON_X, GARRISON_Y);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_FALSE(space(0).garrison);
    waitTurn();
    EXPECT_EQ(game->getCurrentPlayer(), 1);
    waitTurn();
    waitTurn();
    waitTurn();
    click(BUTTON_X, FORAGE_Y);
    EXPECT_EQ(player(0).food, 5);
}

TEST_F(Turns, GarrisonOnAGarrisonedSpaceIsIgnored)
{
    click(BUTTON_X, GARRISON_Y);
    EXPECT_EQ(player(0).food, 4);
    waitRound();
    waitTurn();
    waitTurn();
    waitTurn();
    click(BUTTON_X, GARRISON_Y);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).food, 4);
    EXPECT_EQ(game->getGarrisons().size(), 1u);
}

TEST_F(Turns, GarrisonStandsThroughThreeFurtherRounds)
{
    waitTurn();
    click(BUTTON_X, GARRISON_Y);  // nation 1, round 1
    waitTurn();
    waitTurn();
    for (int round = 2; round <= 4; ++round) {
        ASSERT_TRUE(space(3).garrison) << "round " << round;
        ASSERT_EQ(game->getGarrisons().size(), 1u);
        for (int turn = 0; turn < 3; ++turn)
            waitTurn();
        EXPECT_TRUE(space(3).garrison) << "round " << round;
        waitTurn();
    }
    EXPECT_FALSE(space(3).garrison);
    EXPECT_TRUE(game->getGarrisons().empty());
}

TEST_F(Turns, GarrisonsExpireIndependently)
{
    click(BUTTON_X, GARRISON_Y);  // round 1 on 0
    waitTurn();
    waitTurn();
    waitTurn();
    waitTurn();
    click(BUTTON_X, GARRISON_Y);  // round 2 on 3
    waitTurn();
    waitTurn();
    waitRound();
    waitRound();
    EXPECT_FALSE(space(0).garrison);
    EXPECT_TRUE(space(3).garrison);
    ASSERT_EQ(game->getGarrisons().size(), 1u);
    EXPECT_EQ(game->getGarrisons()[0].space, &space(3));
    EXPECT_EQ(game->getGarrisons()[0].turns, 0);
}

TEST_F(Turns, VictoryIsDecidedOnlyAtTheRoundEnd)
{
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        player(2).addExplored(index);
    waitTurn();
    waitTurn();
    waitTurn();
    EXPECT_EQ(game->getNumWinners(), 0);
    waitTurn();
    EXPECT_EQ(game->getNumWinners(), 1);
}

TEST_F(Turns, TwoNationsFinishingInOneRoundDraw)
{
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        player(0).addExplored(index);
        if (index != 4)
            player(3).addExplored(index);
    }
    waitRound();
    EXPECT_EQ(game->getNumWinners(), 1);

    SetUp();
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        player(1).addExplored(index);
        if (index != 10)
            player(3).addExplored(index);
    }
    // Nation 3 on 9 completes its exploration by stepping onto 10 in the last turn of the round.
    waitTurn();
    waitTurn();
    waitTurn();
    clickSpace(10);
    EXPECT_EQ(game->getNumWinners(), 2);
}

TEST_F(Turns, NoTurnIsTakenOnceTheGameIsOver)
{
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        player(1).addExplored(index);
    waitRound();
    ASSERT_EQ(game->getNumWinners(), 1);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    player(0).setCPU();
    for (int frame = 0; frame < 200; ++frame)
        game->tick();
    EXPECT_EQ(player(0).space, &space(0));
    EXPECT_EQ(game->getCpuDelay(), 60);
}

TEST_F(Turns, ComputerTurnIgnoresClicks)
{
    player(0).setCPU();
    clickSpace(1);
    click(BUTTON_X, WAIT_Y);
    click(BUTTON_X, FORAGE_Y);
    EXPECT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(player(0).food, 5);
}

TEST(GamePlayNoFlags, NullFlagsMeanPeoplePlayEveryNation)
{
    Random::getGlobal()->setState(0);
    GamePlay game(nullptr, nullptr);
    for (int nation = 0; nation < 4; ++nation)
        EXPECT_FALSE(game.getPlayer(nation).cpu);
}

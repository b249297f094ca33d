#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const unsigned int ARROW = 101;
const unsigned int HAND = 102;

class Cursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        GamePlay::mouse = ARROW;
        GamePlay::hand = HAND;
        Random::getGlobal()->setState(0);
        game.reset(new GamePlay(nullptr, humans));
    }
    unsigned int cursorAt(int x, int y)
    {
        game->mouseMove(x, y);
        return game->getCursor();
    }
    unsigned int cursorOverSpace(int index)
    {
        return cursorAt(game->getSpace(index).x + 10, game->getSpace(index).y + 10);
    }

    bool humans[4] = {true, true, true, false};
    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST_F(Cursor, StartsAsTheArrowInTheMiddle)
{
    EXPECT_EQ(game->getCursor(), ARROW);
}

TEST_F(Cursor, HandOverButtonsAndReachableNeighbours)
{
    EXPECT_EQ(cursorAt(34, 567), HAND);
    EXPECT_EQ(cursorAt(33, 567), ARROW);
    EXPECT_EQ(cursorAt(219, 650), HAND);
    EXPECT_EQ(cursorAt(220, 650), ARROW);
    EXPECT_EQ(cursorAt(100, 739), HAND);
    EXPECT_EQ(cursorAt(100, 622), ARROW);
    EXPECT_EQ(cursorOverSpace(1), HAND);
    EXPECT_EQ(cursorOverSpace(12), HAND);
    EXPECT_EQ(cursorOverSpace(2), ARROW);   // not a neighbour
    EXPECT_EQ(cursorOverSpace(0), ARROW);   // its own space
    EXPECT_EQ(game->getSpace(1).x + 64, 672);
    EXPECT_EQ(cursorAt(672, 250), ARROW);  // just right of space 1's box
}

TEST_F(Cursor, ArrowOverBlockedNeighbours)
{
    game->getSpace(1).setGarrison(true);
    game->getPlayer(1).setSpace(&game->getSpace(12));
    EXPECT_EQ(cursorOverSpace(1), ARROW);
    EXPECT_EQ(cursorOverSpace(12), ARROW);
    EXPECT_EQ(cursorOverSpace(11), HAND);
}

TEST_F(Cursor, NoFoodLeavesOnlyForageAndWait)
{
    game->getPlayer(0).food = 0;
    EXPECT_EQ(cursorAt(100, 590), HAND);
    EXPECT_EQ(cursorAt(100, 650), ARROW);
    EXPECT_EQ(cursorAt(100, 710), HAND);
    EXPECT_EQ(cursorOverSpace(1), ARROW);
}

TEST_F(Cursor, GarrisonButtonShowsTheHandEvenOnAGarrisonedSpace)
{
    game->getSpace(0).setGarrison(true);
    EXPECT_EQ(cursorAt(100, 650), HAND);
}

TEST_F(Cursor, ComputerTurnLeavesTheCursorAlone)
{
    EXPECT_EQ(cursorAt(100, 710), HAND);
    for (int turn = 0; turn < 3; ++turn)
        game->mouseDown(1, 100, 710);
    ASSERT_EQ(game->getCurrentPlayer(), 3);
    // A person's turn would show the arrow here.
    EXPECT_EQ(cursorAt(900, 50), HAND);
    EXPECT_EQ(cursorAt(100, 590), HAND);
    game->getPlayer(3).cpu = false;
    EXPECT_EQ(cursorAt(900, 50), ARROW);
}

TEST_F(Cursor, ClickOnTheBoardResetsTheArrow)
{
    EXPECT_EQ(cursorOverSpace(1), HAND);
    game->mouseDown(1, game->getSpace(1).x + 10, game->getSpace(1).y + 10);
    EXPECT_EQ(game->getCursor(), ARROW);
}

TEST_F(Cursor, HandEverywhereOnceTheGameIsOver)
{
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        game->getPlayer(0).addExplored(index);
    game->endOfTurns();
    ASSERT_EQ(game->getNumWinners(), 1);
    EXPECT_EQ(cursorAt(900, 50), HAND);
    EXPECT_EQ(cursorAt(0, 0), HAND);
}

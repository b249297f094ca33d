#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const unsigned int ARROW = 101;
const unsigned int HAND = 102;

// Stamark is the computer's; the others are people's.
class Cursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        GamePlay::mouse = ARROW;
        GamePlay::hand = HAND;
        Random::getGlobal()->setState(0);
        game = std::make_unique<GamePlay>(nullptr, humans);
    }
    unsigned int at(int x, int y)
    {
        game->mouseMove(x, y);
        return game->getCursor();
    }
    unsigned int overSpace(int index) { return at(game->getSpace(index).x, game->getSpace(index).y); }

    bool humans[4] = {true, true, true, false};
    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST_F(Cursor, HandShowsExactlyWhereAClickWouldAct)
{
    EXPECT_EQ(game->getCursor(), ARROW);
    EXPECT_EQ(at(34, 567), HAND);
    EXPECT_EQ(at(33, 567), ARROW);
    EXPECT_EQ(at(219, 650), HAND);
    EXPECT_EQ(at(100, 739), HAND);
    EXPECT_EQ(at(100, 622), ARROW);
    EXPECT_EQ(overSpace(1), HAND);
    EXPECT_EQ(overSpace(2), ARROW);  // not a neighbour
    EXPECT_EQ(overSpace(0), ARROW);  // its own space
    EXPECT_EQ(at(game->getSpace(12).x + 64, game->getSpace(12).y), ARROW);

    game->getSpace(1).setGarrison(true);
    game->getPlayer(1).setSpace(&game->getSpace(12));
    EXPECT_EQ(overSpace(1), ARROW);
    EXPECT_EQ(overSpace(12), ARROW);
    EXPECT_EQ(overSpace(11), HAND);

    // The garrison button shows the hand even on a garrisoned space, but not without food.
    game->getSpace(0).setGarrison(true);
    EXPECT_EQ(at(100, 650), HAND);
    game->getPlayer(0).food = 0;
    EXPECT_EQ(at(100, 650), ARROW);
    EXPECT_EQ(overSpace(11), ARROW);
    EXPECT_EQ(at(100, 590), HAND);
}

TEST_F(Cursor, ClickOnTheBoardShowsTheArrow)
{
    EXPECT_EQ(overSpace(1), HAND);
    game->mouseDown(1, game->getSpace(1).x, game->getSpace(1).y);
    EXPECT_EQ(game->getCursor(), ARROW);
}

TEST_F(Cursor, ComputerTurnLeavesItAloneAndTheResultShowsTheHand)
{
    EXPECT_EQ(at(100, 710), HAND);
    for (int turn = 0; turn < 3; ++turn)
        game->mouseDown(1, 100, 710);
    ASSERT_EQ(game->getCurrentPlayer(), 3);
    EXPECT_EQ(at(900, 50), HAND);

    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        game->getPlayer(0).addExplored(index);
    game->endOfTurns();
    ASSERT_EQ(game->getCurrentPlayer(), 0);
    EXPECT_EQ(at(900, 50), HAND);
}

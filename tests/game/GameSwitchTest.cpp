#include "Application.h"
#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A game inside a real application (a small window under Xvfb), so leaving it goes through the
// application's own state switch.
class GameSwitch : public ::testing::Test {
protected:
    void SetUp() override
    {
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "640", "-h", "480", "-ns"});
    }
    GamePlay* startGame(bool human)
    {
        Random::getGlobal()->setState(0);
        bool humans[4] = {human, human, human, human};
        application->nextState("GamePlay", humans);
        return dynamic_cast<GamePlay*>(application->getCurrentState());
    }
    void finishGame(GamePlay* game)
    {
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            game->getPlayer(0).addExplored(index);
        game->endOfTurns();
        ASSERT_EQ(game->getNumWinners(), 1);
    }
    void pressKey(SDLKey sym)
    {
        SDL_keysym record{};
        record.sym = sym;
        application->getCurrentState()->keyDown(record);
    }
    std::string currentScreen() const { return application->getCurrentState()->getName(); }

    std::unique_ptr<Application> application;
};

} // namespace

TEST_F(GameSwitch, GameReadsTheTitleScreensChoices)
{
    Random::getGlobal()->setState(0);
    bool humans[4] = {true, false, false, true};
    application->nextState("GamePlay", humans);
    auto* game = dynamic_cast<GamePlay*>(application->getCurrentState());
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(game->getPlayer(0).cpu);
    EXPECT_TRUE(game->getPlayer(1).cpu);
    EXPECT_TRUE(game->getPlayer(2).cpu);
    EXPECT_FALSE(game->getPlayer(3).cpu);
}

TEST_F(GameSwitch, EscapeLeavesDuringAPersonsTurn)
{
    ASSERT_NE(startGame(true), nullptr);
    pressKey(SDLK_SPACE);
    pressKey(SDLK_RETURN);
    EXPECT_EQ(currentScreen(), "GamePlay");
    pressKey(SDLK_ESCAPE);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

TEST_F(GameSwitch, EscapeLeavesDuringAComputerTurn)
{
    GamePlay* game = startGame(false);
    ASSERT_NE(game, nullptr);
    for (int frame = 0; frame < 90; ++frame)
        game->tick();
    ASSERT_EQ(game->getCurrentPlayer(), 1);
    pressKey(SDLK_ESCAPE);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

TEST_F(GameSwitch, EscapeLeavesTheResultScreen)
{
    GamePlay* game = startGame(false);
    ASSERT_NE(game, nullptr);
    finishGame(game);
    pressKey(SDLK_ESCAPE);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

TEST_F(GameSwitch, AnyClickOnTheResultScreenReturnsToTheTitle)
{
    GamePlay* game = startGame(true);
    ASSERT_NE(game, nullptr);
    game->mouseDown(3, 5, 5);
    EXPECT_EQ(currentScreen(), "GamePlay");
    finishGame(game);
    application->mouseDown(3, 5, 5);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

#include "Application.h"
#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Games inside a real application (a small window under Xvfb), so leaving goes through its switch.
class GameSwitch : public ::testing::Test {
protected:
    void SetUp() override
    {
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "640", "-h", "480", "-ns"});
    }
    GamePlay* startGame(bool human0, bool human1)
    {
        Random::getGlobal()->setState(0);
        bool humans[4] = {human0, human1, false, true};
        application->nextState("GamePlay", humans);
        return dynamic_cast<GamePlay*>(application->getCurrentState());
    }
    void escape()
    {
        SDL_keysym record{};
        record.sym = SDLK_ESCAPE;
        application->keyDown(record);
    }
    std::string currentScreen() const { return application->getCurrentState()->getName(); }

    std::unique_ptr<Application> application;
};

} // namespace

TEST_F(GameSwitch, EscapeLeavesFromEveryState)
{
    GamePlay* game = startGame(true, false);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->getPlayer(0).cpu, false);
    EXPECT_EQ(game->getPlayer(1).cpu, true);
    EXPECT_EQ(game->getPlayer(3).cpu, false);
    SDL_keysym other{};
    other.sym = SDLK_SPACE;
    application->keyDown(other);
    EXPECT_EQ(currentScreen(), "GamePlay");
    escape();  // a person's turn
    EXPECT_EQ(currentScreen(), "TitleScreen");

    game = startGame(false, false);
    for (int frame = 0; frame < 90; ++frame)
        game->tick();
    ASSERT_EQ(game->getCurrentPlayer(), 1);
    escape();  // a computer's turn
    EXPECT_EQ(currentScreen(), "TitleScreen");

    game = startGame(false, false);
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        game->getPlayer(2).addExplored(index);
    game->endOfTurns();
    escape();  // the result
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

TEST_F(GameSwitch, AnyClickOnTheResultReturnsToTheTitle)
{
    GamePlay* game = startGame(true, true);
    ASSERT_NE(game, nullptr);
    game->mouseDown(3, 5, 5);
    EXPECT_EQ(currentScreen(), "GamePlay");
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        game->getPlayer(0).addExplored(index);
    game->endOfTurns();
    application->mouseDown(3, 5, 5);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

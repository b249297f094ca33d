#include "GamePlay.h"
#include "OpenGLDrawer.h"
#include "Random.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

// The game drawn by the real OpenGL drawer into a 1024 by 768 window under Xvfb, so one logical unit
// is one pixel, and read back.
class GameScreenPixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        testing::internal::CaptureStdout();
        ASSERT_TRUE(drawer.initialise(1024, 768, false, 0));
        Random::getGlobal()->setState(0);
        game = std::make_unique<GamePlay>(nullptr, humans);
        drawFrame();
        testing::internal::GetCapturedStdout();
    }
    void TearDown() override { SDL_Quit(); }

    void drawFrame()
    {
        drawer.beginDrawing();
        game->draw(&drawer);
        pixels.reset(drawer.getScreenPixels());
    }
    // Red, green and blue at (x, y) counted from the top left.
    std::array<int, 3> at(int x, int y) const
    {
        const unsigned char* pixel = pixels.get() + ((767 - y) * 1024 + x) * 3;
        return {pixel[0], pixel[1], pixel[2]};
    }

    bool humans[4] = {true, true, true, true};
    OpenGLDrawer drawer;
    std::unique_ptr<GamePlay> game;
    std::unique_ptr<unsigned char[]> pixels;
};

} // namespace

TEST_F(GameScreenPixels, ExploredSpacesAndTargetsTakeTheColourOfTheNationOnTurn)
{
    // Inside space 0's region, clear of its box and of the ink: Ruritania's red tint over the paper.
    const std::array<int, 3> tinted = at(450, 135);
    EXPECT_GT(tinted[0] - tinted[1], 80);
    // The middle of the move target on space 1 is the disc in Ruritania's red.
    const std::array<int, 3> target = at(640, 240);
    EXPECT_GT(target[0], 150);
    EXPECT_LT(target[1], 40);
    EXPECT_LT(target[2], 40);

    game->mouseDown(1, 100, 710);  // Ruritania waits
    drawFrame();
    const std::array<int, 3> paper = at(450, 135);
    EXPECT_LT(paper[0] - paper[1], 40);
    const std::array<int, 3> blueTarget = at(714, 322);  // space 2, next to Molotavia's home
    EXPECT_GT(blueTarget[2] - blueTarget[0], 80);
    EXPECT_GT(at(640, 240)[1], 150);  // no target on space 1 any more

    // The draw page hides the board.
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        game->getPlayer(0).addExplored(index);
        game->getPlayer(2).addExplored(index);
    }
    game->endOfTurns();
    drawFrame();
    EXPECT_LT(std::abs(at(714, 322)[2] - at(714, 322)[0]), 60);
}

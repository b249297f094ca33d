// SPDX-License-Identifier: MIT
#include "GameFixture.h"


namespace {

using Call = RecordingDrawer::Call;

void expectImage(const Call& call, unsigned int image, float x, float y, float scaleX = 1, float scaleY = 1,
                 float r = 1, float g = 1, float b = 1, float a = 1)
{
    EXPECT_EQ(call.handle, image);
    EXPECT_EQ(call.values, (std::vector<float>{x, y, scaleX, scaleY, r, g, b, a})) << "image " << image;
}

} // namespace

using GameScreen = GameFixture;

TEST_F(GameScreen, OnlyTheFirstGameOfTheProcessShowsTheBannerAndLoadsThePictures)
{
    frame();
    const std::vector<Call>& calls = drawer.calls;
    // Paper and the banner, the second picture loaded, are shown before the others load.
    ASSERT_GE(calls.size(), 50u);
    expectImage(calls[2], GamePlay::paper, 0, 0);
    expectImage(calls[3], calls[1].handle, 256, 192);
    EXPECT_EQ(calls[4].operation, "endDrawing");
    EXPECT_EQ(drawer.callsOf("loadImage").size(), 46u + 1u);  // and the piece, on its first draw

    start();
    frame();
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
    EXPECT_TRUE(drawer.callsOf("endDrawing").empty());
}

TEST_F(GameScreen, BoardIsDrawnInItsOrder)
{
    frame();
    player(0).food = 12;
    const std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 31u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::spacesImages[0], 0, 0, 1, 1, 0.8f, 0, 0, 0.5f);
    expectImage(calls[2], GamePlay::map, 0, 0);
    expectImage(calls[3], GamePlay::ruritania, 20, 20);
    for (int i = 0; i < 12; ++i)  // rows of 5, 5 and 2
        expectImage(calls[4 + i], GamePlay::biscuits, 38 + 40 * (i % 5), 60 + 46 * (i / 5), 0.75f, 0.75f);
    expectImage(calls[16], GamePlay::forageButton, 0, 530);
    expectImage(calls[17], GamePlay::garrisonButton, 0, 590);
    expectImage(calls[18], GamePlay::waitButton, 0, 650);
    const int targets[3] = {1, 11, 12};
    for (int i = 0; i < 3; ++i)
        expectImage(calls[19 + i], GamePlay::counter, space(targets[i]).x, space(targets[i]).y, 1, 1, 0.8f, 0, 0, 1);
    for (int nation = 0; nation < 4; ++nation)
        expectImage(calls[22 + nation], Player::image, player(nation).space->x, player(nation).space->y, 1, 1,
                    player(nation).red, player(nation).green, player(nation).blue, 1);
    const float ships[4][3] = {{444, 10, -1}, {452, 628, 1}, {844, 354, 1}, {56, 354, -1}};
    for (int i = 0; i < 4; ++i)
        expectImage(calls[26 + i], GamePlay::ship, ships[i][0], ships[i][1], ships[i][2], 1);
    expectImage(calls[30], GamePlay::mouse, 512 - 25, 384 - 12);
}

TEST_F(GameScreen, TargetsSkipOccupiedAndGarrisonedSpacesAndShowTheTurnsColour)
{
    frame();
    player(1).setSpace(&space(1));  // Molotavia next to 0, 2 and 12
    player(2).setSpace(&space(2));  // occupied: no target
    space(12).foraged = true;       // its 1 food shows under the target
    garrison();                     // Ruritania on 0: no target; Molotavia is on turn
    const std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 24u);
    expectImage(calls[12], GamePlay::biscuits1, space(12).x, space(12).y);
    expectImage(calls[13], GamePlay::counter, space(12).x, space(12).y, 1, 1, 0.1f, 0.1f, 0.8f, 1);
    expectImage(calls[14], GamePlay::garrison, space(0).x, space(0).y);
    EXPECT_EQ(calls[15].handle, Player::image);
}

TEST_F(GameScreen, TheOutcomeIsDecidedAtTheRoundEndAndItsPageHidesTheBoard)
{
    frame();
    finish(2);
    wait(3);
    EXPECT_EQ(game->getNumWinners(), 0);
    wait();
    game->mouseMove(300, 400);  // the hand anywhere on the result page
    std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 4u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::norlandWin, 0, 75);
    expectImage(calls[2], GamePlay::winScreen, 0, 220);
    expectImage(calls[3], GamePlay::hand, 275, 388);

    // Molotavia finished before the round; Stamark completes it with the round's last move: a draw.
    start();
    finish(1);
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        if (index != 10)
            player(3).addExplored(index);
    }
    wait(3);
    clickSpace(10);
    EXPECT_EQ(game->getNumWinners(), 2);
    calls = frame();
    ASSERT_EQ(calls.size(), 3u);
    expectImage(calls[1], GamePlay::drawScreen, 0, 0);
}

TEST_F(GameScreen, EachFrameTicksTheComputersTimer)
{
    humans[0] = false;
    start();
    frame();  // the first frame of the process also loads the pictures
    for (int frameNumber = 2; frameNumber < 60; ++frameNumber)
        ASSERT_EQ(frame()[3].handle, GamePlay::ruritania) << frameNumber;
    for (int frameNumber = 60; frameNumber < 200; ++frameNumber)
        ASSERT_EQ(frame()[3].handle, GamePlay::molotavia) << frameNumber;  // a person's turn waits
}

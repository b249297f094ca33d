// SPDX-License-Identifier: MIT
#include "RecordingDrawer.h"
#include "XDisplay.h"
#include "app/Application.h"
#include "game/GamePlay.h"
#include "game/TitleScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

// Gives every test the title screen as the first one of a fresh process (pictures not loaded, the
// sponsor page still to come) inside its own application, a small window under Xvfb.
struct TitleScreenTest : ::testing::Test {
    // The handles the recording drawer gives out, in loading order.
    enum Picture : unsigned int { Paper = 1, Sponsor, Background, Guy, Tick, Mouse, Hand };

    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        TitleScreen::imagesLoaded = false;
        TitleScreen::sponsorHide = 480;
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "640", "-h", "480", "-ns"});
        application->replaceState(screen = new TitleScreen(application.get()));
    }
    // Every call of one frame.
    std::vector<RecordingDrawer::Call> drawFrame()
    {
        drawer.clear();
        application->getCurrentState()->draw(&drawer);
        return drawer.calls;
    }
    static RecordingDrawer::Call image(unsigned int handle, float x, float y, float r = 1, float g = 1, float b = 1)
    {
        return RecordingDrawer::Call{"drawImage", handle, {x, y, 1, 1, r, g, b, 1}};
    }
    void click(int x, int y, int button = 1) { application->getCurrentState()->mouseDown(button, x, y); }
    // What the game starts with, before SetUp sets it again.
    static const int sponsorFramesAtStart;
    RecordingDrawer drawer;
    std::unique_ptr<Application> application;
    // Owned by the application; gone once a game starts.
    TitleScreen* screen = nullptr;
};

const int TitleScreenTest::sponsorFramesAtStart = TitleScreen::sponsorHide;

TEST_F(TitleScreenTest, LoadsOnceShowsTheSponsorFor480FramesThenTheTitle)
{
    drawFrame();
    EXPECT_EQ(std::make_pair(sponsorFramesAtStart, drawer.callsOf("loadImage").size()), std::make_pair(480, 7ul));
    screen->mouseMove(500, 640);  // over the start button, but the sponsor page keeps the arrow
    for (int frame = 2; frame <= 480; ++frame)
        ASSERT_EQ(drawFrame().back(), image(Sponsor, 0, 0)) << "frame " << frame;
    // Four soldiers in their nations' colours, the ticks on the person row, the arrow's tip at the pointer.
    std::vector<RecordingDrawer::Call> title{image(Paper, 0, 0), image(Background, 0, 0),
        image(Guy, 114, 350, 0.8f, 0, 0), image(Guy, 364, 350, 0.1f, 0.1f, 0.8f), image(Guy, 610, 350),
        image(Guy, 828, 350, 1, 1, 0.2f), image(Tick, 74, 415), image(Tick, 314, 415), image(Tick, 559, 415),
        image(Tick, 783, 415), image(Mouse, 475, 628)};
    EXPECT_EQ(drawFrame(), title);

    // A later title screen loads nothing and starts with four persons again.
    click(84, 474);
    application->nextState("TitleScreen", nullptr);
    title.back() = image(Mouse, 512 - 25, 384 - 12);
    EXPECT_EQ(drawFrame(), title);
    // Its choices show as ticks and reach the game through the real state switch.
    click(90, 480);
    click(570, 490);
    EXPECT_EQ(drawFrame()[6], image(Tick, 74, 449));
    click(500, 640);
    auto* game = dynamic_cast<GamePlay*>(application->getCurrentState());
    ASSERT_NE(game, nullptr);
    for (int nation = 0; nation < 4; ++nation)
        EXPECT_EQ(game->getPlayer(nation).cpu, nation % 2 == 0) << nation;
}

// Every hot box, each edge: two opposite corners are inside, their neighbours across each edge are not. Inside,
// the pointer is the hand and a click on a person or computer box chooses it; outside, the arrow, and a
// click changes nothing.
TEST_F(TitleScreenTest, CursorAndChoicesHaveInclusiveHotBoxEdges)
{
    // Start, then each nation's person and computer boxes: left, top, right, bottom.
    const int boxes[9][4] = {{356, 618, 663, 657}, {84, 444, 115, 469},  {84, 474, 115, 499},
                             {322, 444, 353, 469}, {322, 474, 353, 499}, {565, 444, 596, 469},
                             {565, 474, 596, 499}, {790, 444, 821, 469}, {790, 474, 821, 499}};
    drawFrame();
    // The click that ends the sponsor page counts on the title too.
    click(84, 474);
    ASSERT_FALSE(screen->isHuman(0));
    for (int box = 0; box < 9; ++box) {
        const auto [left, top, right, bottom] = boxes[box];
        const std::tuple<int, int, bool> probes[] = {{left, top, true}, {right, bottom, true},
                                                     {left - 1, top, false}, {left, top - 1, false},
                                                     {right + 1, bottom, false}, {right, bottom + 1, false}};
        for (const auto& [x, y, inside] : probes) {
            SCOPED_TRACE(testing::Message() << "box " << box << " at " << x << "," << y);
            screen->mouseMove(x, y);
            EXPECT_EQ(drawFrame().back().handle, unsigned(inside ? Hand : Mouse));
            if (box == 0 && inside)
                continue;
            // First the other choice for this nation (any for Start), by the right button.
            const int other = box % 2 == 1 ? box + 1 : box == 0 ? 1 : box - 1;
            click(boxes[other][0], boxes[other][1], 3);
            // The nation's choice is now the other one, and only a click inside changes it back.
            click(x, y);
            ASSERT_EQ(application->getCurrentState(), screen);
            EXPECT_EQ(screen->isHuman((box - 1) / 2), (box % 2 == 1) == inside);
        }
    }
}

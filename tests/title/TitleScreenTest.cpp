// SPDX-License-Identifier: MIT
#include "Application.h"
#include "RecordingDrawer.h"
#include "TitleScreen.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using Call = RecordingDrawer::Call;

// Gives every test the title screen as the first one of a fresh process (pictures not loaded, the
// sponsor page still to come) inside its own application, a small window under Xvfb.
class TitleScreenTest : public ::testing::Test {
protected:
    // The handles the recording drawer gives out, in loading order.
    enum Picture : unsigned int { Paper = 1, Sponsor, Background, Guy, Tick, Mouse, Hand };

    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        TitleScreen::imagesLoaded = false;
        TitleScreen::sponsorHide = 480;
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "640", "-h", "480", "-ns"});
        screen = new TitleScreen(application.get());
        application->replaceState(screen);
    }
    // Every call of one frame.
    std::vector<Call> drawFrame()
    {
        drawer.clear();
        application->getCurrentState()->draw(&drawer);
        return drawer.calls;
    }
    static Call image(unsigned int handle, float x, float y, float r = 1, float g = 1, float b = 1)
    {
        return Call{"drawImage", handle, {x, y, 1, 1, r, g, b, 1}};
    }
    void click(int x, int y, int button = 1) { application->getCurrentState()->mouseDown(button, x, y); }

    RecordingDrawer drawer;
    std::unique_ptr<Application> application;
    // Owned by the application; gone once a game starts.
    TitleScreen* screen = nullptr;
};

TEST_F(TitleScreenTest, LoadsOnceShowsTheSponsorFor480FramesThenTheTitle)
{
    drawFrame();
    EXPECT_EQ(drawer.callsOf("loadImage").size(), 7u);
    screen->mouseMove(500, 640);  // over the start button, but the sponsor page keeps the arrow
    for (int frame = 2; frame <= 480; ++frame)
        ASSERT_EQ(drawFrame().back().handle, unsigned(Sponsor)) << "frame " << frame;
    // Four soldiers in their nations' colours, the ticks on the person row, the arrow's tip at the pointer.
    std::vector<Call> title{image(Paper, 0, 0), image(Background, 0, 0), image(Guy, 114, 350, 0.8f, 0, 0),
                            image(Guy, 364, 350, 0.1f, 0.1f, 0.8f), image(Guy, 610, 350),
                            image(Guy, 828, 350, 1, 1, 0.2f)};
    for (float x : {74, 314, 559, 783})
        title.push_back(image(Tick, x, 415));
    title.push_back(image(Mouse, 475, 628));
    EXPECT_EQ(drawFrame(), title);

    // A later title screen loads nothing and starts with four persons again.
    click(84, 474);
    application->nextState("TitleScreen", nullptr);
    title.back() = image(Mouse, 512 - 25, 384 - 12);
    EXPECT_EQ(drawFrame(), title);
}

// The game receives the choices: the end-to-end test sees the computer play the nations chosen.
TEST_F(TitleScreenTest, ClickOnStartDuringTheSponsorPageStartsAGame)
{
    drawFrame();
    click(500, 640);
    EXPECT_EQ(application->getCurrentState()->getName(), "GamePlay");
}

TEST_F(TitleScreenTest, CursorAndChoicesHaveInclusiveHotBoxEdges)
{
    drawFrame();  // loads the pictures
    click(0, 0);  // ends the sponsor page
    // Corners of the start button and of Ruritania's two boxes, and the points just outside them.
    for (const auto& [x, y, cursor] : {std::make_tuple(663, 657, Hand), {356, 618, Hand}, {84, 444, Hand},
             {115, 469, Hand}, {84, 474, Hand}, {821, 499, Hand}, {664, 657, Mouse}, {663, 658, Mouse},
             {116, 444, Mouse}, {84, 470, Mouse}, {83, 474, Mouse}, {821, 500, Mouse}}) {
        screen->mouseMove(x, y);
        EXPECT_EQ(drawFrame().back().handle, unsigned(cursor)) << x << "," << y;
    }
    for (const auto& [x, y, human] : {std::make_tuple(84, 444, true), {115, 469, true}, {116, 444, false},
             {84, 470, false}}) {
        click(84, 474, 3);  // the computer, with any button
        click(x, y);
        EXPECT_EQ(screen->isHuman(0), human) << x << "," << y;
    }
    EXPECT_EQ(drawFrame()[6], image(Tick, 74, 449));  // the tick shows the computer box
}

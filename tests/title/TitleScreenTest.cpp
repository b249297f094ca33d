// SPDX-License-Identifier: MIT
#include "Application.h"
#include "GamePlay.h"
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
    std::vector<Call> drawFrame()
    {
        drawer.clear();
        application->getCurrentState()->draw(&drawer);
        return drawer.callsOf("drawImage");
    }
    unsigned int cursorAt(int x, int y)
    {
        screen->mouseMove(x, y);
        return drawFrame().back().handle;
    }
    void click(int x, int y, int button = 1) { application->getCurrentState()->mouseDown(button, x, y); }
    void press(SDLKey sym)
    {
        SDL_keysym key{};
        key.sym = sym;
        application->keyDown(key);
    }
    GamePlay* game() const { return dynamic_cast<GamePlay*>(application->getCurrentState()); }
    // Whether the computer plays the nation in the game that has just started.
    bool computerPlays(int nation) const { return game()->getPlayer(nation).cpu; }

    RecordingDrawer drawer;
    std::unique_ptr<Application> application;
    // Owned by the application; gone once a game starts.
    TitleScreen* screen = nullptr;
};

TEST_F(TitleScreenTest, LoadsOnceShowsTheSponsorFor480FramesThenTheTitle)
{
    drawFrame();
    EXPECT_EQ(drawer.callsOf("loadImage").size(), 7u);
    for (int frame = 2; frame <= 480; ++frame)
        ASSERT_EQ(drawFrame().back().handle, unsigned(Sponsor)) << "frame " << frame;
    const std::vector<Call> images = drawFrame();
    // Paper, background, four soldiers, four ticks, the arrow.
    std::vector<unsigned int> order;
    for (const Call& call : images)
        order.push_back(call.handle);
    EXPECT_EQ(order, (std::vector<unsigned int>{Paper, Background, Guy, Guy, Guy, Guy, Tick, Tick, Tick, Tick, Mouse}));
    const float soldiers[4][4] = {{114, 0.8f, 0, 0}, {364, 0.1f, 0.1f, 0.8f}, {610, 1, 1, 1}, {828, 1, 1, 0.2f}};
    for (int n = 0; n < 4; ++n) {
        const float* s = soldiers[n];
        EXPECT_EQ(images[2 + n].values, (std::vector<float>{s[0], 350, 1, 1, s[1], s[2], s[3], 1})) << n;
    }

    // A later title screen loads nothing and starts with four persons again.
    click(84, 474);
    application->nextState("TitleScreen", nullptr);
    EXPECT_TRUE(static_cast<TitleScreen*>(application->getCurrentState())->isHuman(0));
    EXPECT_EQ(drawFrame().size(), 11u);
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
}

TEST_F(TitleScreenTest, ClickOnStartDuringTheSponsorPageStartsAGameOfPersons)
{
    drawFrame();
    click(500, 640);
    ASSERT_NE(game(), nullptr);
    EXPECT_FALSE(computerPlays(0) || computerPlays(1) || computerPlays(2) || computerPlays(3));
}

TEST_F(TitleScreenTest, CursorAndChoicesHaveInclusiveHotBoxEdges)
{
    drawFrame();  // loads the pictures
    click(0, 0);  // ends the sponsor page
    for (const auto& at : {std::make_pair(663, 657), {356, 618}, {84, 444}, {115, 469}, {84, 474}, {821, 499}})
        EXPECT_EQ(cursorAt(at.first, at.second), unsigned(Hand)) << at.first << "," << at.second;
    for (const auto& at : {std::make_pair(664, 657), {663, 658}, {116, 444}, {84, 470}, {83, 474}, {821, 500}})
        EXPECT_EQ(cursorAt(at.first, at.second), unsigned(Mouse)) << at.first << "," << at.second;

    for (const auto& at : {std::make_tuple(84, 444, true), {115, 469, true}, {116, 444, false}, {84, 470, false}}) {
        click(84, 474, 3);  // the computer, with any button
        click(std::get<0>(at), std::get<1>(at));
        EXPECT_EQ(screen->isHuman(0), std::get<2>(at)) << std::get<0>(at) << "," << std::get<1>(at);
    }
    EXPECT_EQ(drawFrame()[6].values[1], 449);  // the tick shows the computer box
    click(322, 474);
    click(821, 499);
    click(356, 618);
    ASSERT_NE(game(), nullptr);
    EXPECT_TRUE(computerPlays(0) && computerPlays(1) && !computerPlays(2) && computerPlays(3));
}

TEST_F(TitleScreenTest, EscapeEndsTheProgramEvenOnTheSponsorPage)
{
    drawFrame();
    press(SDLK_SPACE);
    EXPECT_FALSE(application->isQuitRequested());
    press(SDLK_ESCAPE);
    EXPECT_TRUE(application->isQuitRequested());
}

TEST_F(TitleScreenTest, PointerMovesDuringTheSponsorPageKeepTheArrowUntilTheNextMove)
{
    drawFrame();
    screen->mouseMove(500, 640);  // over the start button
    EXPECT_EQ(drawFrame().back().handle, unsigned(Sponsor));
    click(10, 10);  // ends the page, on no box
    EXPECT_EQ(drawFrame().back(), (Call{"drawImage", Mouse, {475, 628, 1, 1, 1, 1, 1, 1}, ""}));
    EXPECT_EQ(cursorAt(500, 641), unsigned(Hand));
}

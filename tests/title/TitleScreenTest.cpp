#include "Application.h"
#include "GamePlay.h"
#include "RecordingDrawer.h"
#include "TitleScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Gives every test the title screen as the first one of a fresh process: pictures not yet loaded and
// the sponsor page still to come. Each test gets its own application (a small window under Xvfb).
class TitleScreenTest : public ::testing::Test {
protected:
    // The handles the recording drawer gives out in loading order.
    enum Picture : unsigned int { Paper = 1, Sponsor, Background, Guy, Tick, Mouse, Hand };

    void SetUp() override
    {
        TitleScreen::imagesLoaded = false;
        TitleScreen::sponsorHide = 480;
        TitleScreen::paper = TitleScreen::sponsor = TitleScreen::background = 0;
        TitleScreen::guy = TitleScreen::tick = TitleScreen::mouse = TitleScreen::hand = 0;
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "640", "-h", "480", "-ns"});
        screen = new TitleScreen(application.get());
        application->replaceState(screen);
    }

    static int sponsorFramesLeft() { return TitleScreen::sponsorHide; }

    // Loads the pictures and skips the sponsor page, as a title screen after the first game sees it.
    void passSponsorPage()
    {
        drawFrame();
        TitleScreen::sponsorHide = 0;
    }

    std::vector<RecordingDrawer::Call> drawFrame()
    {
        drawer.clear();
        application->getCurrentState()->draw(&drawer);
        return drawer.callsOf("drawImage");
    }

    // The cursor picture of the next frame.
    unsigned int cursorShown() { return drawFrame().back().handle; }

    void click(int x, int y, int button = 1) { application->getCurrentState()->mouseDown(button, x, y); }

    std::string currentScreen() const { return application->getCurrentState()->getName(); }

    // Which nations the computer plays in the game that has just started.
    std::vector<bool> computerNations() const
    {
        auto* game = dynamic_cast<GamePlay*>(application->getCurrentState());
        std::vector<bool> cpu;
        for (int nation = 0; game != nullptr && nation < 4; ++nation)
            cpu.push_back(game->getPlayer(nation).cpu);
        return cpu;
    }

    static SDL_keysym key(SDLKey sym)
    {
        SDL_keysym record{};
        record.sym = sym;
        return record;
    }

    RecordingDrawer drawer;
    std::unique_ptr<Application> application;
    // Owned by the application; gone once a game starts.
    TitleScreen* screen = nullptr;
};

namespace {

void expectImage(const RecordingDrawer::Call& call, unsigned int handle, float x, float y,
                 std::vector<float> colour = {1, 1, 1, 1})
{
    EXPECT_EQ(call.handle, handle);
    std::vector<float> expected{x, y, 1, 1};
    expected.insert(expected.end(), colour.begin(), colour.end());
    EXPECT_EQ(call.values, expected) << "image " << handle;
}

} // namespace

TEST_F(TitleScreenTest, FirstFrameLoadsThePicturesAndShowsTheSponsorPage)
{
    const std::vector<RecordingDrawer::Call> images = drawFrame();

    const std::vector<RecordingDrawer::Call> loads = drawer.callsOf("loadImage");
    ASSERT_EQ(loads.size(), 7u);
    const float sizes[7][2] = {{1024, 768}, {1024, 768}, {1024, 768}, {64, 64}, {64, 64}, {64, 64}, {64, 64}};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(loads[i].values, (std::vector<float>{sizes[i][0], sizes[i][1]})) << "picture " << i;
    ASSERT_EQ(images.size(), 2u);
    expectImage(images[0], Paper, 0, 0);
    expectImage(images[1], Sponsor, 0, 0);
}

TEST_F(TitleScreenTest, APictureThatFailsIsNotLoadedAgainEveryFrame)
{
    // A drawer that refuses every picture, as it does for pixels that did not decode.
    struct RefusingDrawer : RecordingDrawer {
        unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) override
        {
            RecordingDrawer::loadImage(pixels, width, height);
            return 0;
        }
    } refusing;
    screen->draw(&refusing);
    screen->draw(&refusing);
    EXPECT_EQ(refusing.callsOf("loadImage").size(), 7u);
}

TEST_F(TitleScreenTest, SponsorPageLasts480FramesThenTheTitleShows)
{
    for (int frame = 1; frame <= 480; ++frame) {
        const std::vector<RecordingDrawer::Call> images = drawFrame();
        ASSERT_EQ(images.back().handle, static_cast<unsigned int>(Sponsor)) << "frame " << frame;
    }
    const std::vector<RecordingDrawer::Call> images = drawFrame();
    ASSERT_EQ(images.size(), 11u);
    expectImage(images[0], Paper, 0, 0);
    expectImage(images[1], Background, 0, 0);
    expectImage(images[2], Guy, 114, 350, {0.8f, 0, 0, 1});
    expectImage(images[3], Guy, 364, 350, {0.1f, 0.1f, 0.8f, 1});
    expectImage(images[4], Guy, 610, 350);
    expectImage(images[5], Guy, 828, 350, {1, 1, 0.2f, 1});
    expectImage(images[6], Tick, 74, 415);
    expectImage(images[7], Tick, 314, 415);
    expectImage(images[8], Tick, 559, 415);
    expectImage(images[9], Tick, 783, 415);
    expectImage(images[10], Mouse, 512 - 25, 384 - 12);
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
}

TEST_F(TitleScreenTest, ANewTitleScreenLoadsNothingAndStartsAfresh)
{
    passSponsorPage();
    click(84, 474);
    screen->mouseMove(100, 100);
    application->nextState("TitleScreen", nullptr);
    auto* fresh = static_cast<TitleScreen*>(application->getCurrentState());
    for (int nation = 0; nation < 4; ++nation)
        EXPECT_TRUE(fresh->isHuman(nation));
    const std::vector<RecordingDrawer::Call> images = drawFrame();
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
    ASSERT_EQ(images.size(), 11u);
    EXPECT_EQ(images[1].handle, static_cast<unsigned int>(Background));
    expectImage(images.back(), Mouse, 487, 372);
}

TEST_F(TitleScreenTest, ClickOnStartDuringTheSponsorPageStartsAGameOfPersons)
{
    drawFrame();
    click(500, 640);
    EXPECT_EQ(sponsorFramesLeft(), 0);
    EXPECT_EQ(computerNations(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(TitleScreenTest, TheGameGetsTheChoicesByNationEvenAllComputer)
{
    passSponsorPage();
    click(322, 474);
    click(790, 474);
    click(790, 444);
    click(565, 499);
    click(356, 618);
    EXPECT_EQ(computerNations(), (std::vector<bool>{false, true, true, false}));

    application->nextState("TitleScreen", nullptr);
    for (int x : {84, 322, 565, 790})
        click(x, 474);
    click(663, 657);
    EXPECT_EQ(computerNations(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(TitleScreenTest, PointerFollowedButCursorFrozenDuringTheSponsorPage)
{
    drawFrame();
    screen->mouseMove(400, 630);
    click(0, 0);
    EXPECT_EQ(currentScreen(), "TitleScreen");
    expectImage(drawFrame().back(), Mouse, 375, 618);
    screen->mouseMove(401, 630);
    EXPECT_EQ(cursorShown(), static_cast<unsigned int>(Hand));
}

TEST_F(TitleScreenTest, CursorIsTheHandExactlyOverTheHotBoxes)
{
    passSponsorPage();
    const int hands[][2] = {{663, 657}, {356, 618}, {84, 444}, {115, 469}, {84, 474}, {115, 499}, {322, 444},
                            {353, 499}, {565, 444}, {596, 499}, {790, 444}, {821, 499}};
    for (const auto& at : hands) {
        screen->mouseMove(at[0], at[1]);
        EXPECT_EQ(cursorShown(), static_cast<unsigned int>(Hand)) << at[0] << "," << at[1];
    }
    const int arrows[][2] = {{664, 657}, {355, 618}, {356, 617}, {663, 658}, {116, 444}, {84, 470},
                             {100, 473}, {83, 474}, {115, 500}, {821, 500}, {822, 444}, {512, 384}};
    for (const auto& at : arrows) {
        screen->mouseMove(at[0], at[1]);
        EXPECT_EQ(cursorShown(), static_cast<unsigned int>(Mouse)) << at[0] << "," << at[1];
    }
}

TEST_F(TitleScreenTest, ChoiceBoxesHaveInclusiveEdgesForAnyButton)
{
    passSponsorPage();
    const int left[4] = {84, 322, 565, 790};
    for (int nation = 0; nation < 4; ++nation) {
        const int x = left[nation];
        for (const auto& at : {std::pair<int, int>{x, 444}, {x + 31, 469}}) {
            click(x, 499, 3);
            click(at.first, at.second);
            EXPECT_TRUE(screen->isHuman(nation)) << at.first << "," << at.second;
        }
        for (const auto& at : {std::pair<int, int>{x + 32, 444}, {x, 470}, {x, 473}, {x - 1, 474}, {x, 500}}) {
            click(x, 474, 5);
            click(at.first, at.second);
            EXPECT_FALSE(screen->isHuman(nation)) << at.first << "," << at.second;
        }
    }
    const float tickX[4] = {74, 314, 559, 783};
    const std::vector<RecordingDrawer::Call> images = drawFrame();
    for (int nation = 0; nation < 4; ++nation)
        expectImage(images[6 + nation], Tick, tickX[nation], 449);
    EXPECT_EQ(currentScreen(), "TitleScreen");
}

TEST_F(TitleScreenTest, EscapeEndsTheProgramEvenOnTheSponsorPage)
{
    drawFrame();
    screen->keyDown(key(SDLK_SPACE));
    screen->keyDown(key(SDLK_q));
    EXPECT_FALSE(application->isQuitRequested());
    screen->keyDown(key(SDLK_ESCAPE));
    EXPECT_TRUE(application->isQuitRequested());
    EXPECT_EQ(sponsorFramesLeft(), 479);
}

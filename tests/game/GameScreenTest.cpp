#include "GamePlay.h"
#include "Random.h"
#include "RecordingDrawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using Call = RecordingDrawer::Call;

void expectImage(const Call& call, unsigned int image, float x, float y, float scaleX = 1.0f, float scaleY = 1.0f,
                 float r = 1.0f, float g = 1.0f, float b = 1.0f, float a = 1.0f)
{
    EXPECT_EQ(call.operation, "drawImage");
    EXPECT_EQ(call.handle, image);
    EXPECT_EQ(call.values, (std::vector<float>{x, y, scaleX, scaleY, r, g, b, a}));
}

// The draws of one picture.
std::vector<Call> of(const std::vector<Call>& calls, unsigned int image)
{
    std::vector<Call> found;
    for (const Call& call : calls) {
        if (call.handle == image)
            found.push_back(call);
    }
    return found;
}

// A game of four people dealt from random state 0, its pictures loaded by a first frame.
class GameScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        Random::getGlobal()->setState(0);
        game = std::make_unique<GamePlay>(nullptr, humans);
        game->draw(&drawer);
    }
    std::vector<Call> frame()
    {
        drawer.clear();
        game->draw(&drawer);
        return drawer.callsOf("drawImage");
    }
    void finish(int nation)
    {
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            player(nation).addExplored(index);
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    bool humans[4] = {true, true, true, true};
    RecordingDrawer drawer;
    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST(GameScreenLoading, FirstFrameOfTheProcessShowsTheBannerThenLoadsEverything)
{
    Random::getGlobal()->setState(0);
    RecordingDrawer drawer;
    auto game = std::make_unique<GamePlay>(nullptr, nullptr);
    EXPECT_EQ(game->getCursor(), 0u);
    game->draw(&drawer);
    EXPECT_EQ(game->getCursor(), GamePlay::mouse);

    const std::vector<Call>& calls = drawer.calls;
    ASSERT_GE(calls.size(), 52u);
    EXPECT_EQ(calls[0].values, (std::vector<float>{1024, 768}));
    EXPECT_EQ(calls[1].values, (std::vector<float>{512, 128}));
    expectImage(calls[2], GamePlay::paper, 0, 0);
    expectImage(calls[3], calls[1].handle, 256, 192);
    EXPECT_EQ(calls[4].operation, "endDrawing");
    EXPECT_EQ(calls[5].operation, "beginDrawing");
    const std::vector<std::pair<unsigned int, std::vector<float>>> expected = {
        {GamePlay::map, {1024, 768}}, {GamePlay::ship, {128, 128}}, {GamePlay::counter, {64, 64}},
        {GamePlay::biscuits, {64, 64}}, {GamePlay::biscuits1, {64, 64}}, {GamePlay::biscuits2, {64, 64}},
        {GamePlay::biscuits3, {64, 64}}, {GamePlay::biscuits4, {64, 64}}, {GamePlay::biscuits5, {64, 64}},
        {GamePlay::garrison, {64, 64}}, {GamePlay::forageButton, {256, 128}},
        {GamePlay::garrisonButton, {256, 128}}, {GamePlay::waitButton, {256, 128}}, {GamePlay::mouse, {64, 64}},
        {GamePlay::hand, {64, 64}}, {GamePlay::ruritania, {256, 64}}, {GamePlay::molotavia, {256, 64}},
        {GamePlay::norland, {256, 64}}, {GamePlay::stamark, {256, 64}}, {GamePlay::winScreen, {1024, 512}},
        {GamePlay::drawScreen, {1024, 768}}, {GamePlay::ruritaniaWin, {1024, 128}},
        {GamePlay::molotaviaWin, {1024, 128}}, {GamePlay::norlandWin, {1024, 128}},
        {GamePlay::stamarkWin, {1024, 128}}};
    for (std::size_t i = 0; i < expected.size() + GamePlay::NUM_SPACES; ++i) {
        const Call& call = calls[6 + i];
        EXPECT_EQ(call.operation, "loadImage") << i;
        if (i < expected.size()) {
            EXPECT_EQ(call.handle, expected[i].first) << i;
            EXPECT_EQ(call.values, expected[i].second) << i;
        } else {
            EXPECT_EQ(call.handle, GamePlay::spacesImages[i - expected.size()]);
            EXPECT_EQ(call.values, (std::vector<float>{1024, 768}));
        }
    }
    EXPECT_EQ(drawer.callsOf("loadImage").size(), 46u + 1u);  // and the piece, on its first draw
    EXPECT_EQ(drawer.callsOf("endDrawing").size(), 1u);

    // The next game loads nothing and shows no banner.
    game = std::make_unique<GamePlay>(nullptr, nullptr);
    EXPECT_EQ(game->getCursor(), GamePlay::mouse);
    drawer.clear();
    game->draw(&drawer);
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
    EXPECT_TRUE(drawer.callsOf("endDrawing").empty());
    expectImage(drawer.calls.front(), GamePlay::paper, 0, 0);
}

TEST_F(GameScreen, BoardIsDrawnInItsOrder)
{
    const std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 24u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::spacesImages[0], 0, 0, 1, 1, 0.8f, 0.0f, 0.0f, 0.5f);
    expectImage(calls[2], GamePlay::map, 0, 0);
    expectImage(calls[3], GamePlay::ruritania, 20, 20);
    for (int i = 0; i < 5; ++i)
        expectImage(calls[4 + i], GamePlay::biscuits, 38 + 40 * i, 60, 0.75f, 0.75f);
    expectImage(calls[9], GamePlay::forageButton, 0, 530);
    expectImage(calls[10], GamePlay::garrisonButton, 0, 590);
    expectImage(calls[11], GamePlay::waitButton, 0, 650);
    const int targets[3] = {1, 11, 12};
    for (int i = 0; i < 3; ++i)
        expectImage(calls[12 + i], GamePlay::counter, space(targets[i]).x, space(targets[i]).y, 1, 1, 0.8f, 0, 0, 1);
    for (int nation = 0; nation < 4; ++nation)
        expectImage(calls[15 + nation], Player::image, player(nation).space->x, player(nation).space->y, 1, 1,
                    player(nation).red, player(nation).green, player(nation).blue, 1.0f);
    expectImage(calls[19], GamePlay::ship, 444, 10, -1.0f, 1.0f);
    expectImage(calls[20], GamePlay::ship, 452, 628);
    expectImage(calls[21], GamePlay::ship, 844, 354);
    expectImage(calls[22], GamePlay::ship, 56, 354, -1.0f, 1.0f);
    expectImage(calls[23], GamePlay::mouse, 512 - 25, 384 - 12);
}

TEST_F(GameScreen, FoodStoreFillsRowsOfFiveDownToTheScreenBottom)
{
    player(0).food = 12;
    std::vector<Call> food = of(frame(), GamePlay::biscuits);
    ASSERT_EQ(food.size(), 12u);
    expectImage(food[5], GamePlay::biscuits, 38, 106, 0.75f, 0.75f);
    expectImage(food[11], GamePlay::biscuits, 78, 152, 0.75f, 0.75f);

    player(0).food = 100000;
    food = of(frame(), GamePlay::biscuits);
    ASSERT_EQ(food.size(), 80u);
    EXPECT_EQ(food.back().values[1], 750.0f);

    player(0).food = 0;
    const std::vector<Call> calls = frame();
    EXPECT_TRUE(of(calls, GamePlay::biscuits).empty());
    EXPECT_TRUE(of(calls, GamePlay::counter).empty());
    EXPECT_EQ(of(calls, GamePlay::waitButton).size(), 1u);
}

TEST_F(GameScreen, TargetsSkipPiecesAndGarrisonsButNotFood)
{
    player(1).setSpace(&space(1));
    space(3).foraged = true;  // 3 food
    space(12).foraged = true;  // 1 food, under a move target
    game->mouseDown(1, 100, 650);  // Ruritania garrisons 0; Molotavia, on 1, is on turn
    const std::vector<Call> calls = frame();
    expectImage(of(calls, GamePlay::biscuits3)[0], GamePlay::biscuits3, space(3).x, space(3).y);
    EXPECT_EQ(of(calls, GamePlay::biscuits1).size(), 1u);
    EXPECT_TRUE(of(calls, GamePlay::biscuits5).empty());  // space 0 was never foraged
    const std::vector<Call> targets = of(calls, GamePlay::counter);
    ASSERT_EQ(targets.size(), 2u);  // 2 and 12; 0 is garrisoned
    EXPECT_EQ(targets[0].values[0], space(2).x);
    EXPECT_EQ(targets[1].values[0], space(12).x);
    expectImage(of(calls, GamePlay::garrison)[0], GamePlay::garrison, space(0).x, space(0).y);
    auto position = [&](unsigned int image) {
        return std::find_if(calls.begin(), calls.end(), [&](const Call& call) { return call.handle == image; });
    };
    EXPECT_LT(position(GamePlay::biscuits1), position(GamePlay::counter));
    EXPECT_LT(position(GamePlay::counter), position(GamePlay::garrison));
    EXPECT_LT(position(GamePlay::garrison), position(Player::image));
}

TEST_F(GameScreen, TintAndBannerFollowTheNationOnTurn)
{
    game->mouseDown(1, space(1).x, space(1).y);
    const std::vector<Call> calls = frame();
    expectImage(calls[1], GamePlay::spacesImages[3], 0, 0, 1, 1, 0.1f, 0.1f, 0.8f, 0.5f);
    expectImage(calls[2], GamePlay::map, 0, 0);
    expectImage(calls[3], GamePlay::molotavia, 20, 20);
    EXPECT_EQ(of(calls, GamePlay::counter)[0].values[0], space(4).x);
}

TEST_F(GameScreen, ResultPagesHideTheBoard)
{
    finish(2);
    game->endOfTurns();
    game->mouseMove(300, 400);
    std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 4u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::norlandWin, 0, 75);
    expectImage(calls[2], GamePlay::winScreen, 0, 220);
    expectImage(calls[3], GamePlay::hand, 275, 388);

    SetUp();
    finish(1);
    finish(3);
    game->endOfTurns();
    calls = frame();
    ASSERT_EQ(calls.size(), 3u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::drawScreen, 0, 0);
    EXPECT_EQ(calls[2].values[0], 487.0f);
}

TEST_F(GameScreen, ComputerTurnShowsInTheFrameItIsTakenIn)
{
    humans[0] = false;
    SetUp();
    for (int frameNumber = 2; frameNumber < 60; ++frameNumber)
        ASSERT_EQ(frame()[3].handle, GamePlay::ruritania) << frameNumber;
    EXPECT_EQ(frame()[3].handle, GamePlay::molotavia);
    EXPECT_NE(player(0).space, &space(0));
}

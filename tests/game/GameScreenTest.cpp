#include "GamePlay.h"
#include "Random.h"
#include "RecordingDrawer.h"

#include <gtest/gtest.h>

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

// Every game draw, with the pictures loaded by a first frame that the tests then forget.
class GameScreen : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void start()
    {
        Random::getGlobal()->setState(0);
        game.reset(new GamePlay(nullptr, humans));
        game->draw(&drawer);
    }
    std::vector<Call> frame()
    {
        drawer.clear();
        game->draw(&drawer);
        return drawer.callsOf("drawImage");
    }
    // The draws of one picture in a frame.
    static std::vector<Call> of(const std::vector<Call>& calls, unsigned int image)
    {
        std::vector<Call> found;
        for (const Call& call : calls) {
            if (call.handle == image)
                found.push_back(call);
        }
        return found;
    }
    void finish(int nation)
    {
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            game->getPlayer(nation).addExplored(index);
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    bool humans[4] = {true, true, true, true};
    RecordingDrawer drawer;
    std::unique_ptr<GamePlay> game;
};

} // namespace

TEST(GameScreenLoading, FirstFrameShowsTheBannerThenLoadsEverythingOnce)
{
    Random::getGlobal()->setState(0);
    const bool humans[4] = {true, true, true, true};
    RecordingDrawer drawer;
    {
        GamePlay game(nullptr, humans);
        EXPECT_EQ(game.getCursor(), 0u);
        game.draw(&drawer);
        EXPECT_EQ(game.getCursor(), GamePlay::mouse);
    }
    const std::vector<Call>& calls = drawer.calls;
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0].operation, "loadImage");
    EXPECT_EQ(calls[0].values, (std::vector<float>{1024, 768}));
    EXPECT_EQ(calls[1].operation, "loadImage");
    EXPECT_EQ(calls[1].values, (std::vector<float>{512, 128}));
    expectImage(calls[2], GamePlay::paper, 0, 0);
    expectImage(calls[3], calls[1].handle, 256, 192);
    EXPECT_EQ(calls[4].operation, "endDrawing");
    EXPECT_EQ(calls[5].operation, "beginDrawing");

    // The rest in a fixed order, each picture at its size.
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
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Call& call = calls[6 + i];
        EXPECT_EQ(call.operation, "loadImage") << i;
        EXPECT_EQ(call.handle, expected[i].first) << i;
        EXPECT_NE(call.handle, 0u) << i;
        EXPECT_EQ(call.values, expected[i].second) << i;
    }
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        const Call& call = calls[6 + expected.size() + index];
        EXPECT_EQ(call.handle, GamePlay::spacesImages[index]);
        EXPECT_EQ(call.values, (std::vector<float>{1024, 768}));
    }
    EXPECT_EQ(drawer.callsOf("loadImage").size(), 46u + 1u);  // and the piece, on its first draw
    EXPECT_EQ(drawer.callsOf("endDrawing").size(), 1u);

    // A second game in the same process loads nothing and shows no banner.
    drawer.clear();
    GamePlay second(nullptr, humans);
    EXPECT_EQ(second.getCursor(), GamePlay::mouse);
    second.draw(&drawer);
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
    EXPECT_TRUE(drawer.callsOf("endDrawing").empty());
    expectImage(drawer.calls.front(), GamePlay::paper, 0, 0);
}

TEST_F(GameScreen, BoardIsDrawnInItsFixedOrder)
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
        expectImage(calls[12 + i], GamePlay::counter, space(targets[i]).x, space(targets[i]).y, 1, 1, 0.8f, 0.0f,
                    0.0f, 1.0f);
    for (int nation = 0; nation < 4; ++nation)
        expectImage(calls[15 + nation], Player::image, player(nation).space->x, player(nation).space->y, 1, 1,
                    player(nation).red, player(nation).green, player(nation).blue, 1.0f);
    expectImage(calls[19], GamePlay::ship, 444, 10, -1.0f, 1.0f);
    expectImage(calls[20], GamePlay::ship, 452, 628);
    expectImage(calls[21], GamePlay::ship, 844, 354);
    expectImage(calls[22], GamePlay::ship, 56, 354, -1.0f, 1.0f);
    expectImage(calls[23], GamePlay::mouse, 512 - 25, 384 - 12);
    EXPECT_TRUE(drawer.callsOf("loadImage").empty());
}

TEST_F(GameScreen, FoodStoreFillsRowsOfFive)
{
    player(0).food = 12;
    const std::vector<Call> food = of(frame(), GamePlay::biscuits);
    ASSERT_EQ(food.size(), 12u);
    expectImage(food[5], GamePlay::biscuits, 38, 106, 0.75f, 0.75f);
    expectImage(food[10], GamePlay::biscuits, 38, 152, 0.75f, 0.75f);
    expectImage(food[11], GamePlay::biscuits, 78, 152, 0.75f, 0.75f);
}

TEST_F(GameScreen, FoodStoreStopsAtTheBottomOfTheScreen)
{
    player(0).food = 100000;
    const std::vector<Call> food = of(frame(), GamePlay::biscuits);
    ASSERT_EQ(food.size(), 80u);
    EXPECT_EQ(food.back().values[1], 750.0f);
}

TEST_F(GameScreen, NoFoodShowsNoBiscuitsNorTargets)
{
    player(0).food = 0;
    const std::vector<Call> calls = frame();
    EXPECT_TRUE(of(calls, GamePlay::biscuits).empty());
    EXPECT_TRUE(of(calls, GamePlay::counter).empty());
    EXPECT_EQ(of(calls, GamePlay::forageButton).size(), 1u);
    EXPECT_EQ(of(calls, GamePlay::garrisonButton).size(), 1u);
    EXPECT_EQ(of(calls, GamePlay::waitButton).size(), 1u);
}

TEST_F(GameScreen, TargetsSkipOccupiedAndGarrisonedNeighbours)
{
    player(1).setSpace(&space(1));
    space(12).setGarrison(true);
    space(11).foraged = true;
    const std::vector<Call> calls = frame();
    const std::vector<Call> targets = of(calls, GamePlay::counter);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].values[0], space(11).x);
    // The counter lies over the food on the space (4 with the deal from state 0).
    std::size_t foodAt = calls.size(), counterAt = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].handle == GamePlay::counter)
            counterAt = i;
        if (calls[i].handle == GamePlay::biscuits4)
            foodAt = i;
    }
    EXPECT_LT(foodAt, counterAt);
}

TEST_F(GameScreen, ForagedSpacesShowTheirFoodValue)
{
    // With the deal from state 0, space 3 holds 3 food and space 0 holds 5.
    space(3).foraged = true;
    space(0).foraged = true;
    const std::vector<Call> calls = frame();
    ASSERT_EQ(of(calls, GamePlay::biscuits3).size(), 1u);
    expectImage(of(calls, GamePlay::biscuits3)[0], GamePlay::biscuits3, space(3).x, space(3).y);
    ASSERT_EQ(of(calls, GamePlay::biscuits5).size(), 1u);
    expectImage(of(calls, GamePlay::biscuits5)[0], GamePlay::biscuits5, space(0).x, space(0).y);
    EXPECT_TRUE(of(calls, GamePlay::biscuits2).empty());
}

TEST_F(GameScreen, GarrisonsAreDrawnOverTargetsAndUnderPieces)
{
    game->mouseDown(1, 100, 650);  // nation 0 garrisons its home
    game->mouseDown(1, 100, 650);  // nation 1 too
    const std::vector<Call> calls = frame();
    const std::vector<Call> forts = of(calls, GamePlay::garrison);
    ASSERT_EQ(forts.size(), 2u);
    expectImage(forts[0], GamePlay::garrison, space(0).x, space(0).y);
    expectImage(forts[1], GamePlay::garrison, space(3).x, space(3).y);
    // Nation 2 on 6 sees counters at 7, 5 and 15, then the forts, then the pieces.
    std::size_t lastCounter = 0, firstFort = 0, firstPiece = 0;
    for (std::size_t i = calls.size(); i-- > 0;) {
        if (calls[i].handle == GamePlay::garrison)
            firstFort = i;
        if (calls[i].handle == Player::image)
            firstPiece = i;
    }
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].handle == GamePlay::counter)
            lastCounter = i;
    }
    EXPECT_LT(lastCounter, firstFort);
    EXPECT_LT(firstFort, firstPiece);
}

TEST_F(GameScreen, TintFollowsTheNationOnTurn)
{
    game->mouseDown(1, space(1).x + 5, space(1).y + 5);  // nation 0 to 1
    const std::vector<Call> calls = frame();
    expectImage(calls[1], GamePlay::spacesImages[3], 0, 0, 1, 1, 0.1f, 0.1f, 0.8f, 0.5f);
    expectImage(calls[2], GamePlay::map, 0, 0);
    expectImage(calls[3], GamePlay::molotavia, 20, 20);
    // Nation 1 on 3 may go to 4, 2 and 13, in that order.
    const std::vector<Call> targets = of(calls, GamePlay::counter);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0].values[0], space(4).x);
    EXPECT_EQ(targets[1].values[0], space(2).x);
    EXPECT_EQ(targets[2].values[0], space(13).x);
    EXPECT_EQ(targets[0].values[4], 0.1f);
}

TEST_F(GameScreen, VictoryShowsOnlyTheWinnersPage)
{
    finish(2);
    game->endOfTurns();
    game->mouseMove(300, 400);
    const std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 4u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::norlandWin, 0, 75);
    expectImage(calls[2], GamePlay::winScreen, 0, 220);
    expectImage(calls[3], GamePlay::hand, 275, 388);
}

TEST_F(GameScreen, DrawShowsOnlyTheDrawPage)
{
    finish(1);
    finish(3);
    game->endOfTurns();
    const std::vector<Call> calls = frame();
    ASSERT_EQ(calls.size(), 3u);
    expectImage(calls[0], GamePlay::paper, 0, 0);
    expectImage(calls[1], GamePlay::drawScreen, 0, 0);
    EXPECT_EQ(calls[2].values[0], 487.0f);
}

TEST_F(GameScreen, ComputerTurnShowsInTheFrameItIsTakenIn)
{
    humans[0] = false;
    start();  // nation 0's first frame has been drawn
    for (int frameNumber = 2; frameNumber < 60; ++frameNumber)
        ASSERT_EQ(frame()[3].handle, GamePlay::ruritania) << frameNumber;
    const std::vector<Call> calls = frame();
    EXPECT_EQ(calls[3].handle, GamePlay::molotavia);
    EXPECT_NE(player(0).space, &space(0));
}

#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

std::unique_ptr<GamePlay> newGame(std::int32_t seed)
{
    Random::getGlobal()->setState(seed);
    return std::make_unique<GamePlay>(nullptr, nullptr);
}

} // namespace

TEST(Board, FoodDealIsFixedByTheRandomState)
{
    std::unique_ptr<GamePlay> game = newGame(0);
    const int expected[GamePlay::NUM_SPACES] = {5, 2, 1, 3, 4, 3, 1, 1, 3, 2, 2, 4, 1, 1, 3, 1, 4, 5, 2};
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        EXPECT_EQ(game->getSpace(index).numFood, expected[index]) << "space " << index;
    EXPECT_EQ(Random::getGlobal()->getState(), 19);

    for (std::int32_t seed : {1, 1000, 1765000000, -42, 2147483640}) {
        game = newGame(seed);
        std::map<int, int> quantities;
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            ++quantities[game->getSpace(index).numFood];
        EXPECT_EQ(quantities, (std::map<int, int>{{1, 6}, {2, 4}, {3, 4}, {4, 3}, {5, 2}})) << "seed " << seed;
    }
}

TEST(Board, NeighboursAreMutualAndInTheirOrder)
{
    std::unique_ptr<GamePlay> game = newGame(0);
    auto neighbours = [&](int index) {
        std::vector<int> found;
        for (const Space* space : game->getSpace(index).adjacentSpaces)
            found.push_back(game->indexOf(space));
        return found;
    };
    EXPECT_EQ(neighbours(0), (std::vector<int>{1, 11, 12}));
    EXPECT_EQ(neighbours(6), (std::vector<int>{7, 5, 15}));
    EXPECT_EQ(neighbours(15), (std::vector<int>{6, 16, 18, 14}));
    EXPECT_EQ(neighbours(17), (std::vector<int>{9, 10, 11, 12, 18, 16}));
    EXPECT_EQ(neighbours(18), (std::vector<int>{12, 13, 14, 15, 16, 17}));
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        for (int other : neighbours(index)) {
            const std::vector<int> back = neighbours(other);
            EXPECT_EQ(std::count(back.begin(), back.end(), index), 1) << index << " and " << other;
        }
    }
}

TEST(Board, BoxesAreApartAndClearOfTheButtons)
{
    std::unique_ptr<GamePlay> game = newGame(0);
    EXPECT_EQ(game->getSpace(0).x, 476);
    EXPECT_EQ(game->getSpace(6).y, 566);
    for (int a = 0; a < GamePlay::NUM_SPACES; ++a) {
        const Space& first = game->getSpace(a);
        EXPECT_TRUE(first.x >= 232 && first.x + 64 <= 776 && first.y >= 172 && first.y + 64 <= 630) << a;
        for (int b = a + 1; b < GamePlay::NUM_SPACES; ++b) {
            const Space& second = game->getSpace(b);
            EXPECT_TRUE(first.x + 64 <= second.x || second.x + 64 <= first.x || first.y + 64 <= second.y ||
                        second.y + 64 <= first.y)
                << a << " overlaps " << b;
        }
    }
    const Space& space = game->getSpace(0);
    EXPECT_TRUE(space.contains(476, 172));
    EXPECT_TRUE(space.contains(539, 235));
    EXPECT_FALSE(space.contains(540, 200));
    EXPECT_FALSE(space.contains(500, 236));
}

TEST(IndexDraw, EndsAreHalfAsLikelyAsTheMiddle)
{
    // From state 0 the draw is 0.3868: over three entries 0.77 rounds up to 1, over two 0.39 down to 0.
    Random::getGlobal()->setState(0);
    EXPECT_EQ(GamePlay::drawIndex(3), 1);
    EXPECT_EQ(GamePlay::drawIndex(1), 0);
    Random::getGlobal()->setState(0);
    EXPECT_EQ(GamePlay::drawIndex(2), 0);

    const int draws = 40000;
    int overTwo[2] = {};
    int overThree[3] = {};
    for (int i = 0; i < draws; ++i) {
        ++overTwo[GamePlay::drawIndex(2)];
        ++overThree[GamePlay::drawIndex(3)];
        ASSERT_LT(GamePlay::drawIndex(5), 5);
    }
    EXPECT_NEAR(overTwo[0] / double(draws), 0.5, 0.02);
    EXPECT_NEAR(overThree[0] / double(draws), 0.25, 0.02);
    EXPECT_NEAR(overThree[1] / double(draws), 0.5, 0.02);
    EXPECT_NEAR(overThree[2] / double(draws), 0.25, 0.02);
}

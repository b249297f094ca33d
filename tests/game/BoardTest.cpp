#include "GamePlay.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

GamePlay* newGame(std::int32_t seed)
{
    Random::getGlobal()->setState(seed);
    return new GamePlay(nullptr, nullptr);
}

} // namespace

TEST(Board, FoodDealFromStateZeroIsFixed)
{
    std::unique_ptr<GamePlay> game(newGame(0));
    const int expected[GamePlay::NUM_SPACES] = {5, 2, 1, 3, 4, 3, 1, 1, 3, 2, 2, 4, 1, 1, 3, 1, 4, 5, 2};
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        EXPECT_EQ(game->getSpace(index).numFood, expected[index]) << "space " << index;
    EXPECT_EQ(Random::getGlobal()->getState(), 19);
}

TEST(Board, FoodDealAlwaysHoldsTheFixedQuantities)
{
    for (std::int32_t seed : {1, 7, 1000, 1765000000, -42, 2147483640}) {
        std::unique_ptr<GamePlay> game(newGame(seed));
        std::map<int, int> quantities;
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            ++quantities[game->getSpace(index).numFood];
        EXPECT_EQ(quantities, (std::map<int, int>{{1, 6}, {2, 4}, {3, 4}, {4, 3}, {5, 2}})) << "seed " << seed;
        EXPECT_EQ(Random::getGlobal()->getState(), static_cast<std::int32_t>(static_cast<std::uint32_t>(seed) + 19u));
    }
}

TEST(Board, PositionsAndNeighbourOrderMatchTheMap)
{
    std::unique_ptr<GamePlay> game(newGame(0));
    auto neighbours = [&](int index) {
        std::vector<int> found;
        for (const Space* space : game->getSpace(index).adjacentSpaces)
            found.push_back(game->indexOf(space));
        return found;
    };
    EXPECT_EQ(game->getSpace(0).x, 476);
    EXPECT_EQ(game->getSpace(0).y, 172);
    EXPECT_EQ(game->getSpace(9).x, 232);
    EXPECT_EQ(game->getSpace(6).y, 566);
    EXPECT_EQ(game->getSpace(18).x, 468);
    EXPECT_EQ(neighbours(0), (std::vector<int>{1, 11, 12}));
    EXPECT_EQ(neighbours(11), (std::vector<int>{0, 10, 17}));
    EXPECT_EQ(neighbours(15), (std::vector<int>{6, 16, 18, 14}));
    EXPECT_EQ(neighbours(17), (std::vector<int>{9, 10, 11, 12, 18, 16}));
    EXPECT_EQ(neighbours(18), (std::vector<int>{12, 13, 14, 15, 16, 17}));
}

TEST(Board, EveryNeighbourRelationIsMutualAndUnique)
{
    std::unique_ptr<GamePlay> game(newGame(0));
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index) {
        const Space& space = game->getSpace(index);
        for (const Space* neighbour : space.adjacentSpaces) {
            EXPECT_NE(neighbour, &space);
            EXPECT_EQ(std::count(space.adjacentSpaces.begin(), space.adjacentSpaces.end(), neighbour), 1);
            const auto& back = neighbour->adjacentSpaces;
            EXPECT_EQ(std::count(back.begin(), back.end(), &space), 1)
                << index << " and " << game->indexOf(neighbour);
        }
    }
    // The centre touches only the inner ring, and space 6 reaches it only through 15.
    for (const Space* neighbour : game->getSpace(18).adjacentSpaces)
        EXPECT_GE(game->indexOf(neighbour), 12);
    EXPECT_EQ(game->getSpace(6).adjacentSpaces.back(), &game->getSpace(15));
}

TEST(Board, BoxesNeitherOverlapNorReachTheButtons)
{
    std::unique_ptr<GamePlay> game(newGame(0));
    for (int a = 0; a < GamePlay::NUM_SPACES; ++a) {
        const Space& first = game->getSpace(a);
        EXPECT_GE(first.x, 232);
        EXPECT_LE(first.x + 64, 776);
        EXPECT_GE(first.y, 172);
        EXPECT_LE(first.y + 64, 630);
        for (int b = a + 1; b < GamePlay::NUM_SPACES; ++b) {
            const Space& second = game->getSpace(b);
            const bool apart = first.x + 64 <= second.x || second.x + 64 <= first.x || first.y + 64 <= second.y ||
                               second.y + 64 <= first.y;
            EXPECT_TRUE(apart) << a << " overlaps " << b;
        }
    }
}

TEST(Board, BoxIncludesLeftAndTopEdgesOnly)
{
    Space space;
    space.setPosition(100, 200);
    EXPECT_TRUE(space.contains(100, 200));
    EXPECT_TRUE(space.contains(163, 263));
    EXPECT_FALSE(space.contains(99, 200));
    EXPECT_FALSE(space.contains(100, 199));
    EXPECT_FALSE(space.contains(164, 200));
    EXPECT_FALSE(space.contains(100, 264));
}

TEST(IndexDraw, SingleEntryAlwaysYieldsIt)
{
    Random::getGlobal()->setState(0);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(GamePlay::drawIndex(1), 0);
    EXPECT_EQ(Random::getGlobal()->getState(), 1000);
}

TEST(IndexDraw, RoundsHalfDownAndNeverReachesTheCount)
{
    // A draw of exactly 1 gives the last index; the first draw from state 0 (0.3868...) times 2 is
    // 0.77, which rounds up to 1.
    Random::getGlobal()->setState(0);
    EXPECT_EQ(GamePlay::drawIndex(3), 1);
    Random::getGlobal()->setState(0);
    EXPECT_EQ(GamePlay::drawIndex(2), 0);
    Random::getGlobal()->setState(12345);
    for (int i = 0; i < 20000; ++i) {
        const int index = GamePlay::drawIndex(5);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 5);
    }
}

TEST(IndexDraw, EndsAreHalfAsLikelyAsTheMiddle)
{
    Random::getGlobal()->setState(777);
    const int draws = 40000;
    int overTwo[2] = {};
    int overThree[3] = {};
    for (int i = 0; i < draws; ++i) {
        ++overTwo[GamePlay::drawIndex(2)];
        ++overThree[GamePlay::drawIndex(3)];
    }
    EXPECT_NEAR(overTwo[0] / double(draws), 0.5, 0.02);
    EXPECT_NEAR(overThree[0] / double(draws), 0.25, 0.02);
    EXPECT_NEAR(overThree[1] / double(draws), 0.5, 0.02);
    EXPECT_NEAR(overThree[2] / double(draws), 0.25, 0.02);
}

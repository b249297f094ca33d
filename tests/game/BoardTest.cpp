// SPDX-License-Identifier: MIT
#include "GameFixture.h"

#include <algorithm>
#include <tuple>

using Board = GameFixture;

TEST_F(Board, FoodDealFromStateZeroMutualNeighboursAndBoxesApart)
{
    const int expected[GamePlay::NUM_SPACES] = {5, 2, 1, 3, 4, 3, 1, 1, 3, 2, 2, 4, 1, 1, 3, 1, 4, 5, 2};
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        EXPECT_EQ(space(index).numFood, expected[index]) << "space " << index;
    EXPECT_EQ(Random::getGlobal()->getState(), 19);
    // Other states deal the same quantities: see the all-computer games.

    for (int a = 0; a < GamePlay::NUM_SPACES; ++a) {
        for (const Space* other : space(a).adjacentSpaces) {
            const std::vector<Space*>& back = other->adjacentSpaces;
            EXPECT_EQ(std::count(back.begin(), back.end(), &space(a)), 1) << a << " and " << game->indexOf(other);
        }
        for (int b = a + 1; b < GamePlay::NUM_SPACES; ++b) {
            EXPECT_TRUE(space(a).x + 64 <= space(b).x || space(b).x + 64 <= space(a).x ||
                        space(a).y + 64 <= space(b).y || space(b).y + 64 <= space(a).y)
                << a << " overlaps " << b;
        }
    }
    EXPECT_EQ(space(0).adjacentSpaces, (std::vector<Space*>{&space(1), &space(11), &space(12)}));
}

TEST(CommandButtons, EdgesAreInclusive)
{
    using B = GamePlay::Button;
    const std::tuple<int, int, B> cases[] = {
        {34, 567, B::ForageButton}, {219, 618, B::ForageButton}, {33, 590, B::NoButton},     {220, 590, B::NoButton},
        {100, 566, B::NoButton},    {100, 619, B::NoButton},     {100, 626, B::NoButton},    {100, 627, B::GarrisonButton},
        {100, 686, B::NoButton},    {100, 687, B::WaitButton},   {100, 739, B::WaitButton},  {100, 740, B::NoButton}};
    for (const auto& [x, y, button] : cases)
        EXPECT_EQ(GamePlay::buttonAt(x, y), button) << x << "," << y;
}

TEST(IndexDraw, EndsAreHalfAsLikelyAsTheMiddle)
{
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
}

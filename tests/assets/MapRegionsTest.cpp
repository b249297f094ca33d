#include "BoardLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace BoardLayout;

namespace {

const DecodedPicture& map()
{
    return DecodedPicture::of(Images::map_png, Images::map_png_size);
}

// Pixel edges shared by two regions, counted over horizontal and vertical neighbour pairs.
std::vector<std::vector<int>> sharedEdges()
{
    std::vector<std::vector<int>> count(SPACES, std::vector<int>(SPACES, 0));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const int here = regionAt(x, y);
            for (int other : {regionAt(x + 1, y), regionAt(x, y + 1)})
                if (here != SEA && other != SEA && here != other) {
                    ++count[here][other];
                    ++count[other][here];
                }
        }
    return count;
}

TEST(MapRegions, OverlaysAreOpaqueWhiteOrFullyClearAndNeverOverlap)
{
    std::vector<int> covered(static_cast<std::size_t>(WIDTH) * HEIGHT, 0);
    for (int space = 0; space < SPACES; ++space) {
        const DecodedPicture& picture = overlay(space);
        int pixels = 0;
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const int a = picture.alpha(x, y);
                ASSERT_TRUE(a == 0 || a == 255) << "space " << space << " at " << x << "," << y;
                if (a == 0)
                    continue;
                ASSERT_EQ(picture.at(x, y, 0) + picture.at(x, y, 1) + picture.at(x, y, 2), 765);
                ++pixels;
                ASSERT_EQ(++covered[static_cast<std::size_t>(y) * WIDTH + x], 1)
                    << "space " << space << " overlaps another at " << x << "," << y;
            }
        EXPECT_GT(pixels, 8000) << "space " << space;
    }
}

TEST(MapRegions, EverySpaceBoxLiesWhollyInsideItsOwnRegion)
{
    for (int space = 0; space < SPACES; ++space)
        for (int y = Y[space] - 2; y < Y[space] + BOX + 2; ++y)
            for (int x = X[space] - 2; x < X[space] + BOX + 2; ++x)
                ASSERT_EQ(regionAt(x, y), space) << "box of space " << space << " at " << x << "," << y;
}

TEST(MapRegions, RegionsShareABorderExactlyWhenTheirSpacesAreNeighbours)
{
    const std::vector<std::vector<int>> edges = sharedEdges();
    for (int a = 0; a < SPACES; ++a)
        for (int b = a + 1; b < SPACES; ++b) {
            if (areNeighbours(a, b)) {
                EXPECT_GE(edges[a][b], 20) << a << " and " << b << " are neighbours";
            } else {
                EXPECT_EQ(edges[a][b], 0) << a << " and " << b << " are not neighbours";
            }
        }
}

TEST(MapRegions, FourRegionsMeetAtAPointWhereTheOuterRingChangesItsInnerNeighbour)
{
    const int corners[][4] = {{1, 2, 12, 13}, {3, 4, 13, 14}, {5, 6, 14, 15},
                              {6, 7, 15, 16}, {8, 9, 16, 17}, {11, 0, 17, 12}};
    for (const auto& corner : corners) {
        bool met = false;
        for (int y = 0; y + 3 <= HEIGHT && !met; ++y)
            for (int x = 0; x + 3 <= WIDTH && !met; ++x) {
                std::set<int> seen;
                for (int dy = 0; dy < 3; ++dy)
                    for (int dx = 0; dx < 3; ++dx)
                        seen.insert(regionAt(x + dx, y + dy));
                met = seen == std::set<int>(corner, corner + 4);
            }
        EXPECT_TRUE(met) << corner[0] << ", " << corner[1] << ", " << corner[2] << " and " << corner[3];
    }
}

TEST(MapRegions, OnlyTheOuterRingReachesTheSea)
{
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const int here = regionAt(x, y);
            if (here < 12)
                continue;
            for (int other : {regionAt(x + 1, y), regionAt(x - 1, y), regionAt(x, y + 1), regionAt(x, y - 1)})
                ASSERT_NE(other, SEA) << "space " << here << " at " << x << "," << y;
        }
}

TEST(MapRegions, TheMapInksEveryBorderOfTheOverlaysAndLeavesTheBoxesClear)
{
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            if (regionAt(x, y) != regionAt(x + 1, y)) {
                ASSERT_GE(std::max(map().alpha(x, y), map().alpha(x + 1, y)), 150) << "no ink at " << x << "," << y;
            }
            if (regionAt(x, y) != regionAt(x, y + 1)) {
                ASSERT_GE(std::max(map().alpha(x, y), map().alpha(x, y + 1)), 150) << "no ink at " << x << "," << y;
            }
        }
    for (int space = 0; space < SPACES; ++space)
        for (int y = Y[space]; y < Y[space] + BOX; ++y)
            for (int x = X[space]; x < X[space] + BOX; ++x)
                ASSERT_LT(map().alpha(x, y), 40) << "ink in the box of space " << space;
}

TEST(MapRegions, InkStaysWithinItsFrameAndOutOfTheBannerCorner)
{
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const bool inFrame = x >= 160 && x <= 959 && y >= 48 && y <= 684;
            const bool inCorner = x < 262 && y < 210;
            if (!inFrame || inCorner) {
                ASSERT_EQ(map().alpha(x, y), 0) << x << "," << y;
            }
            if (inCorner) {
                ASSERT_EQ(regionAt(x, y), SEA) << x << "," << y;
            }
        }
}

} // namespace

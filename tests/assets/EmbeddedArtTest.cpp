// SPDX-License-Identifier: MIT
#include "render/ImageLoader.h"

#include "assets/Fonts.h"
#include "assets/Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

// The game's art, decoded through the game's own loader and checked against the places the screens
// draw it at. It is read from the files that the build embeds byte for byte.
namespace {
const std::string ART = MARROWGATE_SOURCE_DIR "/assets/";

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A picture decoded once per test run, however many tests read it.
struct Picture {
    unsigned int width, height;
    // The RGBA bytes, row by row from the top.
    std::vector<unsigned char> rgba;
    // What the loader printed while decoding: it tells of anything but 32-bit pixels.
    std::string printed;

    // One channel (0 red ... 3 alpha) of a pixel; 0 outside the picture.
    int at(int x, int y, int channel) const
    {
        const bool inside = x >= 0 && y >= 0 && x < int(width) && y < int(height);
        return inside ? rgba[(std::size_t(y) * width + std::size_t(x)) * 4 + channel] : 0;
    }
    int alpha(int x, int y) const { return at(x, y, 3); }
};

// A picture under assets/ ("images/title.png").
const Picture& art(const std::string& file)
{
    static std::map<std::string, Picture> cache;
    auto found = cache.find(file);
    if (found == cache.end()) {
        const std::string bytes = readFile(ART + file);
        testing::internal::CaptureStdout();
        const LoadedImage image = ImageLoader().loadImage(bytes.data(), static_cast<unsigned int>(bytes.size()));
        const std::size_t size = std::size_t(image.width) * image.height * 4;
        found = cache.emplace(file, Picture{image.width, image.height, {image.pixels, image.pixels + size},
                                            testing::internal::GetCapturedStdout()}).first;
        delete[] image.pixels;
    }
    return found->second;
}

// The board as the game lays it out: the top-left corner of each space's 64x64 box, and its neighbours.
const int SPACES = 19, BOX = 64, WIDTH = 1024, HEIGHT = 768, SEA = -1;
const int X[SPACES] = {476, 608, 682, 712, 687, 598, 492, 357, 272, 232, 248, 337, 502, 592, 572, 484, 380, 370, 468};
const int Y[SPACES] = {172, 208, 290, 384, 490, 550, 566, 550, 475, 374, 270, 195, 270, 350, 438, 460, 430, 308, 364};
const std::vector<std::vector<int>> NEIGHBOURS = {
    {1, 11, 12}, {2, 0, 12}, {3, 1, 13}, {4, 2, 13}, {5, 3, 14}, {6, 4, 14}, {7, 5, 15},
    {8, 6, 16}, {9, 7, 16}, {10, 8, 17}, {11, 9, 17}, {0, 10, 17}, {0, 1, 13, 18, 17},
    {2, 3, 14, 18, 12}, {4, 5, 15, 18, 13}, {6, 16, 18, 14}, {7, 8, 17, 18, 15},
    {9, 10, 11, 12, 18, 16}, {12, 13, 14, 15, 16, 17}};
const Picture& overlay(int space)
{
    return art("images/space" + std::to_string(space) + ".png");
}

// Which overlay covers a screen pixel, SEA where none does.
int regionAt(int x, int y)
{
    static std::vector<int> regions;
    if (regions.empty()) {
        regions.assign(std::size_t(WIDTH) * HEIGHT, SEA);
        for (int space = 0; space < SPACES; ++space)
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x)
                    if (overlay(space).alpha(x, y) > 0)
                        regions[std::size_t(y) * WIDTH + x] = space;
    }
    return x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT ? SEA : regions[std::size_t(y) * WIDTH + x];
}

// Alphas from which a pixel counts as drawn, and below which it counts as empty.
const int INK = 160, CLEAR = 40;

// Edges included.
struct Box { int left, top, right, bottom; };

// The smallest box around the pixels inside a box whose alpha reaches the threshold.
Box inkExtent(const Picture& picture, const Box& within, int threshold)
{
    Box extent{within.right + 1, within.bottom + 1, within.left - 1, within.top - 1};
    for (int y = within.top; y <= within.bottom; ++y)
        for (int x = within.left; x <= within.right; ++x)
            if (picture.alpha(x, y) >= threshold)
                extent = {std::min(extent.left, x), std::min(extent.top, y),
                          std::max(extent.right, x), std::max(extent.bottom, y)};
    return extent;
}

}

TEST(EmbeddedArt, EveryPictureDecodesToItsSizeWithFourChannelsAndThePaperWithThree)
{
    // The first pattern that matches a file's name gives its size.
    const std::pair<const char*, const char*> sizes[] = {
        {"font.*|(tick|guy|mouse|hand|counter|garrison|biscuits[1-5]?)\\.png", "64x64"},
        {"paper2\\.jpg|(sponsor|title|map|drawscreen|space([0-9]|1[0-8]))\\.png", "1024x768"},
        {"winscreen\\.png", "1024x512"}, {"embarking\\.png", "512x128"}, {"ship\\.png", "128x128"},
        {"line\\.png", "8x8"}, {"(ruritania|molotavia|norland|stamark)win\\.png", "1024x128"},
        {"(ruritania|molotavia|norland|stamark)\\.png", "256x64"}, {"(forage|garrison|wait)button\\.png", "256x128"}};
    for (const std::string folder : {"images/", "fonts/"})
        for (const auto& file : std::filesystem::directory_iterator(ART + folder)) {
            const std::string name = file.path().filename().string();
            const auto size = std::find_if(std::begin(sizes), std::end(sizes),
                                           [&](const auto& s) { return std::regex_match(name, std::regex(s.first)); });
            const Picture& picture = art(folder + name);
            EXPECT_EQ(size == std::end(sizes) ? "unknown" : size->second,
                      std::to_string(picture.width) + "x" + std::to_string(picture.height)) << name;
            const char* notice = name == "paper2.jpg" ? "ImageLoader: Image 24bit.  Assuming 24bit RGB format.\n" : "";
            EXPECT_EQ(notice, picture.printed) << name;
        }
    // The build embeds the files unchanged.
    EXPECT_EQ(readFile(ART + "images/paper2.jpg"), std::string(Images::paper2_jpg, Images::paper2_jpg_size));
    EXPECT_EQ(readFile(ART + "fonts/fontz.png"), std::string(Fonts::fontz_png, Fonts::fontz_png_size));
}

TEST(EmbeddedArt, OverlaysAreOpaqueWhiteOrClearNeverOverlapAndHoldTheirWholeBox)
{
    std::vector<int> covered(std::size_t(WIDTH) * HEIGHT, 0);
    for (int space = 0; space < SPACES; ++space)
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const Picture& picture = overlay(space);
                if (picture.alpha(x, y) == 0)
                    continue;
                ASSERT_EQ(255 * 4, picture.at(x, y, 0) + picture.at(x, y, 1) + picture.at(x, y, 2) + picture.alpha(x, y));
                ASSERT_EQ(1, ++covered[std::size_t(y) * WIDTH + x]) << "space " << space << " overlaps at " << x << "," << y;
            }
    // The box and a 2-pixel margin, so a piece never straddles a border.
    for (int space = 0; space < SPACES; ++space)
        for (int y = Y[space] - 2; y < Y[space] + BOX + 2; ++y)
            for (int x = X[space] - 2; x < X[space] + BOX + 2; ++x)
                ASSERT_EQ(space, regionAt(x, y)) << "box of space " << space << " at " << x << "," << y;
}

TEST(EmbeddedArt, RegionsShareABorderExactlyWhenTheirSpacesAreNeighbours)
{
    // Pixel edges between two regions; four regions meeting at a point share none.
    std::vector<std::vector<int>> edges(SPACES, std::vector<int>(SPACES, 0));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            for (const int other : {regionAt(x + 1, y), regionAt(x, y + 1)})
                if (regionAt(x, y) != SEA && other != SEA && regionAt(x, y) != other)
                    ++edges[std::max(regionAt(x, y), other)][std::min(regionAt(x, y), other)];
    for (int a = 0; a < SPACES; ++a)
        for (int b = 0; b < a; ++b) {
            const bool neighbours = std::count(NEIGHBOURS[a].begin(), NEIGHBOURS[a].end(), b) > 0;
            EXPECT_TRUE(neighbours ? edges[a][b] >= 20 : edges[a][b] == 0) << a << " and " << b << ": " << edges[a][b];
        }
}

TEST(EmbeddedArt, EveryChoiceHotBoxIsTheEmptyInsideOfADrawnCheckBoxThatTheTickLandsIn)
{
    const Picture& title = art("images/title.png");
    const auto inked = [&title](const Box& strip) { return inkExtent(title, strip, INK).left <= strip.right; };
    const Box mark = inkExtent(art("images/tick.png"), {0, 0, 63, 63}, 1);
    const int boxLeft[4] = {84, 322, 565, 790}, tickX[4] = {74, 314, 559, 783};
    for (int i = 0; i < 4; ++i)
        for (const int top : {444, 474}) {
            const Box hot{boxLeft[i], top, boxLeft[i] + 31, top + 25};
            EXPECT_GT(inkExtent(title, hot, CLEAR).left, hot.right) << "ink inside the box at " << hot.left << "," << top;
            // A rule of ink closes every side within 4 pixels.
            for (int y = hot.top; y <= hot.bottom; ++y)
                EXPECT_TRUE(inked({hot.left - 4, y, hot.left - 1, y}) && inked({hot.right + 1, y, hot.right + 4, y}))
                    << "box at " << hot.left << "," << top << " open at row " << y;
            for (int x = hot.left; x <= hot.right; ++x)
                EXPECT_TRUE(inked({x, hot.top - 4, x, hot.top - 1}) && inked({x, hot.bottom + 1, x, hot.bottom + 4}))
                    << "box at " << hot.left << "," << top << " open at column " << x;
            const int tickY = top == 444 ? 415 : 449;
            EXPECT_TRUE(tickX[i] + mark.left >= hot.left && tickX[i] + mark.right <= hot.right &&
                        tickY + mark.top >= hot.top && tickY + mark.bottom <= hot.bottom)
                << "tick outside the box at " << hot.left << "," << top;
        }
}

TEST(EmbeddedArt, StartGameHotBoxLiesOnItsLabel)
{
    const Box hot{356, 618, 663, 657};
    const Box label = inkExtent(art("images/title.png"), {hot.left - 14, hot.top - 14, hot.right + 14, hot.bottom + 14}, INK);
    EXPECT_TRUE(label.left < hot.left && label.right > hot.right && label.top < hot.top && label.bottom > hot.bottom)
        << "the label's frame encloses the hot box";
}

TEST(EmbeddedArt, ButtonFacesCoverTheirClickableRowsWithoutReachingTheNextButton)
{
    // Buttons are drawn 60 rows apart from y 530 and clicked over x 34-219 and rows 37-89 of the picture.
    for (const Picture* button : {&art("images/foragebutton.png"), &art("images/garrisonbutton.png"), &art("images/waitbutton.png")}) {
        for (int y = 37; y <= 89; ++y)
            for (int x = 34; x <= 219; ++x)
                ASSERT_EQ(255, button->alpha(x, y)) << x << "," << y;
        const Box face = inkExtent(*button, {0, 0, 255, 127}, 1);
        EXPECT_TRUE(face.left >= 26 && face.right <= 229 && face.top >= 34 && face.bottom <= 92);
    }
}

TEST(EmbeddedArt, ArrowTipAndFingertipAreTheTopmostPointsAtTheHotSpot)
{
    for (const Picture* pointer : {&art("images/mouse.png"), &art("images/hand.png")}) {
        EXPECT_EQ(12, inkExtent(*pointer, {0, 0, 63, 63}, 128).top);
        EXPECT_GE(pointer->alpha(25, 12), 128);
    }
    EXPECT_EQ(25, inkExtent(art("images/mouse.png"), {0, 0, 63, 63}, 128).left) << "the arrow has nothing left of its tip";
    const Box fingertip = inkExtent(art("images/hand.png"), {0, 12, 63, 12}, 128);
    EXPECT_TRUE(fingertip.left >= 23 && fingertip.right <= 27);
}

// SPDX-License-Identifier: MIT
#include "render/ImageLoader.h"

#include "assets/EmbeddedPicture.h"
#include "assets/Fonts.h"
#include "assets/Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

// The game's art as the build embeds it, decoded through the game's own loader and checked against
// the places the screens draw it at.
namespace {
const std::string ART = MARROWGATE_SOURCE_DIR "/assets/";

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

// The embedded picture of a file under assets/ ("images/title.png"), or null.
const EmbeddedPicture* embedded(const std::string& path)
{
    const std::string file = path.substr(path.find('/') + 1);
    return path[0] == 'f' ? findPicture(Fonts::pictures, file) : findPicture(Images::pictures, file);
}

// An embedded picture, decoded (the first test checks that each is there).
const Picture& art(const std::string& path)
{
    static std::map<std::string, Picture> cache;
    auto found = cache.find(path);
    if (found == cache.end()) {
        const EmbeddedPicture* embedded = ::embedded(path);
        testing::internal::CaptureStdout();
        const LoadedImage image = ImageLoader().loadImage(embedded->data(), embedded->size);
        const std::size_t size = std::size_t(image.width) * image.height * 4;
        found = cache.emplace(path, Picture{image.width, image.height, {image.pixels, image.pixels + size},
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

TEST(EmbeddedArt, EveryPictureIsEmbeddedUnchangedAndDecodesToItsSizeWithFourChannelsAndThePaperWithThree)
{
    // The first pattern that matches a file's name gives its size.
    const std::pair<const char*, const char*> sizes[] = {
        {"font.*|(tick|guy|mouse|hand|counter|garrison|biscuits[1-5]?)\\.png", "64x64"},
        {"paper2\\.jpg|(sponsor|title|map|drawscreen|space([0-9]|1[0-8]))\\.png", "1024x768"},
        {"winscreen\\.png", "1024x512"}, {"embarking\\.png", "512x128"}, {"ship\\.png", "128x128"},
        {"line\\.png", "8x8"}, {"(ruritania|molotavia|norland|stamark)win\\.png", "1024x128"},
        {"(ruritania|molotavia|norland|stamark)\\.png", "256x64"}, {"(forage|garrison|wait)button\\.png", "256x128"}};
    for (const std::string folder : {"images/", "fonts/"})
        for (const auto& entry : std::filesystem::directory_iterator(ART + folder)) {
            const std::string name = entry.path().filename().string();
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            const EmbeddedPicture* picture = embedded(folder + name);
            ASSERT_NE(picture, nullptr) << name;
            EXPECT_EQ(bytes, std::string(picture->data(), picture->size)) << name;
            const auto size = std::find_if(std::begin(sizes), std::end(sizes),
                                           [&](const auto& s) { return std::regex_match(name, std::regex(s.first)); });
            const Picture& decoded = art(folder + name);
            EXPECT_EQ(size == std::end(sizes) ? "unknown" : size->second,
                      std::to_string(decoded.width) + "x" + std::to_string(decoded.height)) << name;
            const char* notice = name == "paper2.jpg" ? "ImageLoader: Image 24bit.  Assuming 24bit RGB format.\n" : "";
            EXPECT_EQ(notice, decoded.printed) << name;
        }
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

TEST(EmbeddedArt, NeighboursShareALongBorderAndOtherRegionsKeepWellApart)
{
    // Where regions meet: the pixel edges between them (doubled coordinates) and, within the reach
    // that matters, how near each region comes to every other.
    const int REACH = 16;
    std::map<std::pair<int, int>, std::vector<std::pair<int, int>>> border;
    std::vector<std::vector<double>> gap(SPACES, std::vector<double>(SPACES, REACH));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const int here = regionAt(x, y);
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}})
                if (const int other = regionAt(x + dx, y + dy); here != SEA && other != SEA && other != here)
                    border[std::minmax(here, other)].push_back({2 * x + dx, 2 * y + dy});
            const bool inside = regionAt(x + 1, y) == here && regionAt(x, y + 1) == here && regionAt(x - 1, y) == here && regionAt(x, y - 1) == here;
            for (int v = -REACH; here != SEA && !inside && v <= REACH; ++v)
                for (int u = -REACH; u <= REACH; ++u)
                    if (const int other = regionAt(x + u, y + v); other != SEA && other != here)
                        gap[here][other] = std::min(gap[here][other], std::hypot(u, v));
        }
    for (int a = 0; a < SPACES; ++a)
        for (int b = a + 1; b < SPACES; ++b) {
            // A border is at least as long as the distance between its farthest points.
            double length = 0;
            for (const auto& [x0, y0] : border[{a, b}])
                for (const auto& [x1, y1] : border[{a, b}])
                    length = std::max(length, std::hypot(x1 - x0, y1 - y0) / 2);
            if (std::count(NEIGHBOURS[a].begin(), NEIGHBOURS[a].end(), b) > 0)
                EXPECT_GE(length, 40) << a << " and " << b << " are neighbours";
            else
                EXPECT_GE(gap[a][b], REACH) << a << " and " << b << " are not neighbours";
        }
}

namespace {
using Colour = std::array<double, 3>;

// CIELAB of an sRGB colour with channels from 0 to 1 (D65 white).
Colour lab(const Colour& rgb)
{
    Colour linear{}, f{};
    for (int c = 0; c < 3; ++c)
        linear[c] = rgb[c] <= 0.04045 ? rgb[c] / 12.92 : std::pow((rgb[c] + 0.055) / 1.055, 2.4);
    const Colour xyz = {(0.4124 * linear[0] + 0.3576 * linear[1] + 0.1805 * linear[2]) / 0.95047,
                        0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2],
                        (0.0193 * linear[0] + 0.1192 * linear[1] + 0.9505 * linear[2]) / 1.08883};
    for (int c = 0; c < 3; ++c)
        f[c] = xyz[c] > 216.0 / 24389 ? std::cbrt(xyz[c]) : xyz[c] * 24389 / 3132 + 4.0 / 29;
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

// A picture's pixel drawn over a colour, tinted and faded as the drawer does.
Colour over(const Colour& below, const Picture& picture, int x, int y, const Colour& tint = {1, 1, 1}, double fade = 1)
{
    const double alpha = picture.alpha(x, y) / 255.0 * fade;
    return {picture.at(x, y, 0) / 255.0 * tint[0] * alpha + below[0] * (1 - alpha),
            picture.at(x, y, 1) / 255.0 * tint[1] * alpha + below[1] * (1 - alpha),
            picture.at(x, y, 2) / 255.0 * tint[2] * alpha + below[2] * (1 - alpha)};
}
}

TEST(EmbeddedArt, EveryNationsExploredSpacesStandOutFromTheUnexploredInEveryRegion)
{
    const Colour nations[] = {{0.8, 0, 0}, {0.1, 0.1, 0.8}, {1, 1, 1}, {1, 1, 0.2}};
    for (int nation = 0; nation < 4; ++nation)
        for (int space = 0; space < SPACES; ++space) {
            std::vector<double> differences;
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x)
                    if (regionAt(x, y) == space) {
                        const Colour paper = over({0, 0, 0}, art("images/paper2.jpg"), x, y);
                        const Colour plain = lab(over(paper, art("images/map.png"), x, y));
                        const Colour tinted = lab(over(over(paper, overlay(space), x, y, nations[nation], 0.5), art("images/map.png"), x, y));
                        differences.push_back(std::hypot(tinted[0] - plain[0], tinted[1] - plain[1], tinted[2] - plain[2]));
                    }
            std::nth_element(differences.begin(), differences.begin() + differences.size() / 2, differences.end());
            EXPECT_GE(differences[differences.size() / 2], 20) << "nation " << nation << " in region " << space;
        }
}

TEST(EmbeddedArt, InEveryStackOnASpaceEachPictureKeepsMostOfItsInkAndTheFoodNumberAllOfIt)
{
    // What the board can stack at a space's corner, from the bottom up: food lies under a move
    // target, or under a garrison and the piece that raised it, and another piece may stand on it.
    for (const std::string food : {"biscuits1", "biscuits2", "biscuits3", "biscuits4", "biscuits5"})
        for (const std::vector<std::string>& stack : std::vector<std::vector<std::string>>{
                 {food, "counter"}, {food, "garrison"}, {food, "guy"}, {food, "garrison", "guy"}, {"garrison", "guy"}})
            for (std::size_t i = 0; i < stack.size(); ++i) {
                // Ink, and the ink of the food number (where another food mark differs), drawn and seen.
                double ink[2] = {0, 0}, shown[2] = {0, 0};
                for (int y = 0; y < BOX; ++y)
                    for (int x = 0; x < BOX; ++x) {
                        const double drawn = art("images/" + stack[i] + ".png").alpha(x, y);
                        double seen = drawn;
                        for (std::size_t j = i + 1; j < stack.size(); ++j)
                            seen *= 1 - art("images/" + stack[j] + ".png").alpha(x, y) / 255.0;
                        const std::string other = food == "biscuits1" ? "biscuits2" : "biscuits1";
                        const bool number = i == 0 && stack[0] == food && drawn != art("images/" + other + ".png").alpha(x, y);
                        ink[number] += drawn;
                        shown[number] += seen;
                    }
                EXPECT_GE(shown[0] + shown[1], 0.7 * (ink[0] + ink[1])) << stack[i] << " under " << stack.back();
                EXPECT_GE(shown[1], 0.99 * ink[1]) << "the number of " << food << " under " << stack.back();
            }
}

TEST(EmbeddedArt, EveryPageIsFramedAlike)
{
    // A double rule runs all round, 22 to 30 pixels in from the page's edges.
    for (const std::string page : {"title", "sponsor", "drawscreen", "winscreen"}) {
        const Picture& picture = art("images/" + page + ".png");
        const int w = int(picture.width), h = int(picture.height);
        const auto ruled = [&picture](const Box& band) { return inkExtent(picture, band, INK).left <= band.right; };
        for (int x = 40; x < w - 40; ++x)
            ASSERT_TRUE(ruled({x, 20, x, 32}) && ruled({x, h - 33, x, h - 21})) << page << " open at column " << x;
        for (int y = 40; y < h - 40; ++y)
            ASSERT_TRUE(ruled({20, y, 32, y}) && ruled({w - 33, y, w - 21, y})) << page << " open at row " << y;
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

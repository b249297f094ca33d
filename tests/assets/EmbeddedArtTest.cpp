// SPDX-License-Identifier: MIT
#include "ImageLoader.h"

#include "Fonts.h"
#include "Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// The embedded art, decoded through the game's own loader and checked against the places the screens
// draw it at.
namespace {
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

const Picture& decoded(const char* data, unsigned int size)
{
    static std::map<const char*, Picture> cache;
    if (cache.count(data) == 0) {
        testing::internal::CaptureStdout();
        const LoadedImage image = ImageLoader().loadImage(data, size);
        const std::size_t bytes = std::size_t(image.width) * image.height * 4;
        cache[data] = {image.width, image.height, {image.pixels, image.pixels + bytes}, testing::internal::GetCapturedStdout()};
        delete[] image.pixels;
    }
    return cache[data];
}
#define PICTURE(name) decoded(Images::name, Images::name##_size)

struct Entry { const char* name; const Picture& picture; unsigned int width, height; };
#define IMAGE(name, w, h) Entry{#name, PICTURE(name), w, h}
#define GLYPH(name) Entry{#name, decoded(Fonts::name, Fonts::name##_size), 64, 64}

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
    static const Picture* const overlays[SPACES] = {
        &PICTURE(space0_png), &PICTURE(space1_png), &PICTURE(space2_png), &PICTURE(space3_png), &PICTURE(space4_png),
        &PICTURE(space5_png), &PICTURE(space6_png), &PICTURE(space7_png), &PICTURE(space8_png), &PICTURE(space9_png),
        &PICTURE(space10_png), &PICTURE(space11_png), &PICTURE(space12_png), &PICTURE(space13_png),
        &PICTURE(space14_png), &PICTURE(space15_png), &PICTURE(space16_png), &PICTURE(space17_png),
        &PICTURE(space18_png)};
    return *overlays[space];
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
    const Entry catalogue[] = {
        IMAGE(paper2_jpg, 1024, 768), IMAGE(sponsor_png, 1024, 768), IMAGE(title_png, 1024, 768),
        IMAGE(map_png, 1024, 768), IMAGE(drawscreen_png, 1024, 768), IMAGE(winscreen_png, 1024, 512),
        IMAGE(embarking_png, 512, 128), IMAGE(ruritaniawin_png, 1024, 128), IMAGE(molotaviawin_png, 1024, 128),
        IMAGE(norlandwin_png, 1024, 128), IMAGE(stamarkwin_png, 1024, 128), IMAGE(ruritania_png, 256, 64),
        IMAGE(molotavia_png, 256, 64), IMAGE(norland_png, 256, 64), IMAGE(stamark_png, 256, 64),
        IMAGE(foragebutton_png, 256, 128), IMAGE(garrisonbutton_png, 256, 128), IMAGE(waitbutton_png, 256, 128),
        IMAGE(ship_png, 128, 128), IMAGE(tick_png, 64, 64), IMAGE(guy_png, 64, 64), IMAGE(mouse_png, 64, 64),
        IMAGE(hand_png, 64, 64), IMAGE(counter_png, 64, 64), IMAGE(garrison_png, 64, 64),
        IMAGE(biscuits_png, 64, 64), IMAGE(biscuits1_png, 64, 64), IMAGE(biscuits2_png, 64, 64),
        IMAGE(biscuits3_png, 64, 64), IMAGE(biscuits4_png, 64, 64), IMAGE(biscuits5_png, 64, 64),
        IMAGE(line_png, 8, 8),
        GLYPH(fonta_png), GLYPH(fontb_png), GLYPH(fontc_png), GLYPH(fontd_png), GLYPH(fonte_png), GLYPH(fontf_png),
        GLYPH(fontg_png), GLYPH(fonth_png), GLYPH(fonti_png), GLYPH(fontj_png), GLYPH(fontk_png), GLYPH(fontl_png),
        GLYPH(fontm_png), GLYPH(fontn_png), GLYPH(fonto_png), GLYPH(fontp_png), GLYPH(fontq_png), GLYPH(fontr_png),
        GLYPH(fonts_png), GLYPH(fontt_png), GLYPH(fontu_png), GLYPH(fontv_png), GLYPH(fontw_png), GLYPH(fontx_png),
        GLYPH(fonty_png), GLYPH(fontz_png), GLYPH(font0_png), GLYPH(font1_png), GLYPH(font2_png), GLYPH(font3_png),
        GLYPH(font4_png), GLYPH(font5_png), GLYPH(font6_png), GLYPH(font7_png), GLYPH(font8_png), GLYPH(font9_png),
        GLYPH(fontperiod_png), GLYPH(fontcomma_png), GLYPH(fontplus_png), GLYPH(fontminus_png),
        GLYPH(fontexclaim_png), GLYPH(fontquestion_png)};
    std::vector<Entry> pictures(std::begin(catalogue), std::end(catalogue));
    for (int space = 0; space < SPACES; ++space)
        pictures.push_back({"a space overlay", overlay(space), 1024, 768});
    for (const Entry& entry : pictures) {
        EXPECT_EQ(std::make_pair(entry.width, entry.height), std::make_pair(entry.picture.width, entry.picture.height))
            << entry.name;
        const bool paper = &entry.picture == &PICTURE(paper2_jpg);
        EXPECT_EQ(paper ? "ImageLoader: Image 24bit.  Assuming 24bit RGB format.\n" : "", entry.picture.printed) << entry.name;
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
    const Picture& title = PICTURE(title_png);
    const auto inked = [&title](const Box& strip) { return inkExtent(title, strip, INK).left <= strip.right; };
    const Box mark = inkExtent(PICTURE(tick_png), {0, 0, 63, 63}, 1);
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
    const Box label = inkExtent(PICTURE(title_png), {hot.left - 14, hot.top - 14, hot.right + 14, hot.bottom + 14}, INK);
    EXPECT_TRUE(label.left < hot.left && label.right > hot.right && label.top < hot.top && label.bottom > hot.bottom)
        << "the label's frame encloses the hot box";
}

TEST(EmbeddedArt, ButtonFacesCoverTheirClickableRowsWithoutReachingTheNextButton)
{
    // Buttons are drawn 60 rows apart from y 530 and clicked over x 34-219 and rows 37-89 of the picture.
    for (const Picture* button : {&PICTURE(foragebutton_png), &PICTURE(garrisonbutton_png), &PICTURE(waitbutton_png)}) {
        for (int y = 37; y <= 89; ++y)
            for (int x = 34; x <= 219; ++x)
                ASSERT_EQ(255, button->alpha(x, y)) << x << "," << y;
        const Box face = inkExtent(*button, {0, 0, 255, 127}, 1);
        EXPECT_TRUE(face.left >= 26 && face.right <= 229 && face.top >= 34 && face.bottom <= 92);
    }
}

TEST(EmbeddedArt, ArrowTipAndFingertipAreTheTopmostPointsAtTheHotSpot)
{
    for (const Picture* pointer : {&PICTURE(mouse_png), &PICTURE(hand_png)}) {
        EXPECT_EQ(12, inkExtent(*pointer, {0, 0, 63, 63}, 128).top);
        EXPECT_GE(pointer->alpha(25, 12), 128);
    }
    EXPECT_EQ(25, inkExtent(PICTURE(mouse_png), {0, 0, 63, 63}, 128).left) << "the arrow has nothing left of its tip";
    const Box fingertip = inkExtent(PICTURE(hand_png), {0, 12, 63, 12}, 128);
    EXPECT_TRUE(fingertip.left >= 23 && fingertip.right <= 27);
}

#include "BoardLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace BoardLayout;

namespace {

const int INK = 160;    // alpha from which a pixel counts as drawn
const int CLEAR = 40;   // alpha below which it counts as empty

struct Box {
    int left, top, right, bottom; // inclusive
};

const DecodedPicture& title()
{
    return DecodedPicture::of(Images::title_png, Images::title_png_size);
}

bool inkedNear(const DecodedPicture& picture, int x, int y, int dx, int dy, int reach)
{
    for (int step = 1; step <= reach; ++step)
        if (picture.alpha(x + dx * step, y + dy * step) >= INK)
            return true;
    return false;
}

// Every pixel inside is empty and a rule of ink closes every side within a few pixels.
void expectDrawnBoxAround(const DecodedPicture& picture, const Box& box, int reach)
{
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x)
            ASSERT_LT(picture.alpha(x, y), CLEAR) << "ink inside the box at " << x << "," << y;
    for (int y = box.top; y <= box.bottom; ++y) {
        EXPECT_TRUE(inkedNear(picture, box.left, y, -1, 0, reach)) << "open left at row " << y;
        EXPECT_TRUE(inkedNear(picture, box.right, y, 1, 0, reach)) << "open right at row " << y;
    }
    for (int x = box.left; x <= box.right; ++x) {
        EXPECT_TRUE(inkedNear(picture, x, box.top, 0, -1, reach)) << "open top at column " << x;
        EXPECT_TRUE(inkedNear(picture, x, box.bottom, 0, 1, reach)) << "open bottom at column " << x;
    }
}

Box inkExtent(const DecodedPicture& picture, const Box& within, int threshold)
{
    Box extent{within.right + 1, within.bottom + 1, within.left - 1, within.top - 1};
    for (int y = within.top; y <= within.bottom; ++y)
        for (int x = within.left; x <= within.right; ++x)
            if (picture.alpha(x, y) >= threshold) {
                extent.left = std::min(extent.left, x);
                extent.top = std::min(extent.top, y);
                extent.right = std::max(extent.right, x);
                extent.bottom = std::max(extent.bottom, y);
            }
    return extent;
}

TEST(TitleLayout, EveryChoiceHotBoxIsTheInsideOfADrawnCheckBox)
{
    const int lefts[4] = {84, 322, 565, 790};
    for (int left : lefts) {
        expectDrawnBoxAround(title(), {left, 444, left + 31, 469}, 4);
        expectDrawnBoxAround(title(), {left, 474, left + 31, 499}, 4);
        for (int x = left; x <= left + 31; ++x)
            for (int y = 470; y <= 473; ++y)
                ASSERT_GE(title().alpha(x, y), INK) << "the rows between the boxes belong to neither";
    }
}

TEST(TitleLayout, StartGameLetteringFillsTheStartHotBox)
{
    const Box hot{356, 618, 663, 657};
    const Box letters = inkExtent(title(), hot, INK);
    EXPECT_LE(letters.left, hot.left + 16);
    EXPECT_GE(letters.right, hot.right - 16);
    EXPECT_LE(letters.top, hot.top + 10);
    EXPECT_GE(letters.bottom, hot.bottom - 10);
    const Box around{hot.left - 14, hot.top - 14, hot.right + 14, hot.bottom + 14};
    const Box label = inkExtent(title(), around, INK);
    EXPECT_LT(label.left, hot.left) << "the label's frame encloses the hot box";
    EXPECT_GT(label.right, hot.right);
    EXPECT_LT(label.top, hot.top);
    EXPECT_GT(label.bottom, hot.bottom);
}

TEST(TitleLayout, TheTickLandsInsideEveryCheckBox)
{
    const DecodedPicture& tick = DecodedPicture::of(Images::tick_png, Images::tick_png_size);
    const Box mark = inkExtent(tick, {0, 0, 63, 63}, 1);
    EXPECT_GE(mark.left, 10);
    EXPECT_LE(mark.right, 37);
    EXPECT_GE(mark.top, 29);
    EXPECT_LE(mark.bottom, 50);
    EXPECT_GE(mark.right - mark.left, 18) << "a mark, not a speck";
    const int tickX[4] = {74, 314, 559, 783};
    const int boxLeft[4] = {84, 322, 565, 790};
    for (int i = 0; i < 4; ++i)
        for (int tickY : {415, 449}) {
            const int boxTop = tickY == 415 ? 444 : 474;
            EXPECT_GE(tickX[i] + mark.left, boxLeft[i]);
            EXPECT_LE(tickX[i] + mark.right, boxLeft[i] + 31);
            EXPECT_GE(tickY + mark.top, boxTop);
            EXPECT_LE(tickY + mark.bottom, boxTop + 25);
        }
}

TEST(TitleLayout, SoldiersStandOnClearPaperUnderTheirNames)
{
    const int soldierX[4] = {114, 364, 610, 828};
    for (int x : soldierX) {
        const Box area{x, 350, x + 63, 413};
        EXPECT_GT(inkExtent(title(), area, CLEAR).left, area.right) << "something drawn under the soldier at " << x;
        const Box name = inkExtent(title(), {x - 70, 290, x + 133, 349}, INK);
        EXPECT_LE(name.left, x + 8) << "no name over the soldier at " << x;
        EXPECT_GE(name.right, x + 56);
    }
}

void expectButtonFace(const char* data, unsigned int size, const char* name)
{
    const DecodedPicture& button = DecodedPicture::of(data, size);
    // The clickable column 34-219 and rows 37-89 of the picture (screen rows 567-618, 627-679,
    // 687-739 for buttons drawn 60 apart from y 530).
    for (int y = 37; y <= 89; ++y)
        for (int x = 34; x <= 219; ++x)
            ASSERT_EQ(button.alpha(x, y), 255) << name << " at " << x << "," << y;
    const Box face = inkExtent(button, {0, 0, 255, 127}, 1);
    EXPECT_GE(face.left, 26) << name;
    EXPECT_LE(face.right, 229) << name;
    EXPECT_GE(face.top, 34) << name;
    EXPECT_LE(face.bottom, 92) << name << " would reach into the next button, 60 rows down";
}

TEST(ButtonLayout, FacesCoverTheirClickableRowsWithoutReachingTheNextButton)
{
    expectButtonFace(Images::foragebutton_png, Images::foragebutton_png_size, "forage");
    expectButtonFace(Images::garrisonbutton_png, Images::garrisonbutton_png_size, "garrison");
    expectButtonFace(Images::waitbutton_png, Images::waitbutton_png_size, "wait");
}

// The topmost drawn row starts at the hot spot; the arrow has nothing left of it either.
TEST(PointerLayout, ArrowTipAndFingertipAreAtTheHotSpot)
{
    const DecodedPicture& arrow = DecodedPicture::of(Images::mouse_png, Images::mouse_png_size);
    const DecodedPicture& hand = DecodedPicture::of(Images::hand_png, Images::hand_png_size);
    for (const DecodedPicture* pointer : {&arrow, &hand}) {
        const Box extent = inkExtent(*pointer, {0, 0, 63, 63}, 128);
        EXPECT_EQ(extent.top, 12);
        EXPECT_GE(pointer->alpha(25, 12), 128);
        const Box above = inkExtent(*pointer, {0, 0, 63, 10}, 1);
        EXPECT_GT(above.left, above.right) << "nothing above the tip";
    }
    EXPECT_EQ(inkExtent(arrow, {0, 0, 63, 63}, 128).left, 25);
    const Box fingertip = inkExtent(hand, {0, 12, 63, 12}, 128);
    EXPECT_GE(fingertip.left, 23);
    EXPECT_LE(fingertip.right, 27);
}

TEST(ShipLayout, ShipsSailClearOfTheIslandAtAllFourPlaces)
{
    const DecodedPicture& ship = DecodedPicture::of(Images::ship_png, Images::ship_png_size);
    struct Place {
        int x, y;
        bool mirrored;
    };
    const Place places[4] = {{444, 10, true}, {452, 628, false}, {844, 354, false}, {56, 354, true}};
    const int margin = 4;
    for (const Place& place : places) {
        int drawn = 0;
        for (int py = 0; py < 128; ++py)
            for (int px = 0; px < 128; ++px) {
                if (ship.alpha(place.mirrored ? 127 - px : px, py) < 8)
                    continue;
                ++drawn;
                const int x = place.x + px;
                const int y = place.y + py;
                ASSERT_TRUE(x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT) << "off the screen";
                for (int dy = -margin; dy <= margin; ++dy)
                    for (int dx = -margin; dx <= margin; ++dx)
                        ASSERT_EQ(regionAt(x + dx, y + dy), SEA)
                            << "ship at " << place.x << "," << place.y << " touches land at " << x << "," << y;
                for (int space = 0; space < SPACES; ++space)
                    ASSERT_FALSE(x >= X[space] && x < X[space] + BOX && y >= Y[space] && y < Y[space] + BOX);
            }
        EXPECT_GT(drawn, 2000) << "a ship, not a speck";
    }
}

TEST(BannerLayout, NationNamesEndAboveTheFirstRowOfFood)
{
    // Banners are drawn at (20, 20); the food store's first row, at scale 0.75 from y 60, starts
    // showing at y 68.
    const char* const banners[4] = {Images::ruritania_png, Images::molotavia_png, Images::norland_png,
                                    Images::stamark_png};
    const unsigned int sizes[4] = {Images::ruritania_png_size, Images::molotavia_png_size,
                                   Images::norland_png_size, Images::stamark_png_size};
    for (int i = 0; i < 4; ++i) {
        const DecodedPicture& banner = DecodedPicture::of(banners[i], sizes[i]);
        const Box name = inkExtent(banner, {0, 0, 255, 63}, 1);
        EXPECT_LT(name.bottom + 20, 68) << "banner " << i;
        EXPECT_GT(name.right - name.left, 120) << "banner " << i;
    }
}

TEST(PieceLayout, FoodMarksStayInTheCornerThatTheCounterLeavesFree)
{
    const DecodedPicture& counter = DecodedPicture::of(Images::counter_png, Images::counter_png_size);
    const Box disc = inkExtent(counter, {0, 0, 63, 63}, 1);
    EXPECT_EQ(counter.at(32, 32, 0) + counter.at(32, 32, 1) + counter.at(32, 32, 2), 765) << "white in the middle";
    const char* const marks[5] = {Images::biscuits1_png, Images::biscuits2_png, Images::biscuits3_png,
                                  Images::biscuits4_png, Images::biscuits5_png};
    const unsigned int sizes[5] = {Images::biscuits1_png_size, Images::biscuits2_png_size,
                                   Images::biscuits3_png_size, Images::biscuits4_png_size,
                                   Images::biscuits5_png_size};
    for (int n = 0; n < 5; ++n) {
        const DecodedPicture& mark = DecodedPicture::of(marks[n], sizes[n]);
        // The digit's column, right of the disc, must carry the mark.
        const Box digit = inkExtent(mark, {disc.right + 1, 0, 63, 63}, INK);
        EXPECT_LT(digit.left, 64) << "food " << n + 1 << " hidden under a counter";
        EXPECT_GE(digit.bottom - digit.top, 14) << "food " << n + 1;
    }
}

} // namespace

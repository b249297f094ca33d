#pragma once

#include "DecodedPicture.h"

#include "Images.h"

#include <vector>

// The board as the game lays it out: the top-left corner of each space's 64x64 box and its
// neighbours. The art must agree with it.
namespace BoardLayout {

const int SPACES = 19;
const int BOX = 64;
const int WIDTH = 1024;
const int HEIGHT = 768;

const int X[SPACES] = {476, 608, 682, 712, 687, 598, 492, 357, 272, 232, 248, 337, 502, 592, 572, 484, 380, 370, 468};
const int Y[SPACES] = {172, 208, 290, 384, 490, 550, 566, 550, 475, 374, 270, 195, 270, 350, 438, 460, 430, 308, 364};

inline const std::vector<std::vector<int>>& neighbours()
{
    static const std::vector<std::vector<int>> list = {
        {1, 11, 12}, {2, 0, 12}, {3, 1, 13}, {4, 2, 13}, {5, 3, 14}, {6, 4, 14}, {7, 5, 15},
        {8, 6, 16}, {9, 7, 16}, {10, 8, 17}, {11, 9, 17}, {0, 10, 17}, {0, 1, 13, 18, 17},
        {2, 3, 14, 18, 12}, {4, 5, 15, 18, 13}, {6, 16, 18, 14}, {7, 8, 17, 18, 15},
        {9, 10, 11, 12, 18, 16}, {12, 13, 14, 15, 16, 17}};
    return list;
}

inline bool areNeighbours(int a, int b)
{
    for (int n : neighbours()[static_cast<std::size_t>(a)])
        if (n == b)
            return true;
    return false;
}

// The overlay picture of a space.
inline const DecodedPicture& overlay(int space)
{
    static const char* const data[SPACES] = {
        Images::space0_png, Images::space1_png, Images::space2_png, Images::space3_png, Images::space4_png,
        Images::space5_png, Images::space6_png, Images::space7_png, Images::space8_png, Images::space9_png,
        Images::space10_png, Images::space11_png, Images::space12_png, Images::space13_png,
        Images::space14_png, Images::space15_png, Images::space16_png, Images::space17_png,
        Images::space18_png};
    static const unsigned int size[SPACES] = {
        Images::space0_png_size, Images::space1_png_size, Images::space2_png_size, Images::space3_png_size,
        Images::space4_png_size, Images::space5_png_size, Images::space6_png_size, Images::space7_png_size,
        Images::space8_png_size, Images::space9_png_size, Images::space10_png_size, Images::space11_png_size,
        Images::space12_png_size, Images::space13_png_size, Images::space14_png_size,
        Images::space15_png_size, Images::space16_png_size, Images::space17_png_size,
        Images::space18_png_size};
    return DecodedPicture::of(data[space], size[space]);
}

const int SEA = -1;

// Which overlay covers each screen pixel (SEA where none does), row by row.
inline const std::vector<int>& regionMap()
{
    static std::vector<int> map;
    if (map.empty()) {
        map.assign(static_cast<std::size_t>(WIDTH) * HEIGHT, SEA);
        for (int space = 0; space < SPACES; ++space) {
            const DecodedPicture& picture = overlay(space);
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x)
                    if (picture.alpha(x, y) > 0)
                        map[static_cast<std::size_t>(y) * WIDTH + x] = space;
        }
    }
    return map;
}

inline int regionAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT)
        return SEA;
    return regionMap()[static_cast<std::size_t>(y) * WIDTH + x];
}

} // namespace BoardLayout

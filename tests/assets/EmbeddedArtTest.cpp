// SPDX-License-Identifier: MIT
#include "render/ImageLoader.h"

#include "assets/EmbeddedPicture.h"
#include "assets/Fonts.h"
#include "assets/Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

// The game's art as the build embeds it, decoded through the game's own loader and checked against
// the places the screens draw it at.
namespace {

// The embedded picture of a file under assets/ ("images/title.png"), or null.
const EmbeddedPicture* embedded(const std::string& path)
{
    return path[0] == 'f' ? findPicture(Fonts::pictures, path.substr(6))
                          : findPicture(Images::pictures, path.substr(7));
}

// Edges included.
struct Box { int left, top, right, bottom; };

// An embedded picture, decoded.
struct Picture {
    explicit Picture(const std::string& path)
        : image(ImageLoader().loadImage(embedded(path)->data(), embedded(path)->size)) {}
    Picture(const Picture&) = delete;
    ~Picture() { delete[] image.pixels; }
    // A pixel's alpha; the boxes asked about lie inside the picture.
    int alpha(int x, int y) const { return image.pixels[(std::size_t(y) * image.width + std::size_t(x)) * 4 + 3]; }
    // The smallest box around the pixels inside a box whose alpha reaches the threshold.
    Box ink(const Box& within, int threshold = 160) const
    {
        Box extent{within.right + 1, within.bottom + 1, within.left - 1, within.top - 1};
        for (int y = within.top; y <= within.bottom; ++y)
            for (int x = within.left; x <= within.right; ++x)
                if (alpha(x, y) >= threshold)
                    extent = {std::min(extent.left, x), std::min(extent.top, y), std::max(extent.right, x), y};
        return extent;
    }

    const LoadedImage image;
};

}

TEST(EmbeddedArt, EveryPictureIsEmbeddedUnchangedAndDecodesToItsSize)
{
    // The first pattern that matches a file's name gives its size.
    const std::pair<const char*, const char*> sizes[] = {
        {"font.*|(tick|guy|mouse|hand|counter|garrison|biscuits[1-5]?)\\.png", "64x64"},
        {"paper2\\.jpg|(sponsor|title|map|drawscreen|space([0-9]|1[0-8]))\\.png", "1024x768"},
        {"winscreen\\.png", "1024x512"}, {"embarking\\.png", "512x128"}, {"ship\\.png", "128x128"},
        {"line\\.png", "8x8"}, {"(ruritania|molotavia|norland|stamark)win\\.png", "1024x128"},
        {"(ruritania|molotavia|norland|stamark)\\.png", "256x64"}, {"(forage|garrison|wait)button\\.png", "256x128"}};
    for (const std::string folder : {"images/", "fonts/"})
        for (const auto& entry : std::filesystem::directory_iterator(MARROWGATE_SOURCE_DIR "/assets/" + folder)) {
            const std::string name = entry.path().filename().string();
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            ASSERT_NE(embedded(folder + name), nullptr) << name;
            EXPECT_EQ(bytes, std::string(embedded(folder + name)->data(), embedded(folder + name)->size)) << name;
            const auto size = std::find_if(std::begin(sizes), std::end(sizes),
                                           [&](const auto& s) { return std::regex_match(name, std::regex(s.first)); });
            const Picture decoded(folder + name);
            EXPECT_EQ(size == std::end(sizes) ? "unknown" : size->second,
                      std::to_string(decoded.image.width) + "x" + std::to_string(decoded.image.height)) << name;
        }
}

// Where a player clicks must be where the art shows something to click.
TEST(EmbeddedArt, EveryHotBoxLiesOnWhatIsDrawnForIt)
{
    const Picture title("images/title.png");
    // Each choice's hot box is the empty inside of a check box drawn within 4 pixels of it on every side,
    // and the tick lands in it.
    const Box mark = Picture("images/tick.png").ink({0, 0, 63, 63}, 1);
    const int boxLeft[4] = {84, 322, 565, 790}, tickX[4] = {74, 314, 559, 783};
    for (int i = 0; i < 4; ++i)
        for (const auto& [top, tickY] : {std::pair{444, 415}, {474, 449}}) {
            SCOPED_TRACE("box at " + std::to_string(boxLeft[i]) + "," + std::to_string(top));
            const Box hot{boxLeft[i], top, boxLeft[i] + 31, top + 25};
            EXPECT_GT(title.ink(hot, 40).left, hot.right);
            const Box ring = title.ink({hot.left - 4, hot.top - 4, hot.right + 4, hot.bottom + 4});
            EXPECT_TRUE(ring.left < hot.left && ring.right > hot.right && ring.top < hot.top &&
                        ring.bottom > hot.bottom);
            EXPECT_TRUE(tickX[i] + mark.left >= hot.left && tickX[i] + mark.right <= hot.right &&
                        tickY + mark.top >= hot.top && tickY + mark.bottom <= hot.bottom);
        }
    // Buttons are clicked over x 34-219 and rows 37-89 of the picture, which the face covers.
    for (const std::string button : {"forage", "garrison", "wait"}) {
        const Picture face("images/" + button + "button.png");
        for (int y = 37; y <= 89; ++y)
            for (int x = 34; x <= 219; ++x)
                ASSERT_EQ(face.alpha(x, y), 255) << button << " at " << x << "," << y;
    }
    // The arrow's tip and the fingertip are the topmost points, at the pointer's hot spot (25, 12).
    for (const std::string pointer : {"mouse", "hand"}) {
        const Box tip = Picture("images/" + pointer + ".png").ink({0, 0, 63, 12}, 128); // the ink of row 12 alone
        EXPECT_TRUE(tip.top == 12 && tip.left >= 23 && tip.left <= 25 && tip.right >= 25 && tip.right <= 27) << pointer;
    }
}

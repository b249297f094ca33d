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

    // A pixel's alpha; 0 outside the picture.
    int alpha(int x, int y) const
    {
        const bool inside = x >= 0 && y >= 0 && x < int(width) && y < int(height);
        return inside ? rgba[(std::size_t(y) * width + std::size_t(x)) * 4 + 3] : 0;
    }
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

// Where a player clicks must be where the art shows something to click.
TEST(EmbeddedArt, EveryHotBoxLiesOnWhatIsDrawnForIt)
{
    const Picture& title = art("images/title.png");
    const auto inked = [&title](const Box& strip) { return inkExtent(title, strip, INK).left <= strip.right; };
    // Each choice's hot box is the empty inside of a drawn check box, closed on every side within 4
    // pixels, that the tick lands in.
    const Box mark = inkExtent(art("images/tick.png"), {0, 0, 63, 63}, 1);
    const int boxLeft[4] = {84, 322, 565, 790}, tickX[4] = {74, 314, 559, 783};
    for (int i = 0; i < 4; ++i)
        for (const int top : {444, 474}) {
            SCOPED_TRACE("box at " + std::to_string(boxLeft[i]) + "," + std::to_string(top));
            const Box hot{boxLeft[i], top, boxLeft[i] + 31, top + 25};
            EXPECT_GT(inkExtent(title, hot, CLEAR).left, hot.right);
            for (int y = hot.top; y <= hot.bottom; ++y)
                EXPECT_TRUE(inked({hot.left - 4, y, hot.left - 1, y}) && inked({hot.right + 1, y, hot.right + 4, y}));
            for (int x = hot.left; x <= hot.right; ++x)
                EXPECT_TRUE(inked({x, hot.top - 4, x, hot.top - 1}) && inked({x, hot.bottom + 1, x, hot.bottom + 4}));
            const int tickY = top == 444 ? 415 : 449;
            EXPECT_TRUE(tickX[i] + mark.left >= hot.left && tickX[i] + mark.right <= hot.right &&
                        tickY + mark.top >= hot.top && tickY + mark.bottom <= hot.bottom);
        }
    // The frame of the start label encloses its hot box.
    const Box hot{356, 618, 663, 657};
    const Box label = inkExtent(title, {hot.left - 14, hot.top - 14, hot.right + 14, hot.bottom + 14}, INK);
    EXPECT_TRUE(label.left < hot.left && label.right > hot.right && label.top < hot.top && label.bottom > hot.bottom);
    // Buttons are drawn 60 rows apart and clicked over x 34-219 and rows 37-89 of the picture: the face
    // covers that and does not reach the next button.
    for (const std::string button : {"forage", "garrison", "wait"}) {
        const Picture& face = art("images/" + button + "button.png");
        for (int y = 37; y <= 89; ++y)
            for (int x = 34; x <= 219; ++x)
                ASSERT_EQ(face.alpha(x, y), 255) << button << " at " << x << "," << y;
        const Box extent = inkExtent(face, {0, 0, 255, 127}, 1);
        EXPECT_TRUE(extent.left >= 26 && extent.right <= 229 && extent.top >= 34 && extent.bottom <= 92) << button;
    }
    // The arrow's tip and the fingertip are the topmost points, at the pointer's hot spot (25, 12).
    for (const std::string pointer : {"mouse", "hand"}) {
        const Picture& picture = art("images/" + pointer + ".png");
        EXPECT_EQ(inkExtent(picture, {0, 0, 63, 63}, 128).top, 12) << pointer;
        EXPECT_GE(picture.alpha(25, 12), 128) << pointer;
    }
    EXPECT_EQ(inkExtent(art("images/mouse.png"), {0, 0, 63, 63}, 128).left, 25);
    const Box fingertip = inkExtent(art("images/hand.png"), {0, 12, 63, 12}, 128);
    EXPECT_TRUE(fingertip.left >= 23 && fingertip.right <= 27);
}

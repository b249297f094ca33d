#include "DrawerWindow.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;
const Rgb black = {0, 0, 0};
const Rgb white = {255, 255, 255};

using Images = DrawerWindow;

// The left and right edges of what is lit on a row.
std::pair<int, int> litColumns(const Screenshot& shot, int y)
{
    int first = -1, last = -1;
    for (int x = 0; x < 1024; ++x)
        if (shot.at(x, y) != black) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

TEST_F(Images, AScaledImageGrowsAndShrinksAboutItsCentre)
{
    const unsigned int image = solidImage(64, 64, 255, 255, 255);
    drawer->drawImage(image, 100, 100, 2, 2, 1, 1, 1, 1);
    drawer->drawImage(image, 100, 400, 0.5f, 0.5f, 1, 1, 1, 1);
    drawer->drawImage(image, 500, 500, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(litColumns(shot, 68), std::make_pair(68, 195));
    EXPECT_EQ(litColumns(shot, 195), std::make_pair(68, 195));
    EXPECT_EQ(shot.at(100, 67), black);
    EXPECT_EQ(shot.at(100, 196), black);
    EXPECT_EQ(litColumns(shot, 416), std::make_pair(116, 147));
    EXPECT_EQ(shot.at(130, 415), black);
    EXPECT_EQ(shot.at(130, 447), white);
    EXPECT_EQ(shot.at(130, 448), black);
    EXPECT_EQ(litColumns(shot, 530), std::make_pair(500, 563));
}

TEST_F(Images, ANegativeScaleMirrorsAboutTheSameCentre)
{
    // Left half red, right half blue.
    unsigned char* pixels = new unsigned char[64 * 64 * 4];
    for (int i = 0; i < 64 * 64; ++i) {
        const bool left = i % 64 < 32;
        const unsigned char colour[4] = {static_cast<unsigned char>(left ? 255 : 0), 0,
                                         static_cast<unsigned char>(left ? 0 : 255), 255};
        std::copy(colour, colour + 4, pixels + i * 4);
    }
    const unsigned int image = drawer->loadImage(pixels, 64, 64);
    drawer->drawImage(image, 100, 100, 1, 1, 1, 1, 1, 1);
    drawer->drawImage(image, 300, 100, -1, 1, 1, 1, 1, 1);
    drawer->drawImage(image, 500, 100, -2, -2, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(100, 130), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(163, 130), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(299, 130), black);
    EXPECT_EQ(shot.at(300, 130), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(363, 130), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(364, 130), black);
    // Scale -2 covers the same square as scale 2, turned half way round.
    EXPECT_EQ(litColumns(shot, 70), std::make_pair(468, 595));
    EXPECT_EQ(shot.at(468, 68), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(595, 195), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(500, 196), black);
}

TEST_F(Images, TheTintMultipliesColourAndAlpha)
{
    const unsigned int image = solidImage(32, 32, 255, 200, 100);
    drawer->fillRect(0, 0, 1024, 768, 0, 0, 200, 255);
    drawer->drawImage(image, 0, 0, 1, 1, 1, 0.5f, 0, 1);
    drawer->drawImage(image, 100, 0, 1, 1, 1, 1, 1, 0.5f);
    const Screenshot shot = capture();
    const Rgb tinted = shot.at(16, 16);
    EXPECT_EQ(tinted[0], 255);
    EXPECT_NEAR(tinted[1], 100, 1);
    EXPECT_EQ(tinted[2], 0);
    const Rgb faded = shot.at(116, 16);
    EXPECT_NEAR(faded[0], 128, 1);
    EXPECT_NEAR(faded[1], 100, 1);
    EXPECT_NEAR(faded[2], 150, 1);
}

TEST_F(Images, AnEnlargedPictureShowsOnlyItsOwnPixels)
{
    // 100 by 60 is held in a 128 by 64 texture; only the picture appears, at its own size.
    const unsigned int image = solidImage(100, 60, 255, 255, 255);
    const OpenGLDrawer::Image* record = drawer->findImage(image);
    ASSERT_NE(record, nullptr);
    EXPECT_FLOAT_EQ(record->maxS, 0.78125f);
    EXPECT_FLOAT_EQ(record->maxT, 0.9375f);
    drawer->drawImage(image, 10, 10, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(litColumns(shot, 40), std::make_pair(10, 109));
    EXPECT_EQ(shot.at(50, 69), white);
    EXPECT_EQ(shot.at(50, 70), black);
}

TEST_F(Images, HandlesCountUpAndTheNewestIsReused)
{
    // The line picture took handle 1.
    const unsigned int first = solidImage(4, 4, 255, 255, 255);
    const unsigned int second = solidImage(4, 4, 255, 255, 255);
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(second, 3u);
    drawer->releaseImage(second);
    EXPECT_EQ(drawer->findImage(second), nullptr);
    EXPECT_EQ(solidImage(4, 4, 255, 255, 255), 3u);
    drawer->releaseImage(first);
    EXPECT_EQ(solidImage(4, 4, 255, 255, 255), 4u);
    EXPECT_EQ(drawer->loadImage(nullptr, 4, 4), 0u);
    EXPECT_EQ(drawer->loadImage(new unsigned char[4], 0, 1), 0u);
    drawer->releaseImage(99);
}

TEST_F(Images, UnknownHandlesDrawNothing)
{
    const unsigned int image = solidImage(64, 64, 255, 255, 255);
    drawer->releaseImage(image);
    drawer->drawImage(image, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer->drawImage(0, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer->drawImage(12345, 0, 0, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (int x = 0; x < 70; x += 3)
        for (int y = 0; y < 70; y += 3)
            ASSERT_EQ(shot.at(x, y), black);
}

} // namespace

namespace {

// Draws the same scene with and without the drawing shortcuts (transparent borders left out, opaque
// pictures unblended); the pixels must not differ.
class DrawingShortcuts : public DrawerWindow {
protected:
    // A picture of width x height with a soft-edged blob around (cx, cy) of radius, and stray colour
    // under zero alpha everywhere else.
    unsigned int blobImage(unsigned int width, unsigned int height, float cx, float cy, float radius)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x) {
                unsigned char* pixel = pixels + (y * width + x) * 4;
                const float distance = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                const float alpha = std::max(0.0f, std::min(1.0f, radius - distance));
                pixel[0] = static_cast<unsigned char>(x * 37 + y * 11);
                pixel[1] = static_cast<unsigned char>(x * 5 + y * 29);
                pixel[2] = static_cast<unsigned char>(200 - x - y);
                pixel[3] = static_cast<unsigned char>(alpha * 255.0f);
            }
        return drawer->loadImage(pixels, width, height);
    }

    struct Placement {
        short x, y;
        float scaleX, scaleY;
        float r, g, b, a;
    };

    Screenshot drawScene(bool shortcuts, const std::vector<unsigned int>& images,
                         const std::vector<Placement>& placements)
    {
        drawer->setShortcuts(shortcuts);
        drawer->fillGradient(0, 0, 1024, 768, 30, 90, 160, 255, 220, 180, 40, 255);
        for (const unsigned int image : images)
            for (const Placement& p : placements)
                drawer->drawImage(image, p.x, p.y, p.scaleX, p.scaleY, p.r, p.g, p.b, p.a);
        return capture();
    }

    std::vector<unsigned int> testImages()
    {
        return {// A small blob in the middle of an enlarged texture.
                blobImage(100, 60, 40.0f, 30.0f, 12.5f),
                // A blob cut by the right and bottom edges, where the enlargement's fill meets it.
                blobImage(100, 60, 95.0f, 55.0f, 20.0f),
                // A blob at the top-left corner of a power-of-two picture.
                blobImage(64, 64, 3.0f, 2.0f, 9.0f),
                // Nothing visible at all.
                blobImage(32, 32, 16.0f, 16.0f, 0.0f),
                // Opaque throughout, enlarged and not, drawn unblended at full alpha.
                blobImage(50, 30, 25.0f, 15.0f, 1000.0f), blobImage(32, 16, 16.0f, 8.0f, 1000.0f)};
    }

    const std::vector<Placement> placements = {
        {10, 10, 1, 1, 1, 1, 1, 1},           {300, 40, 2, 2, 1, 0.5f, 0.8f, 0.9f},
        {600, 60, -1, 1, 1, 1, 1, 1},         {800, 100, 1, -1, 1, 1, 1, 0.6f},
        {100, 300, -2.5f, 0.75f, 1, 1, 1, 1}, {400, 350, 0.3f, 0.3f, 1, 1, 1, 1},
        {650, 400, 1.5f, -3, 0.2f, 1, 1, 1},  {-30, 600, 3.3f, 1.7f, 1, 1, 1, 1},
        {990, 700, 1, 1, 1, 1, 1, 1},         {500, 650, 0.77f, 1.31f, 1, 1, 1, 0.5f}};
};

TEST_F(DrawingShortcuts, PicturesLookTheSameWithAndWithoutThem)
{
    const std::vector<unsigned int> images = testImages();
    const Screenshot full = drawScene(false, images, placements);
    const Screenshot quick = drawScene(true, images, placements);
    EXPECT_TRUE(full == quick);
    // The scene did draw the pictures: something differs from the bare gradient.
    const Screenshot bare = drawScene(true, {}, placements);
    EXPECT_FALSE(bare == quick);
}

TEST_F(DrawingShortcuts, AlsoInsideAViewportOfAWideWindow)
{
    open(1280, 800);
    const std::vector<unsigned int> images = testImages();
    drawer->setViewport(100, 50, 600, 400);
    const Screenshot full = drawScene(false, images, placements);
    drawer->setViewport(100, 50, 600, 400);
    const Screenshot quick = drawScene(true, images, placements);
    EXPECT_TRUE(full == quick);
}

} // namespace

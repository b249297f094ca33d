// SPDX-License-Identifier: MIT
#include "RecordingDrawer.h"
#include "app/Random.h"
#include "render/FrameRecorder.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"
#include "render/ParticleGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

// Decoding pictures, preparing textures, deciding which frames to draw from their records and running
// particles: everything that needs no window.
namespace {

// Pictures and shader sources read from files.
TEST(ReadingFiles, PicturesExpand24BitsRefusePalettesAndShaderSourcesComeWholeFromRegularFilesOnly)
{
    ImageLoader loader;
    // 3 pixels of 3 bytes make rows that the decoder pads to 12 bytes.
    const LoadedImage image = loader.loadImage(RENDER_TEST_DATA "/rgb3x2.png");
    ASSERT_EQ(std::make_pair(image.width, image.height), std::make_pair(3u, 2u));
    EXPECT_EQ(std::vector<unsigned char>(image.pixels, image.pixels + 24),
              (std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                          10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255}));
    delete[] image.pixels;
    // What cannot be read, or is refused, gives no pixels and a size of 0 by 0.
    const auto nothing = [](const LoadedImage& read) { return !read.pixels && !read.width && !read.height; };
    for (const char* unreadable : {"/palette4x4.png", "/no such picture.png"})
        EXPECT_TRUE(nothing(loader.loadImage(std::string(RENDER_TEST_DATA) + unreadable))) << unreadable;
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(RENDER_TEST_DATA "/one-byte.glsl"), "x");
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(RENDER_TEST_DATA), ""); // a folder
}

// Textures take the next power of two, counted from one; above the largest nothing fits, and the search
// must not run forever. Enlarging continues rows with their last byte and repeats the last row.
TEST(TextureLogic, PicturesAreEnlargedToPowersOfTwoContinuingTheirLastByteAndRow)
{
    for (const auto& [size, power] : {std::pair{0u, 1u}, {3u, 4u}, {64u, 64u}, {0x80000000u, 0x80000000u}, {~0u, 0u}})
        EXPECT_EQ(OpenGLDrawer::powerOfTwo(size), power) << size;
    unsigned char picture[100 * 60 * 4];
    for (int i = 0; i < 100 * 60 * 4; ++i)
        picture[i] = static_cast<unsigned char>(i * 7 + i / 400);
    std::unique_ptr<unsigned char[]> texture(OpenGLDrawer::enlargeToPowerOfTwo(picture, 100, 60, 128, 64));
    for (int row = 0; row < 64; ++row) {
        const unsigned char* source = picture + std::min(row, 59) * 400;
        const unsigned char* target = texture.get() + row * 512;
        ASSERT_TRUE(std::equal(source, source + 400, target)) << row;
        ASSERT_EQ(std::count(target + 400, target + 512, source[399]), 112) << row;
    }
}

// Moves a generator a number of steps and gives the particle count after each.
std::vector<std::size_t> run(ParticleGenerator& generator, int steps)
{
    std::vector<std::size_t> counts;
    for (int step = 0; step < steps; ++step) {
        generator.move();
        counts.push_back(generator.getParticles().size());
    }
    return counts;
}

// A running generator at (10.5, 3.25) with image 7 and a seeded random source.
class Particles : public testing::Test {
protected:
    Particles() : random(1234), generator(random)
    {
        generator.addImage(7);
        generator.setPosition(10.5f, 3.25f);
        generator.start();
    }

    const testing::ScopedTrace seed{__FILE__, __LINE__, "Random seeded with 1234"};
    Random random;
    ParticleGenerator generator;
    RecordingDrawer drawer;
};

// Two particles on the first step at density one, then one a step, half as many at a half, and a
// thousand at most whatever the density (none for one that is not a number); none without an image to
// choose from. A particle whose life comes to exactly 0 stays for that step and goes the next.
TEST_F(Particles, EmissionFollowsTheDensityWithinBoundsAndLifeEndsBelowZero)
{
    EXPECT_EQ(run(generator, 3), (std::vector<std::size_t>{2, 3, 4}));
    generator.setDensity(0.5f);
    EXPECT_EQ(run(generator, 4), (std::vector<std::size_t>{4, 5, 5, 6}));
    // A sensible density afterwards emits again, the balance starting afresh as in a new generator.
    for (const auto& [density, emitted] : {std::pair{1.0e30f, 1000u}, {INFINITY, 1000u}, {NAN, 0u}, {1.0f, 2u}}) {
        generator.setDensity(density);
        const std::size_t before = generator.getParticles().size();
        EXPECT_EQ(run(generator, 1)[0] - before, emitted) << density;
    }
    ParticleGenerator brief(random);
    brief.start();
    EXPECT_EQ(run(brief, 1)[0], 0u); // no image to choose from
    brief.addImage(7);
    brief.setLifespan(0.1f); // 0 after one step
    EXPECT_EQ(run(brief, 3), (std::vector<std::size_t>{1, 2, 2}));
}

// Each step moves every particle by its own direction times its own speed on each axis. A new one leaves
// from the position set, its direction within an eighth of the one set on each axis (within one without
// one) and its speed within half a hundredth, each spread filled. Of three images, a draw of (0, 1] times
// 2.5 picks the first below 0.4, the second below 0.8, the third above.
TEST_F(Particles, EachMovesAlongItsOwnDirectionSpreadAboutTheOneSetOnEachAxis)
{
    generator.addImage(8);
    generator.addImage(9);
    generator.setSpeed(1.5f);
    generator.setDensity(10.0f);
    std::vector<double> chosen(10);
    // None at first, as constructed.
    const std::pair<float, float> directions[] = {{0, 0}, {1, 0}, {0, 1}, {-0.75f, 0}, {0, -0.5f}, {0.5f, -0.25f}};
    for (const auto& [dx, dy] : directions) {
        if (&dx != &directions[0].first)
            generator.setDirection(dx, dy);
        const float direction = dx == 0.0f && dy == 0.0f ? 1.0f : 0.125f, spread[3] = {direction, direction, 0.005f};
        float low[3] = {1, 1, 1}, high[3] = {-1, -1, -1};
        for (int step = 0; step < 25; ++step) {
            const std::vector<ParticleGenerator::Particle> before = generator.getParticles();
            generator.move();
            const auto& now = generator.getParticles();
            for (std::size_t i = 0; i < before.size(); ++i) {
                ASSERT_FLOAT_EQ(now[i].posX, before[i].posX + now[i].directionX * now[i].speed) << i;
                ASSERT_FLOAT_EQ(now[i].posY, before[i].posY + now[i].directionY * now[i].speed) << i;
            }
            for (auto p = now.begin() + before.size(); p != now.end(); ++p) {
                ASSERT_EQ(std::make_tuple(p->posX, p->posY, p->life), std::make_tuple(10.5f, 3.25f, 30.0f));
                ++chosen[p->image];
                const float offsets[3] = {p->directionX - dx, p->directionY - dy, p->speed - 1.5f};
                for (int k = 0; k < 3; ++k) {
                    low[k] = std::min(low[k], offsets[k]);
                    high[k] = std::max(high[k], offsets[k]);
                }
            }
        }
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(low[k] >= -spread[k] && low[k] < -0.9f * spread[k] && high[k] <= spread[k] &&
                        high[k] > 0.9f * spread[k]) << dx << "," << dy << "/" << k << ": " << low[k] << ".." << high[k];
    }
    for (const auto& [image, share] : {std::pair{7u, 0.4}, {8u, 0.4}, {9u, 0.2}})
        EXPECT_NEAR(chosen[image] / (chosen[7] + chosen[8] + chosen[9]), share, 0.05) << image;
}

// Views of several shapes draw exactly the particles that reach into them (a unit square at each place),
// a 32 by 32 picture centred on each, shrinking and fading with age; plain drawing puts every picture's
// corner at the whole-unit position, fading.
TEST_F(Particles, ViewsDrawWhatReachesIntoThemOnBothAxesAndPlainDrawingEverything)
{
    generator.setLifespan(2.0f);
    // Wide, tall and square, every coordinate its own.
    const float views[][4] = {{8, 1, 6, 2.5f}, {9.5f, 0.5f, 1.5f, 7}, {10, 3, 4, 4}};
    for (int step = 0; step < 60; ++step) {
        // The newest particle leaves from a point of a grid about the views, on their edges among others.
        generator.setPosition(float(6 + step % 10), float(step / 10) - 1.0f);
        generator.move();
        std::vector<RecordingDrawer::Call> plain;
        for (const auto& p : generator.getParticles())
            plain.push_back({"drawImage", 7, {std::trunc(p.posX), std::trunc(p.posY), 1, 1, 1, 1, 1, p.life / 2.0f}});
        drawer.clear();
        generator.draw(&drawer);
        ASSERT_EQ(drawer.calls, plain) << "step " << step;
        for (const auto& [x, y, width, height] : views) {
            std::vector<RecordingDrawer::Call> inside;
            for (const auto& p : generator.getParticles())
                if (p.posX + 1 > x && p.posX < x + width && p.posY + 1 > y && p.posY < y + height)
                    inside.push_back({"drawImage", 7, {std::trunc((p.posX - x) * 32 - 16),
                                                       std::trunc((p.posY - y) * 32 - 16), p.life / 2, p.life / 2, 1, 1,
                                                       1, p.life / 2}});
            drawer.clear();
            generator.draw(&drawer, x, y, width, height);
            ASSERT_EQ(drawer.calls, inside) << "step " << step << ", view at " << x << ", " << y;
        }
    }
}

// What a frame leaves set, a viewport or a shader program, is where the next frame starts: the same calls
// after it make a new frame. A second image lasts until the end of its frame. Text of the same length
// tells frames apart.
TEST(FrameRecorder, TheStateAFrameLeavesSetIsPartOfTheNext)
{
    const DrawOperation image = DrawOperation::of(DrawOperation::Image, 1, 10, 20, 1.0f, 1.0f, {1, 1, 1, 1});
    const std::function<void(FrameRecorder&, int)> frames[] = {
        [&](FrameRecorder& r, int) { r.record(image); r.recordView({0, 0, 512, 384, 1024, 768}); },
        [&](FrameRecorder& r, int) { r.recordProgram(3); r.record(image); },
        [&](FrameRecorder& r, int) { r.recordSecondImage(4); r.record(image); },
        [&](FrameRecorder& r, int repeat) { r.recordText(image, repeat == 0 ? "ab1" : "ab2"); }};
    for (int kind = 0; kind < 4; ++kind) {
        FrameRecorder recorder;
        std::vector<bool> drawn;
        for (int repeat = 0; repeat < 3; ++repeat) {
            recorder.begin(true);
            frames[kind](recorder, repeat);
            drawn.push_back(recorder.mustDraw());
            recorder.finish(true);
        }
        EXPECT_EQ(drawn, std::vector<bool>({true, kind != 2, false})) << kind;
        recorder.record(image); // after the frame: drawn over what it left on screen
        EXPECT_TRUE(recorder.mustDraw() && recorder.takePending().clears == 0) << kind;
    }
}

} // namespace

// SPDX-License-Identifier: MIT
#include "RecordingDrawer.h"
#include "app/Random.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"
#include "render/ParticleGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

// Decoding pictures, preparing textures and running particles: everything that needs no window.
namespace {

TEST(ImageLoader, Expands24BitPicturesRefusesPalettesAndGivesNothingForWhatCannotBeRead)
{
    ImageLoader loader;
    // 3 pixels of 3 bytes make rows that the decoder pads to 12 bytes.
    const LoadedImage image = loader.loadImage(RENDER_TEST_DATA "/rgb3x2.png");
    ASSERT_EQ(std::make_pair(image.width, image.height), std::make_pair(3u, 2u));
    EXPECT_EQ(std::vector<unsigned char>(image.pixels, image.pixels + 24),
              (std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                          10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255}));
    delete[] image.pixels;
    for (const char* unreadable : {"/palette4x4.png", "/no such picture.png"})
        EXPECT_EQ(loader.loadImage(std::string(RENDER_TEST_DATA) + unreadable).pixels, nullptr) << unreadable;
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

// A running generator at (10.5, 3.25) with image 7 and a seeded random source.
class Particles : public testing::Test {
protected:
    Particles() : random(1234), generator(random)
    {
        generator.addImage(7);
        generator.setPosition(10.5f, 3.25f);
        generator.start();
    }

    // Moves a number of steps and gives the particle count after each.
    std::vector<std::size_t> run(int steps)
    {
        std::vector<std::size_t> counts;
        for (int step = 0; step < steps; ++step) {
            generator.move();
            counts.push_back(generator.getParticles().size());
        }
        return counts;
    }

    Random random;
    ParticleGenerator generator;
    RecordingDrawer drawer;
};

// Two particles on the first step at density one, then one a step, half as many at a half, and never
// more than a bounded number whatever the density; none without an image to choose from.
TEST_F(Particles, EmissionFollowsTheDensityWithinBounds)
{
    EXPECT_EQ(run(3), (std::vector<std::size_t>{2, 3, 4}));
    generator.setDensity(0.5f);
    EXPECT_EQ(run(4), (std::vector<std::size_t>{4, 5, 5, 6}));
    for (const float density : {1.0e30f, INFINITY, NAN}) {
        generator.setDensity(density);
        EXPECT_LE(run(1)[0], 4000u) << density;
    }
    // Without a direction set, each particle goes its own way, up to one unit a step on each axis.
    float widest = 0.0f;
    for (const auto& particle : generator.getParticles())
        widest = std::max({widest, std::fabs(particle.directionX), std::fabs(particle.directionY)});
    EXPECT_TRUE(widest > 0.99f && widest <= 1.0f) << widest;
    // A sensible density afterwards emits again, the balance starting afresh as in a new generator.
    generator.setDensity(1.0f);
    const std::size_t before = generator.getParticles().size();
    EXPECT_EQ(run(1)[0], before + 2);
    ParticleGenerator withoutImages(random);
    withoutImages.start();
    withoutImages.move(); // has no image to choose from
    EXPECT_TRUE(withoutImages.getParticles().empty());
}

// A direction set is kept give or take an eighth, the speed give or take half a hundredth. Of three
// images, a draw of (0, 1] times 2.5 picks the first below 0.4, the second below 0.8, the third above.
TEST_F(Particles, SpeedsDirectionsAndImagesSpreadAboutWhatIsSet)
{
    generator.addImage(8);
    generator.addImage(9);
    generator.setSpeed(2.0f);
    generator.setDirection(0.5f, -0.25f);
    generator.setDensity(100.0f);
    run(20);
    std::vector<int> chosen(10);
    for (const auto& particle : generator.getParticles()) {
        ++chosen[particle.image];
        EXPECT_NEAR(particle.directionX, 0.5f, 0.125f);
        EXPECT_NEAR(particle.directionY, -0.25f, 0.125f);
        EXPECT_NEAR(particle.speed, 2.0f, 0.005f);
    }
    for (const auto& [image, share] : {std::pair{7u, 0.4}, {8u, 0.4}, {9u, 0.2}})
        EXPECT_NEAR(chosen[image] / double(generator.getParticles().size()), share, 0.05) << image;
}

// Views of any shape centre the particles and skip what is outside; plain drawing puts the corner at the
// whole-unit position; a particle at life 0 is drawn once more, fully faded, and goes the step after.
TEST_F(Particles, ViewsOfAnyShapeCentreAndSkipWhatIsOutsideAndPlainDrawingFadesUntilTheLastStep)
{
    generator.setLifespan(0.1f);
    generator.setDensity(0.5f);
    run(1);
    // Views about it, and views that miss it by a hair on each side; a 32 by 32 picture centred on its place.
    const float views[][4] = {{10, 3, 5, 5},     {8, 2.5f, 4, 1}, {10, 0, 1, 4}, {11.5f, 3, 5, 5},
                              {10, 4.25f, 5, 5}, {8, 2, 4, 1},    {6, 2.5f, 4, 1}};
    for (const auto& view : views)
        generator.draw(&drawer, view[0], view[1], view[2], view[3]);
    using Call = RecordingDrawer::Call;
    EXPECT_EQ(drawer.calls, (std::vector<Call>{{"drawImage", 7, {0, -8, 1, 1, 1, 1, 1, 1}},
                                               {"drawImage", 7, {64, 8, 1, 1, 1, 1, 1, 1}},
                                               {"drawImage", 7, {0, 88, 1, 1, 1, 1, 1, 1}}}));
    generator.stop();
    EXPECT_EQ(run(1)[0], 1u);
    drawer.clear();
    generator.draw(&drawer);
    const ParticleGenerator::Particle& particle = generator.getParticles()[0];
    EXPECT_EQ(drawer.calls, (std::vector<Call>{{"drawImage", 7, {std::trunc(particle.posX), std::trunc(particle.posY),
                                                                 1, 1, 1, 1, 1, 0}}}));
    EXPECT_EQ(run(1)[0], 0u);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "RecordingDrawer.h"
#include "app/Random.h"
#include "assets/Images.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"
#include "render/ParticleGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <array>
#include <limits>
#include <map>
#include <memory>
#include <vector>

// Decoding pictures, preparing textures and running particles: everything that needs no window.
namespace {

const std::string dataDir = RENDER_TEST_DATA;

TEST(ImageLoader, Expands24BitPicturesRefusesPalettesAndGivesNothingForWhatCannotBeRead)
{
    ImageLoader loader;
    // 3 pixels of 3 bytes make rows that the decoder pads to 12 bytes.
    std::ifstream file(dataDir + "/rgb3x2.png", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    testing::internal::CaptureStdout();
    const LoadedImage decoded[] = {loader.loadImage(bytes.data(), static_cast<unsigned int>(bytes.size())),
                                   loader.loadImage(dataDir + "/rgb3x2.png")};
    EXPECT_EQ(loader.loadImage(dataDir + "/palette4x4.png").pixels, nullptr);
    // Only decoding from memory announces the expansion.
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ImageLoader: Image 24bit.  Assuming 24bit RGB format.\nImageLoader: Image not 32bits.\n");
    const unsigned char expected[24] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                        10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255};
    for (const LoadedImage& image : decoded) {
        ASSERT_EQ(std::make_pair(image.width, image.height), std::make_pair(3u, 2u));
        EXPECT_TRUE(std::equal(expected, expected + 24, image.pixels));
        delete[] image.pixels;
    }
    // The smallest picture there is.
    const LoadedImage dot = loader.loadImage(dataDir + "/dot1x1.png");
    ASSERT_NE(dot.pixels, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(dot.pixels, dot.pixels + 4), (std::vector<unsigned char>{1, 2, 3, 4}));
    delete[] dot.pixels;
    for (const LoadedImage& unreadable :
         {loader.loadImage("not a picture", 13), loader.loadImage(Images::line_png, Images::line_png_size / 2),
          loader.loadImage(nullptr, 100), loader.loadImage(""), loader.loadImage(dataDir),
          loader.loadImage(dataDir + "/no such picture.png")})
        EXPECT_EQ(unreadable.pixels, nullptr);
}

TEST(TextureLogic, PowersOfTwoCountFromOneAndStopAtTheLargest)
{
    // Above the largest power of two nothing fits, and the search must not run forever.
    const unsigned int sizes[][2] = {{0, 1},      {1, 1},         {3, 4}, {64, 64}, {768, 1024},
                                     {0x80000000u, 0x80000000u}, {0x80000001u, 0}};
    for (const auto& size : sizes)
        EXPECT_EQ(OpenGLDrawer::powerOfTwo(size[0]), size[1]) << size[0];
}

TEST(TextureLogic, EnlargingContinuesRowsWithTheirLastByteAndRepeatsTheLastRow)
{
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

using Counts = std::vector<std::size_t>;

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
    Counts run(int steps)
    {
        Counts counts;
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

TEST_F(Particles, DensityOneEmitsTwoThenOnePerStepHalfOnEveryOtherStepAndParticlesMoveAndAge)
{
    EXPECT_EQ(run(3), (Counts{2, 3, 4}));
    const ParticleGenerator::Particle oldest = generator.getParticles()[0];
    EXPECT_FLOAT_EQ(oldest.posX, 10.5f + 2 * oldest.directionX * oldest.speed);
    EXPECT_FLOAT_EQ(oldest.life, 29.8f);
    generator.setDensity(0.5f);
    EXPECT_EQ(run(4), (Counts{4, 5, 5, 6}));
    // Without a direction set, each particle goes its own way, up to one unit a step on each axis, at the
    // speed set give or take half a hundredth.
    generator.setDensity(100.0f);
    generator.setSpeed(1.0f);
    run(1);
    float widestX = 0.0f, widestY = 0.0f, slowest = 2.0f, fastest = 0.0f;
    for (const auto& particle : generator.getParticles()) {
        widestX = std::max(widestX, std::fabs(particle.directionX));
        widestY = std::max(widestY, std::fabs(particle.directionY));
        if (particle.life == 30.0f) {
            slowest = std::min(slowest, particle.speed);
            fastest = std::max(fastest, particle.speed);
        }
    }
    EXPECT_TRUE(widestX > 0.9f && widestX <= 1.0f && widestY > 0.9f && widestY <= 1.0f) << widestX << ", " << widestY;
    EXPECT_TRUE(slowest >= 0.995f && slowest < 0.996f && fastest > 1.004f && fastest <= 1.005f)
        << slowest << ", " << fastest;
}

TEST_F(Particles, ViewsOfAnyShapeCentreAndSkipWhatIsOutsideAndPlainDrawingFadesUntilTheLastStep)
{
    generator.setLifespan(0.1f);
    generator.setDensity(0.5f);
    run(1);
    // Views about it, and views that miss it by a hair on each side; a 32 by 32 picture centred on its place.
    const std::array<float, 4> views[] = {{10, 3, 5, 5},     {8, 2.5f, 4, 1}, {10, 0, 1, 4}, {11.5f, 3, 5, 5},
                                          {10, 4.25f, 5, 5}, {8, 2, 4, 1},    {6, 2.5f, 4, 1}};
    for (const auto& view : views)
        generator.draw(&drawer, view[0], view[1], view[2], view[3]);
    std::vector<std::vector<float>> drawn;
    for (const auto& call : drawer.calls)
        drawn.push_back(call.values);
    EXPECT_EQ(drawn, (std::vector<std::vector<float>>{{0, -8, 1, 1, 1, 1, 1, 1}, {64, 8, 1, 1, 1, 1, 1, 1},
                                                     {0, 88, 1, 1, 1, 1, 1, 1}}));
    // Plain drawing puts the corner at the whole-unit position; a particle at life 0 is drawn once more,
    // fully faded, and goes the step after.
    generator.stop();
    EXPECT_EQ(run(1)[0], 1u);
    drawer.clear();
    generator.draw(&drawer);
    ASSERT_EQ(drawer.calls.size(), 1u);
    const ParticleGenerator::Particle& particle = generator.getParticles()[0];
    EXPECT_EQ(drawer.calls[0].values,
              (std::vector<float>{std::trunc(particle.posX), std::trunc(particle.posY), 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(run(1)[0], 0u);
}

TEST_F(Particles, SeveralImagesAreChosenWithTheEndsHalfAsLikely)
{
    generator.addImage(8);
    generator.addImage(9);
    generator.setDirection(0.5f, -0.25f);
    generator.setDensity(100.0f);
    run(20);
    std::map<unsigned int, int> chosen;
    for (const auto& particle : generator.getParticles()) {
        ++chosen[particle.image];
        // A direction set is kept, give or take an eighth.
        EXPECT_NEAR(particle.directionX, 0.5f, 0.125f);
        EXPECT_NEAR(particle.directionY, -0.25f, 0.125f);
    }
    // A draw of (0, 1] times 2.5 picks 7 below 0.4, 8 below 0.8, 9 above.
    for (const auto& [image, share] : {std::pair{7u, 0.4}, {8u, 0.4}, {9u, 0.2}})
        EXPECT_NEAR(chosen[image] / double(generator.getParticles().size()), share, 0.05) << image;
}

TEST_F(Particles, BadSettingsNeitherHangNorDivideByZero)
{
    ParticleGenerator withoutImages(random);
    withoutImages.start();
    withoutImages.move(); // has no image to choose from
    EXPECT_TRUE(withoutImages.getParticles().empty());
    // A density so large that one step would never end emits a bounded number.
    for (const float density : {1.0e30f, std::numeric_limits<float>::infinity(), NAN, 5000.0f}) {
        generator.setDensity(density);
        EXPECT_LE(run(1)[0], 4000u) << density;
    }
    // A sensible density afterwards emits again, the balance starting afresh as in a new generator.
    generator.setDensity(1.0f);
    const std::size_t before = generator.getParticles().size();
    EXPECT_EQ(run(1)[0], before + 2);
    for (const float lifespan : {0.0f, -1.0f, NAN}) {
        generator.setLifespan(lifespan);
        generator.draw(&drawer);
        generator.draw(&drawer, 0, 0, 100, 100);
    }
    EXPECT_TRUE(drawer.calls.empty());
}

} // namespace

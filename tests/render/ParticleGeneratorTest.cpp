#include "ParticleGenerator.h"

#include "Random.h"
#include "RecordingDrawer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class Particles : public testing::Test {
protected:
    Particles() : random(1234), generator(random) { generator.addImage(7); }

    Random random;
    ParticleGenerator generator;
};

TEST_F(Particles, AFreshGeneratorEmitsTwoThenOnePerStep)
{
    generator.setPosition(100, 50);
    generator.start();
    generator.move();
    ASSERT_EQ(generator.getParticles().size(), 2u);
    for (const ParticleGenerator::Particle& particle : generator.getParticles()) {
        EXPECT_EQ(particle.image, 7u);
        EXPECT_EQ(particle.posX, 100.0f);
        EXPECT_EQ(particle.posY, 50.0f);
        EXPECT_EQ(particle.life, 30.0f);
    }
    generator.move();
    ASSERT_EQ(generator.getParticles().size(), 3u);
    const ParticleGenerator::Particle& first = generator.getParticles()[0];
    EXPECT_FLOAT_EQ(first.posX, 100.0f + first.directionX * first.speed);
    EXPECT_FLOAT_EQ(first.life, 29.9f);
    EXPECT_EQ(generator.getParticles()[2].life, 30.0f);
}

TEST_F(Particles, HalfADensityEmitsOnEveryOtherStep)
{
    generator.setDensity(0.5f);
    generator.start();
    std::vector<std::size_t> counts;
    for (int step = 0; step < 5; ++step) {
        generator.move();
        counts.push_back(generator.getParticles().size());
    }
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 2, 3, 3}));
}

TEST_F(Particles, EachEmissionDrawsImageSpeedAndDirectionInThatOrder)
{
    generator.addImage(8);
    generator.addImage(9);
    generator.setSpeed(2.0f);
    Random expected(random.getState());
    generator.start();
    generator.move();
    for (const ParticleGenerator::Particle& particle : generator.getParticles()) {
        const unsigned int images[3] = {7, 8, 9};
        EXPECT_EQ(particle.image, images[static_cast<int>(expected.nextFloat() * 2.5f)]);
        EXPECT_EQ(particle.speed, 2.0f + (expected.nextFloat() - 0.5f) * 0.01f);
        EXPECT_EQ(particle.directionX, 2.0f * (expected.nextFloat() - 0.5f));
        EXPECT_EQ(particle.directionY, 2.0f * (expected.nextFloat() - 0.5f));
    }
    EXPECT_EQ(random.getState(), expected.getState());
}

TEST_F(Particles, AGivenDirectionSpreadsALittle)
{
    generator.setDirection(1.0f, 0.0f);
    generator.setSpeed(2.0f);
    generator.start();
    for (int step = 0; step < 50; ++step)
        generator.move();
    for (const ParticleGenerator::Particle& particle : generator.getParticles()) {
        EXPECT_LE(std::fabs(particle.directionX - 1.0f), 0.125f);
        EXPECT_LE(std::fabs(particle.directionY), 0.125f);
        EXPECT_LE(std::fabs(particle.speed - 2.0f), 0.005f);
    }
    const ParticleGenerator::Particle& oldest = generator.getParticles().front();
    EXPECT_NEAR(oldest.posX, 49 * oldest.directionX * oldest.speed, 0.01f);
}

TEST_F(Particles, AParticleAtExactlyNoLifeGoesOneStepLater)
{
    generator.setLifespan(0.1f);
    generator.setDensity(0.5f);
    generator.start();
    generator.move();
    generator.stop();
    ASSERT_EQ(generator.getParticles().size(), 1u);
    generator.move();
    ASSERT_EQ(generator.getParticles().size(), 1u);
    EXPECT_EQ(generator.getParticles()[0].life, 0.0f);
    generator.move();
    EXPECT_TRUE(generator.getParticles().empty());
}

TEST_F(Particles, AfterStoppingTheCountOnlyFalls)
{
    generator.setLifespan(1.0f);
    generator.start();
    for (int step = 0; step < 5; ++step)
        generator.move();
    generator.stop();
    std::size_t previous = generator.getParticles().size();
    for (int step = 0; step < 15; ++step) {
        generator.move();
        EXPECT_LE(generator.getParticles().size(), previous);
        previous = generator.getParticles().size();
    }
    EXPECT_EQ(previous, 0u);
}

TEST_F(Particles, WithoutImagesNothingIsEmittedOrDrawn)
{
    ParticleGenerator empty(random);
    const int before = random.getState();
    empty.start();
    empty.move();
    EXPECT_TRUE(empty.getParticles().empty());
    EXPECT_EQ(random.getState(), before);
}

TEST_F(Particles, HugeOrNonFiniteDensitiesEndEveryStep)
{
    generator.start();
    for (const float density : {1.0e30f, std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(), 5000.0f}) {
        generator.setDensity(density);
        generator.move();
        EXPECT_LE(generator.getParticles().size(), 4000u) << density;
    }
    // A sensible density afterwards emits again, the balance starting afresh as in a new generator.
    generator.setDensity(1.0f);
    const std::size_t before = generator.getParticles().size();
    generator.move();
    EXPECT_EQ(generator.getParticles().size(), before + 2);
}

TEST_F(Particles, PlainDrawingFadesFromTheTopLeftCorner)
{
    generator.setPosition(100.7f, -20.5f);
    generator.setDensity(0.5f);
    generator.start();
    generator.move();
    generator.stop();
    generator.move();
    RecordingDrawer drawer;
    generator.draw(&drawer);
    ASSERT_EQ(drawer.calls.size(), 1u);
    const ParticleGenerator::Particle& particle = generator.getParticles()[0];
    EXPECT_EQ(drawer.calls[0].handle, 7u);
    const std::vector<float>& values = drawer.calls[0].values;
    EXPECT_EQ(values[0], std::trunc(particle.posX));
    EXPECT_EQ(values[1], std::trunc(particle.posY));
    EXPECT_EQ(values[2], 1.0f);
    EXPECT_FLOAT_EQ(values[7], 29.9f / 30.0f);
}

TEST_F(Particles, ViewDrawingCentresShrinksAndSkipsWhatIsOutside)
{
    generator.setPosition(10.5f, 3.25f);
    generator.setDensity(0.5f);
    generator.start();
    generator.move();
    RecordingDrawer drawer;
    generator.draw(&drawer, 10.0f, 3.0f, 5.0f, 5.0f);
    ASSERT_EQ(drawer.calls.size(), 1u);
    EXPECT_EQ(drawer.calls[0].values, (std::vector<float>{0, -8, 1, 1, 1, 1, 1, 1}));
    drawer.clear();
    generator.draw(&drawer, 11.5f, 3.0f, 5.0f, 5.0f);
    generator.draw(&drawer, 5.0f, 3.0f, 5.5f, 5.0f);
    generator.draw(&drawer, 10.0f, 4.25f, 5.0f, 5.0f);
    EXPECT_TRUE(drawer.calls.empty());
    generator.draw(&drawer, 11.4f, 3.0f, 5.0f, 5.0f);
    EXPECT_EQ(drawer.calls.size(), 1u);
}

TEST_F(Particles, NoLifespanDrawsNothing)
{
    generator.start();
    generator.move();
    RecordingDrawer drawer;
    for (const float lifespan : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        generator.setLifespan(lifespan);
        generator.draw(&drawer);
        generator.draw(&drawer, 0, 0, 100, 100);
    }
    EXPECT_TRUE(drawer.calls.empty());
}

} // namespace

// SPDX-License-Identifier: MIT
#include "render/ParticleGenerator.h"

#include "app/Random.h"
#include "render/Drawer.h"

#include <algorithm>
#include <cmath>

namespace {

const float lifeLossPerStep = 0.1f;
const float speedSpread = 0.01f;
const float directionSpread = 0.25f;
// However large the density, one step emits no more than this, so that it always ends.
const int maxEmissionsPerStep = 1000;

// A position truncated to a whole drawing coordinate, or false when it has none.
bool toCoordinate(float value, short& coordinate)
{
    if (!std::isfinite(value))
        return false;
    const double clamped = std::max(-2147483648.0, std::min(2147483647.0, static_cast<double>(value)));
    coordinate = static_cast<short>(static_cast<int>(clamped));
    return true;
}

} // namespace

ParticleGenerator::ParticleGenerator() : ParticleGenerator(*Random::getGlobal()) {}

ParticleGenerator::ParticleGenerator(Random& random)
    : random(random), directionX(0.0f), directionY(0.0f), speed(1.0f), positionX(0.0f), positionY(0.0f),
      density(1.0f), lifespan(30.0f), running(false), emission(0.0f)
{
}

void ParticleGenerator::start()
{
    running = true;
}

void ParticleGenerator::stop()
{
    running = false;
}

void ParticleGenerator::setDirection(float x, float y)
{
    directionX = x;
    directionY = y;
}

void ParticleGenerator::setSpeed(float newSpeed)
{
    speed = newSpeed;
}

void ParticleGenerator::setPosition(float x, float y)
{
    positionX = x;
    positionY = y;
}

void ParticleGenerator::setDensity(float newDensity)
{
    density = newDensity;
}

void ParticleGenerator::setLifespan(float newLifespan)
{
    lifespan = newLifespan;
}

void ParticleGenerator::addImage(unsigned int image)
{
    particleImages.push_back(image);
}

const std::vector<ParticleGenerator::Particle>& ParticleGenerator::getParticles() const
{
    return particles;
}

void ParticleGenerator::move()
{
    for (Particle& particle : particles) {
        particle.posX += particle.directionX * particle.speed;
        particle.posY += particle.directionY * particle.speed;
        particle.life -= lifeLossPerStep;
    }
    // A life of exactly 0 stays for one more step.
    particles.erase(std::remove_if(particles.begin(), particles.end(),
                                   [](const Particle& particle) { return particle.life < 0.0f; }),
                    particles.end());
    if (!running)
        return;

    emission -= density;
    for (int emitted = 0; emission <= 0.0f && emitted < maxEmissionsPerStep; ++emitted) {
        emit();
        emission += 1.0f;
    }
    // A balance that the cap or a non-finite density left behind would hold up every later step.
    if (!std::isfinite(emission) || emission <= 0.0f)
        emission = 0.0f;
}

void ParticleGenerator::emit()
{
    if (particleImages.empty())
        return;
    Particle particle;
    const float count = static_cast<float>(particleImages.size());
    const std::size_t index = static_cast<std::size_t>(random.nextFloat() * (count - 0.5f));
    particle.image = particleImages[std::min(index, particleImages.size() - 1)];
    particle.posX = positionX;
    particle.posY = positionY;
    particle.life = lifespan;
    particle.speed = speed + (random.nextFloat() - 0.5f) * speedSpread;
    if (directionX == 0.0f && directionY == 0.0f) {
        particle.directionX = 2.0f * (random.nextFloat() - 0.5f);
        particle.directionY = 2.0f * (random.nextFloat() - 0.5f);
    } else {
        particle.directionX = directionX + (random.nextFloat() - 0.5f) * directionSpread;
        particle.directionY = directionY + (random.nextFloat() - 0.5f) * directionSpread;
    }
    particles.push_back(particle);
}

void ParticleGenerator::draw(Drawer* drawer) const
{
    // Fading divides by the lifespan; without one there is nothing to show.
    if (drawer == nullptr || !(lifespan > 0.0f))
        return;
    for (const Particle& particle : particles) {
        short x = 0, y = 0;
        if (toCoordinate(particle.posX, x) && toCoordinate(particle.posY, y))
            drawer->drawImage(particle.image, x, y, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, particle.life / lifespan);
    }
}

void ParticleGenerator::draw(Drawer* drawer, float viewX, float viewY, float viewWidth, float viewHeight) const
{
    if (drawer == nullptr || !(lifespan > 0.0f))
        return;
    for (const Particle& particle : particles) {
        if (!(particle.posX + 1.0f > viewX && viewX + viewWidth > particle.posX && particle.posY + 1.0f > viewY &&
              viewY + viewHeight > particle.posY))
            continue;
        const float fade = particle.life / lifespan;
        short x = 0, y = 0;
        if (toCoordinate((particle.posX - viewX) * 32.0f - 16.0f, x) &&
            toCoordinate((particle.posY - viewY) * 32.0f - 16.0f, y))
            drawer->drawImage(particle.image, x, y, fade, fade, 1.0f, 1.0f, 1.0f, fade);
    }
}

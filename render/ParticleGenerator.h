// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

class Drawer;
class Random;

// Emits image particles at a point while started: each leaves with a randomised direction and speed,
// moves one step per move() and fades (and, in the view drawing, shrinks) until its life runs out.
// The owner advances and draws it; the images stay the drawer's. No screen of this game shows particles
// today; the generator is kept for the screens that will.
class ParticleGenerator {
public:
    // One particle in flight.
    struct Particle {
        unsigned int image = 0;
        float posX = 0.0f;
        float posY = 0.0f;
        float directionX = 0.0f;
        float directionY = 0.0f;
        // Factor applied to the direction at each step.
        float speed = 0.0f;
        // Remaining life; starts at the lifespan and loses 0.1 per step.
        float life = 0.0f;
    };

    // A stopped generator drawing its random numbers from the process-wide source.
    ParticleGenerator();
    // A stopped generator drawing from the given source, which must outlive it.
    explicit ParticleGenerator(Random& random);

    // Starts emitting.
    void start();
    // Stops emitting; particles already out keep moving and fading.
    void stop();
    // Base direction of new particles; (0, 0) sends them any way.
    void setDirection(float x, float y);
    // Base speed of new particles.
    void setSpeed(float speed);
    // Where new particles start.
    void setPosition(float x, float y);
    // Particles emitted per step.
    void setDensity(float density);
    // The life new particles start with; about ten steps per unit.
    void setLifespan(float lifespan);
    // Adds an image handle for new particles to choose from.
    void addImage(unsigned int image);
    // Moves and ages every particle, removes the dead ones and emits new ones while running.
    void move();
    // Draws every particle with its top-left corner at its position, fading with age.
    void draw(Drawer* drawer) const;
    // Draws the particles inside a view rectangle of the generator's own units, 32 logical units to
    // one unit, each 32 by 32 picture centred on its place and shrinking with age.
    void draw(Drawer* drawer, float viewX, float viewY, float viewWidth, float viewHeight) const;

    // The particles in flight, oldest first.
    const std::vector<Particle>& getParticles() const;

private:
    // Emits one particle, drawing four random numbers.
    void emit();

    // The source of every random draw.
    Random& random;
    // Image handles to choose from, in the order added.
    std::vector<unsigned int> particleImages;
    float directionX;
    float directionY;
    float speed;
    float positionX;
    float positionY;
    float density;
    float lifespan;
    bool running;
    // The live particles, oldest first.
    std::vector<Particle> particles;
    // The emission balance carried from step to step: a particle leaves whenever it is 0 or below.
    float emission;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "OpenGLDrawer.h"
#include "XDisplay.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

using Rgb = std::array<int, 3>;
using Rgba = std::array<unsigned char, 4>;
const Rgb black = {0, 0, 0}, white = {255, 255, 255}, red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};

// A picture of a window, rows from the top.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Rgb at(int x, int y) const { return pixels[y * width + x]; }
    // The first and last lit columns of row y, or -1 where nothing is lit.
    std::pair<int, int> litColumns(int y) const
    {
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x)
            if (at(x, y) != black) {
                first = first < 0 ? x : first;
                last = x;
            }
        return {first, last};
    }
    bool operator==(const Screenshot& other) const { return pixels == other.pixels; }

    struct Probe {
        int x, y;
        Rgb colour;
    };
    // Expects each probed pixel to hold its colour, give or take 1 for rounding.
    void expectPixels(std::initializer_list<Probe> probes) const
    {
        for (const Probe& probe : probes)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(at(probe.x, probe.y)[c], probe.colour[c], 1) << "at " << probe.x << "," << probe.y;
    }
};

// A drawer on a real window whose frames are read back. Classic SDL opens one window per process
// (setting the video mode again resizes it and keeps its GL context); CTest runs each case alone.
class DrawingWindow : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    void TearDown() override
    {
        drawer.reset();
        SDL_Quit();
    }

    // Opens the window at a size with a new drawer and begins a frame.
    void open(unsigned short width, unsigned short height)
    {
        drawer = std::make_unique<OpenGLDrawer>();
        ASSERT_TRUE(drawer->initialise(width, height, false, 0));
        // The GL framebuffer takes a resized window's new size at the next buffer swap.
        drawer->endDrawing();
        drawer->beginDrawing();
    }

    // The frame's pixels, as the drawer reads them back; the next frame begins.
    Screenshot capture()
    {
        const SDL_Surface* window = SDL_GetVideoSurface();
        Screenshot shot{window->w, window->h, {}};
        const std::unique_ptr<unsigned char[]> bytes(drawer->getScreenPixels());
        for (int y = shot.height - 1; y >= 0; --y) // the drawer gives the bottom row first
            for (int x = 0; x < shot.width; ++x) {
                const unsigned char* pixel = bytes.get() + (y * shot.width + x) * 3;
                shot.pixels.push_back({pixel[0], pixel[1], pixel[2]});
            }
        drawer->beginDrawing();
        return shot;
    }

    // Registers a picture whose pixel at (x, y) is colourAt(x, y).
    template <class ColourAt>
    unsigned int makeImage(unsigned int width, unsigned int height, ColourAt colourAt)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x) {
                const Rgba colour = colourAt(x, y);
                std::copy(colour.begin(), colour.end(), pixels + (y * width + x) * 4);
            }
        return drawer->loadImage(pixels, width, height);
    }
    unsigned int solidImage(unsigned int size, Rgba colour)
    {
        return makeImage(size, size, [colour](unsigned int, unsigned int) { return colour; });
    }

    std::unique_ptr<OpenGLDrawer> drawer;
};

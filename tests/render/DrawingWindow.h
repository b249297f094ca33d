// SPDX-License-Identifier: MIT
#pragma once

#include "XDisplay.h"
#include "render/OpenGLDrawer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <tuple>
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
    bool operator==(const Screenshot& other) const { return pixels == other.pixels; }
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
    // Expects the pixel at each (x, y) to hold its colour, give or take 1 for rounding.
    void expectPixels(std::initializer_list<std::tuple<int, int, Rgb>> probes) const
    {
        for (const auto& [x, y, colour] : probes)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(at(x, y)[c], colour[c], 1) << "at " << x << "," << y;
    }
};

// A drawer on a real window of 1024 by 768 pixels with a frame begun, whose frames are read back.
// Classic SDL opens one window per process (setting the video mode again resizes it and keeps its GL
// context); CTest runs each case alone.
class DrawingWindow : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        open(1024, 768);
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
        drawer->endDrawing(); // the GL framebuffer takes a resized window's size at the next buffer swap
        drawer->beginDrawing();
    }

    // The frame's pixels, as the drawer reads them back (bottom row first); the next frame begins.
    Screenshot capture()
    {
        Screenshot shot{SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h, {}};
        const std::unique_ptr<unsigned char[]> bytes(drawer->getScreenPixels());
        for (int i = 0; i < shot.width * shot.height; ++i) {
            const unsigned char* pixel = &bytes[((shot.height - 1 - i / shot.width) * shot.width + i % shot.width) * 3];
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
        for (unsigned int i = 0; i < width * height; ++i)
            std::copy_n(colourAt(i % width, i / width).begin(), 4, pixels + i * 4);
        return drawer->loadImage(pixels, width, height);
    }
    unsigned int solidImage(unsigned int size, Rgba colour)
    {
        return makeImage(size, size, [colour](unsigned int, unsigned int) { return colour; });
    }

    std::unique_ptr<OpenGLDrawer> drawer;
};

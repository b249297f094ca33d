#pragma once

#include "OpenGLDrawer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

// A picture read back from the window, addressed from its top-left corner like the logical screen.
class Screenshot {
public:
    Screenshot(unsigned char* pixels, int width, int height) : pixels(pixels), width(width), height(height) {}

    // The red, green and blue of the pixel in column x, row y counted from the top.
    std::array<int, 3> at(int x, int y) const
    {
        const unsigned char* pixel = pixels.get() + ((height - 1 - y) * width + x) * 3;
        return {pixel[0], pixel[1], pixel[2]};
    }
    int red(int x, int y) const { return at(x, y)[0]; }
    bool operator==(const Screenshot& other) const
    {
        return width == other.width && height == other.height &&
               std::equal(pixels.get(), pixels.get() + width * height * 3, other.pixels.get());
    }

private:
    // The rows as the drawer returns them, bottom row first.
    std::unique_ptr<unsigned char[]> pixels;
    int width;
    int height;
};

// Gives each test a fresh drawer on the process's one window (classic SDL opens a window once per
// process; setting the video mode again resizes it and keeps its GL context).
class DrawerWindow : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
        ASSERT_TRUE(started) << SDL_GetError();
    }

    void SetUp() override { open(1024, 768); }

    // Opens the window at a size with a new drawer and starts a frame.
    void open(unsigned short width, unsigned short height)
    {
        drawer.reset(new OpenGLDrawer);
        testing::internal::CaptureStdout();
        const bool opened = drawer->initialise(width, height, false, 0);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(opened);
        // The GL framebuffer takes a resized window's new size at the next buffer swap.
        drawer->endDrawing();
        windowWidth = width;
        windowHeight = height;
        drawer->beginDrawing();
    }

    // Presents the frame, returns its pixels and starts the next frame.
    Screenshot capture()
    {
        Screenshot shot(drawer->getScreenPixels(), windowWidth, windowHeight);
        drawer->beginDrawing();
        return shot;
    }

    // Registers a picture of one colour.
    unsigned int solidImage(unsigned int width, unsigned int height, unsigned char r, unsigned char g,
                            unsigned char b, unsigned char a = 255)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (unsigned int i = 0; i < width * height; ++i) {
            pixels[i * 4] = r;
            pixels[i * 4 + 1] = g;
            pixels[i * 4 + 2] = b;
            pixels[i * 4 + 3] = a;
        }
        return drawer->loadImage(pixels, width, height);
    }

    std::unique_ptr<OpenGLDrawer> drawer;
    int windowWidth = 0;
    int windowHeight = 0;
};

#pragma once

#include "ImageLoader.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// An RGB picture of the 1024 by 768 screen: either what the game's window shows (a screenshot) or
// what it should show, composed from the embedded pictures the way the drawer blends them.
class ScreenPicture {
public:
    static constexpr int WIDTH = 1024;
    static constexpr int HEIGHT = 768;

    // A black screen.
    ScreenPicture() : pixels(WIDTH * HEIGHT * 3, 0.0f) {}

    // The window's content now, kept as raw RGB bytes at path; invalid when the capture failed.
    static ScreenPicture capture(const std::string& window, const std::string& path)
    {
        ScreenPicture shot;
        const std::string command = "import -window " + window + " -depth 8 RGB:" + path + " 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            return shot;
        std::ifstream file(path, std::ios::binary);
        std::vector<unsigned char> bytes(WIDTH * HEIGHT * 3);
        if (file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
            shot.valid = true;
            std::copy(bytes.begin(), bytes.end(), shot.pixels.begin());
        }
        return shot;
    }

    // Turns a capture's raw file into a PNG file.
    static bool saveAsPng(const std::string& rawPath, const std::string& pngPath)
    {
        const std::string command = "convert -size " + std::to_string(WIDTH) + "x" + std::to_string(HEIGHT) +
            " -depth 8 RGB:" + rawPath + " " + pngPath + " 2>/dev/null";
        return std::system(command.c_str()) == 0;
    }

    // Blends a picture over this one with its top-left corner at (x, y), tinted, as the drawer does.
    void draw(const LoadedImage& image, int x, int y, float r, float g, float b, float a)
    {
        const float tint[3] = {r, g, b};
        for (unsigned int row = 0; row < image.height; ++row) {
            for (unsigned int column = 0; column < image.width; ++column) {
                const int sx = x + static_cast<int>(column);
                const int sy = y + static_cast<int>(row);
                if (sx < 0 || sy < 0 || sx >= WIDTH || sy >= HEIGHT)
                    continue;
                const unsigned char* source = image.pixels + (row * image.width + column) * 4;
                const float alpha = source[3] / 255.0f * a;
                float* target = &pixels[(sy * WIDTH + sx) * 3];
                for (int channel = 0; channel < 3; ++channel)
                    target[channel] = source[channel] * tint[channel] * alpha + target[channel] * (1.0f - alpha);
            }
        }
    }

    // The share of pixels in the rectangle [left, right) x [top, bottom) whose channels all lie within
    // tolerance of the other picture's.
    float matchIn(const ScreenPicture& other, int left, int top, int right, int bottom, float tolerance) const
    {
        int matching = 0;
        int total = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const float* mine = &pixels[(y * WIDTH + x) * 3];
                const float* theirs = &other.pixels[(y * WIDTH + x) * 3];
                bool close = true;
                for (int channel = 0; channel < 3; ++channel)
                    close = close && std::abs(mine[channel] - theirs[channel]) <= tolerance;
                matching += close ? 1 : 0;
                ++total;
            }
        }
        return total == 0 ? 0.0f : static_cast<float>(matching) / static_cast<float>(total);
    }
    float match(const ScreenPicture& other, float tolerance = 24) const
    {
        return matchIn(other, 0, 0, WIDTH, HEIGHT, tolerance);
    }

    bool isValid() const { return valid; }

private:
    // Row by row from the top, three channels of 0 to 255 each.
    std::vector<float> pixels;
    // False for a failed capture, which matches nothing useful.
    bool valid = false;
};

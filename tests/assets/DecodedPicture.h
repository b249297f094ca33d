#pragma once

#include "ImageLoader.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A picture decoded through the game's ImageLoader, kept for the whole test run so that each
// embedded file is decoded once however many tests read it.
class DecodedPicture {
public:
    // The decoded picture of an embedded array (cached by its address).
    static const DecodedPicture& of(const char* data, unsigned int size)
    {
        static std::map<const char*, std::unique_ptr<DecodedPicture>> cache;
        std::unique_ptr<DecodedPicture>& slot = cache[data];
        if (!slot)
            slot.reset(new DecodedPicture(data, size));
        return *slot;
    }

    // True when the loader returned pixels.
    bool decoded() const { return !rgba.empty(); }
    unsigned int width() const { return w; }
    unsigned int height() const { return h; }
    // One channel (0 red ... 3 alpha) of a pixel; 0 outside the picture.
    int at(int x, int y, int channel) const
    {
        if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h))
            return 0;
        return rgba[(static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)) * 4 + channel];
    }
    int alpha(int x, int y) const { return at(x, y, 3); }

private:
    DecodedPicture(const char* data, unsigned int size)
    {
        const LoadedImage image = ImageLoader().loadImage(data, size);
        w = image.width;
        h = image.height;
        if (image.pixels != nullptr)
            rgba.assign(image.pixels, image.pixels + static_cast<std::size_t>(w) * h * 4);
        delete[] image.pixels;
    }

    // Width and height as the loader reported them.
    unsigned int w = 0;
    unsigned int h = 0;
    // The RGBA bytes, row by row from the top.
    std::vector<unsigned char> rgba;
};

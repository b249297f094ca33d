// SPDX-License-Identifier: MIT
#pragma once

#include "render/LoadedImage.h"

#include <string>

class Drawer;
struct SDL_Surface;

// Decodes PNG and JPEG pictures, held in memory or in a file, into plain RGBA pixel buffers that the
// drawer can turn into textures. Keeps no state: create one on the stack for a batch of decodes.
class ImageLoader {
public:
    // Decodes length bytes of picture data; an empty result when they do not decode. 24-bit
    // pictures are expanded to opaque RGBA, with a notice.
    LoadedImage loadImage(const char* data, unsigned int length);
    // Decodes the picture file at path, the same way but without the 24-bit notice.
    LoadedImage loadImage(const std::string& path);
    // Decodes length bytes of picture data and registers the pixels with the drawer, which takes
    // them; the image handle, or 0 when they do not decode.
    unsigned int loadInto(Drawer& drawer, const char* data, unsigned int length);

private:
    // Copies a decoded surface into a new RGBA buffer and frees the surface.
    static LoadedImage convert(SDL_Surface* surface, bool announce24Bit);
};

// SPDX-License-Identifier: MIT
#include "render/ImageLoader.h"

#include "render/Drawer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <iostream>

LoadedImage ImageLoader::loadImage(const char* data, unsigned int length)
{
    // SDL's memory streams take a signed size.
    if (data == nullptr || length == 0 || length > static_cast<unsigned int>(INT_MAX))
        return LoadedImage();
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(length));
    if (stream == nullptr)
        return LoadedImage();
    return convert(IMG_Load_RW(stream, 1), true);
}

LoadedImage ImageLoader::loadImage(const std::string& path)
{
    if (path.empty())
        return LoadedImage();
    return convert(IMG_Load(path.c_str()), false);
}

LoadedImage ImageLoader::convert(SDL_Surface* surface, bool announce24Bit)
{
    LoadedImage result;
    if (surface == nullptr)
        return result;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel != 3 && bytesPerPixel != 4) {
        std::cout << "ImageLoader: Image not 32bits." << std::endl;
        SDL_FreeSurface(surface);
        return result;
    }
    // Decoded pictures hold their pixels in memory already; a lock is taken only where SDL would have to
    // fetch them first. (A browser's SDL asks for locks on every surface but cannot lock a decoded
    // picture again once a GL window is open.)
    const bool locks = SDL_MUSTLOCK(surface) && surface->pixels == nullptr;
    if (surface->w <= 0 || surface->h <= 0 || (locks && SDL_LockSurface(surface) < 0)) {
        SDL_FreeSurface(surface);
        return result;
    }
    if (bytesPerPixel == 3 && announce24Bit)
        std::cout << "ImageLoader: Image 24bit.  Assuming 24bit RGB format." << std::endl;

    const std::size_t width = static_cast<std::size_t>(surface->w);
    const std::size_t height = static_cast<std::size_t>(surface->h);
    result.pixels = new unsigned char[width * height * 4];
    // Rows are read pitch bytes apart: decoders may pad each row beyond its pixels.
    for (std::size_t row = 0; row < height; ++row) {
        const unsigned char* source = static_cast<const unsigned char*>(surface->pixels) + row * surface->pitch;
        unsigned char* target = result.pixels + row * width * 4;
        if (bytesPerPixel == 4) {
            std::memcpy(target, source, width * 4);
            continue;
        }
        for (std::size_t column = 0; column < width; ++column) {
            target[column * 4] = source[column * 3];
            target[column * 4 + 1] = source[column * 3 + 1];
            target[column * 4 + 2] = source[column * 3 + 2];
            target[column * 4 + 3] = 255;
        }
    }
    result.width = static_cast<unsigned int>(width);
    result.height = static_cast<unsigned int>(height);
    if (locks)
        SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    return result;
}

unsigned int ImageLoader::loadInto(Drawer& drawer, const char* data, unsigned int length)
{
    const LoadedImage picture = loadImage(data, length);
    if (picture.pixels == nullptr)
        return 0;
    return drawer.loadImage(picture.pixels, picture.width, picture.height);
}

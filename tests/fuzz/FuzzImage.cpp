// SPDX-License-Identifier: MIT
// The picture decoder, fed any bytes as an embedded picture.
#include "FuzzInput.h"
#include "render/ImageLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzFolder();
    const LoadedImage image =
        ImageLoader().loadImage(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
    delete[] image.pixels;
    return 0;
}

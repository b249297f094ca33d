// SPDX-License-Identifier: MIT
// The picture decoder, fed any bytes as an embedded picture.
#include "Fuzz.h"
#include "render/ImageLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Keeps the game's notices off the fuzzer's output.
    fuzzFolder();
    delete[] ImageLoader().loadImage(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size)).pixels;
    return 0;
}

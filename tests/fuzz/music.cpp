// SPDX-License-Identifier: MIT
// The music streamer, fed any bytes as the music file, and played past its loop point.
#include "Fuzz.h"
#include "audio/BackgroundMusic.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BackgroundMusic music(inputAs("music.ogg", data, size), false);
    std::vector<float> block(2 * BackgroundMusic::BUFFER_FRAMES, 0.0f);
    for (int buffer = 0; buffer < 2 * BackgroundMusic::NUM_BUFFERS; ++buffer) {
        music.audioBlock(block.data(), BackgroundMusic::BUFFER_FRAMES);
        music.refill();
    }
    return 0;
}

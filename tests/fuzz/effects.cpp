// SPDX-License-Identifier: MIT
// The effects loader, fed any bytes as click.ogg; what loads is played through the mixer.
#include "Fuzz.h"
#include "audio/Sounds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    inputAs("click.ogg", data, size);
    Sounds sounds(fuzzFolder() + "/");
    sounds.playSound(Sounds::ClickSound);
    std::vector<float> block(2 * 512, 0.0f);
    sounds.getAudio(block.data(), 512);
    return 0;
}

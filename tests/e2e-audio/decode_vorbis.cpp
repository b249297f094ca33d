// SPDX-License-Identifier: MIT
// Writes the first logical stream of an Ogg Vorbis file, decoded straight through from its first frame,
// to standard output as interleaved little-endian float32 stereo frames: the reference the captured
// music is compared with. A single channel is written to both sides.
// Usage: decode_vorbis FILE.ogg > FILE.f32
#include "DecodedSound.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const DecodedSound sound(argc == 2 ? argv[1] : "");
    if (sound.left.empty()) {
        std::fprintf(stderr, "usage: decode_vorbis FILE.ogg (a readable Ogg Vorbis file)\n");
        return 1;
    }
    std::vector<float> frames;
    for (size_t i = 0; i < sound.left.size(); ++i)
        frames.insert(frames.end(), {sound.left[i], sound.right[i]});
    return std::fwrite(frames.data(), sizeof(float), frames.size(), stdout) == frames.size() ? 0 : 1;
}

#pragma once

#include <string>

// The looping background music. Placeholder until the music streamer lands: it is silent.
class BackgroundMusic {
public:
    BackgroundMusic() = default;

    // Adds the music into an interleaved stereo block.
    void audioBlock(float* block, int frames);

    // The folder of the sound files, ending with a separator.
    static std::string getSoundsPath();
};

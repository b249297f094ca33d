// SPDX-License-Identifier: MIT
// The browser's sound has no ALSA or JACK beneath it to probe for devices, so nothing is there to
// quieten, and no libraries are loaded to look into.
#include "audio/AudioLibraryNoise.h"

#include <cstdlib>
#include <cstring>

void AudioLibraryNoise::quieten() {}

bool AudioLibraryNoise::diagnosticsWanted()
{
    const char* value = std::getenv("MARROWGATE_AUDIO_DIAGNOSTICS");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

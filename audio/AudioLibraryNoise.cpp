// SPDX-License-Identifier: MIT
#include "audio/AudioLibraryNoise.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <cstdlib>
#include <cstring>

namespace {
    // ALSA calls its handler with printf-style arguments; dropping them is the point.
    void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}
    void ignoreJack(const char*) {}
}

void AudioLibraryNoise::quieten()
{
    if (diagnosticsWanted())
        return;
    snd_lib_error_set_handler(ignoreAlsa);
    jack_set_error_function(ignoreJack);
    jack_set_info_function(ignoreJack);
    // Probing for JACK must not launch a sound server as a side effect of starting a game.
    setenv("JACK_NO_START_SERVER", "1", 0);
}

bool AudioLibraryNoise::diagnosticsWanted()
{
    const char* value = std::getenv("MARROWGATE_AUDIO_DIAGNOSTICS");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

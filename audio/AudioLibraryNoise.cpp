// SPDX-License-Identifier: MIT
#include "audio/AudioLibraryNoise.h"

#include "app/LoadedLibrary.h"

#include <cstdlib>
#include <cstring>

namespace {
    // ALSA calls its handler with printf-style arguments; dropping them is the point.
    void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}
    void ignoreJack(const char*) {}

    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using JackHandler = void (*)(const char*);

    // Hands the handler to the library's setter, where PortAudio has loaded the library.
    template <class Handler>
    void setHandler(const char* library, const char* setter, Handler handler)
    {
        if (auto set = functionOfLoadedLibrary<int (*)(Handler)>(library, setter))
            set(handler);
    }
}

void AudioLibraryNoise::quieten()
{
    if (diagnosticsWanted())
        return;
    setHandler<AlsaHandler>("libasound.so.2", "snd_lib_error_set_handler", ignoreAlsa);
    setHandler<JackHandler>("libjack.so.0", "jack_set_error_function", ignoreJack);
    setHandler<JackHandler>("libjack.so.0", "jack_set_info_function", ignoreJack);
    // Probing for JACK must not launch a sound server as a side effect of starting a game.
    setenv("JACK_NO_START_SERVER", "1", 0);
}

bool AudioLibraryNoise::diagnosticsWanted()
{
    const char* value = std::getenv("MARROWGATE_AUDIO_DIAGNOSTICS");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

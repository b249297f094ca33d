// SPDX-License-Identifier: MIT
#pragma once

// The sound libraries under PortAudio (ALSA, JACK) write dozens of lines to the terminal while they
// probe for devices, which on a machine without a sound card buries the game's own messages. This
// keeps them quiet unless $MARROWGATE_AUDIO_DIAGNOSTICS is set to something other than "0".
class AudioLibraryNoise {
public:
    // Installs quiet handlers in ALSA and JACK and keeps JACK from starting a server; call before
    // Pa_Initialize. Does nothing when the diagnostics are asked for.
    static void quieten();
    // Whether the user asked to see the libraries' own messages.
    static bool diagnosticsWanted();
};

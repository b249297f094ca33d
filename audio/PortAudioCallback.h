// SPDX-License-Identifier: MIT
#pragma once

// What the audio device calls, on its own thread, for every block of sound it needs.
class PortAudioCallback {
public:
    virtual ~PortAudioCallback() = default;

    // Fills output with frames interleaved stereo float frames; input is unused (null).
    virtual void getAudio(float* input, float* output, int frames) = 0;
};

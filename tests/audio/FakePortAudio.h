#pragma once

#include <portaudio.h>

#include <string>
#include <vector>

// Stands in for the PortAudio library in the audio tests: the test program defines the PortAudio
// functions the device uses, so they are linked instead of the real ones. Each call is logged, and the
// answers can be set before a test runs.
struct FakePortAudio {
    // The calls made, by function name.
    std::vector<std::string> calls;
    PaError initialiseResult = paNoError;
    // What the native host API lookup returns; not found, as on Linux, by default.
    PaHostApiIndex nativeIndex = paHostApiNotFound;
    PaHostApiIndex defaultIndex = 3;
    PaHostApiInfo hostApi = {1, paALSA, "ALSA", 2, 5, 7};
    // Rates that Pa_IsFormatSupported refuses with paInvalidSampleRate.
    std::vector<double> refusedRates;
    PaError openResult = paNoError;
    PaError startResult = paNoError;
    // What the last Pa_OpenStream was given.
    bool openedWithInput = false;
    PaStreamParameters openedOutput = {};
    double openedRate = 0.0;
    PaStreamCallback* openedCallback = nullptr;
    void* openedUserData = nullptr;
    // The host API index Pa_GetHostApiInfo was asked for.
    PaHostApiIndex infoIndex = -1;

    // Resets every answer and forgets the calls.
    static FakePortAudio& reset();
    static FakePortAudio& get();
    int count(const std::string& name) const;
};

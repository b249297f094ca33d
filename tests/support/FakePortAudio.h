// SPDX-License-Identifier: MIT
#pragma once

#include <portaudio.h>

#include <sstream>
#include <string>
#include <vector>

// The PortAudio functions the audio device uses, defined by the test program so that they are linked
// instead of the library's: each call is logged, and a test sets the answers before it starts a
// device. Include it in one source file of a test program.
struct FakePortAudio {
    std::vector<std::string> calls;
    PaError initialiseResult = paNoError, openResult = paNoError, startResult = paNoError;
    // What the device answers when asked about 44100 Hz, and about any other rate.
    PaError at44100 = paFormatIsSupported, at48000 = paFormatIsSupported;
    // ALSA comes first on Linux, so the default host API is index 0.
    PaHostApiIndex defaultHostApi = 0;
    // The host's default input (5) and output (7) devices.
    PaHostApiInfo hostApi = {1, paALSA, "ALSA", 2, 5, 7};
    // What the last stream opened would call for every block.
    PaStreamCallback* callback = nullptr;
    void* userData = nullptr;

    PaError logged(const std::string& call, PaError result)
    {
        calls.push_back(call);
        return result;
    }
};
inline FakePortAudio fake;

extern "C" {
PaError Pa_Initialize(void) { return fake.logged("Pa_Initialize", fake.initialiseResult); }
PaError Pa_Terminate(void) { return fake.logged("Pa_Terminate", paNoError); }
// No Core Audio on Linux: the lookup of the native host API finds nothing.
PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(PaHostApiTypeId) { return paHostApiNotFound; }
PaHostApiIndex Pa_GetDefaultHostApi(void) { return fake.defaultHostApi; }
const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex i) { return i == fake.defaultHostApi ? &fake.hostApi : nullptr; }
const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device)
{
    // Each default device is quick only on its own side.
    static const PaDeviceInfo input = {2, "in", 0, 2, 2, 0.0087, 0.5, 0.5, 0.5, 44100.0};
    static const PaDeviceInfo output = {2, "out", 0, 2, 2, 0.5, 0.0116, 0.5, 0.5, 44100.0};
    return device == 5 ? &input : &output;
}
// The device knows of its default output alone, asked about without an input.
PaError Pa_IsFormatSupported(const PaStreamParameters* input, const PaStreamParameters* output, double rate)
{
    return input != nullptr || output->device != 7 ? paInvalidDevice : rate == 44100.0 ? fake.at44100 : fake.at48000;
}
// Logs what it is asked for: each side's device, channels, sample format and latency ("-" for a side
// not asked for) and the rate. The host chooses the block length, and no flags are known.
PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters* input, const PaStreamParameters* output,
                      double rate, unsigned long frames, PaStreamFlags flags, PaStreamCallback* callback, void* userData)
{
    std::ostringstream call("Pa_OpenStream", std::ios::ate);
    for (const PaStreamParameters* side : {input, output})
        if (side == nullptr)
            call << " -";
        else
            call << ' ' << side->device << ' ' << side->channelCount << ' ' << side->sampleFormat << ' '
                 << side->suggestedLatency;
    call << ' ' << rate;
    fake.callback = callback;
    fake.userData = userData;
    *stream = &fake;
    return fake.logged(call.str(), frames != paFramesPerBufferUnspecified || flags ? paInvalidFlag : fake.openResult);
}
PaError Pa_StartStream(PaStream*) { return fake.logged("Pa_StartStream", fake.startResult); }
PaError Pa_StopStream(PaStream*) { return fake.logged("Pa_StopStream", paNoError); }
PaError Pa_CloseStream(PaStream*) { return fake.logged("Pa_CloseStream", paNoError); }
}

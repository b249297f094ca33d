// SPDX-License-Identifier: MIT
#include "audio/PortAudioDevice.h"

#include "audio/AudioLibraryNoise.h"
#include "audio/PortAudioCallback.h"

#include <algorithm>
#include <iostream>

PortAudioDevice::PortAudioDevice()
    : stream(nullptr), callback(nullptr), numInputChannels(0), numOutputChannels(2), samplerate(44100.0),
      started(false)
{
}

PortAudioDevice::~PortAudioDevice()
{
    if (started)
        stop();
}

void PortAudioDevice::setCallback(PortAudioCallback* newCallback)
{
    callback = newCallback;
}

void PortAudioDevice::setNumChannels(int inputs, int outputs)
{
    numInputChannels = inputs;
    numOutputChannels = outputs;
}

void PortAudioDevice::setSamplerate(double rate)
{
    samplerate = rate;
}

bool PortAudioDevice::start()
{
    if (started)
        return false;
    AudioLibraryNoise::quieten();
    if (Pa_Initialize() != paNoError) {
        std::cout << "PortAudioDevice Error: Could not initialise." << std::endl;
        return false;
    }
    const PaHostApiInfo* hostApi = findHostApi();
    if (hostApi == nullptr)
        return fail("PortAudioDevice Error: Could not open stream.");

    const PaDeviceIndex inputDevice = hostApi->defaultInputDevice;
    const PaDeviceIndex outputDevice = hostApi->defaultOutputDevice;
    const PaStreamParameters input = {inputDevice, numInputChannels, paFloat32, lowLatency(inputDevice, false), nullptr};
    const PaStreamParameters output = {outputDevice, numOutputChannels, paFloat32, lowLatency(outputDevice, true),
                                       nullptr};
    const bool useInput = numInputChannels >= 1;
    const bool useOutput = numOutputChannels >= 1;
    // A machine without a sound card has no default device; PortAudio must not be handed paNoDevice.
    if ((useInput && input.device == paNoDevice) || (useOutput && output.device == paNoDevice))
        return fail("PortAudioDevice Error: Could not open stream.");
    if (useOutput)
        settleSamplerate(output);

    if (Pa_OpenStream(&stream, useInput ? &input : nullptr, useOutput ? &output : nullptr, samplerate,
                      paFramesPerBufferUnspecified, paNoFlag, portAudioCallback, callback) != paNoError) {
        stream = nullptr;
        return fail("PortAudioDevice Error: Could not open stream.");
    }
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        stream = nullptr;
        return fail("PortAudioDevice Error: Could not start stream.");
    }
    started = true;
    return true;
}

void PortAudioDevice::stop()
{
    if (!started)
        return;
    Pa_StopStream(stream);
    Pa_CloseStream(stream);
    Pa_Terminate();
    stream = nullptr;
    started = false;
}

int PortAudioDevice::portAudioCallback(const void* input, void* output, unsigned long frames,
                                       const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* userData)
{
    if (userData == nullptr)
        return paContinue;
    float* block = static_cast<float*>(output);
    const int frameCount = static_cast<int>(frames);
    // Nothing may unwind into PortAudio's C code: a failing mixer costs one silent block, not the stream.
    try {
        static_cast<PortAudioCallback*>(userData)->getAudio(
            const_cast<float*>(static_cast<const float*>(input)), block, frameCount);
    } catch (...) {
        if (block != nullptr)
            std::fill(block, block + 2 * frameCount, 0.0f);
    }
    return paContinue;
}

const PaHostApiInfo* PortAudioDevice::findHostApi()
{
    PaHostApiIndex index = Pa_HostApiTypeIdToHostApiIndex(paCoreAudio);
    if (index < 0)
        index = Pa_GetDefaultHostApi();
    if (index < 0)
        return nullptr;
    return Pa_GetHostApiInfo(index);
}

double PortAudioDevice::lowLatency(PaDeviceIndex device, bool output)
{
    // A latency of 0 asks the host for the impossible, and some hosts answer with glitches.
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (info == nullptr)
        return 0.0;
    return output ? info->defaultLowOutputLatency : info->defaultLowInputLatency;
}

void PortAudioDevice::settleSamplerate(const PaStreamParameters& output)
{
    if (Pa_IsFormatSupported(nullptr, &output, samplerate) != paInvalidSampleRate)
        return;
    std::cout << "44100Hz samplerate not supported, using 48000Hz." << std::endl;
    samplerate = 48000.0;
    if (Pa_IsFormatSupported(nullptr, &output, samplerate) == paInvalidSampleRate)
        std::cout << "48000Hz not supported either?" << std::endl;
}

bool PortAudioDevice::fail(const char* message)
{
    std::cout << message << std::endl;
    Pa_Terminate();
    return false;
}

// SPDX-License-Identifier: MIT
#pragma once

#include <portaudio.h>

class PortAudioCallback;

// The one PortAudio output stream of the program. The application owns it by value, sets it up once and
// starts it at most once; the callback object is not owned and must outlive the running stream.
class PortAudioDevice {
public:
    // Sets the defaults; touches no PortAudio function.
    PortAudioDevice();
    // Stops the stream if it is still running.
    ~PortAudioDevice();

    PortAudioDevice(const PortAudioDevice&) = delete;
    PortAudioDevice& operator=(const PortAudioDevice&) = delete;

    // The object that fills every block; bound to the stream when it opens.
    void setCallback(PortAudioCallback* newCallback);
    // Input and output channel counts for the next start.
    void setNumChannels(int inputs, int outputs);
    // The rate asked for at the next start (start may fall back to 48000).
    void setSamplerate(double rate);

    // Opens and starts the stream; true only when this call started it.
    bool start();
    // Stops and closes a started stream and shuts PortAudio down; does nothing otherwise.
    void stop();

    // Whether the stream is open and running.
    bool isStarted() const { return started; }

    // The trampoline handed to PortAudio: forwards each block to the PortAudioCallback in userData.
    static int portAudioCallback(const void* input, void* output, unsigned long frames,
                                 const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                                 void* userData);

private:
    // The host API whose default devices are used: the native one if PortAudio has it, else the default.
    static const PaHostApiInfo* findHostApi();
    // The device's default low latency in seconds, for output or input; 0 for no device.
    static double lowLatency(PaDeviceIndex device, bool output);
    // Asks whether the output format is supported, falling back from the requested rate to 48000.
    void settleSamplerate(const PaStreamParameters& output);
    // Prints a failure and shuts PortAudio down again.
    static bool fail(const char* message);

    // The open stream, null until start opens it.
    PaStream* stream;
    // Fills the blocks; not owned.
    PortAudioCallback* callback;
    // Channel counts of the stream; no input by default.
    int numInputChannels;
    int numOutputChannels;
    // Frames per second; start may replace it with 48000.
    double samplerate;
    // True while the stream is open and running, so stop runs its sequence once.
    bool started;
};

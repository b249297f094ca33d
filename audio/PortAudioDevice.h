#pragma once

class PortAudioCallback;

// The one PortAudio output stream. Placeholder until the audio device lands: it never opens a stream.
class PortAudioDevice {
public:
    PortAudioDevice() = default;
    ~PortAudioDevice();

    void setCallback(PortAudioCallback* newCallback) { callback = newCallback; }
    void setNumChannels(int inputs, int outputs)
    {
        numInputChannels = inputs;
        numOutputChannels = outputs;
    }
    void setSamplerate(double rate) { samplerate = rate; }

    // Opens and starts the stream; true only when this call started it.
    bool start();
    // Stops and closes a started stream.
    void stop();

private:
    PortAudioCallback* callback = nullptr;
    int numInputChannels = 0;
    int numOutputChannels = 2;
    double samplerate = 44100.0;
    bool started = false;
};

// SPDX-License-Identifier: MIT
#pragma once

// The part of PortAudio V19's interface that the game calls, with PortAudio's names, types and values,
// over the browser's sound (SDL audio on Web Audio). One host API with one output device; a stream is
// stereo 32-bit float at 44100 or 48000 Hz, the only kind the game opens.

typedef int PaError;
typedef int PaDeviceIndex;
typedef int PaHostApiIndex;
typedef unsigned long PaSampleFormat;
typedef unsigned long PaStreamFlags;
typedef unsigned long PaStreamCallbackFlags;
typedef double PaTime;
typedef void PaStream;

enum PaErrorCode {
    paNoError = 0,
    paNotInitialized = -10000,
    paInvalidChannelCount = -9998,
    paInvalidSampleRate = -9997,
    paInvalidDevice = -9996,
    paSampleFormatNotSupported = -9994,
    paBadStreamPtr = -9988,
    paDeviceUnavailable = -9985,
    paHostApiNotFound = -9979
};

enum PaHostApiTypeId { paInDevelopment = 0, paCoreAudio = 5 };
enum PaStreamCallbackResult { paContinue = 0 };

#define paNoDevice ((PaDeviceIndex)-1)
#define paFloat32 ((PaSampleFormat)0x00000001)
#define paFramesPerBufferUnspecified (0)
#define paNoFlag ((PaStreamFlags)0)

typedef struct PaHostApiInfo {
    int structVersion;
    enum PaHostApiTypeId type;
    const char* name;
    int deviceCount;
    PaDeviceIndex defaultInputDevice;
    PaDeviceIndex defaultOutputDevice;
} PaHostApiInfo;

typedef struct PaDeviceInfo {
    int structVersion;
    const char* name;
    PaHostApiIndex hostApi;
    int maxInputChannels;
    int maxOutputChannels;
    PaTime defaultLowInputLatency;
    PaTime defaultLowOutputLatency;
    PaTime defaultHighInputLatency;
    PaTime defaultHighOutputLatency;
    double defaultSampleRate;
} PaDeviceInfo;

typedef struct PaStreamParameters {
    PaDeviceIndex device;
    int channelCount;
    PaSampleFormat sampleFormat;
    PaTime suggestedLatency;
    void* hostApiSpecificStreamInfo;
} PaStreamParameters;

typedef struct PaStreamCallbackTimeInfo {
    PaTime inputBufferAdcTime;
    PaTime currentTime;
    PaTime outputBufferDacTime;
} PaStreamCallbackTimeInfo;

typedef int PaStreamCallback(const void* input, void* output, unsigned long frameCount,
                             const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                             void* userData);

PaError Pa_Initialize(void);
PaError Pa_Terminate(void);
PaHostApiIndex Pa_GetDefaultHostApi(void);
PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(enum PaHostApiTypeId type);
const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex hostApi);
const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device);
PaError Pa_IsFormatSupported(const PaStreamParameters* inputParameters,
                             const PaStreamParameters* outputParameters, double sampleRate);
PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters* inputParameters,
                      const PaStreamParameters* outputParameters, double sampleRate, unsigned long framesPerBuffer,
                      PaStreamFlags streamFlags, PaStreamCallback* streamCallback, void* userData);
PaError Pa_StartStream(PaStream* stream);
PaError Pa_StopStream(PaStream* stream);
PaError Pa_CloseStream(PaStream* stream);

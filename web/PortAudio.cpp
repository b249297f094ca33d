// SPDX-License-Identifier: MIT
// PortAudio's calls over SDL audio, which Emscripten plays through Web Audio. The browser has one
// output and no input; SDL pulls blocks from the page's event loop, on the one thread there is, so the
// game's mixer runs between its frames rather than beside them. The browser keeps the sound suspended
// until the player's first click or key on the page and then plays what was mixed since.
#include <portaudio.h>

#include <SDL.h>

namespace {

// Frames SDL asks for per block: a power of two, as SDL wants. About 46 ms at 44100 Hz; the page has SDL
// keep three queued ahead of what is heard, so an effect sounds within a fifth of a second, and the
// mixer wakes 21 times a second, half as often as with blocks half as long and as much latency.
const Uint16 BLOCK_FRAMES = 2048;

const PaHostApiInfo browserHostApi = {1, paInDevelopment, "Web Audio", 1, paNoDevice, 0};
const PaDeviceInfo browserOutput = {2, "Web Audio output", 0, 0, 2, 0.0, 0.1, 0.0, 0.2, 44100.0};

// The one stream a page can have: the game opens at most one.
struct BrowserStream {
    PaStreamCallback* callback = nullptr;
    void* userData = nullptr;
    int channels = 2;
    bool open = false;
};
BrowserStream theStream;
bool initialised = false;

void pullBlock(void* stream, Uint8* bytes, int length)
{
    BrowserStream* browser = static_cast<BrowserStream*>(stream);
    const unsigned long frames = static_cast<unsigned long>(length) / (sizeof(float) * browser->channels);
    const PaStreamCallbackTimeInfo time = {0.0, 0.0, 0.0};
    browser->callback(nullptr, bytes, frames, &time, 0, browser->userData);
}

PaError checkFormat(const PaStreamParameters* input, const PaStreamParameters* output, double sampleRate)
{
    if (input != nullptr || output == nullptr || output->device != 0)
        return paInvalidDevice;
    if (output->channelCount < 1 || output->channelCount > 2)
        return paInvalidChannelCount;
    if (output->sampleFormat != paFloat32)
        return paSampleFormatNotSupported;
    if (sampleRate != 44100.0 && sampleRate != 48000.0)
        return paInvalidSampleRate;
    return paNoError;
}

} // namespace

PaError Pa_Initialize(void)
{
    initialised = true;
    return paNoError;
}

PaError Pa_Terminate(void)
{
    initialised = false;
    return paNoError;
}

PaHostApiIndex Pa_GetDefaultHostApi(void)
{
    return initialised ? 0 : paNotInitialized;
}

PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(enum PaHostApiTypeId type)
{
    if (!initialised)
        return paNotInitialized;
    return type == browserHostApi.type ? 0 : paHostApiNotFound;
}

const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex hostApi)
{
    return initialised && hostApi == 0 ? &browserHostApi : nullptr;
}

const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device)
{
    return initialised && device == 0 ? &browserOutput : nullptr;
}

PaError Pa_IsFormatSupported(const PaStreamParameters* input, const PaStreamParameters* output,
                             double sampleRate)
{
    if (!initialised)
        return paNotInitialized;
    return checkFormat(input, output, sampleRate);
}

PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters* input, const PaStreamParameters* output,
                      double sampleRate, unsigned long, PaStreamFlags, PaStreamCallback* callback, void* userData)
{
    if (!initialised)
        return paNotInitialized;
    if (stream == nullptr || callback == nullptr || theStream.open)
        return paDeviceUnavailable;
    const PaError format = checkFormat(input, output, sampleRate);
    if (format != paNoError)
        return format;
    theStream.callback = callback;
    theStream.userData = userData;
    theStream.channels = output->channelCount;
    SDL_AudioSpec wanted = {};
    wanted.freq = static_cast<int>(sampleRate);
    wanted.format = AUDIO_F32;
    wanted.channels = static_cast<Uint8>(output->channelCount);
    wanted.samples = BLOCK_FRAMES;
    wanted.callback = pullBlock;
    wanted.userdata = &theStream;
    // The browser's SDL plays float stereo as it is, at this rate or the next it offers.
    if (SDL_OpenAudio(&wanted, nullptr) < 0)
        return paDeviceUnavailable;
    theStream.open = true;
    *stream = &theStream;
    return paNoError;
}

PaError Pa_StartStream(PaStream* stream)
{
    if (stream != &theStream || !theStream.open)
        return paBadStreamPtr;
    SDL_PauseAudio(0);
    return paNoError;
}

PaError Pa_StopStream(PaStream* stream)
{
    if (stream != &theStream || !theStream.open)
        return paBadStreamPtr;
    SDL_PauseAudio(1);
    return paNoError;
}

PaError Pa_CloseStream(PaStream* stream)
{
    if (stream != &theStream || !theStream.open)
        return paBadStreamPtr;
    SDL_CloseAudio();
    theStream = BrowserStream();
    return paNoError;
}

#include "FakePortAudio.h"

#include <algorithm>

namespace {
    FakePortAudio fake;
    int streamToken;
}

FakePortAudio& FakePortAudio::reset()
{
    fake = FakePortAudio();
    return fake;
}

FakePortAudio& FakePortAudio::get()
{
    return fake;
}

int FakePortAudio::count(const std::string& name) const
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

extern "C" {

PaError Pa_Initialize(void)
{
    fake.calls.push_back("Pa_Initialize");
    return fake.initialiseResult;
}

PaError Pa_Terminate(void)
{
    fake.calls.push_back("Pa_Terminate");
    return paNoError;
}

PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(PaHostApiTypeId)
{
    fake.calls.push_back("Pa_HostApiTypeIdToHostApiIndex");
    return fake.nativeIndex;
}

PaHostApiIndex Pa_GetDefaultHostApi(void)
{
    fake.calls.push_back("Pa_GetDefaultHostApi");
    return fake.defaultIndex;
}

const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex index)
{
    fake.calls.push_back("Pa_GetHostApiInfo");
    fake.infoIndex = index;
    return &fake.hostApi;
}

PaError Pa_IsFormatSupported(const PaStreamParameters*, const PaStreamParameters*, double rate)
{
    fake.calls.push_back("Pa_IsFormatSupported");
    const bool refused = std::find(fake.refusedRates.begin(), fake.refusedRates.end(), rate) != fake.refusedRates.end();
    return refused ? paInvalidSampleRate : paFormatIsSupported;
}

PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters* input, const PaStreamParameters* output,
                      double rate, unsigned long, PaStreamFlags, PaStreamCallback* callback, void* userData)
{
    fake.calls.push_back("Pa_OpenStream");
    fake.openedWithInput = input != nullptr;
    if (output != nullptr)
        fake.openedOutput = *output;
    fake.openedRate = rate;
    fake.openedCallback = callback;
    fake.openedUserData = userData;
    if (fake.openResult == paNoError)
        *stream = &streamToken;
    return fake.openResult;
}

PaError Pa_StartStream(PaStream*)
{
    fake.calls.push_back("Pa_StartStream");
    return fake.startResult;
}

PaError Pa_StopStream(PaStream*)
{
    fake.calls.push_back("Pa_StopStream");
    return paNoError;
}

PaError Pa_CloseStream(PaStream*)
{
    fake.calls.push_back("Pa_CloseStream");
    return paNoError;
}

}

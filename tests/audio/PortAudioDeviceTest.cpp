// SPDX-License-Identifier: MIT
#include "PortAudioCallback.h"
#include "PortAudioDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The test program defines the PortAudio functions the device uses, so they are linked instead of the
// library's: each call is logged, and a test sets the answers before it starts a device.
namespace {
    PaDeviceInfo withLowLatencies(double input, double output)
    {
        PaDeviceInfo info = {};
        info.defaultLowInputLatency = input;
        info.defaultLowOutputLatency = output;
        return info;
    }

    struct FakePortAudio {
        std::vector<std::string> calls;
        PaError initialiseResult = paNoError, openResult = paNoError, startResult = paNoError;
        PaHostApiIndex defaultHostApi = 3;
        PaHostApiInfo hostApi = {1, paALSA, "ALSA", 2, 5, 7};
        // The host's default input (5) and output (7) devices.
        PaDeviceInfo devices[8] = {{}, {}, {}, {}, {}, withLowLatencies(0.0087, 0.5), {}, withLowLatencies(0.5, 0.0116)};
        bool refuses44100 = false;
        // What the last Pa_OpenStream was given.
        PaStreamParameters openedOutput = {};
        double openedRate = 0.0;
        void* openedUserData = nullptr;
    } fake;
    int streamToken;

    PaError logged(const char* call, PaError result)
    {
        fake.calls.push_back(call);
        return result;
    }

    // A mixer that fails part-way through every block.
    struct Callback : PortAudioCallback {
        void getAudio(float*, float*, int) override { throw std::runtime_error("out of memory"); }
    };

    class PortAudioDeviceTest : public testing::Test {
    protected:
        void SetUp() override { fake = FakePortAudio(); }


        // Sets the device up the way the application does and starts it, returning what start printed.
        std::string start()
        {
            device->setCallback(&callback);
            device->setNumChannels(0, 2);
            device->setSamplerate(44100.0);
            testing::internal::CaptureStdout();
            started = device->start();
            return testing::internal::GetCapturedStdout();
        }

        Callback callback;
        std::unique_ptr<PortAudioDevice> device{new PortAudioDevice};
        bool started = false;
    };
}

extern "C" {
PaError Pa_Initialize(void) { return logged("Pa_Initialize", fake.initialiseResult); }
PaError Pa_Terminate(void) { return logged("Pa_Terminate", paNoError); }
// No Core Audio on Linux: the lookup of the native host API finds nothing.
PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(PaHostApiTypeId) { return paHostApiNotFound; }
PaHostApiIndex Pa_GetDefaultHostApi(void) { return fake.defaultHostApi; }
const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex) { return &fake.hostApi; }
const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device) { return &fake.devices[device]; }
PaError Pa_IsFormatSupported(const PaStreamParameters*, const PaStreamParameters*, double rate)
{
    return rate == 44100.0 && fake.refuses44100 ? paInvalidSampleRate : paFormatIsSupported;
}
PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters*, const PaStreamParameters* output, double rate,
                      unsigned long, PaStreamFlags, PaStreamCallback*, void* userData)
{
    fake.openedOutput = *output;
    fake.openedRate = rate;
    fake.openedUserData = userData;
    *stream = &streamToken;
    return logged("Pa_OpenStream", fake.openResult);
}
PaError Pa_StartStream(PaStream*) { return logged("Pa_StartStream", fake.startResult); }
PaError Pa_StopStream(PaStream*) { return logged("Pa_StopStream", paNoError); }
PaError Pa_CloseStream(PaStream*) { return logged("Pa_CloseStream", paNoError); }
}

TEST_F(PortAudioDeviceTest, OpensOneStereoFloatStreamOnlyWhenStartedAndClosesItOnceWhetherStoppedOrDestroyed)
{
    for (const bool stopFirst : {true, false}) {
        fake = FakePortAudio();
        device.reset(new PortAudioDevice);
        // With sound off (-ns) the device is never started and is stopped on the way out: nothing may
        // reach PortAudio.
        device->stop();
        EXPECT_TRUE(fake.calls.empty());
        EXPECT_EQ("", start());
        EXPECT_TRUE(started && device->isStarted());
        EXPECT_EQ(fake.hostApi.defaultOutputDevice, fake.openedOutput.device);
        EXPECT_EQ(2, fake.openedOutput.channelCount);
        EXPECT_EQ(paFloat32, fake.openedOutput.sampleFormat);
        // The output device's own default low latency, not 0.
        EXPECT_EQ(0.0116, fake.openedOutput.suggestedLatency);
        EXPECT_EQ(44100.0, fake.openedRate);
        EXPECT_EQ(&callback, fake.openedUserData);
        fake.calls.clear();
        EXPECT_FALSE(device->start()) << "a second start";
        if (stopFirst)
            device->stop();
        device.reset();
        EXPECT_EQ((std::vector<std::string>{"Pa_StopStream", "Pa_CloseStream", "Pa_Terminate"}), fake.calls);
    }
}

TEST_F(PortAudioDeviceTest, FallsBackTo48000WhenTheDeviceRefuses44100)
{
    fake.refuses44100 = true;
    EXPECT_EQ("44100Hz samplerate not supported, using 48000Hz.\n", start());
    EXPECT_EQ(48000.0, fake.openedRate);
}

TEST_F(PortAudioDeviceTest, EachFailureIsReportedAndLeavesPortAudioShutDown)
{
    const std::string openFailed = "PortAudioDevice Error: Could not open stream.\n";
    const struct { void (*arrange)(); std::string message; std::vector<std::string> calls; } cases[] = {
        {[] { fake.initialiseResult = paNotInitialized; }, "PortAudioDevice Error: Could not initialise.\n", {"Pa_Initialize"}},
        // A machine without a sound card: PortAudio must never be handed paNoDevice.
        {[] { fake.hostApi.defaultOutputDevice = paNoDevice; }, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.defaultHostApi = paNoDevice; }, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.openResult = paDeviceUnavailable; }, openFailed, {"Pa_Initialize", "Pa_OpenStream", "Pa_Terminate"}},
        {[] { fake.startResult = paInternalError; }, "PortAudioDevice Error: Could not start stream.\n",
         {"Pa_Initialize", "Pa_OpenStream", "Pa_StartStream", "Pa_CloseStream", "Pa_Terminate"}},
    };
    for (const auto& test : cases) {
        fake = FakePortAudio();
        test.arrange();
        device.reset(new PortAudioDevice);
        EXPECT_EQ(test.message, start());
        EXPECT_FALSE(started || device->isStarted()) << test.message;
        // Destroying a device that never started calls nothing more.
        device.reset();
        EXPECT_EQ(test.calls, fake.calls) << test.message;
    }
}

TEST_F(PortAudioDeviceTest, AFailingMixerCostsOneSilentBlockAndNeverTheStream)
{
    // The block holds whatever the mixer had written when it failed.
    std::vector<float> block(2 * 95, 0.25f);
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, &callback));
    EXPECT_EQ(std::vector<float>(2 * 95, 0.0f), block);
}

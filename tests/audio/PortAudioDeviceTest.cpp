// SPDX-License-Identifier: MIT
#include "audio/AudioLibraryNoise.h"
#include "audio/PortAudioCallback.h"
#include "audio/PortAudioDevice.h"

#include "FakePortAudio.h"
#include "TemporaryDirectory.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
    // The mixer every test starts the device with: one that fails part-way through every block.
    struct Callback : PortAudioCallback {
        void getAudio(float*, float*, int) override { throw std::runtime_error("out of memory"); }
    } callback;

    class PortAudioDeviceTest : public testing::Test {
    protected:
        // A fresh fake and device, the device set up the way the application does it; start() returns
        // what starting printed.
        void reset()
        {
            fake = FakePortAudio();
            device.reset(new PortAudioDevice);
        }
        std::string start(int inputs = 0, int outputs = 2)
        {
            device->setCallback(&callback);
            device->setNumChannels(inputs, outputs);
            device->setSamplerate(44100.0);
            testing::internal::CaptureStdout();
            started = device->start();
            return testing::internal::GetCapturedStdout();
        }

        std::unique_ptr<PortAudioDevice> device;
        bool started = false;
    };
}

TEST_F(PortAudioDeviceTest, OpensOneFloatStreamOnlyWhenStartedAndClosesItOnceWhetherStoppedOrDestroyed)
{
    const std::string fallback = "44100Hz samplerate not supported, using 48000Hz.\n";
    const struct {
        bool stopFirst;
        int inputs, outputs;
        std::map<double, PaError> refusals;
        std::string printed, opened;
    } cases[] = {
        // The host's default output, at that device's own default low latency (not 0).
        {true, 0, 2, {}, "", "Pa_OpenStream - 7 2 1 0.0116 44100"},
        {false, 0, 2, {{44100.0, paInvalidSampleRate}}, fallback, "Pa_OpenStream - 7 2 1 0.0116 48000"},
        {false, 0, 2, {{44100.0, paInvalidSampleRate}, {48000.0, paInvalidSampleRate}},
         fallback + "48000Hz not supported either?\n", "Pa_OpenStream - 7 2 1 0.0116 48000"},
        // Only a refused rate changes the rate; the device itself decides about anything else when it opens.
        {false, 0, 2, {{44100.0, paInvalidChannelCount}}, "", "Pa_OpenStream - 7 2 1 0.0116 44100"},
        {false, 0, 2, {{44100.0, paSampleFormatNotSupported}}, "", "Pa_OpenStream - 7 2 1 0.0116 44100"},
        // Other channel counts, and an input at the input device's own latency.
        {true, 0, 1, {}, "", "Pa_OpenStream - 7 1 1 0.0116 44100"},
        {true, 1, 6, {}, "", "Pa_OpenStream 5 1 1 0.0087 7 6 1 0.0116 44100"},
        {true, 2, 0, {{44100.0, paInvalidSampleRate}}, "", "Pa_OpenStream 5 2 1 0.0087 - 44100"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.opened);
        reset();
        fake.refusals = test.refusals;
        // With sound off (-ns) the device is never started and is stopped on the way out: nothing may
        // reach PortAudio.
        device->stop();
        EXPECT_EQ(test.printed, start(test.inputs, test.outputs));
        EXPECT_TRUE(started && device->isStarted());
        EXPECT_TRUE(fake.callback == &PortAudioDevice::portAudioCallback && fake.userData == &callback);
        EXPECT_FALSE(device->start()) << "a second start";
        if (test.stopFirst)
            device->stop();
        device.reset();
        EXPECT_EQ((std::vector<std::string>{"Pa_Initialize", test.opened, "Pa_StartStream", "Pa_StopStream",
                                            "Pa_CloseStream", "Pa_Terminate"}), fake.calls);
    }
}

TEST_F(PortAudioDeviceTest, EachFailureIsReportedAndLeavesPortAudioShutDown)
{
    const std::string openFailed = "PortAudioDevice Error: Could not open stream.\n";
    const std::string opened = "Pa_OpenStream - 7 2 1 0.0116 44100";
    const struct { void (*arrange)(); std::string message; std::vector<std::string> calls; } cases[] = {
        {[] { fake.initialiseResult = paNotInitialized; }, "PortAudioDevice Error: Could not initialise.\n", {"Pa_Initialize"}},
        // A machine without a sound card: PortAudio must never be handed paNoDevice.
        {[] { fake.hostApi.defaultOutputDevice = paNoDevice; }, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.defaultHostApi = paNoDevice; }, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.openResult = paDeviceUnavailable; }, openFailed, {"Pa_Initialize", opened, "Pa_Terminate"}},
        {[] { fake.startResult = paInternalError; }, "PortAudioDevice Error: Could not start stream.\n",
         {"Pa_Initialize", opened, "Pa_StartStream", "Pa_CloseStream", "Pa_Terminate"}},
    };
    for (const auto& test : cases) {
        reset();
        test.arrange();
        EXPECT_EQ(test.message, start());
        EXPECT_FALSE(started || device->isStarted()) << test.message;
        // Destroying a device that never started calls nothing more.
        device.reset();
        EXPECT_EQ(test.calls, fake.calls) << test.message;
    }
}

TEST_F(PortAudioDeviceTest, WithoutSettingsTheStreamIsStereoOutputAt44100)
{
    reset();
    device->setCallback(&callback);
    EXPECT_TRUE(device->start());
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"Pa_Initialize", "Pa_OpenStream - 7 2 1 0.0116 44100", "Pa_StartStream"}));
}

TEST(PortAudioDevice, AFailingMixerCostsOneSilentBlockAndNeverTheStream)
{
    // The block holds whatever the mixer had written when it failed.
    std::vector<float> block(2 * 95, 0.25f);
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, &callback));
    EXPECT_EQ(std::vector<float>(2 * 95, 0.0f), block);
}

TEST(AudioLibraryNoise, TheSoundLibrariesSayNothingUnlessDiagnosticsAreAskedFor)
{
    // What ALSA's and JACK's message handlers print, anywhere, for one message each.
    const auto printed = [] {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        jack_error_callback("jack error");
        jack_info_callback("jack info");
        snd_lib_error("file.c", 1, "function", 0, "alsa error");
        std::fflush(stdout);
        const std::string errors = testing::internal::GetCapturedStderr();
        return testing::internal::GetCapturedStdout() + errors;
    };
    {
        ScopedEnvironment wanted("MARROWGATE_AUDIO_DIAGNOSTICS", "1");
        AudioLibraryNoise::quieten();
        const std::string all = printed();
        for (const char* message : {"jack error", "jack info", "alsa error"})
            EXPECT_NE(all.find(message), std::string::npos) << message;
    }
    for (const char* unwanted : {"0", "", static_cast<const char*>(nullptr)}) {
        ScopedEnvironment diagnostics("MARROWGATE_AUDIO_DIAGNOSTICS", unwanted);
        ScopedEnvironment server("JACK_NO_START_SERVER", nullptr);
        AudioLibraryNoise::quieten();
        EXPECT_EQ(printed(), "");
        // Probing must not start a JACK server either.
        EXPECT_STREQ(std::getenv("JACK_NO_START_SERVER"), "1");
    }
}

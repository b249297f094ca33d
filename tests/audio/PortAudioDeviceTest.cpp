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
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
    // The mixer every device is started with: one that fails part-way through every block.
    struct Callback : PortAudioCallback {
        void getAudio(float*, float*, int) override { throw std::runtime_error("out of memory"); }
    } callback;

    // What a stream that opened as given calls, from PortAudio's start to its end.
    std::vector<std::string> played(const std::string& opened)
    {
        return {"Pa_Initialize", opened, "Pa_StartStream", "Pa_StopStream", "Pa_CloseStream", "Pa_Terminate"};
    }
}

TEST(PortAudioDevice, OpensOneFloatStreamOnlyWhenStartedReportsEachFailureAndClosesOnce)
{
    const std::string stereo = "Pa_OpenStream - 7 2 1 0.0116 44100", at48000 = "Pa_OpenStream - 7 2 1 0.0116 48000";
    const std::string fallback = "44100Hz samplerate not supported, using 48000Hz.\n";
    const std::string openFailed = "PortAudioDevice Error: Could not open stream.\n";
    const std::vector<std::string> shutDown = {"Pa_Initialize", "Pa_Terminate"};
    const struct {
        void (*arrange)();
        // -1: the device is left at its defaults.
        int inputs, outputs;
        std::string printed;
        std::vector<std::string> calls;
    } cases[] = {
        // The host's default output, at that device's own default low latency (not 0).
        {[] {}, 0, 2, "", played(stereo)},
        {[] {}, -1, 0, "", played(stereo)},
        {[] { fake.refusals = {{44100.0, paInvalidSampleRate}}; }, 0, 2, fallback, played(at48000)},
        {[] { fake.refusals = {{44100.0, paInvalidSampleRate}, {48000.0, paInvalidSampleRate}}; }, 0, 2,
         fallback + "48000Hz not supported either?\n", played(at48000)},
        // Only a refused rate changes the rate; the device itself decides about anything else when it opens.
        {[] { fake.refusals = {{44100.0, paInvalidChannelCount}}; }, 0, 2, "", played(stereo)},
        // Other channel counts, and an input at the input device's own latency.
        {[] {}, 0, 1, "", played("Pa_OpenStream - 7 1 1 0.0116 44100")},
        {[] {}, 1, 6, "", played("Pa_OpenStream 5 1 1 0.0087 7 6 1 0.0116 44100")},
        {[] { fake.refusals = {{44100.0, paInvalidSampleRate}}; }, 2, 0, "",
         played("Pa_OpenStream 5 2 1 0.0087 - 44100")},
        {[] { fake.initialiseResult = paNotInitialized; }, 0, 2, "PortAudioDevice Error: Could not initialise.\n",
         {"Pa_Initialize"}},
        // A machine without a sound card: PortAudio must never be handed paNoDevice.
        {[] { fake.hostApi.defaultOutputDevice = paNoDevice; }, 0, 2, openFailed, shutDown},
        {[] { fake.defaultHostApi = paNoDevice; }, 0, 2, openFailed, shutDown},
        {[] { fake.openResult = paDeviceUnavailable; }, 0, 2, openFailed, {"Pa_Initialize", stereo, "Pa_Terminate"}},
        {[] { fake.startResult = paInternalError; }, 0, 2, "PortAudioDevice Error: Could not start stream.\n",
         {"Pa_Initialize", stereo, "Pa_StartStream", "Pa_CloseStream", "Pa_Terminate"}},
    };
    for (const auto& test : cases) {
        const int row = static_cast<int>(&test - cases);
        SCOPED_TRACE(row);
        fake = FakePortAudio();
        test.arrange();
        auto device = std::make_unique<PortAudioDevice>();
        // With sound off (-ns) the device is never started and is stopped on the way out: nothing may
        // reach PortAudio.
        device->stop();
        device->setCallback(&callback);
        if (test.inputs >= 0) {
            device->setNumChannels(test.inputs, test.outputs);
            device->setSamplerate(44100.0);
        }
        testing::internal::CaptureStdout();
        const bool started = device->start();
        EXPECT_EQ(test.printed, testing::internal::GetCapturedStdout());
        const bool plays = test.calls.size() == 6;
        EXPECT_EQ(plays, started);
        EXPECT_EQ(plays, device->isStarted());
        if (plays) {
            EXPECT_TRUE(fake.callback == &PortAudioDevice::portAudioCallback && fake.userData == &callback);
            EXPECT_FALSE(device->start()) << "a second start";
        }
        // Every other device is stopped before it goes: either way the stream closes once, and a device
        // that never started calls nothing more.
        if (row % 2 == 0)
            device->stop();
        device.reset();
        EXPECT_EQ(test.calls, fake.calls);
    }
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
    for (const char* setting : {"1", "0", "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(setting == nullptr ? "unset" : setting);
        const bool wanted = setting != nullptr && std::string(setting) == "1";
        ScopedEnvironment diagnostics("MARROWGATE_AUDIO_DIAGNOSTICS", setting);
        // Where the user has chosen about a JACK server, that choice stands.
        const char* chosen = setting != nullptr && *setting == '\0' ? "0" : nullptr;
        ScopedEnvironment server("JACK_NO_START_SERVER", chosen);
        AudioLibraryNoise::quieten();
        // What ALSA's and JACK's message handlers print, anywhere, for one message each.
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        jack_error_callback("jack error");
        jack_info_callback("jack info");
        snd_lib_error("file.c", 1, "function", 0, "alsa error");
        std::fflush(stdout);
        const std::string printed = testing::internal::GetCapturedStderr() + testing::internal::GetCapturedStdout();
        if (wanted) {
            for (const char* message : {"jack error", "jack info", "alsa error"})
                EXPECT_NE(printed.find(message), std::string::npos) << message;
        } else {
            EXPECT_EQ("", printed);
            // Probing must not start a JACK server either.
            EXPECT_STREQ(std::getenv("JACK_NO_START_SERVER"), chosen != nullptr ? chosen : "1");
        }
    }
}

#include "FakePortAudio.h"
#include "PortAudioCallback.h"
#include "PortAudioDevice.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
    class RecordingCallback : public PortAudioCallback {
    public:
        void getAudio(float* input, float* output, int frames) override
        {
            inputs.push_back(input);
            for (int i = 0; i < 2 * frames; ++i)
                output[i] = 0.25f;
            framesAsked.push_back(frames);
        }

        std::vector<float*> inputs;
        std::vector<int> framesAsked;
    };

    class ThrowingCallback : public PortAudioCallback {
    public:
        void getAudio(float*, float* output, int) override
        {
            output[0] = 0.5f;
            throw std::runtime_error("out of memory");
        }
    };

    // Sets a device up the way the application does and starts it, returning what start printed.
    std::string startDevice(PortAudioDevice& device, PortAudioCallback* callback, bool* started)
    {
        device.setCallback(callback);
        device.setNumChannels(0, 2);
        device.setSamplerate(44100.0);
        testing::internal::CaptureStdout();
        *started = device.start();
        return testing::internal::GetCapturedStdout();
    }
}

TEST(PortAudioDeviceStart, OpensAStereoFloatStreamOnTheDefaultOutputAndStartsItOnce)
{
    FakePortAudio& fake = FakePortAudio::reset();
    RecordingCallback callback;
    PortAudioDevice device;
    bool started = false;
    EXPECT_EQ("", startDevice(device, &callback, &started));
    EXPECT_TRUE(started);
    EXPECT_TRUE(device.isStarted());
    // No Core Audio here: the default host API's default output device is used.
    EXPECT_EQ(fake.defaultIndex, fake.infoIndex);
    EXPECT_FALSE(fake.openedWithInput);
    EXPECT_EQ(fake.hostApi.defaultOutputDevice, fake.openedOutput.device);
    EXPECT_EQ(2, fake.openedOutput.channelCount);
    EXPECT_EQ(paFloat32, fake.openedOutput.sampleFormat);
    EXPECT_EQ(44100.0, fake.openedRate);
    EXPECT_EQ(&callback, fake.openedUserData);
    EXPECT_EQ(&PortAudioDevice::portAudioCallback, fake.openedCallback);

    const size_t callsAfterStart = fake.calls.size();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.start());
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(callsAfterStart, fake.calls.size());
}

TEST(PortAudioDeviceStart, UsesTheNativeHostApiWhenThereIsOne)
{
    FakePortAudio& fake = FakePortAudio::reset();
    fake.nativeIndex = 1;
    PortAudioDevice device;
    bool started = false;
    startDevice(device, nullptr, &started);
    EXPECT_TRUE(started);
    EXPECT_EQ(1, fake.infoIndex);
    EXPECT_EQ(0, fake.count("Pa_GetDefaultHostApi"));
}

TEST(PortAudioDeviceStart, FallsBackTo48000WhenTheDeviceRefuses44100)
{
    FakePortAudio& fake = FakePortAudio::reset();
    fake.refusedRates = {44100.0};
    PortAudioDevice device;
    bool started = false;
    EXPECT_EQ("44100Hz samplerate not supported, using 48000Hz.\n", startDevice(device, nullptr, &started));
    EXPECT_TRUE(started);
    EXPECT_EQ(48000.0, fake.openedRate);
    EXPECT_EQ(48000.0, device.getSamplerate());
}

TEST(PortAudioDeviceStart, TriesToOpenAt48000EvenWhenThatIsRefusedToo)
{
    FakePortAudio& fake = FakePortAudio::reset();
    fake.refusedRates = {44100.0, 48000.0};
    PortAudioDevice device;
    bool started = false;
    EXPECT_EQ("44100Hz samplerate not supported, using 48000Hz.\n48000Hz not supported either?\n",
              startDevice(device, nullptr, &started));
    EXPECT_EQ(1, fake.count("Pa_OpenStream"));
    EXPECT_EQ(48000.0, fake.openedRate);
}

TEST(PortAudioDeviceFailures, EachFailureIsReportedAndLeavesPortAudioShutDown)
{
    struct Case {
        const char* name;
        void (*arrange)(FakePortAudio&);
        const char* message;
        int terminates;
        int closes;
    };
    const Case cases[] = {
        {"initialise", [](FakePortAudio& f) { f.initialiseResult = paNotInitialized; },
         "PortAudioDevice Error: Could not initialise.\n", 0, 0},
        {"no output device", [](FakePortAudio& f) { f.hostApi.defaultOutputDevice = paNoDevice; },
         "PortAudioDevice Error: Could not open stream.\n", 1, 0},
        {"no host api", [](FakePortAudio& f) { f.defaultIndex = paNoDevice; },
         "PortAudioDevice Error: Could not open stream.\n", 1, 0},
        {"open", [](FakePortAudio& f) { f.openResult = paDeviceUnavailable; },
         "PortAudioDevice Error: Could not open stream.\n", 1, 0},
        {"start", [](FakePortAudio& f) { f.startResult = paInternalError; },
         "PortAudioDevice Error: Could not start stream.\n", 1, 1},
    };
    for (const Case& test : cases) {
        FakePortAudio& fake = FakePortAudio::reset();
        test.arrange(fake);
        {
            PortAudioDevice device;
            bool started = true;
            EXPECT_EQ(test.message, startDevice(device, nullptr, &started)) << test.name;
            EXPECT_FALSE(started) << test.name;
            EXPECT_FALSE(device.isStarted()) << test.name;
            device.stop();
        }
        EXPECT_EQ(test.terminates, fake.count("Pa_Terminate")) << test.name;
        EXPECT_EQ(test.closes, fake.count("Pa_CloseStream")) << test.name;
        EXPECT_EQ(0, fake.count("Pa_StopStream")) << test.name;
    }
}

TEST(PortAudioDeviceStop, StreamIsClosedOnceWhetherStoppedFirstOrOnlyDestroyed)
{
    for (const bool stopFirst : {true, false}) {
        FakePortAudio& fake = FakePortAudio::reset();
        {
            PortAudioDevice device;
            bool started = false;
            startDevice(device, nullptr, &started);
            fake.calls.clear();
            if (stopFirst)
                device.stop();
        }
        EXPECT_EQ((std::vector<std::string>{"Pa_StopStream", "Pa_CloseStream", "Pa_Terminate"}), fake.calls);
    }
}

TEST(PortAudioDeviceStop, ADeviceNeverStartedCallsNoPortAudioFunction)
{
    // What the application does with sound off: set up, never start, stop nothing.
    FakePortAudio& fake = FakePortAudio::reset();
    {
        RecordingCallback callback;
        PortAudioDevice device;
        device.setCallback(&callback);
        device.setNumChannels(0, 2);
        device.setSamplerate(44100.0);
        device.stop();
    }
    EXPECT_TRUE(fake.calls.empty());
}

TEST(PortAudioDeviceCallback, TrampolineForwardsEveryBlockAndAlwaysContinues)
{
    RecordingCallback callback;
    std::vector<float> block(2 * 95, 0.0f);
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, paOutputUnderflow, &callback));
    EXPECT_EQ(std::vector<int>{95}, callback.framesAsked);
    EXPECT_EQ(nullptr, callback.inputs[0]);
    EXPECT_EQ(std::vector<float>(2 * 95, 0.25f), block);

    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, nullptr));

    // A mixer that fails mid-block costs a silent block, never the stream.
    ThrowingCallback throwing;
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, &throwing));
    EXPECT_EQ(std::vector<float>(2 * 95, 0.0f), block);
}

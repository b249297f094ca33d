// SPDX-License-Identifier: MIT
#include "DecodedSound.h"
#include "FakePortAudio.h"
#include "TemporaryDirectory.h"
#include "audio/AudioLibraryNoise.h"
#include "audio/BackgroundMusic.h"
#include "audio/PortAudioCallback.h"
#include "audio/PortAudioDevice.h"
#include "audio/Sounds.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <sys/stat.h>

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

// The music and the effects mixed into plain float blocks, no device needed, and compared with their
// files decoded straight through; sound files that are damaged or are no files at all; the output device
// with PortAudio replaced by the fakes of FakePortAudio.h.
namespace {
    namespace fs = std::filesystem;
    const std::string FIXTURES = AUDIO_FIXTURES;
    // A quarter of a second at 44100 Hz: where blocks cross from one buffer into the next.
    const int BUFFER = 11025;

    // Plays a music file into silent blocks and compares each with what it should add: the first stream
    // looped straight from its last frame to its first, faded in, at 0.75 or at 0.5 for a block that
    // crosses into the next buffer.
    struct MusicCheck {
        explicit MusicCheck(const std::string& file, bool streaming = false, bool plays = true)
            : music(file, streaming), reference(plays ? file : "")
        {
            // What does not decode, or is refused, is expected as silence.
            if (reference.left.empty())
                reference.left = reference.right = {0.0f};
        }

        // Mixes blocks of the given lengths and compares them, refilling after each one unless left to the
        // streaming thread, and expecting silence where a buffer is not heard; stops at the first failure.
        void mixes(const std::vector<int>& blocks, bool refilling = true, bool heard = true)
        {
            for (const int frames : blocks) {
                std::vector<float> block(2 * frames, 0.0f), expected;
                music.audioBlock(block.data(), frames);
                if (refilling)
                    music.refill();
                // Frames left in the current buffer; a buffer is only left when the next block needs it.
                const int remaining = frame == 0 ? BUFFER : (BUFFER - static_cast<int>(frame % BUFFER)) % BUFFER;
                const float gain = !heard ? 0.0f : frames <= remaining ? 0.75f : 0.5f;
                for (int i = 0; i < frames; ++i, ++frame) {
                    const std::size_t at = frame % reference.left.size();
                    expected.insert(expected.end(), {reference.left[at] * volume * gain,
                                                     reference.right[at] * volume * gain});
                    volume += volume < 1.0f ? 0.000001f : 0.0f;
                }
                ASSERT_THAT(block, testing::Pointwise(testing::FloatEq(), expected));
            }
        }

        BackgroundMusic music;
        DecodedSound reference;
        // Where the expectation has got to.
        std::size_t frame = 0;
        float volume = 0.0f;
    };

    // Mixes the voices into a block that already holds the given level.
    std::vector<float> mix(Sounds& sounds, std::size_t frames, float background = 0.0f)
    {
        std::vector<float> block(2 * frames, background);
        sounds.getAudio(block.data(), static_cast<int>(frames));
        return block;
    }

    // The mixer every device is started with: one that fails part-way through every block.
    struct Callback : PortAudioCallback {
        void getAudio(float*, float*, int) override { throw std::runtime_error("out of memory"); }
    } callback;
}

TEST(BackgroundMusic, EveryBlockIsMixedCompletelyAtItsGainAndTheMusicLoopsWithoutAGap)
{
    const struct { const char* file; std::vector<int> blocks; } cases[] = {
        // The first two blocks fill buffer 0 exactly at 0.75; the third crosses into buffer 1 at 0.5.
        // Then blocks longer than a buffer span two and three of them.
        {"long.ogg", {11000, 25, 100, 100, 1, 95, 30000, 7, 4096, 11025, 3000, 12345, 94, 20000, 0, 333}},
        // Music shorter than half a buffer, so every loop point falls inside one; on past the frame
        // (990522) where the fade-in reaches full volume and stays there.
        {"short.ogg", std::vector<int>(2000, 512)},
        {"chained.ogg", std::vector<int>(80, 700)},
        {"mono.ogg", std::vector<int>(80, 1000)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.file);
        MusicCheck check(FIXTURES + test.file);
        ASSERT_GT(check.reference.left.size(), 1u);
        check.mixes(test.blocks);
    }
}

TEST(BackgroundMusic, AfterAStallTheBufferAwaitingItsRefillIsSilentAndRefillsGoInTheOrderTheyPlay)
{
    // Refilled on time, buffers 0 and 1 are filled again, 1 last; then a stall while the mixer leaves 2,
    // 0 and 1. The same from the start: with every buffer left before the first refill, 0 comes first.
    const std::vector<int> once = {BUFFER}, twice = {BUFFER, BUFFER}, thrice = {BUFFER, BUFFER, BUFFER};
    for (const auto& [onTime, stalled] : {std::pair(thrice, twice), std::pair(once, twice)}) {
        MusicCheck check(FIXTURES + "long.ogg");
        ASSERT_NO_FATAL_FAILURE(check.mixes(onTime, true));
        ASSERT_NO_FATAL_FAILURE(check.mixes(stalled, false));
        // The buffer met again before its refill is heard as silence.
        ASSERT_NO_FATAL_FAILURE(check.mixes({512}, false, false));
        // It plays next, so it must be filled first; the music goes on where the loop has got to.
        check.music.refill();
        check.mixes(thrice);
    }
    // Played at its pace by the streaming thread, the mixer meets buffer 0 again two buffers' time after
    // leaving it, refilled.
    MusicCheck streamed(FIXTURES + "long.ogg", true);
    const auto back = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000 * 2 * BUFFER / 44100);
    ASSERT_NO_FATAL_FAILURE(streamed.mixes({BUFFER + 1}, false));
    std::this_thread::sleep_until(back);
    streamed.mixes({2 * BUFFER}, false);
}

TEST(Sounds, The129thVoiceIsDroppedWhile128SoundAndTheSlotsFreeOnceTheVoicesEnd)
{
    Sounds sounds(FIXTURES + "effects/");
    const DecodedSound garrison(FIXTURES + "effects/garrison.ogg");
    // The first voice runs 100 frames ahead of the others, so taking its slot for the 129th would be heard.
    sounds.playSound(Sounds::GarrisonSound);
    mix(sounds, 100);
    for (int request = 2; request <= 129; ++request)
        sounds.playSound(Sounds::GarrisonSound);
    std::vector<float> expected;
    for (int frame = 0; frame < 200; ++frame) {
        // Summed voice by voice, as the mixer sums them.
        float sample = 0.5f * garrison.left[100 + frame];
        for (int voice = 1; voice < 128; ++voice)
            sample += 0.5f * garrison.left[frame];
        expected.insert(expected.end(), {sample, sample});
    }
    EXPECT_THAT(mix(sounds, 200), testing::Pointwise(testing::FloatEq(), expected));
    mix(sounds, garrison.left.size());
    EXPECT_EQ(std::vector<float>(2 * 64, 0.0f), mix(sounds, 64)) << "every voice has ended";
    sounds.playSound(Sounds::GarrisonSound);
    EXPECT_FLOAT_EQ(0.5f * garrison.left[10], mix(sounds, 64)[2 * 10]) << "a freed slot takes the next request";
    // Voices started while another thread mixes, for the thread checker's eyes (tools/test.sh).
    std::atomic<bool> done(false);
    std::thread audio([&] {
        while (!done.load(std::memory_order_acquire))
            mix(sounds, 128);
    });
    for (int i = 0; i < 3000; ++i)
        sounds.playSound(static_cast<Sounds::SoundType>(i % 3));
    done.store(true, std::memory_order_release);
    audio.join();
}

TEST(Sounds, EachSoundFilePlaysWhatReallyDecodesAndAFileThatDoesNotOpenPrintsWhyAndStaysSilent)
{
    // The ceilings as the game states them, in bytes: 4 MB for an effect, 16 MB for the music.
    const std::uintmax_t effectCeiling = 4 << 20, musicCeiling = 16 << 20;
    const std::string refused = "vorbisfile: fopen could not open file: ", loaded = "vorbisfile: Loaded file: ";
    const std::string tooLarge = "vorbisfile: File too large, so it stays silent: ";
    const std::string forage = FIXTURES + "effects/forage.ogg";
    // What goes where the forage effect should be: a copy of a file, cut to a size unless 0 (a FIFO for
    // "fifo"); the message for the effect, and for the music where it differs.
    const struct { std::string from; std::uintmax_t bytes; std::string message, musicMessage = ""; } cases[] = {
        // Stereo, with sides that differ: an effect is heard from its first channel only.
        {forage, 0, loaded},
        {"", 0, refused},
        {FIXTURES + "text.ogg", 0, "vorbisfile: Could not open file: "},
        // Without frames: the music's fill must still end.
        {FIXTURES + "empty.ogg", 0, loaded},
        // Cut off part-way: the samples read before the damage.
        {FIXTURES + "cut.ogg", 0, loaded},
        // Chained: only the first stream.
        {FIXTURES + "chained.ogg", 0, loaded},
        // long.ogg, its last audio page claiming 2^40 frames.
        {FIXTURES + "claiming.ogg", 0, loaded},
        // A damaged file on which seeking by sample crashes libogg 1.3.5: nothing decodes from it.
        {DAMAGED, 0, loaded},
        // Either side of each ceiling: the effect refuses what the music still takes.
        {forage, effectCeiling + 1, tooLarge, loaded},
        {forage, effectCeiling, loaded},
        {forage, musicCeiling, tooLarge, loaded},
        {forage, musicCeiling + 1, tooLarge},
        // As long as an effect may be: a minute.
        {FIXTURES + "minute.ogg", 0, loaded},
        // Not a regular file: opening it must not wait for a writer.
        {"fifo", 0, refused},
    };
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.from + " " + std::to_string(test.bytes));
        const TemporaryDirectory folder;
        const std::string file = folder.getPath() + "/forage.ogg";
        if (test.from == "fifo")
            mkfifo(file.c_str(), 0644);
        else if (!test.from.empty())
            fs::copy_file(test.from, file);
        if (test.bytes > 0)
            fs::resize_file(file, test.bytes);
        const std::string& musicMessage = test.musicMessage.empty() ? test.message : test.musicMessage;
        testing::internal::CaptureStdout();
        Sounds sounds(folder.getPath() + "/");
        MusicCheck music(file, false, musicMessage == loaded);
        // Only the forage effect is there: the others are missing, each said in its turn.
        EXPECT_EQ(refused + folder.getPath() + "/click.ogg\n" + test.message + file + "\n" + refused +
                      folder.getPath() + "/garrison.ogg\n" + musicMessage + file + "\n",
                  testing::internal::GetCapturedStdout());
        // Whatever was refused was closed again; only the music that plays keeps its file.
        EXPECT_EQ(openFiles(), filesBefore + (musicMessage == loaded ? 1 : 0));
        music.mixes({600});
        // What opens is compared with its straight decode: at half on both channels, added to what the block
        // holds, until it ends in the second of two blocks.
        const DecodedSound effect(test.message == loaded ? file : "");
        EXPECT_EQ(effect.left.size(), sounds.getLength(Sounds::ForageSound));
        EXPECT_EQ(std::vector<float>(2 * 64, 0.3f), mix(sounds, 64, 0.3f)) << "nothing plays yet";
        sounds.playSound(Sounds::ForageSound);
        std::vector<float> block = mix(sounds, 2048, 0.3f), expected;
        const std::vector<float> second = mix(sounds, effect.left.size(), 0.3f);
        block.insert(block.end(), second.begin(), second.end());
        for (std::size_t frame = 0; frame < block.size() / 2; ++frame) {
            const float sample = 0.3f + (frame < effect.left.size() ? 0.5f * effect.left[frame] : 0.0f);
            expected.insert(expected.end(), {sample, sample});
        }
        EXPECT_THAT(block, testing::Pointwise(testing::FloatEq(), expected));
    }
}

TEST(SoundsFolder, TheChosenOneEndingInASlashElseTheInstalledOne)
{
    for (const char* named : {"/some/sounds", "/some/sounds/"}) {
        ScopedEnvironment variable("MARROWGATE_SOUNDS_DIR", named);
        EXPECT_EQ("/some/sounds/", BackgroundMusic::getSoundsPath());
    }
    // An empty choice is none: the "sounds" folder beside the program, else the installed one.
    ScopedEnvironment variable("MARROWGATE_SOUNDS_DIR", "");
    const std::string beside = fs::canonical("/proc/self/exe").parent_path().string() + "/sounds/";
    ASSERT_FALSE(fs::exists(beside));
    EXPECT_EQ(BackgroundMusic::getSoundsPath(), INSTALLED_SOUNDS "/");
    fs::create_directory(beside);
    const std::string found = BackgroundMusic::getSoundsPath();
    fs::remove(beside);
    EXPECT_EQ(found, beside);
}

TEST(PortAudioDevice, OpensOneFloatStreamOnlyWhenStartedReportsEachFailureAndClosesOnce)
{
    // What a stream that opened as given calls, from PortAudio's start to its end.
    const auto played = [](const std::string& opened) {
        return std::vector<std::string>{"Pa_Initialize", opened,          "Pa_StartStream",
                                        "Pa_StopStream", "Pa_CloseStream", "Pa_Terminate"};
    };
    const std::string stereo = "Pa_OpenStream - 7 2 1 0.0116 44100", at48000 = "Pa_OpenStream - 7 2 1 0.0116 48000";
    const std::string fallback = "44100Hz samplerate not supported, using 48000Hz.\n";
    const std::string openFailed = "PortAudioDevice Error: Could not open stream.\n";
    // Each row: what the fake answers, the channels asked for (inputs -1: the device is left at its defaults),
    // what the device says and what it calls.
    const struct { void (*set)(); int inputs, outputs; std::string said; std::vector<std::string> calls; } cases[] = {
        // The host's default output, at that device's own default low latency (not 0).
        {[] {}, -1, 0, "", played(stereo)},
        {[] { fake.at44100 = paInvalidSampleRate; }, 0, 2, fallback, played(at48000)},
        {[] { fake.at44100 = fake.at48000 = paInvalidSampleRate; }, 0, 2,
         fallback + "48000Hz not supported either?\n", played(at48000)},
        // Only a refused rate changes the rate; the device itself decides about anything else when it opens.
        {[] { fake.at44100 = paInvalidChannelCount; }, 0, 2, "", played(stereo)},
        // Other channel counts, and an input at the input device's own latency.
        {[] {}, 1, 6, "", played("Pa_OpenStream 5 1 1 0.0087 7 6 1 0.0116 44100")},
        {[] { fake.at44100 = paInvalidSampleRate; }, 2, 0, "", played("Pa_OpenStream 5 2 1 0.0087 - 44100")},
        {[] { fake.initialiseResult = paNotInitialized; }, 0, 2, "PortAudioDevice Error: Could not initialise.\n",
         {"Pa_Initialize"}},
        // A machine without a sound card: PortAudio must never be handed paNoDevice.
        {[] { fake.hostApi.defaultOutputDevice = paNoDevice; }, 0, 2, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.defaultHostApi = paNoDevice; }, 0, 2, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
        {[] { fake.openResult = paDeviceUnavailable; }, 0, 2, openFailed, {"Pa_Initialize", stereo, "Pa_Terminate"}},
        {[] { fake.startResult = paInternalError; }, 0, 2, "PortAudioDevice Error: Could not start stream.\n",
         {"Pa_Initialize", stereo, "Pa_StartStream", "Pa_CloseStream", "Pa_Terminate"}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(&test - cases);
        fake = FakePortAudio();
        test.set();
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
        EXPECT_EQ(test.said, testing::internal::GetCapturedStdout());
        // Started, it says so, hands PortAudio its own callback with the mixer, and does not start twice.
        const bool plays = test.calls.size() == 6;
        const bool handed = fake.callback == &PortAudioDevice::portAudioCallback && fake.userData == &callback;
        EXPECT_EQ(std::vector<bool>({plays, plays, plays, false}),
                  std::vector<bool>({started, device->isStarted(), plays && handed, plays && device->start()}));
        // Every other device is stopped before it goes: either way the stream closes once, and a device
        // that never started calls nothing more.
        if ((&test - cases) % 2 == 0)
            device->stop();
        device.reset();
        EXPECT_EQ(test.calls, fake.calls);
    }
    // A failing mixer costs one silent block and never the stream; the block holds whatever the mixer had
    // written when it failed.
    std::vector<float> block(2 * 95, 0.25f);
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, &callback));
    EXPECT_EQ(std::vector<float>(2 * 95, 0.0f), block);
}

TEST(AudioLibraryNoise, TheSoundLibrariesSayNothingUnlessDiagnosticsAreAskedFor)
{
    for (const char* setting : {"1", "0", "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(setting == nullptr ? "unset" : setting);
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
        const bool wanted = setting != nullptr && std::string(setting) == "1";
        for (const char* message : {"jack error", "jack info", "alsa error"})
            EXPECT_EQ(wanted, printed.find(message) != std::string::npos) << message;
        // Quietened, probing must not start a JACK server either.
        EXPECT_STREQ(std::getenv("JACK_NO_START_SERVER"), wanted ? nullptr : chosen != nullptr ? chosen : "1");
    }
}

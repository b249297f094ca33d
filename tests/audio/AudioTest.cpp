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

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

// The music and the effects mixed into plain float blocks, no device needed, against a model of both
// built on their files decoded straight through; sound files that are damaged or are no files at all; the
// output device with PortAudio replaced by the fakes of FakePortAudio.h.
namespace {
    namespace fs = std::filesystem;
    const std::string FIXTURES = AUDIO_FIXTURES, EFFECTS = FIXTURES + "effects/";
    // A quarter of a second at 44100 Hz: where blocks cross from one buffer into the next.
    const int BUFFER = 11025;

    // Block lengths 1, 2, 3, ... until they add up to at least `frames`: every length up to there, each
    // block starting where the last ended, so buffer ends, loop points and voice ends fall at ever new offsets.
    std::vector<int> rising(std::size_t frames)
    {
        std::vector<int> blocks;
        for (std::size_t total = 0; total < frames; total += blocks.size())
            blocks.push_back(static_cast<int>(blocks.size()) + 1);
        return blocks;
    }

    // Mixes the music and then the effects into silent blocks, as the application does, and compares each
    // block with a model of what they add: the music's first stream looped from its last frame to its
    // first, faded in, at 0.75 or at 0.5 for a block that crosses into the next buffer; then each of 128
    // voice slots in turn, the first channel of its effect at 0.5 on both sides. A request takes the
    // lowest slot whose voice has ended and is dropped while all 128 sound.
    struct Mix {
        // Music from a file, asked to stream only where it is refused (it must then start no thread); or,
        // `streamed`, the game's own streamed from "music.ogg" in the sounds folder. The effects from a folder.
        Mix(const std::string& file, const std::string& effectFolder, bool plays = true, bool streamed = false)
            : sounds(effectFolder),
              music(streamed ? std::make_unique<BackgroundMusic>() : std::make_unique<BackgroundMusic>(file, !plays)),
              reference(plays ? file : "")
        {
            // What does not decode, or is refused, is expected as silence.
            if (reference.left.empty())
                reference.left = reference.right = {0.0f};
        }

        void play(Sounds::SoundType type)
        {
            sounds.playSound(type);
            const auto free = std::find_if(voices, voices + 128, [&](const Voice& voice) { return !sounding(voice); });
            if (free != voices + 128)
                *free = {type, frame};
        }

        // Mixes blocks of the given lengths and compares them, refilling after each one unless left to the
        // streaming thread, and expecting the music silent where a buffer is not heard; stops at the first failure.
        void mixes(const std::vector<int>& blocks, bool refilling = true, bool heard = true)
        {
            for (const int frames : blocks) {
                std::vector<float> block(2 * frames, 0.0f), expected;
                music->audioBlock(block.data(), frames);
                sounds.getAudio(block.data(), frames);
                if (refilling)
                    music->refill();
                // Frames left in the current buffer; a buffer is only left when the next block needs it.
                const int remaining = frame == 0 ? BUFFER : (BUFFER - static_cast<int>(frame % BUFFER)) % BUFFER;
                const float gain = !heard ? 0.0f : frames <= remaining ? 0.75f : 0.5f;
                for (int i = 0; i < frames; ++i, ++frame) {
                    const std::size_t at = frame % reference.left.size();
                    float sides[2] = {reference.left[at] * volume * gain, reference.right[at] * volume * gain};
                    for (const Voice& voice : voices)
                        for (float& side : sides)
                            side += sounding(voice) ? 0.5f * effects[voice.type][frame - voice.start] : 0.0f;
                    expected.insert(expected.end(), {sides[0], sides[1]});
                    volume += volume < 1.0f ? 0.000001f : 0.0f;
                }
                const auto wrong = std::mismatch(block.begin(), block.end(), expected.begin()).first - block.begin();
                ASSERT_EQ(wrong, 2 * frames) << "first wrong at frame " << frame - frames + wrong / 2;
            }
        }

        // A block that ends exactly at its buffer's end; there the streaming thread stalls while the mixer
        // leaves two buffers: the third, met again before its refill, is silent; it plays next, so it must be
        // filled first, with the music from where the loop has got to.
        void stalls()
        {
            ASSERT_NO_FATAL_FAILURE(mixes({BUFFER - static_cast<int>(frame % BUFFER)}));
            ASSERT_NO_FATAL_FAILURE(mixes({BUFFER, BUFFER}, false));
            ASSERT_NO_FATAL_FAILURE(mixes({512}, false, false));
            music->refill();
        }

        // What a voice slot last played, and from which frame; one that never played is silent.
        struct Voice { Sounds::SoundType type = Sounds::ClickSound; std::size_t start = SIZE_MAX; } voices[128];
        bool sounding(const Voice& voice) const
        {
            return frame >= voice.start && frame - voice.start < effects[voice.type].size();
        }

        Sounds sounds;
        std::unique_ptr<BackgroundMusic> music;
        DecodedSound reference;
        std::vector<float> effects[3] = {DecodedSound(EFFECTS + "click.ogg").left,
                                         DecodedSound(EFFECTS + "forage.ogg").left,
                                         DecodedSound(EFFECTS + "garrison.ogg").left};
        // Where the model has got to.
        std::size_t frame = 0;
        float volume = 0.0f;
    };

    // The mixer every device is started with: it notes what it was handed, then fails.
    struct Callback : PortAudioCallback {
        void getAudio(float* input, float* output, int count) override
        {
            handed = {input, output, count};
            throw std::runtime_error("out of memory");
        }
        std::tuple<float*, float*, int> handed;
    } callback;
}

TEST(Mixing, BlocksOfEveryLengthAddTheLoopedMusicAtItsGainThenEachEffectInUpTo128Voices)
{
    // Music longer than three buffers; shorter than half a buffer, so every loop point falls inside one,
    // played on past the frame (990522) where the fade-in reaches full volume and stays there; chained, of
    // which only the first stream plays; mono, heard on both sides.
    for (const auto& [file, frames] :
         {std::pair("long.ogg", 0), {"short.ogg", 1 << 20}, {"chained.ogg", 0}, {"mono.ogg", 0}}) {
        Mix check(FIXTURES + file, EFFECTS);
        // A stall from the start, with every buffer left before the first refill.
        ASSERT_NO_FATAL_FAILURE(check.stalls());
        for (const auto effect : {Sounds::ClickSound, Sounds::ForageSound, Sounds::GarrisonSound})
            for (const int requests : {127, 128, 129}) {
                SCOPED_TRACE(file + (" effect " + std::to_string(effect)) + " played " + std::to_string(requests));
                // The first voice runs 100 frames ahead of the others, so taking its slot would be heard.
                check.play(effect);
                ASSERT_NO_FATAL_FAILURE(check.mixes({100}));
                for (int request = 2; request <= requests; ++request)
                    check.play(effect);
                // One more, of another effect: dropped too once 128 sound. All end, so the next round finds
                // every slot free.
                check.play(static_cast<Sounds::SoundType>((effect + 1) % 3));
                ASSERT_NO_FATAL_FAILURE(check.mixes(rising(14000)));
            }
        ASSERT_NO_FATAL_FAILURE(check.mixes(rising(frames)));
        // A stall later on, then blocks crossing one or two buffer ends, and none.
        ASSERT_NO_FATAL_FAILURE(check.stalls());
        check.mixes({1, BUFFER - 1, BUFFER, 1, 2 * BUFFER, 0, 333});
    }
    // Voices started while another thread mixes, for the thread checker's eyes (tools/test.sh).
    Sounds sounds(EFFECTS);
    std::thread audio([&] {
        for (int i = 0; i < 3000; ++i)
            sounds.getAudio(std::vector<float>(256).data(), 128);
    });
    for (int i = 0; i < 3000; ++i)
        sounds.playSound(static_cast<Sounds::SoundType>(i % 3));
    audio.join();
}

TEST(Sounds, EachSoundFilePlaysWhatReallyDecodesAndWhateverIsRefusedLeavesNothingBehind)
{
    const std::string refused = "vorbisfile: fopen could not open file: ", loaded = "vorbisfile: Loaded file: ";
    const std::string tooLarge = "vorbisfile: File too large, so it stays silent: ";
    // What goes where the forage effect should be: a copy of a file, cut to a size unless 0 (a FIFO for
    // "fifo"); the message for the effect, and for the music where it differs.
    const struct { std::string from; std::uintmax_t bytes; std::string message, musicMessage = message; } cases[] = {
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
        // Either side of each ceiling, 4 MB for an effect and 16 MB for the music: the effect refuses what
        // the music still takes. Whole, the stereo forage is heard from its first channel.
        {EFFECTS + "forage.ogg", (4 << 20) + 1, tooLarge, loaded},
        {EFFECTS + "forage.ogg", 4 << 20, loaded},
        {EFFECTS + "forage.ogg", 16 << 20, tooLarge, loaded},
        {EFFECTS + "forage.ogg", (16 << 20) + 1, tooLarge},
        // One sample; as long as an effect may be, a minute, and a sample longer: none of that one is kept.
        {FIXTURES + "one.ogg", 0, loaded},
        {FIXTURES + "minute.ogg", 0, loaded},
        {FIXTURES + "overlong.ogg", 0, "vorbisfile: Could not load the whole effect, so it stays silent: ", loaded},
        // Not a regular file: opening it must not wait for a writer.
        {"fifo", 0, refused},
    };
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.from + " " + std::to_string(test.bytes));
        const TemporaryDirectory folder;
        const std::string at = folder.getPath() + "/", file = at + "forage.ogg";
        for (const std::string other : {"click.ogg", "garrison.ogg"})
            fs::copy_file(EFFECTS + other, at + other);
        if (test.from == "fifo")
            mkfifo(file.c_str(), 0644);
        else if (!test.from.empty())
            fs::copy_file(test.from, file);
        if (test.bytes > 0)
            fs::resize_file(file, test.bytes);
        testing::internal::CaptureStdout();
        Mix check(file, at, test.musicMessage == loaded);
        // The effects before and after it load as ever.
        EXPECT_EQ(loaded + at + "click.ogg\n" + test.message + file + "\n" + loaded + at + "garrison.ogg\n" +
                      test.musicMessage + file + "\n", testing::internal::GetCapturedStdout());
        // Whatever was refused was closed again, and a refused music streams nothing; only the music that
        // plays keeps its file.
        EXPECT_EQ(openFiles(), filesBefore + (test.musicMessage == loaded ? 1 : 0));
        EXPECT_FALSE(check.music->hasThread());
        check.effects[Sounds::ForageSound] = DecodedSound(test.message == loaded ? file : "").left;
        // A refused forage neither sounds nor takes the slot the click then gets.
        for (const auto type : {Sounds::ForageSound, Sounds::ClickSound, Sounds::GarrisonSound})
            check.play(type);
        // The damaged music is compared in its first buffer only: later fills decode on past the fault.
        check.mixes(rising(test.from == DAMAGED ? BUFFER / 2 : std::max(check.effects[1].size(), std::size_t(14000))));
    }
}

TEST(Settings, TheUsersSoundsFolderAndWishForDiagnosticsAreHonouredAndTheDefaultsTakenOnlyWithoutThem)
{
    // Asked for by any setting but "0" or an empty one; the first two before anything has been quietened.
    for (const char* setting : {"1", "yes", "0", "", static_cast<const char*>(nullptr)}) {
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
        const bool wanted = setting != nullptr && *setting != '\0' && std::string(setting) != "0";
        for (const char* message : {"jack error", "jack info", "alsa error"})
            EXPECT_EQ(wanted, printed.find(message) != std::string::npos) << message;
        // Quietened, probing must not start a JACK server either.
        EXPECT_STREQ(std::getenv("JACK_NO_START_SERVER"), wanted ? nullptr : chosen != nullptr ? chosen : "1");
    }
    // The sounds folder: the chosen one, ending in a slash; else the one beside the program; else the
    // installed one.
    const std::string beside = fs::canonical("/proc/self/exe").parent_path().string() + "/sounds/";
    ASSERT_FALSE(fs::exists(beside));
    // Chosen, it is taken whatever else there is; an empty choice is none.
    for (const bool besideExists : {false, true}) {
        if (besideExists)
            fs::create_directory(beside);
        for (const char* named : {"/some/sounds", "/some/sounds/", "", static_cast<const char*>(nullptr)}) {
            ScopedEnvironment variable("MARROWGATE_SOUNDS_DIR", named);
            const std::string fallback = besideExists ? beside : INSTALLED_SOUNDS "/";
            EXPECT_EQ(named != nullptr && *named != '\0' ? "/some/sounds/" : fallback, BackgroundMusic::getSoundsPath());
        }
    }
    fs::remove(beside);
    // The game's own effects and music come from the folder chosen; the music is streamed by its thread at
    // its pace, so the mixer meets buffer 0 again two buffers' time after leaving it, refilled.
    ScopedEnvironment variable("MARROWGATE_SOUNDS_DIR", EFFECTS.substr(0, EFFECTS.size() - 1).c_str());
    EXPECT_EQ(DecodedSound(EFFECTS + "forage.ogg").left.size(), Sounds::getInstance()->getLength(Sounds::ForageSound));
    Mix streamed(EFFECTS + "music.ogg", EFFECTS, true, true);
    ASSERT_NO_FATAL_FAILURE(streamed.mixes({BUFFER + 1}, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000 * 2 * BUFFER / 44100));
    streamed.mixes({2 * BUFFER}, false);
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
    // Each row: what the fake answers, the channels and rate asked for (inputs -1: the device is left at its
    // defaults), what the device says and what it calls.
    const struct { void (*set)(); int inputs, outputs; std::string said; std::vector<std::string> calls; int rate = 44100; }
        cases[] = {
            // The host's default output, at that device's own default low latency (not 0).
            {[] {}, -1, 0, "", played(stereo)},
            {[] { fake.at44100 = paInvalidSampleRate; }, 0, 2, fallback, played(at48000)},
            {[] { fake.at44100 = fake.at48000 = paInvalidSampleRate; }, 0, 2,
             fallback + "48000Hz not supported either?\n", played(at48000)},
            // Only a refused rate changes the rate; the device itself decides about anything else when it opens.
            {[] { fake.at44100 = paInvalidChannelCount; }, 0, 2, "", played(stereo)},
            // Other channel counts and rates, and an input at the input device's own latency.
            {[] {}, 2, 1, "", played("Pa_OpenStream 5 2 1 0.0087 7 1 1 0.0116 22050"), 22050},
            {[] { fake.at44100 = paInvalidSampleRate; }, 1, 0, "", played("Pa_OpenStream 5 1 1 0.0087 - 44100")},
            {[] { fake.initialiseResult = paNotInitialized; }, 0, 2, "PortAudioDevice Error: Could not initialise.\n",
             {"Pa_Initialize"}},
            // A machine without a sound card: PortAudio must never be handed paNoDevice. Without an input
            // device, output alone still plays.
            {[] { fake.hostApi.defaultOutputDevice = paNoDevice; }, 0, 2, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
            {[] { fake.hostApi.defaultInputDevice = paNoDevice; }, 1, 2, openFailed, {"Pa_Initialize", "Pa_Terminate"}},
            {[] { fake.hostApi.defaultInputDevice = paNoDevice; }, 0, 2, "", played(stereo)},
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
        device->setCallback(&callback);
        if (test.inputs >= 0) {
            device->setNumChannels(test.inputs, test.outputs);
            device->setSamplerate(test.rate);
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
        // that never started (as with sound off) calls nothing more.
        if ((&test - cases) % 2 == 0)
            device->stop();
        device.reset();
        EXPECT_EQ(test.calls, fake.calls);
    }
    // Each block goes to the mixer whole; a failing mixer costs one silent block and never the stream; with
    // no mixer nothing happens.
    std::vector<float> block(2 * 95, 0.25f);
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, nullptr));
    EXPECT_EQ(paContinue, PortAudioDevice::portAudioCallback(nullptr, block.data(), 95, nullptr, 0, &callback));
    EXPECT_EQ(std::vector<float>(2 * 95, 0.0f), block);
    EXPECT_EQ(std::tuple(nullptr, block.data(), 95), callback.handed);
}

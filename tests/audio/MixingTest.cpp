// SPDX-License-Identifier: MIT
#include "DecodedSound.h"
#include "TemporaryDirectory.h"
#include "audio/BackgroundMusic.h"
#include "audio/Sounds.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The music and the effects mixed into plain float blocks, no device needed, and compared with their
// files decoded straight through; sound files that are damaged or are no files at all.
namespace {
    namespace fs = std::filesystem;
    const std::string FIXTURES = AUDIO_FIXTURES;
    // A quarter of a second at 44100 Hz: where blocks cross from one buffer into the next.
    const int BUFFER = 11025;

    // Plays a music file into silent blocks and compares each with what it should add: the first stream
    // looped straight from its last frame to its first, faded in, at 0.75 or at 0.5 for a block that
    // crosses into the next buffer.
    struct MusicCheck {
        explicit MusicCheck(const std::string& file, bool streaming = false)
            : music(FIXTURES + file, streaming), reference(FIXTURES + file) {}

        // Mixes blocks of the given lengths and compares them, refilling after each one unless left to the
        // streaming thread, and expecting silence where a buffer is not heard; stops at the first failure.
        void mixes(const std::vector<int>& blocks, bool refilling = true, bool heard = true)
        {
            for (const int frames : blocks) {
                std::vector<float> block(2 * frames, 0.0f);
                music.audioBlock(block.data(), frames);
                if (refilling)
                    music.refill();
                // Frames left in the current buffer; a buffer is only left when the next block needs it.
                const int remaining = frame == 0 ? BUFFER : (BUFFER - static_cast<int>(frame % BUFFER)) % BUFFER;
                const float gain = !heard ? 0.0f : frames <= remaining ? 0.75f : 0.5f;
                std::vector<float> expected;
                for (int i = 0; i < frames; ++i, ++frame) {
                    const std::size_t at = frame % reference.left.size();
                    expected.push_back(reference.left[at] * volume * gain);
                    expected.push_back(reference.right[at] * volume * gain);
                    if (volume < 1.0f)
                        volume += 0.000001f;
                }
                ASSERT_THAT(block, testing::Pointwise(testing::FloatEq(), expected));
            }
        }

        BackgroundMusic music;
        const DecodedSound reference;
        // Where the expectation has got to.
        std::size_t frame = 0;
        float volume = 0.0f;
    };

    // Ways to put a file where an effect should be: a copy, perhaps resized, or what a lambda makes.
    using Replace = std::function<void(const std::string&)>;
    Replace copying(const std::string& from, std::uintmax_t bytes = 0)
    {
        return [from, bytes](const std::string& file) {
            fs::copy_file(from, file);
            if (bytes > 0)
                fs::resize_file(file, bytes);
        };
    }
    const std::string FORAGE = FIXTURES + "effects/forage.ogg";

    // The effects loaded from a folder of copies of the fixture effects, any of which a test may replace.
    class SoundsTest : public testing::Test {
    protected:
        void SetUp() override { load(); }

        std::string path(const std::string& name) const { return folder->getPath() + "/" + name; }

        // Loads a fresh folder of the fixture effects, forage.ogg put there as given; returns what the
        // loading printed.
        std::string load(const Replace& forage = copying(FORAGE))
        {
            folder.emplace();
            for (const char* name : {"click.ogg", "garrison.ogg"})
                fs::copy_file(FIXTURES + "effects/" + name, path(name));
            forage(path("forage.ogg"));
            testing::internal::CaptureStdout();
            sounds.reset(new Sounds(folder->getPath() + "/"));
            return testing::internal::GetCapturedStdout();
        }

        // Mixes the voices into a block that already holds the given level.
        std::vector<float> mix(int frames, float background = 0.0f)
        {
            std::vector<float> block(2 * frames, background);
            sounds->getAudio(block.data(), frames);
            return block;
        }

        std::optional<TemporaryDirectory> folder;
        std::unique_ptr<Sounds> sounds;
        const DecodedSound garrison{FIXTURES + "effects/garrison.ogg"};
    };
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
        MusicCheck check(test.file);
        ASSERT_FALSE(check.reference.left.empty());
        check.mixes(test.blocks);
    }
}

TEST(BackgroundMusic, AfterAStallTheBufferAwaitingItsRefillIsSilentAndRefillsGoInTheOrderTheyPlay)
{
    // Refilled on time, buffers 0 and 1 are filled again, 1 last; then a stall while the mixer leaves 2,
    // 0 and 1. The same from the start: with every buffer left before the first refill, 0 comes first.
    const std::vector<int> once = {BUFFER}, twice = {BUFFER, BUFFER}, thrice = {BUFFER, BUFFER, BUFFER};
    for (const auto& [onTime, stalled] : {std::pair(thrice, twice), std::pair(once, twice)}) {
        MusicCheck check("long.ogg");
        ASSERT_NO_FATAL_FAILURE(check.mixes(onTime, true));
        ASSERT_NO_FATAL_FAILURE(check.mixes(stalled, false));
        // The buffer met again before its refill is heard as silence.
        ASSERT_NO_FATAL_FAILURE(check.mixes({512}, false, false));
        // It plays next, so it must be filled first; the music goes on where the loop has got to.
        check.music.refill();
        check.mixes(thrice);
    }
}

TEST(BackgroundMusic, StreamingThreadRefillsALeftBufferBeforeTheMixerComesBackToIt)
{
    MusicCheck check("long.ogg", true);
    // Played at its pace, the mixer meets buffer 0 again two buffers' time after leaving it.
    const auto back = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000 * 2 * BUFFER / 44100);
    ASSERT_NO_FATAL_FAILURE(check.mixes({BUFFER + 1}, false));
    std::this_thread::sleep_until(back);
    check.mixes({2 * BUFFER}, false);
}

TEST(MusicFile, LeftAndRightAreBalancedWithinHalfADecibel)
{
    const DecodedSound music(SHIPPED_SOUNDS "music.ogg");
    const double left = std::inner_product(music.left.begin(), music.left.end(), music.left.begin(), 0.0);
    const double right = std::inner_product(music.right.begin(), music.right.end(), music.right.begin(), 0.0);
    EXPECT_NEAR(0.0, 10.0 * std::log10(right / left), 0.5);
}

TEST_F(SoundsTest, The129thVoiceIsDroppedWhile128SoundAndTheSlotsFreeOnceTheVoicesEnd)
{
    // The first voice runs 100 frames ahead of the others, so taking its slot for the 129th would be heard.
    sounds->playSound(Sounds::GarrisonSound);
    mix(100);
    for (int request = 2; request <= 129; ++request)
        sounds->playSound(Sounds::GarrisonSound);
    const std::vector<float> heard = mix(200);
    for (int frame = 0; frame < 200; ++frame) {
        float expected = 0.5f * garrison.left[100 + frame];
        for (int voice = 1; voice < 128; ++voice)
            expected += 0.5f * garrison.left[frame];
        ASSERT_FLOAT_EQ(expected, heard[2 * frame]) << "frame " << frame;
    }
    mix(static_cast<int>(garrison.left.size()));
    EXPECT_EQ(std::vector<float>(2 * 64, 0.0f), mix(64)) << "every voice has ended";
    sounds->playSound(Sounds::GarrisonSound);
    EXPECT_FLOAT_EQ(0.5f * garrison.left[10], mix(64)[2 * 10]) << "a freed slot takes the next request";
}

TEST_F(SoundsTest, VoicesStartedWhileAnotherThreadMixes)
{
    std::atomic<bool> done(false);
    std::thread audio([&] {
        while (!done.load(std::memory_order_acquire))
            mix(128);
    });
    for (int i = 0; i < 3000; ++i)
        sounds->playSound(static_cast<Sounds::SoundType>(i % 3));
    done.store(true, std::memory_order_release);
    audio.join();
}

TEST_F(SoundsTest, EachSoundFilePlaysWhatReallyDecodesAndAFileThatDoesNotOpenPrintsWhyAndStaysSilent)
{
    // The ceilings as the game states them, in bytes: 4 MB for an effect, 16 MB for the music.
    const std::uintmax_t effectCeiling = 4 << 20, musicCeiling = 16 << 20;
    const std::string refused = "vorbisfile: fopen could not open file: ", loaded = "vorbisfile: Loaded file: ";
    const std::string tooLarge = "vorbisfile: File too large, so it stays silent: ";
    // The message for the effect, and for the music where it differs.
    const struct { const char* name; Replace replace; std::string message, musicMessage = ""; } cases[] = {
        // Stereo, with sides that differ: an effect is heard from its first channel only.
        {"whole", copying(FORAGE), loaded},
        {"missing", [](const std::string&) {}, refused},
        {"not Ogg", copying(FIXTURES + "text.ogg"), "vorbisfile: Could not open file: "},
        // Without frames: the music's fill must still end.
        {"empty", copying(FIXTURES + "empty.ogg"), loaded},
        // Cut off part-way: the samples read before the damage.
        {"cut", copying(FIXTURES + "cut.ogg"), loaded},
        // Chained: only the first stream.
        {"chained", copying(FIXTURES + "chained.ogg"), loaded},
        // long.ogg, its last audio page claiming 2^40 frames.
        {"claiming 2^40 frames", copying(FIXTURES + "claiming.ogg"), loaded},
        // A damaged file on which seeking by sample crashes libogg 1.3.5: nothing decodes from it.
        {"damaged", copying(DAMAGED), loaded},
        // A byte more than an effect may have (the music takes it), 200 MB (neither does, and neither
        // waits for it), and just as much as an effect may have.
        {"too large", copying(FORAGE, effectCeiling + 1), tooLarge, loaded},
        {"200 MB", copying(FORAGE, 200 << 20), tooLarge},
        {"as large as allowed", copying(FORAGE, effectCeiling), loaded},
        // As long as an effect may be: a minute.
        {"a minute", copying(FIXTURES + "minute.ogg"), loaded},
        // The same at the music's ceiling: the effect refuses what the music still takes.
        {"as large as the music may be", copying(FORAGE, musicCeiling), tooLarge, loaded},
        {"larger than the music may be", copying(FORAGE, musicCeiling + 1), tooLarge},
        {"a FIFO", [](const std::string& file) { mkfifo(file.c_str(), 0644); }, refused},
        {"/dev/zero", [](const std::string& file) { fs::create_symlink("/dev/zero", file); }, refused},
    };
    const DecodedSound click(FIXTURES + "effects/click.ogg");
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string printed = load(test.replace), file = path("forage.ogg");
        EXPECT_EQ(loaded + path("click.ogg") + "\n" + test.message + file + "\n" + loaded + path("garrison.ogg") + "\n",
                  printed);
        // What opens is compared with its straight decode.
        const DecodedSound forage(test.message == loaded ? file : "");
        EXPECT_EQ(forage.left.size(), sounds->getLength(Sounds::ForageSound));
        testing::internal::CaptureStdout();
        BackgroundMusic music(file, false);
        const std::string& musicMessage = test.musicMessage.empty() ? test.message : test.musicMessage;
        EXPECT_EQ(musicMessage + file + "\n", testing::internal::GetCapturedStdout());
        // Whatever was refused was closed again; only the music that plays keeps its file.
        EXPECT_EQ(openFiles(), filesBefore + (musicMessage == loaded ? 1 : 0));
        std::vector<float> block(2 * 600, 0.25f);
        music.audioBlock(block.data(), 600);
        const bool musicSilent = DecodedSound(musicMessage == loaded ? file : "").left.empty();
        EXPECT_EQ(musicSilent, block == std::vector<float>(2 * 600, 0.25f)) << "the music is silent";
        // Each effect at half on both channels, added to what the block holds, until it ends in the second
        // of two blocks.
        EXPECT_EQ(std::vector<float>(2 * 64, 0.3f), mix(64, 0.3f)) << "nothing plays yet";
        for (const Sounds::SoundType type : {Sounds::ClickSound, Sounds::ForageSound, Sounds::GarrisonSound})
            sounds->playSound(type);
        block = mix(2048, 0.3f);
        const std::vector<float> second = mix(static_cast<int>(garrison.left.size()), 0.3f);
        block.insert(block.end(), second.begin(), second.end());
        for (std::size_t frame = 0; frame < block.size() / 2; ++frame) {
            float expected = 0.3f;
            for (const DecodedSound* effect : {&click, &forage, &garrison})
                expected += frame < effect->left.size() ? 0.5f * effect->left[frame] : 0.0f;
            ASSERT_FLOAT_EQ(expected, block[2 * frame]) << "frame " << frame;
            ASSERT_EQ(block[2 * frame], block[2 * frame + 1]) << "frame " << frame;
        }
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

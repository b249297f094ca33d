// SPDX-License-Identifier: MIT
#include "BackgroundMusic.h"
#include "Sounds.h"

#include <vorbis/vorbisfile.h>

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The music and the effects mixed into plain float blocks, no device needed, and compared with their
// files decoded straight through.
namespace {
    const std::string FIXTURES = AUDIO_FIXTURES;
    const int BUFFER = BackgroundMusic::BUFFER_FRAMES;

    // The first logical stream of an Ogg Vorbis file, a single channel given to both sides; empty when
    // the file does not open.
    struct Decoded { std::vector<float> left, right; };

    Decoded decode(const std::string& path)
    {
        Decoded sound;
        OggVorbis_File vorbisFile;
        if (ov_fopen(path.c_str(), &vorbisFile) < 0)
            return sound;
        // Straight after opening a chained file the decoder reports a later stream; a seek puts it on the first.
        ov_pcm_seek(&vorbisFile, 0);
        float** pcm = nullptr;
        int link = 0;
        for (long read; (read = ov_read_float(&vorbisFile, &pcm, 4096, &link)) > 0 && link == 0;) {
            const float* second = ov_info(&vorbisFile, 0)->channels > 1 ? pcm[1] : pcm[0];
            sound.left.insert(sound.left.end(), pcm[0], pcm[0] + read);
            sound.right.insert(sound.right.end(), second, second + read);
        }
        ov_clear(&vorbisFile);
        return sound;
    }

    // Plays a music file into silent blocks and compares each with what it should add: the first stream
    // looped straight from its last frame to its first, faded in, at 0.75 or at 0.5 for a block that
    // crosses into the next buffer.
    class MusicCheck {
    public:
        MusicCheck(const std::string& file, bool streaming)
            : music(FIXTURES + file, streaming), reference(decode(FIXTURES + file)) {}

        // Mixes blocks of the given lengths and compares them, refilling after each one unless left to the
        // streaming thread; stops at the first failure, returning false.
        bool mixes(const std::vector<int>& blocks, bool refilling = true)
        {
            for (const int frames : blocks) {
                std::vector<float> block(2 * frames, 0.0f);
                music.audioBlock(block.data(), frames);
                if (refilling)
                    music.refill();
                EXPECT_THAT(block, testing::Pointwise(testing::FloatEq(), expected(frames)));
                if (testing::Test::HasFailure())
                    return false;
            }
            return true;
        }

        // The next frames of the expectation, interleaved.
        std::vector<float> expected(int frames)
        {
            // Frames left in the current buffer; a buffer is only left when the next block needs it.
            const int remaining = frame == 0 ? BUFFER : (BUFFER - static_cast<int>(frame % BUFFER)) % BUFFER;
            const float gain = frames <= remaining ? 0.75f : 0.5f;
            std::vector<float> out;
            for (int i = 0; i < frames; ++i, ++frame) {
                out.push_back(reference.left[frame % reference.left.size()] * volume * gain);
                out.push_back(reference.right[frame % reference.left.size()] * volume * gain);
                if (volume < 1.0f)
                    volume += 0.000001f;
            }
            return out;
        }

        BackgroundMusic music;
        const Decoded reference;

    private:
        size_t frame = 0;
        float volume = 0.0f;
    };

    class SoundsTest : public testing::Test {
    protected:
        void SetUp() override { load("effects/"); }

        // Loads the effects of a fixture directory, returning what the loading printed.
        std::string load(const std::string& directory)
        {
            testing::internal::CaptureStdout();
            sounds.reset(new Sounds(FIXTURES + directory));
            return testing::internal::GetCapturedStdout();
        }

        // Mixes the voices into a block that already holds the given level.
        std::vector<float> mix(int frames, float background = 0.0f)
        {
            std::vector<float> block(2 * frames, background);
            sounds->getAudio(block.data(), frames);
            return block;
        }

        std::unique_ptr<Sounds> sounds;
    };
}

TEST(BackgroundMusic, EveryBlockIsMixedCompletelyAtItsGainAndTheMusicLoopsWithoutAGap)
{
    const struct { const char* file; std::vector<int> blocks; } cases[] = {
        // The first two blocks fill buffer 0 exactly at 0.75; the third crosses into buffer 1 at 0.5.
        {"long.ogg", {11000, 25, 100, 100}},
        // Blocks longer than a buffer span two and three of them.
        {"long.ogg", {1, 95, 30000, 7, 4096, 11025, 3000, 12345, 94, 20000, 0, 333}},
        // Music shorter than half a buffer: every loop point falls inside one.
        {"short.ogg", std::vector<int>(60, 512)},
        {"chained.ogg", std::vector<int>(80, 700)},
        {"mono.ogg", std::vector<int>(80, 1000)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.file);
        MusicCheck check(test.file, false);
        ASSERT_FALSE(check.reference.left.empty());
        check.mixes(test.blocks);
    }
}

TEST(BackgroundMusic, FadeInReachesFullVolumeAfter990522Frames)
{
    MusicCheck check("short.ogg", false);
    ASSERT_TRUE(check.mixes(std::vector<int>(990, 1000)));
    ASSERT_TRUE(check.mixes({521}));
    EXPECT_LT(check.music.getVolume(), 1.0f);
    check.mixes({1});
    EXPECT_EQ(1.0f, check.music.getVolume());
}

TEST(BackgroundMusic, BufferStillAwaitingItsRefillIsHeardAsSilence)
{
    MusicCheck check("long.ogg", false);
    // Unrefilled, the mixer plays the three buffers filled at construction and then meets the first again.
    ASSERT_TRUE(check.mixes({BUFFER, BUFFER, BUFFER}, false));
    std::vector<float> block(2 * 512, 0.0f);
    check.music.audioBlock(block.data(), 512);
    EXPECT_EQ(std::vector<float>(2 * 512, 0.0f), block);
    check.expected(512);
    // Once refilled, the music goes on where the loop has got to.
    check.music.refill();
    check.mixes({512});
}

TEST(BackgroundMusic, TwoBuffersWaitingAfterAStallAreFilledInTheOrderTheyPlay)
{
    MusicCheck check("long.ogg", false);
    // Refilled on time, buffers 0 and 1 are filled again, 1 last.
    ASSERT_TRUE(check.mixes({BUFFER, BUFFER, BUFFER}));
    // A stall while the mixer leaves 2 and then 0: buffer 2 plays next, so it must be filled first.
    ASSERT_TRUE(check.mixes({BUFFER, BUFFER}, false));
    check.music.refill();
    check.mixes({BUFFER, BUFFER, BUFFER});
}

TEST(BackgroundMusic, StreamingThreadKeepsTheBuffersFilled)
{
    MusicCheck check("long.ogg", true);
    // Six buffers' worth at about the pace of playback: the thread, polling every 62 ms, refills each
    // buffer long before the mixer comes back to it.
    for (int mixed = 0; mixed < 6 * BUFFER; mixed += 1024) {
        ASSERT_TRUE(check.mixes({1024}, false)) << " at frame " << mixed;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

TEST(BackgroundMusic, UnplayableFilesPrintTheirMessageAndStaySilent)
{
    const struct { const char* file; const char* message; } cases[] = {
        {"absent.ogg", "vorbisfile: fopen could not open file: "},
        {"text.ogg", "vorbisfile: Could not open file: "},
        // A file without frames opens, and its fill must still end.
        {"empty.ogg", "vorbisfile: Loaded file: "},
    };
    for (const auto& test : cases) {
        testing::internal::CaptureStdout();
        BackgroundMusic music(FIXTURES + test.file, false);
        EXPECT_EQ(test.message + FIXTURES + test.file + "\n", testing::internal::GetCapturedStdout());
        std::vector<float> block(2 * 600, 0.25f);
        music.audioBlock(block.data(), 600);
        EXPECT_EQ(std::vector<float>(2 * 600, 0.25f), block) << test.file;
    }
}

TEST_F(SoundsTest, EffectIsAddedAtHalfOnBothChannelsOnTopOfTheMusicUntilItEnds)
{
    EXPECT_EQ(std::vector<float>(2 * 300, 0.3f), mix(300, 0.3f)) << "nothing plays yet";
    const Decoded forage = decode(FIXTURES + "effects/forage.ogg");
    ASSERT_EQ(forage.left.size(), sounds->getLength(Sounds::ForageSound));
    ASSERT_TRUE(forage.left.size() > 2048 && forage.left.size() < 2560);
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    std::vector<float> block(2 * 2560, 0.0f);
    music.audioBlock(block.data(), 2560);
    const std::vector<float> musicOnly = block;
    sounds->playSound(Sounds::ForageSound);
    // The voice ends inside the second block.
    sounds->getAudio(block.data(), 2048);
    sounds->getAudio(block.data() + 2 * 2048, 512);
    // A stereo effect is heard from its first channel only.
    for (size_t i = 0; i < block.size(); ++i)
        EXPECT_FLOAT_EQ(musicOnly[i] + (i / 2 < forage.left.size() ? 0.5f * forage.left[i / 2] : 0.0f), block[i]) << i;
}

TEST_F(SoundsTest, The129thVoiceIsDroppedWhile128SoundAndTheSlotsFreeOnceTheVoicesEnd)
{
    const int VOICES = 128;
    const Decoded garrison = decode(FIXTURES + "effects/garrison.ogg");
    ASSERT_GT(garrison.left.size(), 1000u);
    // The first voice runs 100 frames ahead of the others, so taking its slot for the 129th would be heard.
    sounds->playSound(Sounds::GarrisonSound);
    mix(100);
    for (int request = 2; request <= VOICES + 1; ++request)
        sounds->playSound(Sounds::GarrisonSound);
    const std::vector<float> heard = mix(200);
    for (int frame = 0; frame < 200; ++frame) {
        float expected = 0.5f * garrison.left[100 + frame];
        for (int voice = 1; voice < VOICES; ++voice)
            expected += 0.5f * garrison.left[frame];
        ASSERT_FLOAT_EQ(expected, heard[2 * frame]) << "frame " << frame;
        ASSERT_EQ(heard[2 * frame], heard[2 * frame + 1]) << "frame " << frame;
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

TEST_F(SoundsTest, MissingAndDamagedEffectsPrintTheirMessageAndKeepWhatDecodes)
{
    const struct { const char* file; Sounds::SoundType type; const char* message; } cases[] = {
        {"partial/forage.ogg", Sounds::ForageSound, "vorbisfile: fopen could not open file: "},
        {"broken/click.ogg", Sounds::ClickSound, "vorbisfile: Could not open file: "},
        // Cut off part-way: the samples read before the damage.
        {"cut/forage.ogg", Sounds::ForageSound, "vorbisfile: Loaded file: "},
        // Chained: only the first stream.
        {"chained/click.ogg", Sounds::ClickSound, "vorbisfile: Loaded file: "},
    };
    for (const auto& test : cases) {
        const std::string file = test.file;
        const std::string printed = load(file.substr(0, file.find('/') + 1));
        EXPECT_NE(std::string::npos, printed.find(test.message + FIXTURES + file + "\n")) << printed;
        const Decoded reference = decode(FIXTURES + file);
        EXPECT_EQ(reference.left.size(), sounds->getLength(test.type)) << file;
        // An effect that did not load stays silent when played.
        sounds->playSound(test.type);
        EXPECT_FLOAT_EQ(reference.left.empty() ? 0.0f : 0.5f * reference.left[10], mix(64)[2 * 10]) << file;
    }
}

#include "BackgroundMusic.h"
#include "Sounds.h"

#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

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
    struct Decoded {
        std::vector<float> left, right;
    };

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

        // Mixes blocks of the given lengths, refilling after each one unless left to the streaming thread.
        testing::AssertionResult mixes(const std::vector<int>& blocks, bool refilling = true)
        {
            using Float = testing::internal::FloatingPoint<float>;
            for (size_t index = 0; index < blocks.size(); ++index) {
                std::vector<float> block(2 * blocks[index], 0.0f);
                music.audioBlock(block.data(), blocks[index]);
                if (refilling)
                    music.refill();
                const std::vector<float> wanted = expected(blocks[index]);
                for (size_t i = 0; i < wanted.size(); ++i)
                    if (!Float(wanted[i]).AlmostEquals(Float(block[i])))
                        return testing::AssertionFailure() << "block " << index << ", sample " << i << ": expected "
                                                           << wanted[i] << ", got " << block[i];
            }
            return testing::AssertionSuccess();
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

        // Loads the effects of a fixture directory, keeping what the loading printed.
        void load(const std::string& directory)
        {
            testing::internal::CaptureStdout();
            sounds.reset(new Sounds(FIXTURES + directory));
            printed = testing::internal::GetCapturedStdout();
        }

        // Mixes the voices into a block that already holds the given level.
        std::vector<float> mix(int frames, float background = 0.0f)
        {
            std::vector<float> block(2 * frames, background);
            sounds->getAudio(block.data(), frames);
            return block;
        }

        std::unique_ptr<Sounds> sounds;
        std::string printed;
    };
}

TEST(BackgroundMusic, EveryBlockIsMixedCompletelyAtItsGainAndTheMusicLoopsWithoutAGap)
{
    const struct {
        const char* file;
        std::vector<int> blocks;
    } cases[] = {
        // 21 blocks of 512 stay inside buffer 0 at 0.75; the 22nd crosses into buffer 1 at 0.5.
        {"long.ogg", std::vector<int>(23, 512)},
        // A block ending exactly at the buffer's end leaves the next block to cross.
        {"long.ogg", {11000, 25, 100, 100}},
        // Blocks longer than a buffer span two and three of them.
        {"long.ogg", {1, 95, 30000, 7, 4096, 11025, 3000, 12345, 94, 20000, 0, 333}},
        // Music shorter than half a buffer: every loop point falls inside one.
        {"short.ogg", std::vector<int>(60, 512)},
        {"chained.ogg", std::vector<int>(80, 700)},
        {"mono.ogg", std::vector<int>(80, 1000)},
    };
    for (const auto& test : cases) {
        MusicCheck check(test.file, false);
        ASSERT_FALSE(check.reference.left.empty()) << test.file;
        EXPECT_TRUE(check.mixes(test.blocks)) << test.file;
    }
}

TEST(BackgroundMusic, FadeInReachesFullVolumeAfter990522Frames)
{
    BackgroundMusic music(FIXTURES + "short.ogg", false);
    std::vector<float> block(2 * 1000);
    for (int mixed = 0; mixed < 990000; mixed += 1000) {
        music.audioBlock(block.data(), 1000);
        music.refill();
    }
    music.audioBlock(block.data(), 521);
    EXPECT_LT(music.getVolume(), 1.0f);
    music.audioBlock(block.data(), 1);
    EXPECT_EQ(1.0f, music.getVolume());
}

TEST(BackgroundMusic, BufferStillAwaitingItsRefillIsHeardAsSilence)
{
    MusicCheck check("long.ogg", false);
    // Unrefilled, the mixer plays the three buffers filled at construction and then meets the first again.
    EXPECT_TRUE(check.mixes({BUFFER, BUFFER, BUFFER}, false));
    std::vector<float> block(2 * 512, 0.0f);
    check.music.audioBlock(block.data(), 512);
    EXPECT_EQ(std::vector<float>(2 * 512, 0.0f), block);
    check.expected(512);
    // Once refilled, the music goes on where the loop has got to.
    check.music.refill();
    EXPECT_TRUE(check.mixes({512}));
}

TEST(BackgroundMusic, StreamingThreadKeepsTheBuffersFilled)
{
    MusicCheck check("long.ogg", true);
    // Six buffers' worth, pausing at each buffer change far longer than the thread needs to catch up.
    for (int mixed = 0; mixed < 6 * BUFFER; mixed += 1024) {
        ASSERT_TRUE(check.mixes({1024}, false)) << " at frame " << mixed;
        if ((mixed + 1024) / BUFFER != mixed / BUFFER)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
}

TEST(BackgroundMusic, UnplayableFilesPrintTheirMessageAndStaySilent)
{
    const struct {
        const char* file;
        const char* message;
        bool open;
    } cases[] = {
        {"absent.ogg", "vorbisfile: fopen could not open file: ", false},
        {"text.ogg", "vorbisfile: Could not open file: ", false},
        // A file without frames opens, and its fill must still end.
        {"empty.ogg", "vorbisfile: Loaded file: ", true},
    };
    for (const auto& test : cases) {
        testing::internal::CaptureStdout();
        BackgroundMusic music(FIXTURES + test.file, false);
        EXPECT_EQ(test.message + FIXTURES + test.file + "\n", testing::internal::GetCapturedStdout());
        EXPECT_EQ(test.open, music.isOpen()) << test.file;
        std::vector<float> block(2 * 600, 0.25f);
        music.audioBlock(block.data(), 600);
        EXPECT_EQ(std::vector<float>(2 * 600, 0.25f), block) << test.file;
    }
}

TEST_F(SoundsTest, EffectIsAddedAtHalfOnBothChannelsOnTopOfTheMusic)
{
    EXPECT_EQ(std::vector<float>(2 * 300, 0.3f), mix(300, 0.3f)) << "nothing plays yet";
    const Decoded forage = decode(FIXTURES + "effects/forage.ogg");
    ASSERT_EQ(forage.left.size(), sounds->getLength(Sounds::ForageSound));
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    std::vector<float> block(2 * 512, 0.0f);
    music.audioBlock(block.data(), 512);
    const std::vector<float> musicOnly = block;
    sounds->playSound(Sounds::ForageSound);
    sounds->getAudio(block.data(), 512);
    // A stereo effect is heard from its first channel only.
    for (int i = 0; i < 2 * 512; ++i)
        EXPECT_FLOAT_EQ(musicOnly[i] + 0.5f * forage.left[i / 2], block[i]) << i;
}

TEST_F(SoundsTest, VoiceEndsInsideABlockAndLeavesTheRestAlone)
{
    const Decoded click = decode(FIXTURES + "effects/click.ogg");
    const int length = static_cast<int>(click.left.size());
    ASSERT_TRUE(length > 0 && length < 512);
    sounds->playSound(Sounds::ClickSound);
    const std::vector<float> first = mix(512, 0.1f);
    for (int i = 0; i < 2 * 512; ++i)
        EXPECT_FLOAT_EQ(i / 2 < length ? 0.1f + 0.5f * click.left[i / 2] : 0.1f, first[i]) << i;
    EXPECT_EQ(std::vector<float>(2 * 512, 0.1f), mix(512, 0.1f));
}

TEST_F(SoundsTest, The129thVoiceIsDroppedWhileAllAreBusy)
{
    const Decoded garrison = decode(FIXTURES + "effects/garrison.ogg");
    for (int i = 0; i < Sounds::NUM_VOICES + 1; ++i)
        sounds->playSound(Sounds::GarrisonSound);
    const std::vector<float> block = mix(64);
    for (int i = 0; i < 64; ++i) {
        float expected = 0.0f;
        for (int voice = 0; voice < Sounds::NUM_VOICES; ++voice)
            expected += garrison.left[i] * 0.5f;
        EXPECT_FLOAT_EQ(expected, block[2 * i]) << i;
    }
    // Once the voices have ended, their slots are free again.
    mix(static_cast<int>(garrison.left.size()));
    sounds->playSound(Sounds::ClickSound);
    EXPECT_NE(0.0f, mix(64)[2 * 10]);
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
    const struct {
        const char* file;
        Sounds::SoundType type;
        const char* message;
    } cases[] = {
        {"partial/forage.ogg", Sounds::ForageSound, "vorbisfile: fopen could not open file: "},
        {"broken/click.ogg", Sounds::ClickSound, "vorbisfile: Could not open file: "},
        // Cut off part-way: the samples read before the damage.
        {"cut/forage.ogg", Sounds::ForageSound, "vorbisfile: Loaded file: "},
        // Chained: only the first stream.
        {"chained/click.ogg", Sounds::ClickSound, "vorbisfile: Loaded file: "},
    };
    for (const auto& test : cases) {
        const std::string file = test.file;
        load(file.substr(0, file.find('/') + 1));
        EXPECT_NE(std::string::npos, printed.find(test.message + FIXTURES + file + "\n")) << printed;
        const Decoded reference = decode(FIXTURES + file);
        EXPECT_EQ(reference.left.size(), sounds->getLength(test.type)) << file;
        // An effect that did not load stays silent when played.
        sounds->playSound(test.type);
        EXPECT_FLOAT_EQ(reference.left.empty() ? 0.0f : 0.5f * reference.left[10], mix(64)[2 * 10]) << file;
    }
}

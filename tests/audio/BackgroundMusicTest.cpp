#include "BackgroundMusic.h"
#include "DecodedSound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {
    const std::string FIXTURES = AUDIO_FIXTURES;
    const int BUFFER = BackgroundMusic::BUFFER_FRAMES;

    // What the music should add to silence: the first stream looped, faded in, at the gain of each block.
    class ExpectedMusic {
    public:
        explicit ExpectedMusic(const std::string& path) : reference(DecodedSound::load(path)) {}

        std::vector<float> block(int frames)
        {
            const int consumed = static_cast<int>(frame % BUFFER);
            const int remaining = frame == 0 ? BUFFER : BUFFER - (consumed == 0 ? BUFFER : consumed);
            const float gain = frames <= remaining ? 0.75f : 0.5f;
            std::vector<float> out;
            for (int i = 0; i < frames; ++i, ++frame) {
                const size_t source = frame % reference.frames();
                out.push_back(reference.left[source] * volume * gain);
                out.push_back(reference.right[source] * volume * gain);
                if (volume < 1.0f)
                    volume += 0.000001f;
            }
            return out;
        }

        DecodedSound reference;

    private:
        size_t frame = 0;
        float volume = 0.0f;
    };

    testing::AssertionResult sameSamples(const std::vector<float>& expected, const std::vector<float>& actual)
    {
        if (expected.size() != actual.size())
            return testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size();
        for (size_t i = 0; i < expected.size(); ++i) {
            const testing::internal::FloatingPoint<float> a(expected[i]), b(actual[i]);
            if (!a.AlmostEquals(b))
                return testing::AssertionFailure()
                       << "sample " << i << " (frame " << i / 2 << "): expected " << expected[i] << ", got " << actual[i];
        }
        return testing::AssertionSuccess();
    }

    // Mixes blocks of the given lengths into silence, refilling between blocks as the streaming thread would,
    // and checks them against the expectation.
    testing::AssertionResult mixesAsExpected(BackgroundMusic& music, ExpectedMusic& expected, const std::vector<int>& blocks)
    {
        for (size_t index = 0; index < blocks.size(); ++index) {
            std::vector<float> block(2 * blocks[index], 0.0f);
            music.audioBlock(block.data(), blocks[index]);
            music.refill();
            testing::AssertionResult result = sameSamples(expected.block(blocks[index]), block);
            if (!result)
                return result << " in block " << index;
        }
        return testing::AssertionSuccess();
    }

    std::string constructionOutput(const std::string& path, bool* open)
    {
        testing::internal::CaptureStdout();
        BackgroundMusic music(path, false);
        *open = music.isOpen();
        std::vector<float> block(2 * 600, 0.25f);
        music.audioBlock(block.data(), 600);
        EXPECT_EQ(std::vector<float>(2 * 600, 0.25f), block);
        return testing::internal::GetCapturedStdout();
    }
}

TEST(BackgroundMusicGains, MixedAtThreeQuartersInsideABufferAndAtHalfOnTheBlockThatCrosses)
{
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    ExpectedMusic expected(FIXTURES + "long.ogg");
    ASSERT_GT(expected.reference.frames(), 3u * BUFFER);
    // 21 blocks of 512 stay inside buffer 0; the next one crosses into buffer 1, the one after does not.
    std::vector<int> blocks(21, 512);
    blocks.insert(blocks.end(), {512, 512});
    EXPECT_TRUE(mixesAsExpected(music, expected, blocks));
}

TEST(BackgroundMusicGains, BlockEndingAtTheBufferEndIsFollowedByAHalfGainBlock)
{
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    ExpectedMusic expected(FIXTURES + "long.ogg");
    EXPECT_TRUE(mixesAsExpected(music, expected, {11000, 25, 100, 100}));
}

TEST(BackgroundMusicGains, BlocksOfAnyLengthAreFilledCompletely)
{
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    ExpectedMusic expected(FIXTURES + "long.ogg");
    // Includes blocks longer than one buffer, which span two and three of them.
    EXPECT_TRUE(mixesAsExpected(music, expected, {1, 95, 30000, 7, 4096, 11025, 3000, 12345, 94, 20000, 0, 333}));
}

TEST(BackgroundMusicGains, FadeInReachesFullVolumeAfter990522Frames)
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
    music.refill();
    music.audioBlock(block.data(), 1000);
    EXPECT_EQ(1.0f, music.getVolume());
}

TEST(BackgroundMusicLoop, ShortMusicLoopsWithoutAGapInsideOneBuffer)
{
    BackgroundMusic music(FIXTURES + "short.ogg", false);
    ExpectedMusic expected(FIXTURES + "short.ogg");
    ASSERT_LT(expected.reference.frames(), static_cast<size_t>(BUFFER) / 2);
    // The expectation wraps straight from the last frame to the first, so every loop point is checked.
    EXPECT_TRUE(mixesAsExpected(music, expected, std::vector<int>(60, 512)));
}

TEST(BackgroundMusicLoop, ChainedFilePlaysOnlyItsFirstStream)
{
    BackgroundMusic music(FIXTURES + "chained.ogg", false);
    ExpectedMusic expected(FIXTURES + "chained.ogg");
    ASSERT_GT(expected.reference.frames(), 0u);
    EXPECT_TRUE(mixesAsExpected(music, expected, std::vector<int>(80, 700)));
}

TEST(BackgroundMusicLoop, MonoMusicPlaysOnBothSides)
{
    BackgroundMusic music(FIXTURES + "mono.ogg", false);
    ExpectedMusic expected(FIXTURES + "mono.ogg");
    EXPECT_TRUE(mixesAsExpected(music, expected, std::vector<int>(80, 1000)));
}

TEST(BackgroundMusicLoop, StreamingThreadKeepsTheBuffersFilled)
{
    BackgroundMusic music(FIXTURES + "long.ogg", true);
    ExpectedMusic expected(FIXTURES + "long.ogg");
    // Six buffers' worth, pausing at each buffer change far longer than the thread needs to catch up.
    int mixed = 0;
    while (mixed < 6 * BUFFER) {
        std::vector<float> block(2 * 1024, 0.0f);
        music.audioBlock(block.data(), 1024);
        ASSERT_TRUE(sameSamples(expected.block(1024), block)) << " at frame " << mixed;
        if ((mixed + 1024) / BUFFER != mixed / BUFFER)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        mixed += 1024;
    }
}

TEST(BackgroundMusicFiles, UnplayableFilesPrintTheirMessageAndStaySilent)
{
    bool open = true;
    EXPECT_EQ("vorbisfile: fopen could not open file: " + FIXTURES + "absent.ogg\n",
              constructionOutput(FIXTURES + "absent.ogg", &open));
    EXPECT_FALSE(open);
    EXPECT_EQ("vorbisfile: Could not open file: " + FIXTURES + "text.ogg\n",
              constructionOutput(FIXTURES + "text.ogg", &open));
    EXPECT_FALSE(open);
}

TEST(BackgroundMusicFiles, FileWithoutFramesIsSilentAndItsFillEnds)
{
    bool open = false;
    EXPECT_EQ("vorbisfile: Loaded file: " + FIXTURES + "empty.ogg\n", constructionOutput(FIXTURES + "empty.ogg", &open));
    EXPECT_TRUE(open);
}

TEST(BackgroundMusicPaths, SoundsPathEndsWithASeparator)
{
    unsetenv("MARROWGATE_SOUNDS_DIR");
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    ASSERT_GT(length, 0);
    const std::string executable(buffer, static_cast<size_t>(length));
    const std::string beside = executable.substr(0, executable.find_last_of('/')) + "/sounds/";

    const bool made = mkdir(beside.c_str(), 0755) == 0;
    EXPECT_EQ(beside, BackgroundMusic::getSoundsPath());
    if (made)
        rmdir(beside.c_str());
    if (made) {
        const std::string installed = BackgroundMusic::getSoundsPath();
        EXPECT_EQ("/sounds/", installed.substr(installed.size() - 8));
        EXPECT_NE(beside, installed);
    }

    setenv("MARROWGATE_SOUNDS_DIR", "/some/where", 1);
    EXPECT_EQ("/some/where/", BackgroundMusic::getSoundsPath());
    setenv("MARROWGATE_SOUNDS_DIR", "/some/where/", 1);
    EXPECT_EQ("/some/where/", BackgroundMusic::getSoundsPath());
    unsetenv("MARROWGATE_SOUNDS_DIR");
}

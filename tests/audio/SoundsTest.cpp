#include "BackgroundMusic.h"
#include "DecodedSound.h"
#include "Sounds.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
    const std::string FIXTURES = AUDIO_FIXTURES;

    std::unique_ptr<Sounds> loadEffects(const std::string& directory, std::string* output = nullptr)
    {
        testing::internal::CaptureStdout();
        std::unique_ptr<Sounds> sounds(new Sounds(FIXTURES + directory));
        const std::string printed = testing::internal::GetCapturedStdout();
        if (output != nullptr)
            *output = printed;
        return sounds;
    }

    std::vector<float> mixed(Sounds& sounds, int frames, float background = 0.0f)
    {
        std::vector<float> block(2 * frames, background);
        sounds.getAudio(block.data(), frames);
        return block;
    }
}

TEST(SoundsMixing, NothingPlayingLeavesTheBlockAlone)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    EXPECT_EQ(std::vector<float>(2 * 300, 0.0f), mixed(*sounds, 300));
    EXPECT_EQ(std::vector<float>(2 * 300, 0.3f), mixed(*sounds, 300, 0.3f));
}

TEST(SoundsMixing, EffectIsAddedAtHalfOnBothChannelsFromItsFirstChannel)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    const DecodedSound forage = DecodedSound::load(FIXTURES + "effects/forage.ogg");
    ASSERT_EQ(forage.frames(), sounds->getLength(Sounds::ForageSound));

    // On top of music already in the block, the way the application mixes.
    BackgroundMusic music(FIXTURES + "long.ogg", false);
    std::vector<float> block(2 * 512, 0.0f);
    music.audioBlock(block.data(), 512);
    const std::vector<float> musicOnly = block;
    sounds->playSound(Sounds::ForageSound);
    sounds->getAudio(block.data(), 512);
    for (int i = 0; i < 512; ++i) {
        EXPECT_FLOAT_EQ(musicOnly[2 * i] + 0.5f * forage.left[i], block[2 * i]) << i;
        EXPECT_FLOAT_EQ(musicOnly[2 * i + 1] + 0.5f * forage.left[i], block[2 * i + 1]) << i;
    }
}

TEST(SoundsMixing, VoiceEndsInsideABlockAndLeavesTheRestAlone)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    const DecodedSound click = DecodedSound::load(FIXTURES + "effects/click.ogg");
    const int length = static_cast<int>(click.frames());
    ASSERT_GT(length, 0);
    ASSERT_LT(length, 512);

    sounds->playSound(Sounds::ClickSound);
    const std::vector<float> first = mixed(*sounds, 512, 0.1f);
    for (int i = 0; i < 512; ++i) {
        const float expected = i < length ? 0.1f + 0.5f * click.left[i] : 0.1f;
        EXPECT_FLOAT_EQ(expected, first[2 * i]) << i;
        EXPECT_FLOAT_EQ(expected, first[2 * i + 1]) << i;
    }
    EXPECT_EQ(std::vector<float>(2 * 512, 0.1f), mixed(*sounds, 512, 0.1f));
}

TEST(SoundsMixing, SecondVoiceOfTheSameEffectStartsLaterAndOverlaps)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    const DecodedSound garrison = DecodedSound::load(FIXTURES + "effects/garrison.ogg");
    sounds->playSound(Sounds::GarrisonSound);
    mixed(*sounds, 100);
    sounds->playSound(Sounds::GarrisonSound);
    const std::vector<float> block = mixed(*sounds, 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_FLOAT_EQ(0.5f * garrison.left[100 + i] + 0.5f * garrison.left[i], block[2 * i]) << i;
}

TEST(SoundsMixing, The129thVoiceIsDroppedWhileAllAreBusy)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    const DecodedSound garrison = DecodedSound::load(FIXTURES + "effects/garrison.ogg");
    for (int i = 0; i < Sounds::NUM_VOICES + 1; ++i)
        sounds->playSound(Sounds::GarrisonSound);
    const std::vector<float> block = mixed(*sounds, 64);
    for (int i = 0; i < 64; ++i) {
        float expected = 0.0f;
        for (int voice = 0; voice < Sounds::NUM_VOICES; ++voice)
            expected += garrison.left[i] * 0.5f;
        EXPECT_FLOAT_EQ(expected, block[2 * i]) << i;
    }

    // Once the voices have ended, slots are free again.
    mixed(*sounds, static_cast<int>(garrison.frames()));
    sounds->playSound(Sounds::ClickSound);
    EXPECT_NE(0.0f, mixed(*sounds, 64)[2 * 10]);
}

TEST(SoundsMixing, VoicesStartedWhileAnotherThreadMixes)
{
    std::unique_ptr<Sounds> sounds = loadEffects("effects/");
    std::atomic<bool> done(false);
    std::thread audio([&] {
        std::vector<float> block(2 * 128);
        while (!done.load(std::memory_order_acquire)) {
            std::fill(block.begin(), block.end(), 0.0f);
            sounds->getAudio(block.data(), 128);
        }
    });
    for (int i = 0; i < 3000; ++i)
        sounds->playSound(static_cast<Sounds::SoundType>(i % 3));
    done.store(true, std::memory_order_release);
    audio.join();
}

TEST(SoundsFiles, MissingAndBrokenEffectsPrintTheirMessagesAndTheOthersStillPlay)
{
    std::string output;
    std::unique_ptr<Sounds> sounds = loadEffects("partial/", &output);
    EXPECT_EQ("vorbisfile: Loaded file: " + FIXTURES + "partial/click.ogg\n"
              "vorbisfile: fopen could not open file: " + FIXTURES + "partial/forage.ogg\n"
              "vorbisfile: Loaded file: " + FIXTURES + "partial/garrison.ogg\n",
              output);
    EXPECT_EQ(0u, sounds->getLength(Sounds::ForageSound));
    sounds->playSound(Sounds::ForageSound);
    EXPECT_EQ(std::vector<float>(2 * 64, 0.0f), mixed(*sounds, 64));
    sounds->playSound(Sounds::ClickSound);
    EXPECT_NE(0.0f, mixed(*sounds, 64)[2 * 10]);
}

TEST(SoundsFiles, EffectCutOffPartWayKeepsWhatWasDecoded)
{
    std::string output;
    std::unique_ptr<Sounds> sounds = loadEffects("cut/", &output);
    EXPECT_NE(std::string::npos, output.find("vorbisfile: Loaded file: " + FIXTURES + "cut/forage.ogg\n"));
    const DecodedSound cut = DecodedSound::load(FIXTURES + "cut/forage.ogg");
    const DecodedSound whole = DecodedSound::load(FIXTURES + "long.ogg");
    ASSERT_GT(cut.frames(), 0u);
    ASSERT_LT(cut.frames(), whole.frames());
    EXPECT_EQ(cut.frames(), sounds->getLength(Sounds::ForageSound));
}

TEST(SoundsFiles, ChainedEffectKeepsOnlyItsFirstStream)
{
    std::unique_ptr<Sounds> sounds = loadEffects("chained/");
    const DecodedSound first = DecodedSound::load(FIXTURES + "chained/click.ogg");
    ASSERT_GT(first.frames(), 0u);
    EXPECT_EQ(first.frames(), sounds->getLength(Sounds::ClickSound));
    sounds->playSound(Sounds::ClickSound);
    const std::vector<float> block = mixed(*sounds, 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_FLOAT_EQ(0.5f * first.left[i], block[2 * i]) << i;
}

TEST(SoundsFiles, NonOggEffectPrintsItsMessage)
{
    std::string output;
    std::unique_ptr<Sounds> sounds = loadEffects("broken/", &output);
    EXPECT_EQ(0u, output.find("vorbisfile: Could not open file: " + FIXTURES + "broken/click.ogg\n")) << output;
    EXPECT_EQ(0u, sounds->getLength(Sounds::ClickSound));
}

// SPDX-License-Identifier: MIT
#include "Sounds.h"
#include "TemporaryDirectory.h"

#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <string>

// Sound files that are damaged or are no files at all, and the balance of the shipped music.
namespace {
    namespace fs = std::filesystem;
    const std::string FIXTURES = AUDIO_FIXTURES;

    std::string readBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The Ogg page checksum: CRC-32 with polynomial 0x04c11db7, no reflection, over the page with its
    // checksum field zeroed.
    std::uint32_t oggChecksum(const std::string& page)
    {
        std::uint32_t crc = 0;
        for (const char byte : page) {
            crc ^= static_cast<std::uint32_t>(static_cast<unsigned char>(byte)) << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
        }
        return crc;
    }

    // The file with its last page claiming the given granule position, checksum made valid again.
    std::string withClaimedLength(std::string file, std::uint64_t frames)
    {
        const std::size_t last = file.rfind("OggS");
        for (int i = 0; i < 8; ++i)
            file[last + 6 + i] = static_cast<char>((frames >> (8 * i)) & 0xff);
        for (int i = 0; i < 4; ++i)
            file[last + 22 + i] = 0;
        const std::uint32_t crc = oggChecksum(file.substr(last));
        for (int i = 0; i < 4; ++i)
            file[last + 22 + i] = static_cast<char>((crc >> (8 * i)) & 0xff);
        return file;
    }

    // A folder of effects made from the fixtures, each of which a test may replace.
    class EffectFolder : public testing::Test {
    protected:
        void SetUp() override
        {
            for (const char* name : {"click.ogg", "forage.ogg", "garrison.ogg"})
                fs::copy_file(FIXTURES + "effects/" + name, path(name));
        }

        std::string path(const std::string& name) const { return folder.getPath() + "/" + name; }

        // Loads the folder, returning what the loading printed; fails if it takes longer than seconds.
        std::string load()
        {
            testing::internal::CaptureStdout();
            auto loading = std::async(std::launch::async, [this] { return new Sounds(folder.getPath() + "/"); });
            if (loading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ADD_FAILURE() << "loading the effects did not end";
                // Let a reader stuck on a FIFO see its end, so the test ends too.
                close(open(path("click.ogg").c_str(), O_WRONLY | O_NONBLOCK));
            }
            sounds.reset(loading.get());
            return testing::internal::GetCapturedStdout();
        }

        // Plays one effect into a silent block; whether anything was heard.
        bool plays(Sounds::SoundType type)
        {
            sounds->playSound(type);
            std::vector<float> block(2 * 256, 0.0f);
            sounds->getAudio(block.data(), 256);
            for (const float sample : block) {
                if (sample != 0.0f)
                    return true;
            }
            return false;
        }

        TemporaryDirectory folder;
        std::unique_ptr<Sounds> sounds;
    };
}

TEST_F(EffectFolder, AnEffectClaimingAHugeLengthCostsOnlyWhatReallyDecodes)
{
    // The claim sits on the last of several audio pages, where the decoder believes it.
    const std::string original = readBytes(FIXTURES + "long.ogg");
    std::ofstream(path("forage.ogg"), std::ios::binary | std::ios::trunc) << withClaimedLength(original, 1ull << 40);
    const std::string printed = load();
    const std::string loaded = "vorbisfile: Loaded file: ";
    EXPECT_EQ(loaded + path("click.ogg") + "\n" + loaded + path("forage.ogg") + "\n" + loaded + path("garrison.ogg")
                  + "\n", printed);
    EXPECT_EQ(52992u, sounds->getLength(Sounds::ForageSound)) << "the samples that really decode";
    for (const Sounds::SoundType type : {Sounds::ClickSound, Sounds::ForageSound, Sounds::GarrisonSound})
        EXPECT_TRUE(plays(type)) << type;
}

TEST_F(EffectFolder, AFifoOrADeviceInPlaceOfAnEffectIsPassedOver)
{
    fs::remove(path("click.ogg"));
    fs::remove(path("forage.ogg"));
    ASSERT_EQ(0, mkfifo(path("click.ogg").c_str(), 0644));
    fs::create_symlink("/dev/zero", path("forage.ogg"));
    const std::string refused = "vorbisfile: fopen could not open file: ";
    EXPECT_EQ(refused + path("click.ogg") + "\n" + refused + path("forage.ogg") + "\nvorbisfile: Loaded file: "
                  + path("garrison.ogg") + "\n", load());
    EXPECT_FALSE(plays(Sounds::ClickSound));
    EXPECT_TRUE(plays(Sounds::GarrisonSound));
}

TEST(MusicFile, LeftAndRightAreBalancedWithinHalfADecibel)
{
    OggVorbis_File vorbisFile;
    ASSERT_EQ(0, ov_fopen(SHIPPED_SOUNDS "music.ogg", &vorbisFile));
    double energy[2] = {0.0, 0.0};
    float** pcm = nullptr;
    int link = 0;
    for (long read; (read = ov_read_float(&vorbisFile, &pcm, 4096, &link)) > 0;) {
        for (int channel = 0; channel < 2; ++channel) {
            for (long i = 0; i < read; ++i)
                energy[channel] += static_cast<double>(pcm[channel][i]) * pcm[channel][i];
        }
    }
    ov_clear(&vorbisFile);
    ASSERT_GT(energy[0], 0.0);
    EXPECT_NEAR(0.0, 10.0 * std::log10(energy[1] / energy[0]), 0.5);
}

// SPDX-License-Identifier: MIT
// The browser's libvorbisfile (web/VorbisFile.cpp, over stb_vorbis) against libvorbisfile itself: every
// sound file the game ships and every file the audio tests play, read in blocks of every length, sought
// to frames all over, and refused or accepted alike.
#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// The first stream as libvorbisfile decodes it, one frame as two floats; empty when it decodes nothing.
std::vector<float> reference(const std::string& path)
{
    std::FILE* pipe = popen((std::string(DECODE_VORBIS " '") + path + "' 2>/dev/null").c_str(), "r");
    std::vector<float> frames;
    float frame[2];
    while (pipe != nullptr && std::fread(frame, sizeof(float), 2, pipe) == 2)
        frames.insert(frames.end(), frame, frame + 2);
    if (pipe != nullptr)
        pclose(pipe);
    return frames;
}

// Two decoders round the same float differently in its last bits, no more.
const float TOLERANCE = 2e-5f;

// Compares the frames that libvorbisfile decodes too; a damaged file may decode on in stb_vorbis (below).
void expectFrames(float** pcm, int channels, long count, const std::vector<float>& expected, long from,
                  const std::string& where)
{
    count = std::max(0L, std::min(count, static_cast<long>(expected.size()) / 2 - from));
    for (long i = 0; i < count; ++i) {
        ASSERT_NEAR(pcm[0][i], expected[2 * (from + i)], TOLERANCE) << where << " frame " << from + i;
        ASSERT_NEAR(pcm[channels - 1][i], expected[2 * (from + i) + 1], TOLERANCE) << where << " frame " << from + i;
    }
}

struct Open {
    std::FILE* file;
    OggVorbis_File decoder = {};
    int status;
    explicit Open(const std::string& path) : file(std::fopen(path.c_str(), "rb"))
    {
        status = file != nullptr ? ov_open(file, &decoder, nullptr, 0) : -1;
    }
};

const std::string fixtures = AUDIO_FIXTURES;
struct Case {
    std::string path;
    // Damaged after their headers, stb_vorbis decodes what libvorbisfile does up to the damage and then ends
    // a little sooner or plays on into it: a cut page, a last page claiming 2^40 frames, a page
    // libvorbisfile gives up on.
    bool damaged;
};
const std::vector<Case> cases = {
    {SOUNDS "music.ogg", false}, {SOUNDS "click.ogg", false}, {SOUNDS "forage.ogg", false},
    {SOUNDS "garrison.ogg", false}, {fixtures + "short.ogg", false}, {fixtures + "long.ogg", false},
    {fixtures + "mono.ogg", false}, {fixtures + "chained.ogg", false}, {fixtures + "empty.ogg", false},
    {fixtures + "one.ogg", false}, {fixtures + "effects/click.ogg", false}, {fixtures + "text.ogg", false},
    {fixtures + "cut.ogg", true}, {fixtures + "claiming.ogg", true}, {DAMAGED, true}};
const long DAMAGED_DIFFERENCE = 12000;

} // namespace

TEST(WebVorbisFile, DecodesEveryFileInBlocksOfEveryLengthAsLibvorbisfileDoes)
{
    for (const auto& [path, damaged] : cases) {
        const std::vector<float> expected = reference(path);
        Open open(path);
        ASSERT_NE(open.file, nullptr) << path;
        if (open.status < 0) {
            // Refused files are left open to their owner, as libvorbisfile leaves them.
            EXPECT_TRUE(expected.empty()) << path << " is refused but libvorbisfile decodes it";
            EXPECT_EQ(0, std::fclose(open.file)) << path;
            continue;
        }
        const int descriptor = fileno(open.file);
        EXPECT_EQ(1, ov_streams(&open.decoder));
        const vorbis_info* info = ov_info(&open.decoder, 0);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(44100, info->rate);
        long frames = 0;
        float** pcm = nullptr;
        int link = -1;
        for (int length = 1; ; length = length % 5000 + 1) {
            EXPECT_EQ(frames, ov_pcm_tell(&open.decoder)) << path;
            const long read = ov_read_float(&open.decoder, &pcm, length, &link);
            if (read <= 0)
                break;
            EXPECT_EQ(0, link);
            EXPECT_LE(read, length);
            expectFrames(pcm, info->channels, read, expected, frames, path);
            frames += read;
        }
        const long expectedFrames = static_cast<long>(expected.size()) / 2;
        if (damaged)
            EXPECT_LE(std::abs(frames - expectedFrames), DAMAGED_DIFFERENCE) << path;
        else
            EXPECT_EQ(expectedFrames, frames) << path;
        EXPECT_EQ(0, ov_read_float(&open.decoder, &pcm, 100, &link)) << path << " decodes on past its end";
        ov_clear(&open.decoder);
        EXPECT_EQ(-1, fcntl(descriptor, F_GETFD)) << path << " is still open after ov_clear";
    }
}

TEST(WebVorbisFile, SeeksToAnyFrameAndBackToTheFirstByte)
{
    std::mt19937 random(26);
    for (const std::string& path : std::vector<std::string>{SOUNDS "music.ogg", fixtures + "long.ogg", fixtures + "mono.ogg"}) {
        const std::vector<float> expected = reference(path);
        const long total = static_cast<long>(expected.size()) / 2;
        Open open(path);
        ASSERT_EQ(0, open.status) << path;
        const int channels = ov_info(&open.decoder, 0)->channels;
        float** pcm = nullptr;
        int link = 0;
        for (int seek = 0; seek < 60; ++seek) {
            const long to = seek == 0 ? total - 1 : std::uniform_int_distribution<long>(0, total - 1)(random);
            ASSERT_EQ(0, ov_pcm_seek(&open.decoder, to)) << path << " to " << to;
            EXPECT_EQ(to, ov_pcm_tell(&open.decoder));
            const long read = ov_read_float(&open.decoder, &pcm, 300, &link);
            ASSERT_EQ(std::min(300L, total - to), read) << path << " from " << to;
            expectFrames(pcm, channels, read, expected, to, path + " after a seek");
            EXPECT_EQ(to + read, ov_pcm_tell(&open.decoder));
        }
        EXPECT_LT(ov_pcm_seek(&open.decoder, total + 1), 0) << "a frame past the end";
        ASSERT_EQ(0, ov_raw_seek(&open.decoder, 0));
        EXPECT_EQ(0, ov_pcm_tell(&open.decoder));
        expectFrames(pcm, channels, ov_read_float(&open.decoder, &pcm, 4096, &link), expected, 0, path + " rewound");
        ov_clear(&open.decoder);
    }
}

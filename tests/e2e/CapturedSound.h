#pragma once

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// What the game played, as captured by the ALSA file device: interleaved stereo float32 frames.
// Effects are mixed mono at half amplitude onto both channels, so with the music off each effect
// appears sample for sample in the capture and can be found there.
class CapturedSound {
public:
    explicit CapturedSound(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        samples.resize(bytes.size() / sizeof(float));
        std::copy(bytes.begin(), bytes.begin() + samples.size() * sizeof(float),
                  reinterpret_cast<char*>(samples.data()));
    }

    // The number of stereo frames captured.
    std::size_t getFrames() const { return samples.size() / 2; }

    // The first channel of an Ogg Vorbis file, as the game decodes its effects; empty on failure.
    static std::vector<float> decodeEffect(const std::string& path)
    {
        std::vector<float> effect;
        OggVorbis_File vorbis;
        if (ov_fopen(path.c_str(), &vorbis) < 0)
            return effect;
        float** channels = nullptr;
        int section = 0;
        long read = 0;
        while ((read = ov_read_float(&vorbis, &channels, 4096, &section)) > 0)
            effect.insert(effect.end(), channels[0], channels[0] + read);
        ov_clear(&vorbis);
        return effect;
    }

    // How many times the effect starts in the capture, each time matching its first samples on both
    // channels at half amplitude.
    int countEffect(const std::vector<float>& effect) const
    {
        std::size_t lead = 0;
        while (lead < effect.size() && std::fabs(effect[lead]) < 1e-3f)
            ++lead;
        if (lead == effect.size())
            return 0;
        const std::size_t length = std::min<std::size_t>(effect.size() - lead, 4096);
        int found = 0;
        for (std::size_t frame = 0; frame + length <= getFrames(); ++frame) {
            if (matchesAt(effect, lead, length, frame)) {
                ++found;
                frame += length;
            }
        }
        return found;
    }

private:
    bool matchesAt(const std::vector<float>& effect, std::size_t lead, std::size_t length, std::size_t frame) const
    {
        for (std::size_t i = 0; i < length; ++i) {
            const float expected = 0.5f * effect[lead + i];
            if (std::fabs(samples[2 * (frame + i)] - expected) > 1e-5f ||
                std::fabs(samples[2 * (frame + i) + 1] - expected) > 1e-5f)
                return false;
        }
        return true;
    }

    // Interleaved left and right samples.
    std::vector<float> samples;
};

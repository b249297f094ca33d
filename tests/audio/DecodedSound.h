#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>
#include <vector>

// The first logical stream of an Ogg Vorbis file decoded straight through, as the reference that the
// mixers' output is compared with.
struct DecodedSound {
    std::vector<float> left;
    std::vector<float> right;

    size_t frames() const { return left.size(); }

    static DecodedSound load(const std::string& path)
    {
        DecodedSound sound;
        FILE* file = std::fopen(path.c_str(), "rb");
        OggVorbis_File vorbisFile;
        if (file == nullptr || ov_open(file, &vorbisFile, nullptr, 0) < 0)
            return sound;
        ov_pcm_seek(&vorbisFile, 0);
        for (;;) {
            float** pcm = nullptr;
            int link = 0;
            const long read = ov_read_float(&vorbisFile, &pcm, 4096, &link);
            if (read <= 0 || link > 0)
                break;
            const int channels = ov_info(&vorbisFile, 0)->channels;
            sound.left.insert(sound.left.end(), pcm[0], pcm[0] + read);
            const float* second = channels > 1 ? pcm[1] : pcm[0];
            sound.right.insert(sound.right.end(), second, second + read);
        }
        ov_clear(&vorbisFile);
        return sound;
    }
};

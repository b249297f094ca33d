// SPDX-License-Identifier: MIT
// Decodes the first logical stream of an Ogg Vorbis file straight through, from its first frame, and writes it
// to standard output as interleaved little-endian float32 stereo frames: the reference the captured music
// is compared with. A single channel is written to both sides.
// Usage: decode_vorbis FILE.ogg > FILE.f32
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    OggVorbis_File vorbisFile;
    if (argc != 2 || ov_fopen(argv[1], &vorbisFile) < 0) {
        std::fprintf(stderr, "usage: decode_vorbis FILE.ogg (a readable Ogg Vorbis file)\n");
        return 1;
    }
    // Straight after opening a chained file the decoder stands in a later stream.
    ov_pcm_seek(&vorbisFile, 0);
    const bool stereo = ov_info(&vorbisFile, 0)->channels > 1;
    std::vector<float> frames;
    float** pcm = nullptr;
    int link = 0;
    for (long read; (read = ov_read_float(&vorbisFile, &pcm, 4096, &link)) > 0 && link == 0;) {
        for (long i = 0; i < read; ++i) {
            frames.push_back(pcm[0][i]);
            frames.push_back(pcm[stereo ? 1 : 0][i]);
        }
    }
    ov_clear(&vorbisFile);
    return std::fwrite(frames.data(), sizeof(float), frames.size(), stdout) == frames.size() ? 0 : 1;
}

// SPDX-License-Identifier: MIT
#pragma once

#include <vorbis/vorbisfile.h>

#include <string>
#include <vector>

// The first logical stream of an Ogg Vorbis file decoded straight through, a single channel given to
// both sides: the reference the tests compare the mixers with. Empty when the file does not open.
struct DecodedSound {
    std::vector<float> left, right;

    explicit DecodedSound(const std::string& path)
    {
        OggVorbis_File vorbisFile;
        if (ov_fopen(path.c_str(), &vorbisFile) < 0)
            return;
        // Straight after opening a chained file the decoder stands in a later stream. A raw seek to the
        // first byte: seeking by sample crashes libogg on some damaged files.
        ov_raw_seek(&vorbisFile, 0);
        const int second = ov_info(&vorbisFile, 0)->channels > 1 ? 1 : 0;
        float** pcm = nullptr;
        int link = 0;
        for (long read; (read = ov_read_float(&vorbisFile, &pcm, 4096, &link)) > 0 && link == 0;) {
            left.insert(left.end(), pcm[0], pcm[0] + read);
            right.insert(right.end(), pcm[second], pcm[second] + read);
        }
        ov_clear(&vorbisFile);
    }
};

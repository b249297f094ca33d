// SPDX-License-Identifier: MIT
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>

// What the effects and the music share in reading their Ogg Vorbis files: a ceiling on a file's size,
// checked before the decoder sees the file, and a way back to its first sample that keeps clear of a
// fault in libogg.
class OggFile {
public:
    // Bytes an effect's file may have; larger ones are refused unread. A minute of the best quality
    // takes far less; opening a file grows much faster than its size when its end is not Ogg.
    static constexpr long long LARGEST_EFFECT = 4LL << 20;
    // Bytes the music's file may have: a quarter of an hour at a generous rate.
    static constexpr long long LARGEST_MUSIC = 16LL << 20;

    // Whether an open file has more than the given number of bytes; prints why it stays silent if so.
    static bool isTooLarge(std::FILE* file, long long largest, const std::string& path);
    // Puts the decoder at the first sample of the first stream, unless it stands there already. The
    // sample seek (ov_pcm_seek) reaches a fault of libogg 1.3.5 in some damaged files, so the way
    // back is a raw seek to the file's first byte.
    static void rewind(OggVorbis_File* file);
};

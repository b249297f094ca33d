// SPDX-License-Identifier: MIT
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>

// One Ogg Vorbis file open for decoding, closed with its decoder when this goes: what the effects and
// the music share in reading their files. Opening refuses files over a ceiling before the decoder sees
// them and prints the game's one line for each refusal; going back to the first sample keeps clear of
// a fault in libogg. Owned by whoever decodes: an effect while it loads, the music for its life.
class OggFile {
public:
    // Bytes an effect's file may have; larger ones are refused unread. A minute of the best quality
    // takes far less; opening a file grows much faster than its size when its end is not Ogg.
    static constexpr long long LARGEST_EFFECT = 4LL << 20;
    // Bytes the music's file may have: a quarter of an hour at a generous rate.
    static constexpr long long LARGEST_MUSIC = 16LL << 20;

    OggFile() = default;
    ~OggFile();
    OggFile(const OggFile&) = delete;
    OggFile& operator=(const OggFile&) = delete;

    // Opens a regular file of at most `largest` bytes with at least one logical stream; false, with
    // the reason printed, otherwise.
    bool open(const std::string& path, long long largest);
    // Whether a file is open for decoding.
    bool isOpen() const { return opened; }
    // The decoder, for libvorbisfile's calls; only while open.
    OggVorbis_File* get() { return &decoder; }
    // Puts the decoder at the first sample of the first stream, unless it stands there already. The
    // sample seek (ov_pcm_seek) reaches a fault of libogg 1.3.5 in some damaged files, so the way
    // back is a raw seek to the file's first byte.
    void rewind();

private:
    // Whether an open file has more than the given number of bytes; prints why it stays silent if so.
    static bool isTooLarge(std::FILE* file, long long largest, const std::string& path);

    // The decoder state, which owns the file once it has accepted it.
    OggVorbis_File decoder = {};
    // Whether the decoder holds a file, so that it is cleared exactly once.
    bool opened = false;
};

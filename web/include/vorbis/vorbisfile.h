// SPDX-License-Identifier: MIT
#pragma once

// The part of libvorbisfile's interface that the game calls, with its names and meanings, over
// stb_vorbis. A file is read whole into memory when it opens (the game's files are small and checked
// for size first) and decodes one logical stream: chained files, which stb_vorbis does not follow,
// play their first stream only.

#include <stdio.h>

typedef long long ogg_int64_t;

typedef struct vorbis_info {
    int version;
    int channels;
    long rate;
} vorbis_info;

// The decoder's state; zero-initialised before ov_open, as the game does.
typedef struct OggVorbis_File {
    // The file, kept open until ov_clear as libvorbisfile does.
    FILE* datasource;
    // Its bytes, which the decoder reads from.
    unsigned char* bytes;
    struct stb_vorbis* decoder;
    vorbis_info info;
    // The frame the next read starts at.
    ogg_int64_t position;
    // The channel buffers that ov_read_float hands out, each of OV_READ_FRAMES floats.
    float** channelBuffers;
} OggVorbis_File;

#define OV_EREAD (-128)
#define OV_EINVAL (-131)
#define OV_ENOTVORBIS (-132)

int ov_open(FILE* f, OggVorbis_File* vf, const char* initial, long ibytes);
int ov_clear(OggVorbis_File* vf);
long ov_streams(OggVorbis_File* vf);
vorbis_info* ov_info(OggVorbis_File* vf, int link);
ogg_int64_t ov_pcm_tell(OggVorbis_File* vf);
int ov_pcm_seek(OggVorbis_File* vf, ogg_int64_t pos);
int ov_raw_seek(OggVorbis_File* vf, ogg_int64_t pos);
long ov_read_float(OggVorbis_File* vf, float*** pcm_channels, int samples, int* bitstream);

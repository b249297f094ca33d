// SPDX-License-Identifier: MIT
// libvorbisfile's calls over stb_vorbis, for the browser, where libvorbis is not at hand.
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STB_VORBIS_NO_PUSHDATA_API
#define STB_VORBIS_NO_STDIO
#include <stb_vorbis.h>

namespace {

// Frames one read hands out at most; the game asks for up to 11025 and takes what comes.
const int OV_READ_FRAMES = 4096;

// The whole of an open file, or null when it cannot be read.
unsigned char* readWhole(FILE* file, long* length)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return nullptr;
    const long size = std::ftell(file);
    if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return nullptr;
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size)));
    if (bytes != nullptr && std::fread(bytes, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) {
        std::free(bytes);
        return nullptr;
    }
    *length = size;
    return bytes;
}

// One block of samples, channel after channel, and the pointers to each channel's part.
bool makeBuffers(OggVorbis_File* vf)
{
    const size_t channels = static_cast<size_t>(vf->info.channels);
    float* samples = static_cast<float*>(std::malloc(channels * OV_READ_FRAMES * sizeof(float)));
    vf->channelBuffers = static_cast<float**>(std::malloc(channels * sizeof(float*)));
    if (samples == nullptr || vf->channelBuffers == nullptr) {
        std::free(samples);
        std::free(vf->channelBuffers);
        vf->channelBuffers = nullptr;
        return false;
    }
    for (size_t channel = 0; channel < channels; ++channel)
        vf->channelBuffers[channel] = samples + channel * OV_READ_FRAMES;
    return true;
}

void release(OggVorbis_File* vf)
{
    if (vf->channelBuffers != nullptr)
        std::free(vf->channelBuffers[0]);
    std::free(vf->channelBuffers);
    vf->channelBuffers = nullptr;
    if (vf->decoder != nullptr)
        stb_vorbis_close(vf->decoder);
    std::free(vf->bytes);
    vf->decoder = nullptr;
    vf->bytes = nullptr;
}

} // namespace

int ov_open(FILE* f, OggVorbis_File* vf, const char*, long)
{
    std::memset(vf, 0, sizeof(*vf));
    long length = 0;
    vf->bytes = readWhole(f, &length);
    if (vf->bytes == nullptr || length > INT32_MAX)
        return OV_EREAD;
    int error = 0;
    vf->decoder = stb_vorbis_open_memory(vf->bytes, static_cast<int>(length), &error, nullptr);
    if (vf->decoder == nullptr) {
        release(vf);
        return OV_ENOTVORBIS;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(vf->decoder);
    vf->info.channels = info.channels;
    vf->info.rate = static_cast<long>(info.sample_rate);
    if (info.channels < 1 || !makeBuffers(vf)) {
        release(vf);
        return OV_EINVAL;
    }
    // Like libvorbisfile, the decoder owns the file from here until ov_clear.
    vf->datasource = f;
    return 0;
}

int ov_clear(OggVorbis_File* vf)
{
    release(vf);
    if (vf->datasource != nullptr)
        std::fclose(vf->datasource);
    std::memset(vf, 0, sizeof(*vf));
    return 0;
}

long ov_streams(OggVorbis_File* vf)
{
    return vf->decoder != nullptr ? 1 : 0;
}

vorbis_info* ov_info(OggVorbis_File* vf, int link)
{
    return vf->decoder != nullptr && link <= 0 ? &vf->info : nullptr;
}

ogg_int64_t ov_pcm_tell(OggVorbis_File* vf)
{
    return vf->decoder != nullptr ? vf->position : OV_EINVAL;
}

int ov_pcm_seek(OggVorbis_File* vf, ogg_int64_t pos)
{
    if (vf->decoder == nullptr || pos < 0 || pos > INT32_MAX)
        return OV_EINVAL;
    if (!stb_vorbis_seek(vf->decoder, static_cast<unsigned int>(pos)))
        return OV_EINVAL;
    vf->position = pos;
    return 0;
}

int ov_raw_seek(OggVorbis_File* vf, ogg_int64_t pos)
{
    // The game only ever goes back to the first byte, which is the first sample.
    if (vf->decoder == nullptr || pos != 0 || !stb_vorbis_seek_start(vf->decoder))
        return OV_EINVAL;
    vf->position = 0;
    return 0;
}

long ov_read_float(OggVorbis_File* vf, float*** pcm_channels, int samples, int* bitstream)
{
    if (vf->decoder == nullptr || samples <= 0)
        return OV_EINVAL;
    const int wanted = samples < OV_READ_FRAMES ? samples : OV_READ_FRAMES;
    const int read = stb_vorbis_get_samples_float(vf->decoder, vf->info.channels, vf->channelBuffers, wanted);
    if (bitstream != nullptr)
        *bitstream = 0;
    if (read > 0) {
        vf->position += read;
        *pcm_channels = vf->channelBuffers;
    }
    return read;
}

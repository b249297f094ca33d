// SPDX-License-Identifier: MIT
#include "audio/Sounds.h"

#include "audio/BackgroundMusic.h"
#include "audio/OggFile.h"

#include <new>
#include <iostream>

namespace {
    const char* const FILE_NAMES[3] = {"click.ogg", "forage.ogg", "garrison.ogg"};
    // Frames asked of the decoder per read.
    const int READ_FRAMES = 4096;
}

Sounds* Sounds::getInstance()
{
    // A function-local static is built by exactly one thread while any other caller waits.
    static Sounds instance(BackgroundMusic::getSoundsPath());
    return &instance;
}

Sounds::Sounds(const std::string& directory) : numStarted(0)
{
    // Construction must not fail: the audio thread would otherwise try again on every block.
    for (int type = 0; type < 3; ++type) {
        try {
            loadFile(directory + FILE_NAMES[type], &files[type]);
        } catch (const std::bad_alloc&) {
            reportSilent(FILE_NAMES[type], &files[type]);
        }
    }
}

void Sounds::playSound(SoundType type)
{
    const SoundFile& file = files[type];
    if (file.samples.empty())
        return;
    for (PlayingSound& voice : voices) {
        if (voice.active.load(std::memory_order_acquire))
            continue;
        voice.samples = file.samples.data();
        voice.length = static_cast<unsigned int>(file.samples.size());
        voice.position = 0;
        voice.active.store(true, std::memory_order_release);
        numStarted.fetch_add(1, std::memory_order_release);
        return;
    }
}

void Sounds::getAudio(float* block, int frames)
{
    int unvisited = numStarted.load(std::memory_order_acquire);
    for (int i = 0; i < NUM_VOICES && unvisited > 0; ++i) {
        PlayingSound& voice = voices[i];
        if (!voice.active.load(std::memory_order_acquire))
            continue;
        mixVoice(voice, block, frames);
        --unvisited;
    }
}

unsigned int Sounds::getLength(SoundType type) const
{
    return static_cast<unsigned int>(files[type].samples.size());
}

void Sounds::mixVoice(PlayingSound& voice, float* block, int frames)
{
    for (int i = 0; i < frames; ++i) {
        const float sample = voice.samples[voice.position] * VOICE_GAIN;
        block[2 * i] += sample;
        block[2 * i + 1] += sample;
        if (++voice.position >= voice.length) {
            voice.active.store(false, std::memory_order_release);
            return;
        }
    }
}

void Sounds::loadFile(const std::string& path, SoundFile* file)
{
    OggFile ogg;
    if (!ogg.open(path, OggFile::LARGEST_EFFECT))
        return;
    bool decoded = false;
    try {
        decoded = decodeFirstChannel(ogg, file->samples);
    } catch (const std::bad_alloc&) {
    }
    if (decoded)
        std::cout << "vorbisfile: Loaded file: " << path << std::endl;
    else
        reportSilent(path, file);
}

void Sounds::reportSilent(const std::string& path, SoundFile* file)
{
    std::vector<float>().swap(file->samples);
    std::cout << "vorbisfile: Could not load the whole effect, so it stays silent: " << path << std::endl;
}

bool Sounds::decodeFirstChannel(OggFile& ogg, std::vector<float>& samples)
{
    // The length in the file's header is only a claim: the samples grow with what really decodes, up to
    // the ceiling. Only the first logical stream counts, and a read fault ends the effect where the
    // good samples end. After opening a chained file the decoder stands in its last stream.
    ogg.rewind();
    for (;;) {
        float** pcm = nullptr;
        int link = 0;
        const long read = ov_read_float(ogg.get(), &pcm, READ_FRAMES, &link);
        if (read <= 0 || link > 0)
            return true;
        if (samples.size() + static_cast<unsigned long>(read) > LONGEST_EFFECT)
            return false;
        samples.insert(samples.end(), pcm[0], pcm[0] + read);
    }
}

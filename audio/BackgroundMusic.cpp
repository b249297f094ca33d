// SPDX-License-Identifier: MIT
#include "audio/BackgroundMusic.h"

#include "audio/OggFile.h"

#include <SDL.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {
    // Time the destructor gives the streaming thread to notice the stop request.
    const int STOP_PAUSE_MILLISECONDS = 600;

    bool isDirectory(const std::string& path)
    {
        struct stat status;
        return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

    std::string withSeparator(std::string path)
    {
        if (path.empty() || path.back() != '/')
            path += '/';
        return path;
    }

    // The directory holding the running program, without a separator at the end; empty if unknown.
    std::string executableDirectory()
    {
        char buffer[4096];
        const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
        if (length <= 0)
            return std::string();
        const std::string path(buffer, static_cast<size_t>(length));
        return path.substr(0, path.find_last_of('/'));
    }
}

BackgroundMusic::BackgroundMusic() : BackgroundMusic(getSoundsPath() + "music.ogg", true) {}

BackgroundMusic::BackgroundMusic(const std::string& path, bool streaming)
    : decodePosition(0), volume(0.0f), left(), right(),
      lastFilled(NUM_BUFFERS - 1), currentBuffer(0), readPosition(0), stopping(false)
{
    for (std::atomic<bool>& flag : needsFill)
        flag.store(true, std::memory_order_relaxed);
    if (!openFile(path))
        return;
    for (int index = 0; index < NUM_BUFFERS; ++index)
        fillBuffer(index);
    // The first fills are what the mixer plays first, so the music starts at its first frame.
    for (std::atomic<bool>& flag : needsFill)
        flag.store(false, std::memory_order_release);
    if (streaming)
        startThread(this);
}

BackgroundMusic::~BackgroundMusic()
{
    stopping.store(true, std::memory_order_release);
    if (hasThread())
        SDL_Delay(STOP_PAUSE_MILLISECONDS);
    // The thread must be gone before the decoder and the buffers it uses.
    joinThread();
}

void BackgroundMusic::audioBlock(float* block, int frames)
{
    if (!vorbisFile.isOpen())
        return;
    const float gain = frames <= BUFFER_FRAMES - readPosition ? GAIN : CROSSING_GAIN;
    int done = 0;
    while (done < frames) {
        if (readPosition == BUFFER_FRAMES)
            leaveCurrentBuffer();
        const int count = std::min(frames - done, BUFFER_FRAMES - readPosition);
        mixFromCurrentBuffer(block + 2 * done, count, gain);
        done += count;
    }
}

bool BackgroundMusic::run()
{
    while (!stopping.load(std::memory_order_acquire))
        SDL_Delay(static_cast<Uint32>(runPass()));
    return true;
}

int BackgroundMusic::runPass()
{
    refill();
    return POLL_MILLISECONDS;
}

void BackgroundMusic::refill()
{
    // The mixer leaves the buffers in ring order, so after a stall they are filled in that order too:
    // the music decodes on where the last fill stopped.
    const int first = lastFilled + 1;
    for (int step = 0; step < NUM_BUFFERS; ++step) {
        const int index = (first + step) % NUM_BUFFERS;
        if (!needsFill[index].load(std::memory_order_acquire))
            continue;
        fillBuffer(index);
        lastFilled = index;
        needsFill[index].store(false, std::memory_order_release);
    }
}

std::string BackgroundMusic::getSoundsPath()
{
    const char* override = std::getenv("MARROWGATE_SOUNDS_DIR");
    if (override != nullptr && *override != '\0')
        return withSeparator(override);
    const std::string beside = executableDirectory() + "/sounds/";
    if (isDirectory(beside))
        return beside;
    return withSeparator(MARROWGATE_DATA_DIR "/sounds");
}

bool BackgroundMusic::openFile(const std::string& path)
{
    if (!vorbisFile.open(path, OggFile::LARGEST_MUSIC))
        return false;
    std::cout << "vorbisfile: Loaded file: " << path << std::endl;
    return true;
}

void BackgroundMusic::fillBuffer(int index)
{
    // The decoder stands where the last fill stopped, or has to go back to the start.
    if (decodePosition == 0)
        vorbisFile.rewind();
    else if (ov_pcm_tell(vorbisFile.get()) != decodePosition)
        ov_pcm_seek(vorbisFile.get(), decodePosition);
    // A fill that finds the end twice without a frame in between has a file with nothing to loop.
    bool framesSinceRestart = decodePosition > 0;
    int filled = 0;
    while (filled < BUFFER_FRAMES) {
        float** pcm = nullptr;
        int link = 0;
        const long read = ov_read_float(vorbisFile.get(), &pcm, BUFFER_FRAMES - filled, &link);
        if (read <= 0 || link > 0) {
            decodePosition = 0;
            if (!framesSinceRestart)
                break;
            vorbisFile.rewind();
            framesSinceRestart = false;
            continue;
        }
        const int count = static_cast<int>(read);
        storeFrames(index, filled, pcm, ov_info(vorbisFile.get(), 0)->channels, count);
        filled += count;
        decodePosition += count;
        framesSinceRestart = true;
    }
    std::fill(left[index] + filled, left[index] + BUFFER_FRAMES, 0.0f);
    std::fill(right[index] + filled, right[index] + BUFFER_FRAMES, 0.0f);
}

void BackgroundMusic::storeFrames(int index, int offset, float** pcm, int channels, int count)
{
    const float* second = channels >= 2 ? pcm[1] : pcm[0];
    std::copy(pcm[0], pcm[0] + count, left[index] + offset);
    std::copy(second, second + count, right[index] + offset);
}

void BackgroundMusic::mixFromCurrentBuffer(float* block, int frames, float gain)
{
    // A buffer whose refill is still pending belongs to the streaming thread: it is heard as silence.
    const bool ready = !needsFill[currentBuffer].load(std::memory_order_acquire);
    const float* leftSamples = left[currentBuffer] + readPosition;
    const float* rightSamples = right[currentBuffer] + readPosition;
    for (int i = 0; i < frames; ++i) {
        if (ready) {
            block[2 * i] += leftSamples[i] * volume * gain;
            block[2 * i + 1] += rightSamples[i] * volume * gain;
        }
        if (volume < 1.0f)
            volume += FADE_STEP;
    }
    readPosition += frames;
}

void BackgroundMusic::leaveCurrentBuffer()
{
    readPosition = 0;
    needsFill[currentBuffer].store(true, std::memory_order_release);
    currentBuffer = (currentBuffer + 1) % NUM_BUFFERS;
}

// SPDX-License-Identifier: MIT
#pragma once

#include "app/Thread.h"

#include "audio/OggFile.h"

#include <atomic>
#include <cstdio>
#include <string>

// The looping background music, "music.ogg", streamed through three buffers of a quarter second each.
// Its own thread decodes ahead into the buffers the mixer has left; the audio thread mixes the current
// buffer into each block with a slow fade-in. The application holds one by value. A buffer belongs to
// the streaming thread while its refill flag is set and to the mixer otherwise; the flag hands it over.
class BackgroundMusic : public Thread {
public:
    // Frames in one buffer, and the number of buffers.
    static constexpr int BUFFER_FRAMES = 11025;
    static constexpr int NUM_BUFFERS = 3;
    // Gain of the music, and of a block that crosses from one buffer into the next.
    static constexpr float GAIN = 0.75f;
    static constexpr float CROSSING_GAIN = 0.5f;
    // Growth of the fade-in volume per mixed frame: 1.0 is reached after 990522 frames.
    static constexpr float FADE_STEP = 0.000001f;
    // Pause of the streaming thread between looks at the refill flags.
    static constexpr int POLL_MILLISECONDS = 62;

    // Opens "music.ogg" in the sounds directory, fills the buffers and starts streaming.
    BackgroundMusic();
    // Opens the given file; without streaming no thread is started and refill() does its work (tests).
    BackgroundMusic(const std::string& path, bool streaming);
    // Stops the streaming thread and releases the decoder.
    ~BackgroundMusic() override;

    // Adds the music into an interleaved stereo block of any length (audio thread).
    void audioBlock(float* block, int frames);

    // The streaming loop: refills the buffers the mixer has left until asked to stop.
    bool run() override;
    // One refill, then the pause before the next.
    int runPass() override;
    // Refills every buffer whose refill is pending, in ring order from the one after the last filled;
    // the streaming thread's one pass.
    void refill();

    // The directory of the sound files, ending with a separator: $MARROWGATE_SOUNDS_DIR when set, else a
    // "sounds" directory beside the executable, else the installed data directory.
    static std::string getSoundsPath();

private:
    // Opens and checks the file; true when the music can play.
    bool openFile(const std::string& path);
    // Decodes the next BUFFER_FRAMES frames of the loop into a buffer.
    void fillBuffer(int index);
    // Copies decoded frames into a buffer; a single channel goes to both sides.
    void storeFrames(int index, int offset, float** pcm, int channels, int count);
    // Mixes frames from the current buffer; silence while that buffer's refill is pending.
    void mixFromCurrentBuffer(float* block, int frames, float gain);
    // Hands the current buffer back for refilling and moves on to the next.
    void leaveCurrentBuffer();

    // The music file and its decoder; not open when the music is silent.
    OggFile vorbisFile;
    // The frame of the first logical stream where the next fill starts decoding (streaming thread).
    long decodePosition;
    // The fade-in gain, rising from 0 to 1 (audio thread).
    float volume;
    // The buffers: buffer k is row k of left with row k of right.
    float left[NUM_BUFFERS][BUFFER_FRAMES];
    float right[NUM_BUFFERS][BUFFER_FRAMES];
    // The buffer the last fill went into (streaming thread); refills go on from the one after it.
    int lastFilled;
    // The buffer the mixer reads (audio thread).
    int currentBuffer;
    // The next frame of the current buffer to mix (audio thread).
    int readPosition;
    // Set by the mixer when it leaves a buffer, cleared by the streaming thread once it is refilled.
    std::atomic<bool> needsFill[NUM_BUFFERS];
    // The stop request for the streaming thread.
    std::atomic<bool> stopping;
};

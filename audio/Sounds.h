// SPDX-License-Identifier: MIT
#pragma once


#include <atomic>
#include <string>
#include <vector>

class OggFile;

// The three sound effects, decoded whole into memory, and up to 128 voices of them sounding at once.
// One process-wide instance (getInstance) owns the samples; the main thread starts voices with
// playSound and the audio thread mixes them with getAudio, without a lock: a voice belongs to the main
// thread while inactive and to the audio thread while active, and its active flag hands it over.
class Sounds {
public:
    // The effects, in the order of their table.
    enum SoundType { ClickSound, ForageSound, GarrisonSound };

    // Voices that can sound at the same time.
    static constexpr int NUM_VOICES = 128;
    // Gain of every voice, on both channels.
    static constexpr float VOICE_GAIN = 0.5f;
    // Samples an effect may have (a minute at 44100 Hz); a longer one is left silent.
    static constexpr unsigned int LONGEST_EFFECT = 60 * 44100;

    // The single instance, created (and its files loaded) on first use by whichever thread asks first.
    static Sounds* getInstance();

    // Loads "click.ogg", "forage.ogg" and "garrison.ogg" from a directory (ending with a separator).
    explicit Sounds(const std::string& directory);

    Sounds(const Sounds&) = delete;
    Sounds& operator=(const Sounds&) = delete;

    // Starts one more voice of an effect (main thread); dropped when all voices are busy.
    void playSound(SoundType type);
    // Adds every active voice into an interleaved stereo block (audio thread).
    void getAudio(float* block, int frames);

    // How many samples an effect has; 0 when its file did not load.
    unsigned int getLength(SoundType type) const;

private:
    // One decoded effect: the first channel of its file.
    struct SoundFile {
        // The samples actually decoded; empty when the file could not be read.
        std::vector<float> samples;
    };

    // One sounding effect.
    struct PlayingSound {
        // The effect's samples; not owned.
        const float* samples = nullptr;
        // How many samples the effect has.
        unsigned int length = 0;
        // The next sample to mix.
        unsigned int position = 0;
        // Set last by the main thread to publish the voice, cleared by the audio thread when it ends.
        std::atomic<bool> active{false};
    };

    // Decodes one Ogg Vorbis file into an effect, printing what happened.
    static void loadFile(const std::string& path, SoundFile* file);
    // Empties an effect that could not be loaded whole and says so.
    static void reportSilent(const std::string& path, SoundFile* file);
    // Appends the first channel of the first logical stream; false when it is longer than allowed.
    static bool decodeFirstChannel(OggFile& ogg, std::vector<float>& samples);
    // Adds one voice into the block; clears its flag when its last sample is mixed.
    static void mixVoice(PlayingSound& voice, float* block, int frames);

    // The effects, indexed by SoundType.
    SoundFile files[3];
    // The voice slots.
    PlayingSound voices[NUM_VOICES];
    // Voices started so far; lets the mixer skip the scan until something was ever played.
    std::atomic<int> numStarted;
};

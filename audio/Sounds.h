#pragma once

// The three sound effects. Placeholder until the effects land: nothing sounds.
class Sounds {
public:
    enum SoundType { ClickSound, ForageSound, GarrisonSound };

    static Sounds* getInstance();

    // Starts one more voice of an effect.
    void playSound(SoundType type);
    // Adds the active voices into an interleaved stereo block.
    void getAudio(float* block, int frames);
};

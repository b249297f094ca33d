#include "Sounds.h"

Sounds* Sounds::getInstance()
{
    static Sounds instance;
    return &instance;
}

void Sounds::playSound(SoundType) {}

void Sounds::getAudio(float*, int) {}

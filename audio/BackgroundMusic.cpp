#include "BackgroundMusic.h"

void BackgroundMusic::audioBlock(float*, int) {}

std::string BackgroundMusic::getSoundsPath()
{
    return std::string();
}

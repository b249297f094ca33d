#include "PortAudioDevice.h"

PortAudioDevice::~PortAudioDevice()
{
    stop();
}

bool PortAudioDevice::start()
{
    return false;
}

void PortAudioDevice::stop()
{
    started = false;
}

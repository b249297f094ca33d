// SPDX-License-Identifier: MIT
#include "render/Drawer.h"

unsigned int Drawer::loadShader(const std::string&, const std::string&)
{
    return 0;
}

void Drawer::useShader(unsigned int) {}

void Drawer::useSecondImage(unsigned int) {}

// SPDX-License-Identifier: MIT
#include "app/FatalError.h"

#include <iostream>

FatalError::FatalError(const std::string& message, int exitStatus) : message(message), exitStatus(exitStatus) {}

void FatalError::display() const
{
    std::cout << message << std::endl;
}

// SPDX-License-Identifier: MIT
#include "app/CriticalSection.h"

#include <SDL.h>
#include <SDL_thread.h>

#include <iostream>

CriticalSection::CriticalSection() : semaphore(SDL_CreateSemaphore(1))
{
    if (semaphore == nullptr)
        std::cout << "Critical Section: Could not create semaphore!" << std::endl;
}

CriticalSection::~CriticalSection()
{
    if (semaphore != nullptr)
        SDL_DestroySemaphore(semaphore);
}

bool CriticalSection::lock()
{
    if (semaphore == nullptr)
        return false;
    return SDL_SemWait(semaphore) == 0;
}

void CriticalSection::unlock()
{
    if (semaphore != nullptr)
        SDL_SemPost(semaphore);
}

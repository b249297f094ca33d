// SPDX-License-Identifier: MIT
// The lock where the page has one thread: nobody else can ever release a held lock, so taking it
// again fails at once instead of waiting for ever.
#include "app/CriticalSection.h"

// The browser's semaphore: a count that only its own thread moves.
struct SDL_semaphore {
    int count;
};

CriticalSection::CriticalSection() : semaphore(new SDL_semaphore{1}) {}

CriticalSection::~CriticalSection()
{
    delete semaphore;
}

bool CriticalSection::lock()
{
    if (semaphore == nullptr || semaphore->count == 0)
        return false;
    --semaphore->count;
    return true;
}

void CriticalSection::unlock()
{
    if (semaphore != nullptr)
        ++semaphore->count;
}

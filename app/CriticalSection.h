// SPDX-License-Identifier: MIT
#pragma once

struct SDL_semaphore;

// A non-recursive lock built on an SDL semaphore of count 1. The game takes no lock today (the audio
// threads hand over through atomics); it is kept beside Thread for the code that will need one.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();

    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    // Waits for the lock; false when there is no semaphore or the wait failed.
    bool lock();
    // Releases the lock; does nothing without a semaphore.
    void unlock();

private:
    // Null when SDL could not create it; the lock then never holds.
    SDL_semaphore* semaphore;
};

// SPDX-License-Identifier: MIT
#include "app/Thread.h"

#include <SDL.h>
#include <SDL_thread.h>

#include <iostream>

Thread::Thread() : thread(nullptr) {}

Thread::~Thread()
{
    joinThread();
}

void Thread::startThread(Thread* target)
{
    if (thread != nullptr)
        return;
    thread = SDL_CreateThread(threadMethod, target);
    if (thread == nullptr)
        std::cout << "Could not create thread.  Assuming this is a fatal error..." << std::endl;
}

int Thread::threadMethod(void* target)
{
    return static_cast<Thread*>(target)->run() ? 1 : 0;
}

void Thread::joinThread()
{
    if (thread == nullptr)
        return;
    SDL_WaitThread(thread, nullptr);
    thread = nullptr;
}

// SPDX-License-Identifier: MIT
#pragma once

struct SDL_Thread;

// Base of an object that runs one worker thread of its own (the music streamer). A derived class must
// make run() return in its own destructor, because ~Thread waits for the thread to end. The music in
// audio/ derives from it: the one tie from audio back to the shell.
class Thread {
public:
    Thread();
    // Waits for the worker thread, if one was started.
    virtual ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The body of the worker thread; its result becomes the thread's exit value (1 or 0).
    virtual bool run() = 0;
    // One pass of a body that is a loop of passes and pauses, returning the pause before the next pass in
    // milliseconds; negative for a body that is no such loop. Where threads cannot share the game's
    // memory (the browser), the main loop runs the passes instead of a thread running run().
    virtual int runPass() { return -1; }

    // Starts a worker thread that calls target->run(); does nothing if this object has one already.
    void startThread(Thread* target);

    // Whether a worker thread was started and not yet joined.
    bool hasThread() const { return thread != nullptr; }

    // The entry function handed to SDL_CreateThread.
    static int threadMethod(void* target);

protected:
    // Waits for the worker thread to end; lets a derived destructor join before its members go.
    void joinThread();

private:
    // The worker thread, null until started and after it is joined.
    SDL_Thread* thread;
};

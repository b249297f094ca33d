// SPDX-License-Identifier: MIT
// Threads where the page has no shared memory: a worker whose body is a loop of passes and pauses runs
// its passes from the browser's event loop, on the main thread, each after the pause the last one
// asked for. Nothing runs beside the main thread, so the handovers the desktop makes through atomics
// happen between passes.
#include "app/Thread.h"

#include <emscripten/eventloop.h>

#include <iostream>
#include <map>

namespace {

struct Worker {
    Thread* target;
    // The browser's timeout for the next pass.
    long timeout;
};

// The running workers by the object that started them.
std::map<const Thread*, Worker> workers;

void runNextPass(void* data)
{
    Worker* worker = static_cast<Worker*>(data);
    const int pause = worker->target->runPass();
    worker->timeout = emscripten_set_timeout(runNextPass, pause, worker);
}

} // namespace

Thread::Thread() : thread(nullptr) {}

Thread::~Thread()
{
    joinThread();
}

void Thread::startThread(Thread* target)
{
    if (workers.count(this) != 0)
        return;
    const int pause = target->runPass();
    if (pause < 0) {
        std::cout << "Could not create thread.  Assuming this is a fatal error..." << std::endl;
        return;
    }
    Worker& worker = workers[this];
    worker.target = target;
    worker.timeout = emscripten_set_timeout(runNextPass, pause, &worker);
}

void Thread::joinThread()
{
    const auto worker = workers.find(this);
    if (worker == workers.end())
        return;
    emscripten_clear_timeout(worker->second.timeout);
    workers.erase(worker);
}

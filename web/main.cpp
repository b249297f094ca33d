// SPDX-License-Identifier: MIT
// The page's entry point. A page must hand control back to the browser between frames, so instead of
// running the application's loop, main starts it as the browser's main loop, one pass every 30 ms, and
// returns; the application lives until a pass ends the loop. The page (site/index.html) gives the
// arguments from its address and hears when the game has ended.
#include "app/Application.h"
#include "app/FatalError.h"
#include "app/FramePacer.h"

#include <emscripten.h>

#include <string>
#include <vector>

namespace {

// Lives from main until the loop ends.
Application* application = nullptr;

// Tells the page that the program ended, with its exit status.
EM_JS(void, reportEnded, (int status), {
    if (Module.onGameEnded)
        Module.onGameEnded(status);
});

void end(int status)
{
    emscripten_cancel_main_loop();
    delete application;
    application = nullptr;
    reportEnded(status);
}

void runPass(void*)
{
    if (!application->runPass())
        end(0);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        application = new Application(args);
    } catch (const FatalError& error) {
        error.display();
        reportEnded(error.getExitStatus());
        return error.getExitStatus();
    }
    if (!application->hasWindow()) {
        end(1);
        return 1;
    }
    application->loadGlyphs();
    emscripten_set_main_loop_arg(runPass, nullptr, 0, 0);
    emscripten_set_main_loop_timing(EM_TIMING_SETTIMEOUT, FramePacer::framePeriod);
    return 0;
}

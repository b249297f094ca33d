// SPDX-License-Identifier: MIT
#include "app/Application.h"
#include "app/FatalError.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        Application application(args);
        application.eventLoop();
        return application.hasWindow() ? 0 : 1;
    } catch (const FatalError& error) {
        FatalError copy(error);
        copy.display();
        return copy.getExitStatus();
    }
}

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The one exception of the program: thrown only while the Application is built (SDL cannot start,
// or "--help" was asked for); the entry point catches it, prints its message and exits with its status.
class FatalError {
public:
    // exitStatus is what the process ends with: 0 for "--help", 1 for a real failure.
    explicit FatalError(const std::string& message, int exitStatus = 1);

    // Writes the message and a line end to standard output.
    void display() const;

    int getExitStatus() const { return exitStatus; }

private:
    // What the player is told before the program ends.
    std::string message;
    // The process's exit status, so scripts can tell a failed start from a usage request.
    int exitStatus;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The one exception of the program: thrown only while the Application is built (SDL cannot start,
// or "--help" was asked for); the entry point catches it and prints its message.
class FatalError {
public:
    explicit FatalError(const std::string& message);

    // Writes the message and a line end to standard output.
    void display() const;

    const std::string& getMessage() const { return message; }

private:
    // What the player is told before the program ends.
    std::string message;
};

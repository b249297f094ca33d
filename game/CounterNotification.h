// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Something that wants to hear when a named game counter lands on a multiple of a divisor. The
// receiver is owned by whoever registers it with GameCounter and must outlive its registrations.
class CounterNotification {
public:
    virtual ~CounterNotification() = default;

    // Called with the counter's name and its new count, which the registered divisor divides.
    virtual void notify(const std::string& name, int count) = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The process-wide source of random numbers: an integer-noise hash of a counter seeded with the start
// time. Used on the main thread only (board set-up, computer opponent, particles); its sequence runs
// on across games. The particles in render/ draw from it: the one tie from render back to the shell.
class Random {
public:
    // The single object, created (seeded with time(NULL)) on the first call; safe from any thread.
    static Random* getGlobal();

    // A generator at a known state, for tests and tools.
    explicit Random(std::int32_t state) : state(state) {}

    // Advances the counter and returns a float in [0, 1]. Both ends occur: 64 of the 2^32 states give
    // exactly 0 (the hash's largest values round to -1 in single precision), so no caller may divide by
    // the draw or take its logarithm.
    float nextFloat()
    {
        const std::uint32_t s = static_cast<std::uint32_t>(state) + 1u;
        state = static_cast<std::int32_t>(s);
        const std::uint32_t n = s ^ (s << 13);
        const std::uint32_t v = (n * (n * n * 15731u + 789221u) + 1376312589u) & 0x7fffffffu;
        const double d = 1.0 - static_cast<double>(v) * (1.0 / 1073741824.0);
        return (static_cast<float>(d) + 1.0f) * 0.5f;
    }

    std::int32_t getState() const { return state; }
    void setState(std::int32_t newState) { state = newState; }

private:
    // The counter that each draw advances and hashes.
    std::int32_t state;
};

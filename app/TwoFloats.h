// SPDX-License-Identifier: MIT
#pragma once

// A pair of floats: a position, a velocity or a size in the logical screen. Nothing uses it today; it
// is kept as one of the shared value types.
struct TwoFloats {
    float x = 0.0f;
    float y = 0.0f;
};

// Scales both components.
TwoFloats operator*(float s, const TwoFloats& v);

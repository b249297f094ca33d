// SPDX-License-Identifier: MIT
#pragma once

// Three floats: a colour or a position in space. Nothing uses it today; it is kept as one of the shared
// value types.
struct ThreeFloats {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Scales all three components.
ThreeFloats operator*(float s, const ThreeFloats& v);

// SPDX-License-Identifier: MIT
#include "app/ThreeFloats.h"

ThreeFloats operator*(float s, const ThreeFloats& v)
{
    return ThreeFloats{s * v.x, s * v.y, s * v.z};
}

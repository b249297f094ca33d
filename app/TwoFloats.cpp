// SPDX-License-Identifier: MIT
#include "app/TwoFloats.h"

TwoFloats operator*(float s, const TwoFloats& v)
{
    return TwoFloats{s * v.x, s * v.y};
}

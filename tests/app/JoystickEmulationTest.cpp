// SPDX-License-Identifier: MIT
#include "app/JoystickEmulation.h"

#include <gtest/gtest.h>

#include <vector>

TEST(JoystickEmulation, AxisMovementsBecomeArrowKeys)
{
    using Key = JoystickEmulation::KeyEvent;
    // Presses, and releases ("Up").
    const Key left{true, SDLK_LEFT}, right{true, SDLK_RIGHT}, up{true, SDLK_UP}, down{true, SDLK_DOWN};
    const Key leftUp{false, SDLK_LEFT}, rightUp{false, SDLK_RIGHT}, upUp{false, SDLK_UP}, downUp{false, SDLK_DOWN};
    const struct {
        int axis, value;
        std::vector<Key> keys;
    } steps[] = {
        {0, -32768, {left}},
        {0, 32767, {leftUp, right}},
        // Moving on one side keeps pressing.
        {0, 20000, {right}},
        {0, 0, {rightUp, leftUp}},
        // The dead zone releases both, even when nothing is held.
        {0, -128, {rightUp, leftUp}},
        {0, 129, {right}},
        // The axes are independent: the held right arrow stays held meanwhile.
        {1, 30000, {down}},
        {1, -30000, {downUp, up}},
        {1, -129, {up}},
        {1, 0, {downUp, upUp}},
        {1, 128, {downUp, upUp}},
        {2, 30000, {}},
        {5, -30000, {}},
        {0, -30000, {rightUp, left}},
        // Through the centre and out to the other side: nothing is left held to release again.
        {0, 0, {rightUp, leftUp}},
        {0, 30000, {right}},
        {0, 100, {rightUp, leftUp}},
        {0, -200, {left}},
        {1, 30000, {down}},
        {1, -128, {downUp, upUp}},
        {1, -30000, {up}},
    };
    JoystickEmulation joystick;
    for (const auto& step : steps)
        EXPECT_EQ(joystick.axisMotion(step.axis, step.value), step.keys) << step.axis << " " << step.value;
}

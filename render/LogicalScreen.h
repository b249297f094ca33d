// SPDX-License-Identifier: MIT
#pragma once

// The fixed screen that every state draws in and receives positions in, whatever the window's size,
// and the point of the pointer pictures (arrow and hand) that does the pointing.
namespace LogicalScreen {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
// The pointer pictures are drawn this far left of and above the pointer's position.
constexpr int POINTER_TIP_X = 25;
constexpr int POINTER_TIP_Y = 12;

} // namespace LogicalScreen

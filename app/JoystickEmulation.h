// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

#include <vector>

// Turns joystick movements into arrow-key presses and releases, and buttons into the keys z, x and c,
// so that the screens only ever see keys. Remembers which emulated arrows are held.
class JoystickEmulation {
public:
    // One emulated key event, in the order the screen should receive it.
    struct KeyEvent {
        bool pressed;
        SDLKey sym;

        bool operator==(const KeyEvent& other) const { return pressed == other.pressed && sym == other.sym; }
    };

    // The key events for a movement of an axis to a signed 16-bit value; other axes than 0 and 1 give none.
    std::vector<KeyEvent> axisMotion(int axis, int value);
    // The key pressed for a joystick button (z, x, or c for any button past the second).
    static SDLKey buttonKey(int button);

    // An SDL key record carrying only the key code.
    static SDL_keysym keyRecord(SDLKey sym);

private:
    static constexpr int deadZone = 128;

    void horizontal(int value, std::vector<KeyEvent>& events);
    void vertical(int value, std::vector<KeyEvent>& events);

    // Which arrows were last pressed and not yet released; at most one of each pair.
    bool joyUpHeld = false;
    bool joyDownHeld = false;
    bool joyLeftHeld = false;
    bool joyRightHeld = false;
};

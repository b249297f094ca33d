// SPDX-License-Identifier: MIT
#include "app/JoystickEmulation.h"

namespace {

// Releases `heldKey` if it is held, then presses `key` and holds it.
void switchTo(SDLKey key, bool& held, SDLKey heldKey, bool& otherHeld,
              std::vector<JoystickEmulation::KeyEvent>& events)
{
    if (otherHeld) {
        events.push_back({false, heldKey});
        otherHeld = false;
    }
    events.push_back({true, key});
    held = true;
}

} // namespace

std::vector<JoystickEmulation::KeyEvent> JoystickEmulation::axisMotion(int axis, int value)
{
    std::vector<KeyEvent> events;
    if (axis == 0)
        horizontal(value, events);
    else if (axis == 1)
        vertical(value, events);
    return events;
}

void JoystickEmulation::horizontal(int value, std::vector<KeyEvent>& events)
{
    if (value < -deadZone) {
        switchTo(SDLK_LEFT, joyLeftHeld, SDLK_RIGHT, joyRightHeld, events);
    } else if (value > deadZone) {
        switchTo(SDLK_RIGHT, joyRightHeld, SDLK_LEFT, joyLeftHeld, events);
    } else {
        // Back in the centre both arrows are let go, held or not.
        events.push_back({false, SDLK_RIGHT});
        events.push_back({false, SDLK_LEFT});
        joyLeftHeld = joyRightHeld = false;
    }
}

void JoystickEmulation::vertical(int value, std::vector<KeyEvent>& events)
{
    if (value > deadZone) {
        switchTo(SDLK_DOWN, joyDownHeld, SDLK_UP, joyUpHeld, events);
    } else if (value < -deadZone) {
        switchTo(SDLK_UP, joyUpHeld, SDLK_DOWN, joyDownHeld, events);
    } else {
        events.push_back({false, SDLK_DOWN});
        events.push_back({false, SDLK_UP});
        joyUpHeld = joyDownHeld = false;
    }
}

SDLKey JoystickEmulation::buttonKey(int button)
{
    if (button == 0)
        return SDLK_z;
    if (button == 1)
        return SDLK_x;
    return SDLK_c;
}

SDL_keysym JoystickEmulation::keyRecord(SDLKey sym)
{
    SDL_keysym key = {};
    key.sym = sym;
    return key;
}

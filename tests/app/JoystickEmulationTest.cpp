#include "JoystickEmulation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Events = std::vector<JoystickEmulation::KeyEvent>;

JoystickEmulation::KeyEvent press(SDLKey key)
{
    return {true, key};
}

JoystickEmulation::KeyEvent release(SDLKey key)
{
    return {false, key};
}

} // namespace

TEST(JoystickEmulation, HorizontalStickSwitchesArrows)
{
    JoystickEmulation joystick;
    EXPECT_EQ(joystick.axisMotion(0, -32768), Events{press(SDLK_LEFT)});
    EXPECT_EQ(joystick.axisMotion(0, 32767), (Events{release(SDLK_LEFT), press(SDLK_RIGHT)}));
    // Moving on one side keeps pressing.
    EXPECT_EQ(joystick.axisMotion(0, 20000), Events{press(SDLK_RIGHT)});
    EXPECT_EQ(joystick.axisMotion(0, 0), (Events{release(SDLK_RIGHT), release(SDLK_LEFT)}));
    EXPECT_EQ(joystick.axisMotion(0, 129), Events{press(SDLK_RIGHT)});
}

TEST(JoystickEmulation, VerticalStickSwitchesArrows)
{
    JoystickEmulation joystick;
    EXPECT_EQ(joystick.axisMotion(1, 30000), Events{press(SDLK_DOWN)});
    EXPECT_EQ(joystick.axisMotion(1, -30000), (Events{release(SDLK_DOWN), press(SDLK_UP)}));
    EXPECT_EQ(joystick.axisMotion(1, -129), Events{press(SDLK_UP)});
    EXPECT_EQ(joystick.axisMotion(1, 0), (Events{release(SDLK_DOWN), release(SDLK_UP)}));
}

TEST(JoystickEmulation, TheDeadZoneReleasesBothEvenWhenNothingIsHeld)
{
    JoystickEmulation joystick;
    for (int value : {-128, 0, 128}) {
        EXPECT_EQ(joystick.axisMotion(0, value), (Events{release(SDLK_RIGHT), release(SDLK_LEFT)}));
        EXPECT_EQ(joystick.axisMotion(1, value), (Events{release(SDLK_DOWN), release(SDLK_UP)}));
    }
}

TEST(JoystickEmulation, AxesAreIndependentAndOthersIgnored)
{
    JoystickEmulation joystick;
    joystick.axisMotion(0, -30000);
    // Up does not release the held left arrow.
    EXPECT_EQ(joystick.axisMotion(1, -30000), Events{press(SDLK_UP)});
    EXPECT_TRUE(joystick.axisMotion(2, 30000).empty());
    EXPECT_TRUE(joystick.axisMotion(5, -30000).empty());
    EXPECT_EQ(joystick.axisMotion(0, 30000), (Events{release(SDLK_LEFT), press(SDLK_RIGHT)}));
}

TEST(JoystickEmulation, ButtonsBecomeLetterKeys)
{
    EXPECT_EQ(JoystickEmulation::buttonKey(0), SDLK_z);
    EXPECT_EQ(JoystickEmulation::buttonKey(1), SDLK_x);
    EXPECT_EQ(JoystickEmulation::buttonKey(5), SDLK_c);
    const SDL_keysym key = JoystickEmulation::keyRecord(SDLK_c);
    EXPECT_EQ(key.sym, SDLK_c);
    EXPECT_EQ(key.scancode, 0);
    EXPECT_EQ(key.mod, KMOD_NONE);
    EXPECT_EQ(key.unicode, 0);
}

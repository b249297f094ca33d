// SPDX-License-Identifier: MIT
// The shell's small services: the worker thread and its lock, the joystick's arrow keys, the frame
// pacer, the random draws and the value types.
#include "app/CriticalSection.h"
#include "app/FilePath.h"
#include "app/FramePacer.h"
#include "app/JoystickEmulation.h"
#include "app/Random.h"
#include "app/Thread.h"
#include "app/ThreeFloats.h"
#include "app/TwoFloats.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

// A worker that waits for its lock, notes that it had it, and answers so unless told to fail.
struct Worker : Thread {
    ~Worker() override { joinThread(); }
    bool run() override
    {
        holding = lock.lock();
        lock.unlock();
        return holding && !failing;
    }
    using Thread::joinThread;

    CriticalSection lock;
    bool holding = false, failing = false;
};

// A clock that only moves when the loop sleeps or the test says that drawing took time.
struct FakeClock : FrameClock {
    std::uint32_t getTicks() override { return now; }
    void delay(std::uint32_t milliseconds) override { now += milliseconds; }

    // Close to the wrap at 2^32, which the first passes cross.
    std::uint32_t now = 0xfffffff0u;
};

// Every value of both axes, from each arrow of the axis held or none, with the other axis anywhere: the centre
// (-128 to 128) releases the positive arrow then the negative one, a side releases the other side's arrow if
// held and presses its own. Other axes and buttons past the second give no arrows.
TEST(JoystickEmulation, EveryAxisValueGivesTheArrowsOfItsSide)
{
    using Key = JoystickEmulation::KeyEvent;
    JoystickEmulation joystick;
    for (int axis : {0, 1})
        for (int before : {-1, 0, 1})
            for (int value = -32768; value <= 32767; ++value) {
                const SDLKey arrows[] = {axis ? SDLK_UP : SDLK_LEFT, axis ? SDLK_DOWN : SDLK_RIGHT};
                const bool side = value < -128 || value > 128, positive = value > 0;
                joystick.axisMotion(axis, before * 30000);
                joystick.axisMotion(1 - axis, (value + 32768) % 3 * 30000 - 30000);
                std::vector<Key> expected{{false, arrows[side ? !positive : 1]}, {side, arrows[side && positive]}};
                if (side && before * value >= 0)
                    expected.erase(expected.begin());
                ASSERT_EQ(joystick.axisMotion(axis, value), expected) << axis << " " << before << " " << value;
                ASSERT_TRUE(joystick.axisMotion(2 + (value & 3), value).empty()) << value;
            }
    for (int button = 0; button < 256; ++button)
        EXPECT_EQ(JoystickEmulation::buttonKey(button), button == 0 ? SDLK_z : button == 1 ? SDLK_x : SDLK_c);
}

TEST(FramePacer, EveryPassLastsThirtyMillisecondsOrItsDrawingTime)
{
    FakeClock clock;
    FramePacer pacer(clock);
    pacer.waitForNextFrame();
    // Quick frames in a row each sleep the rest of the period, not every other one; slow ones not at all.
    for (std::uint32_t drawTime = 0; drawTime < 100; ++drawTime) {
        const std::uint32_t drawn = clock.now += drawTime, expected = drawTime < 30 ? 30 - drawTime : 0;
        // What was reported, and what was really slept.
        const std::uint32_t slept = pacer.waitForNextFrame();
        EXPECT_EQ(std::make_pair(slept, clock.now - drawn), std::make_pair(expected, expected)) << "draw " << drawTime;
    }
}

// The music streams on a worker thread, which its object stops by joining it. Then the random draws from
// known states, a path split into parent, name and extension, the vectors scaled.
TEST(SmallServices, AWorkerJoinedWithItsResultRandomDrawsFilePathsAndFloatVectors)
{
    Worker worker, failing;
    ASSERT_TRUE(worker.lock.lock());
    worker.startThread(&worker);
    EXPECT_TRUE(worker.hasThread());
    worker.lock.unlock();
    // Joining waits for the end; a worker that kept the lock would hang the call below.
    worker.joinThread();
    EXPECT_EQ(std::make_pair(worker.holding, worker.hasThread()), std::make_pair(true, false));
    failing.failing = true;
    EXPECT_EQ(std::make_pair(Thread::threadMethod(&worker), Thread::threadMethod(&failing)), std::make_pair(1, 0));
    // The state, the draw and the state after it. Both ends of [0, 1] occur: 64 of the 2^32 states give
    // exactly 0, so no user may divide by a draw or take its logarithm.
    const std::tuple<std::int32_t, float, std::int32_t> draws[] = {
        {0, 0.38681346f, 1}, {-5, 0.796758056f, -4}, {2676097, 0.0f, 2676098}, {5750294, 1.0f, 5750295},
        // The last state wraps; the last two draws' last bit the divisor's last bit and the hash's lowest
        // bit decide.
        {2147483647, 0.359104514f, -2147483647 - 1}, {113, 0.0679359138f, 114}, {67, 0x1.c3af5p-5f, 68}};
    for (const auto& [state, draw, next] : draws) {
        Random random(state);
        const float drawn = random.nextFloat();
        EXPECT_EQ(std::make_pair(drawn, random.getState()), std::make_pair(draw, next)) << state;
    }
    // path, parent, name with extension, name, extension
    const std::array<std::string, 5> paths[] = {
        {"/usr/share/marrowgate/sounds/click.ogg", "/usr/share/marrowgate/sounds", "click.ogg", "click", "ogg"},
        {"music.tar.ogg", "music.tar.ogg", "music.tar.ogg", "music.tar", "ogg"},
        {"dir.d/README", "dir.d", "README", "README", ""}};
    for (const auto& c : paths) {
        const FilePath f(c[0]);
        EXPECT_EQ((std::array{c[0], f.getParent(), f.getNameWithExtension(), f.getName(), f.getExtension()}), c);
    }
    const TwoFloats two = 2.5f * TwoFloats{3.0f, -4.0f}, none2;
    const ThreeFloats three = -2.0f * ThreeFloats{1.0f, 0.5f, 8.0f}, none3;
    EXPECT_EQ(std::make_tuple(two.x, two.y, three.x, three.y, three.z, none2.x, none2.y, none3.x, none3.y, none3.z),
              std::make_tuple(7.5f, -10.0f, -2.0f, -1.0f, -16.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f));
}

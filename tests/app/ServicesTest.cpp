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

#include <algorithm>
#include <array>
#include <string>
#include <tuple>

namespace {

// A worker that waits for its lock, notes that it had it, and answers with a given result.
struct Worker : Thread {
    explicit Worker(bool result) : result(result) {}
    ~Worker() override { joinThread(); }
    bool run() override
    {
        holding = lock.lock();
        lock.unlock();
        return holding && result;
    }
    using Thread::joinThread;

    CriticalSection lock;
    bool result;
    bool holding = false;
};

// A clock that only moves when the loop sleeps or the test says that drawing took time.
struct FakeClock : FrameClock {
    std::uint32_t getTicks() override { return now; }
    void delay(std::uint32_t milliseconds) override { now += milliseconds; }

    // Close to the wrap at 2^32, which the first passes cross.
    std::uint32_t now = 0xfffffff0u;
};

} // namespace

// The music streams on a worker thread; its object stops it by joining it.
TEST(Threads, AWorkerWaitsForTheLockAndIsJoinedWithItsResult)
{
    Worker worker(true);
    ASSERT_TRUE(worker.lock.lock());
    worker.startThread(&worker);
    EXPECT_TRUE(worker.hasThread());
    worker.lock.unlock();
    // Joining waits for the end; a worker that kept the lock would hang the call below.
    worker.joinThread();
    EXPECT_EQ(std::make_pair(worker.holding, worker.hasThread()), std::make_pair(true, false));
    Worker failing(false);
    EXPECT_EQ(std::make_pair(Thread::threadMethod(&worker), Thread::threadMethod(&failing)), std::make_pair(1, 0));
}

TEST(JoystickEmulation, AxisMovementsBecomeArrowKeys)
{
    // Axis, value and the keys it gives: "+" a press, "-" a release, of Left, Right, Up or Down.
    const std::tuple<int, int, std::string> steps[] = {
        // Moving on one side keeps pressing; the centre and the dead zone release both, even when nothing is held.
        {0, -32768, "+L"}, {0, 32767, "-L+R"}, {0, 20000, "+R"}, {0, -128, "-R-L"}, {0, 128, "-R-L"}, {0, 129, "+R"},
        // The axes are independent: the held right arrow stays held meanwhile; other axes give nothing.
        {1, 30000, "+D"}, {1, -129, "-D+U"}, {1, 128, "-D-U"}, {2, 30000, ""}, {5, -30000, ""}, {0, -30000, "-R+L"},
        // Through the centre and out to the other side: nothing is left held to release again.
        {0, 100, "-R-L"}, {0, 30000, "+R"}, {1, -30000, "+U"}, {1, -128, "-D-U"}, {1, 30000, "+D"},
    };
    JoystickEmulation joystick;
    for (const auto& [axis, value, expected] : steps) {
        std::string keys;
        for (const auto& key : joystick.axisMotion(axis, value))
            keys += std::string(key.pressed ? "+" : "-") + "UDRL?"[std::min(unsigned(key.sym - SDLK_UP), 4u)];
        EXPECT_EQ(keys, expected) << axis << " " << value;
    }
}

TEST(FramePacer, EveryPassLastsThirtyMillisecondsOrItsDrawingTime)
{
    FakeClock clock;
    FramePacer pacer(clock);
    pacer.waitForNextFrame();
    // Quick frames in a row each sleep the rest of the period, not every other one.
    for (std::uint32_t drawTime : {5u, 5u, 5u, 0u, 29u, 30u, 40u, 40u, 1u, 12u}) {
        const std::uint32_t passStart = clock.now;
        clock.now += drawTime;
        // What was reported, and what was really slept.
        EXPECT_EQ(pacer.waitForNextFrame(), drawTime < 30 ? 30 - drawTime : 0) << "draw time " << drawTime;
        EXPECT_EQ(clock.now - passStart, std::max(drawTime, 30u)) << "draw time " << drawTime;
    }
}

// The random draws from known states, a path split into parent, name and extension, the vectors scaled.
TEST(ValueTypes, RandomDrawsFilePathsAndFloatVectors)
{
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
        const FilePath file(c[0]);
        EXPECT_EQ((std::array<std::string, 5>{c[0], file.getParent(), file.getNameWithExtension(), file.getName(),
                                              file.getExtension()}), c);
    }
    const TwoFloats two = 2.5f * TwoFloats{3.0f, -4.0f}, none2;
    const ThreeFloats three = -2.0f * ThreeFloats{1.0f, 0.5f, 8.0f}, none3;
    EXPECT_EQ(std::make_tuple(two.x, two.y, three.x, three.y, three.z, none2.x, none2.y, none3.x, none3.y, none3.z),
              std::make_tuple(7.5f, -10.0f, -2.0f, -1.0f, -16.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f));
}

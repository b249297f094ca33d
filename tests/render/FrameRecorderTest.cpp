// SPDX-License-Identifier: MIT
#include "render/FrameRecorder.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

// Which frames must be drawn, decided from the records alone, with no window.
namespace {

using Frame = std::function<void(FrameRecorder&)>;

DrawOperation image(std::uint32_t handle, std::int32_t x = 10)
{
    return DrawOperation::of(DrawOperation::Image, handle, x, 20, 1.0f, 1.0f, {1, 1, 1, 1});
}

// Records each frame between begin and finish as the drawer does; says which ones had to be drawn, and
// checks that what is drawn is every operation of the frame, in order.
std::vector<bool> play(FrameRecorder& recorder, const std::vector<Frame>& frames)
{
    std::vector<bool> drawn;
    for (const Frame& frame : frames) {
        recorder.begin(true);
        frame(recorder);
        drawn.push_back(recorder.mustDraw());
        if (drawn.back()) {
            EXPECT_EQ(recorder.takePending().kind, DrawOperation::Start);
            while (recorder.hasPending())
                recorder.takePending();
            recorder.countPresented();
        }
        recorder.finish(true);
    }
    return drawn;
}

TEST(FrameRecorder, OnlyFramesThatWouldChangeTheScreenAreDrawn)
{
    const Frame still = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab1"); };
    const Frame moved = [](FrameRecorder& r) { r.record(image(1, 11)); r.recordText(image(0), "ab1"); };
    const Frame otherText = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab2"); };
    const Frame quarter = [](FrameRecorder& r) { r.record(image(1)); r.recordView({0, 0, 512, 384, 1024, 768}); };
    const Frame program = [](FrameRecorder& r) { r.recordProgram(3); r.record(image(1)); };
    const Frame second = [](FrameRecorder& r) { r.recordSecondImage(4); r.record(image(1)); };
    const Frame changing = [](FrameRecorder& r) { r.record(image(1)); r.resourcesChanging(); };
    const Frame exposed = [](FrameRecorder& r) { r.invalidate(); r.record(image(1)); };
    const Frame changedBefore = [](FrameRecorder& r) { r.resourcesChanging(); r.record(image(1)); };
    const struct {
        const char* name;
        std::vector<Frame> frames;
        std::vector<bool> drawn;
    } cases[] = {
        {"the same frame", {still, still, still}, {true, false, false}},
        {"an argument changed", {still, moved, moved, still}, {true, true, false, true}},
        {"text of the same length", {still, otherText, otherText}, {true, true, false}},
        // The state a frame leaves is where the next one starts: it differs once, then holds.
        {"a viewport kept", {quarter, quarter, quarter}, {true, true, false}},
        {"a program kept", {program, program, program}, {true, true, false}},
        // A second image lasts until the end of its frame.
        {"a second image", {second, second}, {true, false}},
        // A resource changed during a frame: that frame cannot stand for the screen afterwards.
        {"a resource changed", {still, changing, changing, still, still}, {true, true, true, true, false}},
        {"the window exposed", {still, exposed, exposed}, {true, true, true}},
        {"a resource changed before a frame", {changedBefore, changedBefore}, {true, true}},
    };
    // Asked for by name, every frame is drawn; set empty, the variable asks for nothing.
    for (const char* every : {"1", ""}) {
        ScopedEnvironment variable("MARROWGATE_DRAW_EVERY_FRAME", every);
        FrameRecorder recorder;
        EXPECT_EQ(play(recorder, cases[0].frames), std::vector<bool>({true, *every != '\0', *every != '\0'})) << every;
    }
    for (const auto& c : cases) {
        FrameRecorder recorder;
        recorder.setFrameSkipping(true);
        EXPECT_EQ(play(recorder, c.frames), c.drawn) << c.name;
        EXPECT_EQ(recorder.getRenderedFrames(), std::size_t(std::count(c.drawn.begin(), c.drawn.end(), true))) << c.name;
        recorder.setFrameSkipping(false);
        EXPECT_EQ(play(recorder, c.frames), std::vector<bool>(c.frames.size(), true)) << c.name << ", every frame";
    }
}

TEST(FrameRecorder, ResourcesChangingAsksForWhatWasRecordedToBeDrawnFirst)
{
    FrameRecorder recorder;
    recorder.setFrameSkipping(true);
    recorder.begin(true);
    EXPECT_FALSE(recorder.resourcesChanging()) << "only the frame's start is recorded";
    recorder.recordText(image(0), "xyz");
    recorder.record(image(2));
    ASSERT_TRUE(recorder.resourcesChanging());
    EXPECT_EQ(recorder.takePending().kind, DrawOperation::Start);
    EXPECT_EQ(recorder.textOf(recorder.takePending()), "xyz");
    EXPECT_EQ(recorder.takePending().handle, 2u);
    EXPECT_FALSE(recorder.resourcesChanging()) << "everything is drawn already";
    recorder.record(image(3));
    EXPECT_TRUE(recorder.hasPending());
    EXPECT_EQ(recorder.takePending().handle, 3u);

    // Drawing outside a frame (after a screen capture) never stands for the screen.
    recorder.finish(false);
    recorder.record(image(1));
    EXPECT_TRUE(recorder.mustDraw());
    recorder.finish(true);
    recorder.begin(true);
    recorder.record(image(1));
    EXPECT_TRUE(recorder.mustDraw());
}

TEST(FrameRecorder, AScreenCaptureKeepsTheSecondImageAndRestartingForgetsTheScreen)
{
    FrameRecorder recorder;
    recorder.begin(true);
    recorder.recordSecondImage(5);
    recorder.finish(false);
    EXPECT_EQ(recorder.takePending().image, 5u);
    recorder.finish(true);
    EXPECT_EQ(recorder.takePending().image, 0u);

    const FrameRecorder::View view = {7, 8, 100, 50, 1024, 768};
    recorder.restart(view);
    const DrawOperation start = recorder.takePending();
    EXPECT_EQ(start.clears, 0u);
    const FrameRecorder::View started = FrameRecorder::viewOf(start);
    EXPECT_EQ(std::make_tuple(started.x, started.y, started.width, started.height, started.unitsWide),
              std::make_tuple(7, 8, 100, 50, 1024.0f));
}

} // namespace

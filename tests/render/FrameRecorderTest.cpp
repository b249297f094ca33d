// SPDX-License-Identifier: MIT
#include "render/FrameRecorder.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Which frames must be drawn, decided from the records alone, with no window.
namespace {

using Frame = std::function<void(FrameRecorder&)>;

DrawOperation image(std::uint32_t handle)
{
    return DrawOperation::of(DrawOperation::Image, handle, 10, 20, 1.0f, 1.0f, {1, 1, 1, 1});
}

// Records each frame between begin and finish as the drawer does, counting those that had to be drawn.
std::vector<bool> play(FrameRecorder& recorder, const std::vector<Frame>& frames)
{
    std::vector<bool> drawn;
    for (const Frame& frame : frames) {
        recorder.begin(true);
        frame(recorder);
        drawn.push_back(recorder.mustDraw());
        if (drawn.back())
            recorder.countPresented();
        recorder.finish(true);
    }
    return drawn;
}

// Text of the same length tells frames apart; a viewport or program a frame leaves set is where the next
// frame starts, a second image lasts until the end of its frame; a changing picture, or the screen
// spoiled from outside, has the same frame drawn again.
TEST(FrameRecorder, OnlyFramesThatWouldChangeTheScreenAreDrawn)
{
    const Frame still = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab1"); };
    const Frame otherText = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab2"); };
    const Frame view = [](FrameRecorder& r) { r.record(image(1)); r.recordView({0, 0, 512, 384, 1024, 768}); };
    const Frame program = [](FrameRecorder& r) { r.recordProgram(3); r.record(image(1)); };
    const Frame second = [](FrameRecorder& r) { r.recordSecondImage(4); r.record(image(1)); };
    const Frame changing = [](FrameRecorder& r) { r.record(image(1)); EXPECT_TRUE(r.resourcesChanging()); };
    const Frame spoiled = [&still](FrameRecorder& r) { r.invalidate(); still(r); };
    FrameRecorder recorder;
    EXPECT_EQ(play(recorder, {still, otherText, otherText, view, view, view, program, program, program, second,
                              second, changing, still, still, spoiled, still}),
              std::vector<bool>({1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}));
    EXPECT_EQ(recorder.getRenderedFrames(), 10u);
    // Asked for by name, every frame is drawn; set empty, the variable asks for nothing.
    for (const char* every : {"1", ""}) {
        ScopedEnvironment variable("MARROWGATE_DRAW_EVERY_FRAME", every);
        FrameRecorder fresh;
        EXPECT_EQ(play(fresh, {still, still}), std::vector<bool>({true, *every != '\0'})) << every;
    }
}

// The drawer paints from the record alone, so whatever reaches the picture is in it: an operation
// changed in any one of its four-byte fields, the last included, is a new frame.
TEST(FrameRecorder, EveryFieldOfAnOperationTellsFramesApart)
{
    DrawOperation shape = DrawOperation::shape(DrawOperation::Gradient, 1, 2, 3, 4, {5, 6, 7, 8, 9, 10, 11, 12});
    for (std::size_t field = 0; field < sizeof(DrawOperation) / 4; ++field) {
        DrawOperation changed = shape;
        reinterpret_cast<unsigned char*>(&changed)[field * 4] ^= 1;
        const Frame original = [&shape](FrameRecorder& r) { r.record(image(1)); r.record(shape); };
        const Frame other = [&changed](FrameRecorder& r) { r.record(image(1)); r.record(changed); };
        FrameRecorder recorder;
        EXPECT_EQ(play(recorder, {original, original, other, other}), std::vector<bool>({true, false, true, false}))
            << "field " << field;
    }
}

// Before resources change, what was recorded is drawn with the old ones (a frame of its start alone has
// nothing to draw). A second image chosen for drawing outside a frame (a screen capture) stays chosen.
TEST(FrameRecorder, ChangingResourcesDrawsWhatWasRecordedAndACaptureKeepsTheSecondImage)
{
    FrameRecorder recorder;
    recorder.begin(true);
    EXPECT_FALSE(recorder.resourcesChanging());
    recorder.recordText(image(0), "xyz");
    recorder.recordSecondImage(5);
    ASSERT_TRUE(recorder.resourcesChanging());
    EXPECT_EQ(recorder.takePending().kind, DrawOperation::Start);
    EXPECT_EQ(recorder.textOf(recorder.takePending()), "xyz");
    EXPECT_EQ(recorder.takePending().handle, 5u);
    EXPECT_FALSE(recorder.resourcesChanging()) << "everything is drawn already";
    recorder.finish(false);
    EXPECT_EQ(recorder.takePending().image, 5u);
    recorder.finish(true);
    EXPECT_EQ(recorder.takePending().image, 0u);
}

} // namespace

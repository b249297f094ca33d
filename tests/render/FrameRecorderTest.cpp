// SPDX-License-Identifier: MIT
#include "render/FrameRecorder.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// Which frames must be drawn, decided from the records alone, with no window.
namespace {

using Frame = std::function<void(FrameRecorder&)>;

DrawOperation image(std::uint32_t handle, std::int32_t x = 10)
{
    return DrawOperation::of(DrawOperation::Image, handle, x, 20, 1.0f, 1.0f, {1, 1, 1, 1});
}

// Records each frame between begin and finish as the drawer does; says which ones had to be drawn.
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

// The cases that the window's sequence of frames (Frames in DrawingTest) does not play.
TEST(FrameRecorder, OnlyFramesThatWouldChangeTheScreenAreDrawn)
{
    const Frame still = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab1"); };
    const Frame otherText = [](FrameRecorder& r) { r.record(image(1)); r.recordText(image(0), "ab2"); };
    const Frame program = [](FrameRecorder& r) { r.recordProgram(3); r.record(image(1)); };
    const Frame second = [](FrameRecorder& r) { r.recordSecondImage(4); r.record(image(1)); };
    FrameRecorder recorder;
    // Text of the same length; a program kept is where the next frame starts; a second image lasts until
    // the end of its frame.
    EXPECT_EQ(play(recorder, {still, otherText, otherText, program, program, program, second, second}),
              std::vector<bool>({true, true, false, true, true, false, true, false}));
    EXPECT_EQ(recorder.getRenderedFrames(), 5u);
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
    shape.handle = shape.image = shape.textStart = shape.textLength = 13;
    for (std::size_t field = 0; field < sizeof(DrawOperation) / 4; ++field) {
        DrawOperation changed = shape;
        std::uint32_t word = 0;
        std::memcpy(&word, reinterpret_cast<char*>(&changed) + field * 4, 4);
        ++word;
        std::memcpy(reinterpret_cast<char*>(&changed) + field * 4, &word, 4);
        const Frame original = [&shape](FrameRecorder& r) { r.record(image(1)); r.record(shape); };
        const Frame other = [&changed](FrameRecorder& r) { r.record(image(1)); r.record(changed); };
        FrameRecorder recorder;
        EXPECT_EQ(play(recorder, {original, original, other, other}), std::vector<bool>({true, false, true, false}))
            << "field " << field;
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

    recorder.restart({7, 8, 100, 50, 1024, 768});
    DrawOperation expected = DrawOperation::of(DrawOperation::Start, 0, 7, 8, 1024, 768);
    expected.width = 100;
    expected.height = 50;
    EXPECT_EQ(std::memcmp(&recorder.takePending(), &expected, sizeof expected), 0) << "drawn outside a frame";
}

} // namespace

// SPDX-License-Identifier: MIT
#include "render/FrameRecorder.h"

#include <cstdlib>

namespace {

// Whether the user asked for every frame to be drawn, changed or not.
bool drawEveryFrameRequested()
{
    const char* value = std::getenv("MARROWGATE_DRAW_EVERY_FRAME");
    return value != nullptr && value[0] != '\0';
}

} // namespace

FrameRecorder::FrameRecorder() : skipUnchangedFrames(!drawEveryFrameRequested())
{
    begin(false);
}

void FrameRecorder::begin(bool clears)
{
    frame.clear();
    performedOperations = 0;
    frameTainted = false;
    // The state carried over from earlier frames is part of what the frame shows.
    DrawOperation start = viewOperation(DrawOperation::Start, recordedView);
    start.clears = clears ? 1 : 0;
    start.handle = recordedProgram;
    start.image = recordedSecondImage;
    frame.add(start);
}

void FrameRecorder::restart(const View& view)
{
    recordedView = view;
    invalidate();
    begin(false);
}

void FrameRecorder::record(const DrawOperation& operation)
{
    frame.add(operation);
}

void FrameRecorder::recordText(const DrawOperation& operation, std::string_view characters)
{
    frame.addText(operation, characters);
}

void FrameRecorder::recordView(const View& view)
{
    recordedView = view;
    record(viewOperation(DrawOperation::View, view));
}

void FrameRecorder::recordProgram(unsigned int program)
{
    recordedProgram = program;
    record(DrawOperation::of(DrawOperation::Shader, program));
}

void FrameRecorder::recordSecondImage(unsigned int image)
{
    recordedSecondImage = image;
    record(DrawOperation::of(DrawOperation::SecondImage, image));
}

bool FrameRecorder::mustDraw() const
{
    // Only a frame that starts from a cleared window depends on nothing but its record.
    return !(skipUnchangedFrames && shownFrameValid && !frameTainted && frame[0].clears != 0 && frame == shownFrame);
}

bool FrameRecorder::hasPending() const
{
    return performedOperations < frame.size();
}

const DrawOperation& FrameRecorder::takePending()
{
    return frame[performedOperations++];
}

std::string_view FrameRecorder::textOf(const DrawOperation& operation) const
{
    return frame.textOf(operation);
}

void FrameRecorder::countPresented()
{
    ++renderedFrames;
}

void FrameRecorder::finish(bool endsSecondImage)
{
    if (endsSecondImage)
        recordedSecondImage = 0;
    shownFrameValid = !frameTainted && frame[0].clears != 0;
    shownFrame.swap(frame);
    begin(false);
}

bool FrameRecorder::resourcesChanging()
{
    shownFrameValid = false;
    // A frame that holds only its start has drawn nothing with the old resources.
    if (frame.size() <= 1)
        return false;
    frameTainted = true;
    return hasPending();
}

void FrameRecorder::invalidate()
{
    shownFrameValid = false;
}

void FrameRecorder::setFrameSkipping(bool enabled)
{
    skipUnchangedFrames = enabled;
}

unsigned long FrameRecorder::getRenderedFrames() const
{
    return renderedFrames;
}

FrameRecorder::View FrameRecorder::viewOf(const DrawOperation& operation)
{
    return {operation.x, operation.y, operation.width, operation.height, operation.scaleX, operation.scaleY};
}

DrawOperation FrameRecorder::viewOperation(DrawOperation::Kind kind, const View& view)
{
    DrawOperation operation = DrawOperation::of(kind, 0, view.x, view.y, view.unitsWide, view.unitsHigh);
    operation.width = view.width;
    operation.height = view.height;
    return operation;
}

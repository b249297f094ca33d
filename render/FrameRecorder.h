// SPDX-License-Identifier: MIT
#pragma once

#include "render/FrameRecord.h"
#include "render/LogicalScreen.h"

#include <cstddef>
#include <string_view>

// The recording half of OpenGLDrawer, free of GL and SDL: it keeps the operations of the frame being
// recorded and those of the picture on screen, the state a frame starts from (viewport, shader program,
// second image), and decides whether a finished frame must be drawn at all. The drawer asks it for the
// operations still to be drawn and executes them; it owns both records. Main thread only.
class FrameRecorder {
public:
    // A viewport in window pixels (from the bottom left) and the logical units it spans.
    struct View {
        int x = 0;
        int y = 0;
        int width = LogicalScreen::WIDTH;
        int height = LogicalScreen::HEIGHT;
        float unitsWide = LogicalScreen::WIDTH;
        float unitsHigh = LogicalScreen::HEIGHT;
    };

    // Frame skipping is on unless the environment variable MARROWGATE_DRAW_EVERY_FRAME is set and not empty.
    FrameRecorder();

    // Starts recording a frame: beginDrawing's, which clears the window first, or drawing outside a frame.
    void begin(bool clears);
    // Forgets what the screen shows and starts afresh outside a frame from the given viewport.
    void restart(const View& view);
    // Appends an operation, or a text operation with its characters.
    void record(const DrawOperation& operation);
    void recordText(const DrawOperation& operation, std::string_view characters);
    // Appends a change of viewport, shader program or second image, which later frames start from.
    void recordView(const View& view);
    void recordProgram(unsigned int program);
    void recordSecondImage(unsigned int image);

    // Whether the frame just recorded must be drawn: it differs from the picture on screen, or that
    // picture cannot be trusted, or skipping is off.
    bool mustDraw() const;
    // Whether operations are recorded but not drawn yet, and the next of them, counted as drawn.
    bool hasPending() const;
    const DrawOperation& takePending();
    // The characters of a text operation of the frame being recorded.
    std::string_view textOf(const DrawOperation& operation) const;
    // Counts a frame drawn and presented.
    void countPresented();
    // Keeps the frame just finished as the one on screen and starts recording outside a frame; a second
    // image chosen in a frame ends with it, one chosen for a screen capture does not.
    void finish(bool endsSecondImage);

    // Before an image, polygon, glyph or shader changes: the picture on screen no longer matches its
    // record. True when the frame has operations that the caller must draw now, with the old ones.
    bool resourcesChanging();
    // The window's picture was spoiled from outside (exposed, resized).
    void invalidate();
    // Whether unchanged frames are left out.
    void setFrameSkipping(bool enabled);
    // How many frames have been drawn and presented; frames left out are not counted.
    unsigned long getRenderedFrames() const;

    // The viewport a View or Start operation records.
    static View viewOf(const DrawOperation& operation);

private:
    // An operation recording a viewport.
    static DrawOperation viewOperation(DrawOperation::Kind kind, const View& view);

    // The operations recorded since the frame began, and those of the picture on screen.
    FrameRecord frame;
    FrameRecord shownFrame;
    // How many of the frame's operations have been drawn already.
    std::size_t performedOperations = 0;
    // A picture, polygon, glyph or shader changed while the frame was recorded: its record no longer
    // describes its picture, so it cannot stand for the screen afterwards.
    bool frameTainted = false;
    // Whether the window shows shownFrame's picture: false after anything that may have spoiled it.
    bool shownFrameValid = false;
    // Whether unchanged frames are left out.
    bool skipUnchangedFrames;
    // Frames drawn and presented.
    unsigned long renderedFrames = 0;
    // The state the operations recorded so far leave behind: the next frame starts from it.
    View recordedView;
    unsigned int recordedProgram = 0;
    unsigned int recordedSecondImage = 0;
};

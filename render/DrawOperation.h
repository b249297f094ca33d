// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

// One drawing call of a frame as OpenGLDrawer records it: which operation, and its arguments as they
// will reach OpenGL (viewports already mapped to window pixels). Every field is four bytes wide, so a
// record has no padding and two records are equal exactly when their bytes are; unused fields stay 0.
struct DrawOperation {
    enum Kind : std::uint32_t { Start, Image, Poly, Text, Line, Rect, Gradient, View, Shader, SecondImage };

    Kind kind;
    // Start: 1 when the frame begins by clearing the window (beginDrawing), 0 for drawing outside a frame.
    std::uint32_t clears;
    // The image (Image, SecondImage), polygon (Poly) or shader program (Shader, Start).
    std::uint32_t handle;
    // Poly: the image that fills it. Start: the second image chosen before the frame began.
    std::uint32_t image;
    // Image, Poly, Text: the position. Line: both end points. Rect, Gradient: position and size.
    // View, Start: the viewport in window pixels.
    std::int32_t x, y, width, height;
    // Image, Poly: the scale. Text: the square's size in scaleX. View, Start: the logical units across
    // and down the viewport.
    float scaleX, scaleY;
    // The tint, or a fill's colour as 0-255 values; a gradient's second colour follows its first.
    float colour[8];
    // Text: where its characters begin in the frame's text, and how many there are.
    std::uint32_t textStart, textLength;

    // A record of its kind, the handle it uses, where it draws, its scale and its tint or colours; every
    // other field 0.
    static DrawOperation of(Kind kind, std::uint32_t handle, std::int32_t x = 0, std::int32_t y = 0,
                            float scaleX = 0.0f, float scaleY = 0.0f, std::initializer_list<float> colour = {})
    {
        DrawOperation operation = {};
        operation.kind = kind;
        operation.handle = handle;
        operation.x = x;
        operation.y = y;
        operation.scaleX = scaleX;
        operation.scaleY = scaleY;
        std::copy(colour.begin(), colour.end(), operation.colour);
        return operation;
    }
    // A record of a fill, a gradient or a line: two corners or two ends, and colours.
    static DrawOperation shape(Kind kind, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::initializer_list<float> colour)
    {
        DrawOperation operation = of(kind, 0, x, y, 0.0f, 0.0f, colour);
        operation.width = width;
        operation.height = height;
        return operation;
    }
};

static_assert(sizeof(DrawOperation) == 20 * 4, "a DrawOperation must have no padding to compare by its bytes");

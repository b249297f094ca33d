// SPDX-License-Identifier: MIT
#pragma once

#include "render/Drawer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

// A Drawer that opens no window and logs every call, so that screens can be tested by what they ask
// to have drawn. Pictures keep their numbers; every other call logs its name alone. loadImage hands
// out handles 1, 2, 3, ... and frees the pixels it is given.
class RecordingDrawer : public Drawer {
    // Logs a call by its name alone and answers with nothing: false, 0 or null.
    template <typename Answer = void>
    Answer log(const char* operation)
    {
        calls.push_back(Call{operation});
        return Answer();
    }

    // The last image handle given out.
    unsigned int nextHandle = 0;

public:
    // Shorter names for the Drawer's parameter types.
    using Handle = unsigned int;
    using Byte = unsigned char;

    // One logged call: the operation's name, the image handle, drawImage's numbers in argument order
    // (position, scale, colour) and, for loadImage, a digest of the pixels.
    struct Call {
        std::string operation;
        unsigned int handle = 0;
        std::vector<float> values = {};
        std::size_t pixels = 0;

        // A copy (references would print as addresses), to compare and to print.
        auto key() const { return std::make_tuple(operation, handle, values, pixels); }
        bool operator==(const Call& other) const { return key() == other.key(); }
        friend void PrintTo(const Call& call, std::ostream* out) { *out << testing::PrintToString(call.key()); }
    };

    unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) override
    {
        const std::string bytes(reinterpret_cast<const char*>(pixels), pixels ? 4u * width * height : 0);
        calls.push_back(Call{"loadImage", ++nextHandle, {}, std::hash<std::string>()(bytes)});
        delete[] pixels;
        return nextHandle;
    }
    void drawImage(Handle id, short x, short y, float scaleX, float scaleY, float r, float g, float b, float a) override
    {
        calls.push_back(Call{"drawImage", id, {float(x), float(y), scaleX, scaleY, r, g, b, a}});
    }
    // There is no window to open, no polygon to keep and no screen to read.
    bool initialise(unsigned short, unsigned short, bool, int) override { return log<bool>("initialise"); }
    void releaseImage(Handle) override { log("releaseImage"); }
    Handle loadPoly(float*, int) override { return log<Handle>("loadPoly"); }
    void beginDrawing() override { log("beginDrawing"); }
    void endDrawing() override { log("endDrawing"); }
    Byte* getScreenPixels() override { return log<Byte*>("getScreenPixels"); }
    void drawPoly(Handle, Handle, short, short, float, float, float, float, float, float) override { log("drawPoly"); }
    void drawText(const std::string&, short, short, float, float, float, float, float) override { log("drawText"); }
    void drawLine(short, short, short, short, float, float, float, float) override { log("drawLine"); }
    void fillRect(short, short, short, short, Byte, Byte, Byte, Byte) override { log("fillRect"); }
    void fillGradient(short, short, short, short, Byte, Byte, Byte, Byte, Byte, Byte, Byte, Byte) override
    {
        log("fillGradient");
    }
    void setViewport(short, short, short, short) override { log("setViewport"); }
    void resetViewport() override { log("resetViewport"); }
    short getActualWidth() const override { return 1024; }
    short getActualHeight() const override { return 768; }
    void loadGlyph(Glyph, unsigned char*, unsigned int) override { log("loadGlyph"); }

    // The calls of one operation, in order.
    std::vector<Call> callsOf(const std::string& operation) const
    {
        std::vector<Call> found;
        for (const Call& call : calls)
            if (call.operation == operation)
                found.push_back(call);
        return found;
    }
    void clear() { calls.clear(); }

    // Every call since construction or the last clear().
    std::vector<Call> calls;
};

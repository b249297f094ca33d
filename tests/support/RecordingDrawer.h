// SPDX-License-Identifier: MIT
#pragma once

#include "Drawer.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// A Drawer that opens no window and logs every call, so that screens can be tested by what they ask
// to have drawn. loadImage hands out handles 1, 2, 3, ... and frees the pixels it is given.
class RecordingDrawer : public Drawer {
public:
    // One logged call: the operation's name, the image or polygon handle where it has one, and its
    // numbers in argument order (position, scale, colour...).
    struct Call {
        std::string operation;
        unsigned int handle = 0;
        std::vector<float> values;
        std::string text;
        // For loadImage, a digest of the pixels, to tell which picture was handed over.
        std::size_t pixels = 0;

        bool operator==(const Call& other) const
        {
            return operation == other.operation && handle == other.handle && values == other.values &&
                   text == other.text && pixels == other.pixels;
        }
        friend std::ostream& operator<<(std::ostream& out, const Call& call)
        {
            out << call.operation << ' ' << call.handle;
            for (float value : call.values)
                out << ' ' << value;
            return out << call.text;
        }
    };

    bool initialise(unsigned short width, unsigned short height, bool fullscreen, int antialias) override
    {
        log("initialise", 0, {float(width), float(height), float(fullscreen), float(antialias)});
        return true;
    }
    unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) override
    {
        ++nextHandle;
        log("loadImage", nextHandle, {float(width), float(height)});
        calls.back().pixels = digest(pixels, 4u * width * height);
        delete[] pixels;
        return nextHandle;
    }
    void releaseImage(unsigned int image) override { log("releaseImage", image, {}); }
    unsigned int loadPoly(float*, int count) override
    {
        log("loadPoly", polygons, {float(count)});
        return polygons++;
    }
    void beginDrawing() override { log("beginDrawing", 0, {}); }
    void endDrawing() override { log("endDrawing", 0, {}); }
    unsigned char* getScreenPixels() override
    {
        log("getScreenPixels", 0, {});
        return nullptr;
    }
    void drawImage(unsigned int image, short x, short y, float scaleX, float scaleY, float r, float g, float b,
                   float a) override
    {
        log("drawImage", image, {float(x), float(y), scaleX, scaleY, r, g, b, a});
    }
    void drawPoly(unsigned int polygon, unsigned int image, short x, short y, float scaleX, float scaleY, float r,
                  float g, float b, float a) override
    {
        log("drawPoly", polygon, {float(image), float(x), float(y), scaleX, scaleY, r, g, b, a});
    }
    void drawText(const std::string& text, short x, short y, float size, float r, float g, float b,
                  float a) override
    {
        log("drawText", 0, {float(x), float(y), size, r, g, b, a}, text);
    }
    void drawLine(short x1, short y1, short x2, short y2, float r, float g, float b, float a) override
    {
        log("drawLine", 0, {float(x1), float(y1), float(x2), float(y2), r, g, b, a});
    }
    void fillRect(short x, short y, short width, short height, unsigned char r, unsigned char g, unsigned char b,
                  unsigned char a) override
    {
        log("fillRect", 0, {float(x), float(y), float(width), float(height), float(r), float(g), float(b), float(a)});
    }
    void fillGradient(short x, short y, short width, short height, unsigned char r1, unsigned char g1,
                      unsigned char b1, unsigned char a1, unsigned char r2, unsigned char g2, unsigned char b2,
                      unsigned char a2) override
    {
        log("fillGradient", 0, {float(x), float(y), float(width), float(height), float(r1), float(g1), float(b1),
                                float(a1), float(r2), float(g2), float(b2), float(a2)});
    }
    void setViewport(short x, short y, short width, short height) override
    {
        log("setViewport", 0, {float(x), float(y), float(width), float(height)});
    }
    void resetViewport() override { log("resetViewport", 0, {}); }
    short getActualWidth() const override { return 1024; }
    short getActualHeight() const override { return 768; }
    void loadGlyph(Glyph glyph, unsigned char*, unsigned int size) override
    {
        log("loadGlyph", static_cast<unsigned int>(glyph), {float(size)});
    }

    // The calls of one operation, in order.
    std::vector<Call> callsOf(const std::string& operation) const
    {
        std::vector<Call> found;
        for (const Call& call : calls) {
            if (call.operation == operation)
                found.push_back(call);
        }
        return found;
    }

    // Every call since construction or the last clear().
    std::vector<Call> calls;
    void clear() { calls.clear(); }

    // FNV-1a over a pixel buffer; 0 for none.
    static std::size_t digest(const unsigned char* pixels, std::size_t length)
    {
        std::size_t hash = pixels == nullptr ? 0 : 14695981039346656037ull;
        for (std::size_t i = 0; pixels != nullptr && i < length; ++i)
            hash = (hash ^ pixels[i]) * 1099511628211ull;
        return hash;
    }

private:
    void log(const char* operation, unsigned int handle, std::vector<float> values, const std::string& text = "")
    {
        calls.push_back(Call{operation, handle, std::move(values), text});
    }

    // The last image handle given out.
    unsigned int nextHandle = 0;
    // How many polygons were stored.
    unsigned int polygons = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Everything the game draws goes through a Drawer: a 1024 by 768 logical screen, origin at the top
// left, that the implementation fits into the real window. Images, polygons and shader programs are
// referred to by handles that the drawer owns; image handle 0 means no image and draws nothing.
class Drawer {
public:
    // The 42 characters of the bitmap font, in font order.
    enum Glyph {
        GlyphA, GlyphB, GlyphC, GlyphD, GlyphE, GlyphF, GlyphG, GlyphH, GlyphI, GlyphJ, GlyphK, GlyphL,
        GlyphM, GlyphN, GlyphO, GlyphP, GlyphQ, GlyphR, GlyphS, GlyphT, GlyphU, GlyphV, GlyphW, GlyphX,
        GlyphY, GlyphZ,
        Glyph0, Glyph1, Glyph2, Glyph3, Glyph4, Glyph5, Glyph6, Glyph7, Glyph8, Glyph9,
        GlyphPeriod, GlyphComma, GlyphPlus, GlyphMinus, GlyphExclaim, GlyphQuestion,
        GlyphCount
    };

    virtual ~Drawer() = default;

    // Opens the window and prepares drawing; false when no window could be opened.
    virtual bool initialise(unsigned short width, unsigned short height, bool fullscreen, int antialias) = 0;
    // Registers RGBA pixels (rows top down) as an image, taking ownership of the buffer; returns its handle.
    virtual unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) = 0;
    // Forgets an image and frees its texture.
    virtual void releaseImage(unsigned int image) = 0;
    // Stores a polygon of count (x, y) points; returns its handle (0, 1, 2, ...). Outlines of fewer
    // than three points or whose points all lie on one line are stored but draw nothing.
    virtual unsigned int loadPoly(float* points, int count) = 0;
    // Builds a shader program from two source files; 0 when shaders are unavailable.
    virtual unsigned int loadShader(const std::string& vertexFile, const std::string& fragmentFile);
    // Clears the frame.
    virtual void beginDrawing() = 0;
    // Shows the frame.
    virtual void endDrawing() = 0;
    // Shows the frame and returns its pixels as RGB rows from the bottom up; the caller delete[]s them.
    virtual unsigned char* getScreenPixels() = 0;
    // Makes a shader program current; 0 returns to fixed-function drawing.
    virtual void useShader(unsigned int program);
    // Chooses the image for polygons' second texture unit, until the end of the frame.
    virtual void useSecondImage(unsigned int image);
    // Draws an image with its top-left corner at (x, y), scaled about its centre and tinted.
    virtual void drawImage(unsigned int image, short x, short y, float scaleX, float scaleY, float r, float g,
                           float b, float a) = 0;
    // Draws a stored polygon filled with an image, its own origin at (x, y), scaled; the tint's alpha
    // fades it (the image keeps its own colours unless a shader program decides otherwise).
    virtual void drawPoly(unsigned int polygon, unsigned int image, short x, short y, float scaleX,
                          float scaleY, float r, float g, float b, float a) = 0;
    // Writes lower-case text as a row of size by size squares from (x, y).
    virtual void drawText(const std::string& text, short x, short y, float size, float r, float g, float b,
                          float a) = 0;
    // Draws a soft-edged band 8 units wide between two points; nothing when they coincide.
    virtual void drawLine(short x1, short y1, short x2, short y2, float r, float g, float b, float a) = 0;
    // Fills a rectangle with one colour.
    virtual void fillRect(short x, short y, short width, short height, unsigned char r, unsigned char g,
                          unsigned char b, unsigned char a) = 0;
    // Fills a rectangle blending from the first colour at the top to the second at the bottom.
    virtual void fillGradient(short x, short y, short width, short height, unsigned char r1, unsigned char g1,
                              unsigned char b1, unsigned char a1, unsigned char r2, unsigned char g2,
                              unsigned char b2, unsigned char a2) = 0;
    // Restricts drawing to a rectangle that gets its own coordinates, (0, 0) at its top left.
    virtual void setViewport(short x, short y, short width, short height) = 0;
    // Returns to the whole logical screen.
    virtual void resetViewport() = 0;
    // Width in window pixels of the area that shows the logical screen.
    virtual short getActualWidth() const = 0;
    // Height in window pixels of that area.
    virtual short getActualHeight() const = 0;
    // Replaces a glyph with a size by size RGBA picture; the buffer stays the caller's.
    virtual void loadGlyph(Glyph glyph, unsigned char* pixels, unsigned int size) = 0;
    // Tells the drawer that the window lost its picture (uncovered, resized, focus changed), so the
    // next frame must be drawn even if it equals the last one.
    virtual void invalidate() {}
};

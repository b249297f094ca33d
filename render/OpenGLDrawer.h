#pragma once

#include "Drawer.h"

// The Drawer on SDL 1.2 and OpenGL. Placeholder until the drawer lands: it opens the window and
// clears and shows each frame; every other operation does nothing.
class OpenGLDrawer : public Drawer {
public:
    bool initialise(unsigned short width, unsigned short height, bool fullscreen, int antialias) override;
    unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) override;
    void releaseImage(unsigned int image) override;
    unsigned int loadPoly(float* points, int count) override;
    void beginDrawing() override;
    void endDrawing() override;
    unsigned char* getScreenPixels() override;
    void drawImage(unsigned int image, short x, short y, float scaleX, float scaleY, float r, float g, float b,
                   float a) override;
    void drawPoly(unsigned int polygon, unsigned int image, short x, short y, float scaleX, float scaleY, float r,
                  float g, float b, float a) override;
    void drawText(const std::string& text, short x, short y, float size, float r, float g, float b,
                  float a) override;
    void drawLine(short x1, short y1, short x2, short y2, float r, float g, float b, float a) override;
    void fillRect(short x, short y, short width, short height, unsigned char r, unsigned char g, unsigned char b,
                  unsigned char a) override;
    void fillGradient(short x, short y, short width, short height, unsigned char r1, unsigned char g1,
                      unsigned char b1, unsigned char a1, unsigned char r2, unsigned char g2, unsigned char b2,
                      unsigned char a2) override;
    void setViewport(short x, short y, short width, short height) override;
    void resetViewport() override;
    short getActualWidth() const override;
    short getActualHeight() const override;
    void loadGlyph(Glyph glyph, unsigned char* pixels, unsigned int size) override;
};

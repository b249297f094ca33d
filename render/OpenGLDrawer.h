// SPDX-License-Identifier: MIT
#pragma once

#include "render/Drawer.h"
#include "render/FrameRecorder.h"

#include <map>
#include <string>
#include <vector>

// The Drawer on SDL 1.2 and OpenGL: opens the window, fits the 1024 by 768 logical screen into it with
// its 4:3 shape kept (black bars fill the rest), and draws in immediate mode. Its FrameRecorder records
// the drawing calls of a frame and says at endDrawing whether they must be drawn; this class executes
// them. The drawer owns every registered image, polygon, glyph and shader program; textures go with the
// GL context when the window closes. Main thread only. The implementation is split by concern: set-up
// and frames here, then OpenGLDrawerImages.cpp, OpenGLDrawerPolygons.cpp and OpenGLDrawerText.cpp.
class OpenGLDrawer : public Drawer {
public:
    // One registered texture.
    struct Image {
        // The OpenGL texture name.
        unsigned int texture = 0;
        // The picture's size in pixels, before any power-of-two enlargement.
        unsigned short width = 0;
        unsigned short height = 0;
        // Texture coordinates of the picture's right and bottom edges inside an enlarged texture.
        float maxS = 1.0f;
        float maxT = 1.0f;
        // The part of the picture, in its own pixels (right and bottom exclusive), outside which every
        // texel is fully transparent even after linear filtering; drawing skips the rest.
        unsigned short visibleLeft = 0;
        unsigned short visibleTop = 0;
        unsigned short visibleRight = 0;
        unsigned short visibleBottom = 0;
        // Whether every pixel has full alpha, so that drawing it untranslucent needs no blending.
        bool opaque = false;
    };

    // One stored outline: entry 0 is the centre, entries 1 onwards the points in their order.
    struct Polygon {
        std::vector<float> vertexX;
        std::vector<float> vertexY;
        // Texture coordinates stretching the whole texture over the points' bounding box.
        std::vector<float> texS;
        std::vector<float> texT;
        // The number of points plus one for the centre.
        int numVertices = 1;
        // False for outlines of fewer than three points, or whose points all lie on one line (or are
        // not numbers); they draw nothing.
        bool drawable = false;
    };

    // The embedded 8 by 8 picture that gives lines their soft-edged profile.
    static const char* line_png;

    OpenGLDrawer();

    bool initialise(unsigned short width, unsigned short height, bool fullscreen, int antialias) override;
    unsigned int loadImage(unsigned char* pixels, unsigned int width, unsigned int height) override;
    void releaseImage(unsigned int image) override;
    unsigned int loadPoly(float* points, int count) override;
    unsigned int loadShader(const std::string& vertexFile, const std::string& fragmentFile) override;
    void beginDrawing() override;
    void endDrawing() override;
    unsigned char* getScreenPixels() override;
    void useShader(unsigned int program) override;
    void useSecondImage(unsigned int image) override;
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
    void invalidate() override;

    // Whether the display's current pixel format has 16 bits per pixel.
    bool is16Bit() const;
    // Whether drawImage takes its shortcuts: leaving out the fully transparent border of pictures and
    // not blending opaque ones drawn at full alpha. On by default; the pixels are the same either
    // way, only the time differs.
    void setShortcuts(bool enabled);
    // Whether endDrawing leaves out frames that would show the picture already on screen. On by
    // default, off when the environment variable MARROWGATE_DRAW_EVERY_FRAME is set and not empty.
    void setFrameSkipping(bool enabled);
    // How many frames have been drawn and presented; frames left out are not counted.
    unsigned long getRenderedFrames() const;

    // The smallest power of two not below n, counting from 1; 0 when n is above the largest one.
    static unsigned int powerOfTwo(unsigned int n);
    // Whether n is a power of two (false for 0).
    static bool isPowerOfTwo(unsigned int n);
    // A new tw x th buffer holding the picture at its top left; each row is continued with copies of
    // its last byte and the rows below repeat the last completed row.
    static unsigned char* enlargeToPowerOfTwo(const unsigned char* pixels, unsigned int width, unsigned int height,
                                              unsigned int textureWidth, unsigned int textureHeight);
    // The whole text of a regular file, or an empty string when it cannot be read.
    static std::string loadShaderFile(const std::string& path);

private:
    using View = FrameRecorder::View;

    // The registered image behind a handle, or null.
    const Image* findImage(unsigned int image) const;
    // Fills in from an image's RGBA pixels its visible part (the pixels with alpha above 0 and a margin
    // of one pixel for linear filtering, kept within the picture) and whether it is opaque throughout.
    static void measureCoverage(const unsigned char* pixels, Image& image);
    // The first handle from start upwards that is not taken, never 0.
    static unsigned int findFreeHandle(const std::map<unsigned int, Image>& images, unsigned int start);

    // Opens the window, retrying once without multisampling when no visual offers it.
    bool openWindow(unsigned short width, unsigned short height, bool fullscreen, int antialias);
    // Requests the framebuffer's colour depth, depth buffer, double buffering and vertical sync.
    void requestFramebuffer();
    // Requests multisampling, or turns it off for 0 samples.
    void requestMultisampling(int samples);
    // Starts GLEW and notes which extensions the drawing can use.
    void startGlew();
    // Fits the logical screen into the window and prepares the projection and GL state.
    void setUpView(unsigned short width, unsigned short height);
    // Presents the back buffer when there is a window.
    void swapBuffers();
    // Fills every glyph with a white placeholder square.
    void initFonts();
    // Prints the info log of a shader or program object.
    void printInfoLog(unsigned int object);
    // The viewport and projection that show the whole logical screen.
    View fullView() const;
    // Sets the viewport and an orthographic projection of its units over it.
    void applyView(const View& shown);
    // Draws the recorded operations not drawn yet, then presents the frame.
    void presentFrame();
    // Draws the recorded operations not drawn yet into the back buffer.
    void performPending();
    // Draws one recorded operation.
    void perform(const DrawOperation& operation);
    // Applies the state a frame starts from and clears the window when it is beginDrawing's.
    void performStart(const DrawOperation& start);
    // Called before an image, polygon, glyph or shader changes: what the frame recorded so far is drawn
    // with the old ones.
    void resourcesChanged();
    // A new texture holding the pixels, filtered linearly; clamped at its edges when asked.
    static unsigned int uploadTexture(const unsigned char* pixels, unsigned int width, unsigned int height,
                                      bool clampToEdge);

    // The drawing itself, as each operation's arguments ask for it.
    void paintImage(unsigned int image, float x, float y, float scaleX, float scaleY, const float* tint);
    void paintPoly(unsigned int polygon, unsigned int image, float x, float y, float scaleX, float scaleY,
                   const float* tint);
    void paintText(std::string_view text, float x, float y, float size, const float* tint);
    void paintLine(int x1, int y1, int x2, int y2, const float* tint);
    void paintRect(int x, int y, int width, int height, const float* colour);
    void paintGradient(int x, int y, int width, int height, const float* colours);
    // Limits drawing to the window pixels under a logical rectangle; false when it cannot be mapped.
    bool scissorTo(float left, float top, float right, float bottom);
    // The glyph a character selects, or -1.
    static int glyphFor(char character);
    // Binds a polygon's texture to a texture unit with its combine mode and sampler uniform.
    void bindPolygonTexture(int unit, unsigned int texture, int combine, int uniform);

    // Image handle of the line texture.
    unsigned int lineImage;
    // All registered images by handle.
    std::map<unsigned int, Image> images;
    // All stored polygons; a handle is an index.
    std::vector<Polygon> polygons;
    // The glyph textures, indexed by Glyph; they have no image handles.
    Image glyphs[GlyphCount];
    // The image on the second texture unit of polygons until the frame ends; 0 for none.
    unsigned int secondImage;
    // Locations of the samplers "main" and "second" in the last program built.
    int mainUniform;
    int secondUniform;
    // Where the search for a free image handle starts: the newest handle.
    unsigned int nextImageId;
    // The window's size in pixels as requested.
    unsigned short windowWidth;
    unsigned short windowHeight;
    // The window area, in pixels from the bottom left, that shows the logical screen.
    float viewportX;
    float viewportY;
    float actualWidth;
    float actualHeight;
    // Byte length of the embedded line picture.
    unsigned int lineImageSize;

    // Whether GLEW started, and so whether extension entry points may be called.
    bool glewReady;
    // Whether ARB shader objects can be built.
    bool shadersAvailable;
    // Whether a second texture unit can be addressed.
    bool multitextureAvailable;
    // Whether drawImage skips transparent borders and needless blending.
    bool shortcuts;
    // The viewport OpenGL draws into now, for mapping pictures to pixels.
    View view;
    // The shader program OpenGL draws with now; 0 for fixed-function drawing.
    unsigned int currentProgram;

    // What the frames ask for, and whether a finished one must be drawn.
    FrameRecorder recorder;
};

// SPDX-License-Identifier: MIT
#include "OpenGLDrawer.h"

#include "ImageLoader.h"
#include "Images.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>

namespace {

// One logical unit across, as a fraction of the logical screen's width.
const float unitWidth = 0.0009765625f;
const float logicalWidth = 1024.0f;
const float logicalHeight = 768.0f;

// A fill's colour component, recorded as a float, back to the byte it was given as.
GLubyte byteOf(float component)
{
    return static_cast<GLubyte>(component);
}

// Converts a float to an int, clamping values that do not fit.
int clampToInt(double value)
{
    return static_cast<int>(std::max(-1.0e9, std::min(1.0e9, value)));
}

// Whether the user asked for every frame to be drawn, changed or not.
bool drawEveryFrameRequested()
{
    const char* value = std::getenv("MARROWGATE_DRAW_EVERY_FRAME");
    return value != nullptr && value[0] != '\0';
}

// A record of one operation: its kind, the handle it uses, where it draws, its scale and its tint or
// colours; every other field 0.
DrawOperation operationOf(DrawOperation::Kind kind, std::uint32_t handle, std::int32_t x = 0, std::int32_t y = 0,
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
DrawOperation shapeOf(DrawOperation::Kind kind, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, std::initializer_list<float> colour)
{
    DrawOperation operation = operationOf(kind, 0, x, y, 0.0f, 0.0f, colour);
    operation.width = width;
    operation.height = height;
    return operation;
}

// Whether the points from entry 1 onwards are all numbers and do not all lie on one line. Only then
// does the fan of triangles about their centre cover anything; an outline that crosses itself still does.
bool offOneLine(const std::vector<float>& xs, const std::vector<float>& ys)
{
    for (std::size_t i = 1; i < xs.size(); ++i)
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
            return false;
    // The line through the first point and the first point apart from it; any point off it will do.
    std::size_t apart = 2;
    while (apart < xs.size() && xs[apart] == xs[1] && ys[apart] == ys[1])
        ++apart;
    for (std::size_t i = apart + 1; i < xs.size(); ++i) {
        const double cross = (static_cast<double>(xs[apart]) - xs[1]) * (static_cast<double>(ys[i]) - ys[1]) -
                             (static_cast<double>(ys[apart]) - ys[1]) * (static_cast<double>(xs[i]) - xs[1]);
        if (cross != 0.0)
            return true;
    }
    return false;
}

// Prints a message when SDL rejects an attribute request.
void request(SDL_GLattr attribute, int value, const char* failure)
{
    if (SDL_GL_SetAttribute(attribute, value) < 0)
        std::cout << "OpenGLDrawer: Could not set " << failure << "..." << std::endl;
}

} // namespace

const char* OpenGLDrawer::line_png = Images::line_png;

OpenGLDrawer::OpenGLDrawer()
    : lineImage(0), secondImage(0), mainUniform(-1), secondUniform(-1), nextImageId(1), windowWidth(1024),
      windowHeight(768), viewportX(0.0f), viewportY(0.0f), actualWidth(1024.0f), actualHeight(768.0f),
      lineImageSize(Images::line_png_size), glewReady(false), shadersAvailable(false),
      multitextureAvailable(false), shortcuts(true), currentProgram(0), performedOperations(0), frameTainted(false),
      shownFrameValid(false), skipUnchangedFrames(!drawEveryFrameRequested()), renderedFrames(0),
      recordedProgram(0), recordedSecondImage(0)
{
    view.width = recordedView.width = 1024;
    view.height = recordedView.height = 768;
    startRecord(false);
}

bool OpenGLDrawer::initialise(unsigned short width, unsigned short height, bool fullscreen, int antialias)
{
    windowWidth = width;
    windowHeight = height;
    // SDL 1.2 dereferences its video device in every GL call without checking that one exists.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    requestFramebuffer();
    if (antialias > 0)
        requestMultisampling(antialias);
    // Without a window there is no GL context to start GLEW, fonts or textures in.
    if (!openWindow(width, height, fullscreen, antialias))
        return false;
    startGlew();
    initFonts();
    setUpView(width, height);
    recordedView = view;
    invalidate();
    startRecord(false);

    lineImage = ImageLoader().loadInto(*this, line_png, lineImageSize);
    return true;
}

void OpenGLDrawer::requestFramebuffer()
{
    if (is16Bit()) {
        std::cout << "OpenGLDrawer: Display is 16bit." << std::endl;
        request(SDL_GL_RED_SIZE, 5, "red pixel size to 5");
        request(SDL_GL_GREEN_SIZE, 5, "green pixel size to 5");
        request(SDL_GL_BLUE_SIZE, 5, "blue pixel size to 5");
    } else {
        std::cout << "OpenGLDrawer: Display is 32bit." << std::endl;
        request(SDL_GL_RED_SIZE, 8, "red pixel size to 8");
        request(SDL_GL_GREEN_SIZE, 8, "green pixel size to 8");
        request(SDL_GL_BLUE_SIZE, 8, "blue pixel size to 8");
        request(SDL_GL_ALPHA_SIZE, 8, "alpha pixel size to 8");
    }
    request(SDL_GL_DEPTH_SIZE, 16, "depth size to 16");
    request(SDL_GL_DOUBLEBUFFER, 1, "double buffering");
    request(SDL_GL_SWAP_CONTROL, 1, "vertical sync");
}

void OpenGLDrawer::requestMultisampling(int samples)
{
    request(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0, "multi sample buffers");
    request(SDL_GL_MULTISAMPLESAMPLES, samples, "multi sample samples");
}

bool OpenGLDrawer::openWindow(unsigned short width, unsigned short height, bool fullscreen, int antialias)
{
    const Uint32 flags = SDL_OPENGL | (fullscreen ? SDL_FULLSCREEN : 0);
    if (SDL_SetVideoMode(width, height, 0, flags) != nullptr)
        return true;
    if (antialias <= 0)
        return false;
    // Not every GL offers every sample count (Mesa's software GL has no 6-sample visual): a window
    // without antialiasing beats none.
    std::cout << "OpenGLDrawer: No window with " << antialias
              << " samples of antialiasing; trying without antialiasing." << std::endl;
    requestMultisampling(0);
    return SDL_SetVideoMode(width, height, 0, flags) != nullptr;
}

void OpenGLDrawer::startGlew()
{
    const GLenum error = glewInit();
    // Under EGL (SDL2 on Wayland) GLEW has loaded every GL entry point when it finds no GLX display,
    // which only its GLX extensions would need.
    glewReady = error == GLEW_OK || error == GLEW_ERROR_NO_GLX_DISPLAY;
    if (!glewReady) {
        std::cout << "GLEW error: " << glewGetErrorString(error) << std::endl;
    } else {
        std::cout << "Using GLEW version: " << glewGetString(GLEW_VERSION) << std::endl;
    }
    shadersAvailable = glewReady && GLEW_ARB_shader_objects && GLEW_ARB_vertex_shader && GLEW_ARB_fragment_shader;
    multitextureAvailable = glewReady && GLEW_ARB_multitexture;
}

void OpenGLDrawer::setUpView(unsigned short width, unsigned short height)
{
    const float shape = static_cast<float>(height) / static_cast<float>(width);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    viewportX = 0.0f;
    viewportY = 0.0f;
    actualWidth = width;
    actualHeight = height;
    if (shape < 0.75f) {
        actualWidth = height * 1.3333334f;
        viewportX = (width - actualWidth) * 0.5f;
    } else if (shape > 0.75f) {
        actualHeight = width * 0.75f;
        viewportY = (height - actualHeight) * 0.5f;
    }
    applyView(fullView());
    glLoadIdentity();

    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

OpenGLDrawer::View OpenGLDrawer::fullView() const
{
    View full;
    full.x = static_cast<int>(viewportX);
    full.y = static_cast<int>(viewportY);
    full.width = static_cast<int>(actualWidth);
    full.height = static_cast<int>(actualHeight);
    full.unitsWide = logicalWidth;
    full.unitsHigh = logicalHeight;
    return full;
}

void OpenGLDrawer::applyView(const View& shown)
{
    view = shown;
    glViewport(view.x, view.y, view.width, view.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // An area without extent has no projection; the empty viewport shows nothing anyway.
    if (view.unitsWide != 0.0f && view.unitsHigh != 0.0f)
        gluOrtho2D(0.0, view.unitsWide, view.unitsHigh, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

bool OpenGLDrawer::is16Bit() const
{
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    return info != nullptr && info->vfmt != nullptr && info->vfmt->BitsPerPixel == 16;
}

void OpenGLDrawer::setShortcuts(bool enabled)
{
    shortcuts = enabled;
}

void OpenGLDrawer::setFrameSkipping(bool enabled)
{
    skipUnchangedFrames = enabled;
}

unsigned long OpenGLDrawer::getRenderedFrames() const
{
    return renderedFrames;
}

void OpenGLDrawer::invalidate()
{
    shownFrameValid = false;
}

// Frames: recorded, compared with the one on screen, and drawn only when they differ -------------------

void OpenGLDrawer::beginDrawing()
{
    startRecord(true);
}

void OpenGLDrawer::endDrawing()
{
    if (!frameAlreadyShown())
        presentFrame();
    // A second image lasts until the end of its frame.
    recordedSecondImage = 0;
    finishFrame();
}

void OpenGLDrawer::startRecord(bool clears)
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

void OpenGLDrawer::record(const DrawOperation& operation)
{
    frame.add(operation);
}

bool OpenGLDrawer::frameAlreadyShown() const
{
    // Only a frame that starts from a cleared window depends on nothing but its record.
    return skipUnchangedFrames && shownFrameValid && !frameTainted && frame[0].clears != 0 && frame == shownFrame;
}

void OpenGLDrawer::presentFrame()
{
    performPending();
    swapBuffers();
    ++renderedFrames;
}

void OpenGLDrawer::performPending()
{
    for (; performedOperations < frame.size(); ++performedOperations)
        perform(frame[performedOperations]);
}

void OpenGLDrawer::finishFrame()
{
    shownFrameValid = !frameTainted && frame[0].clears != 0;
    shownFrame.swap(frame);
    startRecord(false);
}

void OpenGLDrawer::resourcesChanged()
{
    shownFrameValid = false;
    if (frame.size() > 1) {
        performPending();
        frameTainted = true;
    }
}

void OpenGLDrawer::perform(const DrawOperation& operation)
{
    const DrawOperation& o = operation;
    switch (o.kind) {
    case DrawOperation::Start: performStart(o); break;
    case DrawOperation::Image: paintImage(o.handle, o.x, o.y, o.scaleX, o.scaleY, o.colour); break;
    case DrawOperation::Poly: paintPoly(o.handle, o.image, o.x, o.y, o.scaleX, o.scaleY, o.colour); break;
    case DrawOperation::Text: paintText(frame.textOf(o), o.x, o.y, o.scaleX, o.colour); break;
    case DrawOperation::Line: paintLine(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::Rect: paintRect(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::Gradient: paintGradient(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::View: applyView(viewOf(o)); break;
    case DrawOperation::Shader:
        glUseProgramObjectARB(o.handle);
        currentProgram = o.handle;
        break;
    case DrawOperation::SecondImage: secondImage = o.handle; break;
    }
}

OpenGLDrawer::View OpenGLDrawer::viewOf(const DrawOperation& operation)
{
    return {operation.x, operation.y, operation.width, operation.height, operation.scaleX, operation.scaleY};
}

DrawOperation OpenGLDrawer::viewOperation(DrawOperation::Kind kind, const View& shown)
{
    DrawOperation operation = operationOf(kind, 0, shown.x, shown.y, shown.unitsWide, shown.unitsHigh);
    operation.width = shown.width;
    operation.height = shown.height;
    return operation;
}

void OpenGLDrawer::performStart(const DrawOperation& start)
{
    if (start.clears != 0) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
    }
    applyView(viewOf(start));
    if (shadersAvailable && start.handle != currentProgram) {
        glUseProgramObjectARB(start.handle);
        currentProgram = start.handle;
    }
    secondImage = start.image;
}

void OpenGLDrawer::swapBuffers()
{
    // SDL 1.2 swaps through its screen surface without checking that a window was opened.
    if (SDL_GetVideoSurface() != nullptr)
        SDL_GL_SwapBuffers();
}

unsigned char* OpenGLDrawer::getScreenPixels()
{
    const std::size_t size = static_cast<std::size_t>(windowWidth) * windowHeight * 3;
    unsigned char* pixels = new unsigned char[size]();
    // Rows packed without padding, so that widths whose rows are not a multiple of 4 bytes fit the
    // buffer. The back buffer still holds the frame before the swap; after it its content is undefined.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    performPending();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    swapBuffers();
    ++renderedFrames;
    finishFrame();
    return pixels;
}

// Images ----------------------------------------------------------------------------------------------

unsigned int OpenGLDrawer::powerOfTwo(unsigned int n)
{
    if (n > 0x80000000u)
        return 0;
    unsigned int power = 1;
    while (power < n)
        power <<= 1;
    return power;
}

bool OpenGLDrawer::isPowerOfTwo(unsigned int n)
{
    return n != 0 && powerOfTwo(n) == n;
}

unsigned char* OpenGLDrawer::enlargeToPowerOfTwo(const unsigned char* pixels, unsigned int width,
                                                 unsigned int height, unsigned int textureWidth,
                                                 unsigned int textureHeight)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const std::size_t textureRowBytes = static_cast<std::size_t>(textureWidth) * 4;
    unsigned char* texture = new unsigned char[textureRowBytes * textureHeight]();
    for (std::size_t row = 0; row < height; ++row) {
        unsigned char* target = texture + row * textureRowBytes;
        std::memcpy(target, pixels + row * rowBytes, rowBytes);
        // Every added byte repeats the row's last byte, its last pixel's alpha.
        std::memset(target + rowBytes, pixels[row * rowBytes + rowBytes - 1], textureRowBytes - rowBytes);
    }
    const unsigned char* lastRow = texture + (static_cast<std::size_t>(height) - 1) * textureRowBytes;
    for (std::size_t row = height; row < textureHeight; ++row)
        std::memcpy(texture + row * textureRowBytes, lastRow, textureRowBytes);
    return texture;
}

void OpenGLDrawer::measureCoverage(const unsigned char* pixels, Image& image)
{
    unsigned int left = image.width, top = image.height, right = 0, bottom = 0;
    image.opaque = true;
    for (unsigned int y = 0; y < image.height; ++y) {
        const unsigned char* row = pixels + static_cast<std::size_t>(y) * image.width * 4;
        for (unsigned int x = 0; x < image.width; ++x) {
            const unsigned char alpha = row[x * 4 + 3];
            image.opaque = image.opaque && alpha == 255;
            if (alpha == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (right == 0) {
        image.visibleLeft = image.visibleTop = image.visibleRight = image.visibleBottom = 0;
        return;
    }
    // Linear filtering lets a visible texel colour pixels up to one texel beyond it.
    image.visibleLeft = static_cast<unsigned short>(left > 0 ? left - 1 : 0);
    image.visibleTop = static_cast<unsigned short>(top > 0 ? top - 1 : 0);
    image.visibleRight = static_cast<unsigned short>(std::min<unsigned int>(right + 1, image.width));
    image.visibleBottom = static_cast<unsigned short>(std::min<unsigned int>(bottom + 1, image.height));
}

unsigned int OpenGLDrawer::findFreeHandle(const std::map<unsigned int, Image>& images, unsigned int start)
{
    unsigned int handle = start == 0 ? 1 : start;
    while (images.count(handle) != 0) {
        ++handle;
        if (handle == 0)
            handle = 1;
    }
    return handle;
}

unsigned int OpenGLDrawer::loadImage(unsigned char* pixels, unsigned int width, unsigned int height)
{
    if (pixels == nullptr)
        return 0;
    resourcesChanged();
    const unsigned int textureWidth = powerOfTwo(width);
    const unsigned int textureHeight = powerOfTwo(height);
    // The record keeps sizes in 16 bits; no texture is that large anyway.
    if (width == 0 || height == 0 || width > 0xffff || height > 0xffff) {
        delete[] pixels;
        return 0;
    }
    Image image;
    image.width = static_cast<unsigned short>(width);
    image.height = static_cast<unsigned short>(height);
    measureCoverage(pixels, image);
    if (textureWidth != width || textureHeight != height) {
        unsigned char* enlarged = enlargeToPowerOfTwo(pixels, width, height, textureWidth, textureHeight);
        delete[] pixels;
        pixels = enlarged;
        image.maxS = static_cast<float>(width) / static_cast<float>(textureWidth);
        image.maxT = static_cast<float>(height) / static_cast<float>(textureHeight);
    }

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    delete[] pixels;

    image.texture = texture;
    nextImageId = findFreeHandle(images, nextImageId);
    images[nextImageId] = image;
    return nextImageId;
}

void OpenGLDrawer::releaseImage(unsigned int image)
{
    const auto found = images.find(image);
    if (found == images.end())
        return;
    resourcesChanged();
    glDeleteTextures(1, &found->second.texture);
    images.erase(found);
}

const OpenGLDrawer::Image* OpenGLDrawer::findImage(unsigned int image) const
{
    const auto found = images.find(image);
    return found == images.end() ? nullptr : &found->second;
}

void OpenGLDrawer::drawImage(unsigned int image, short x, short y, float scaleX, float scaleY, float r, float g,
                             float b, float a)
{
    record(operationOf(DrawOperation::Image, image, x, y, scaleX, scaleY, {r, g, b, a}));
}

void OpenGLDrawer::paintImage(unsigned int image, float x, float y, float scaleX, float scaleY, const float* tint)
{
    const Image* found = findImage(image);
    if (found == nullptr)
        return;
    const float width = found->width;
    const float height = found->height;
    const float w = width * scaleX;
    const float h = height * scaleY;
    const float left = x - (width * scaleX - width) * 0.5f;
    const float top = y - (height * scaleY - height) * 0.5f;

    // Fully transparent texels leave the frame unchanged under this blend function, so only the
    // window pixels under the visible part need to be drawn; the quad itself stays the same. A shader
    // program may give any texel any alpha, so neither shortcut holds under one.
    const bool trusted = shortcuts && currentProgram == 0;
    const float a = tint[3];
    bool scissored = false;
    if (trusted) {
        if (found->visibleRight == 0)
            return;
        const bool wholePicture = found->visibleLeft == 0 && found->visibleTop == 0 &&
                                  found->visibleRight == found->width && found->visibleBottom == found->height;
        if (!wholePicture)
            scissored = scissorTo(left + found->visibleLeft * scaleX, top + found->visibleTop * scaleY,
                                  left + found->visibleRight * scaleX, top + found->visibleBottom * scaleY);
    }

    // An opaque picture drawn at full alpha replaces what is below: blending would compute the same.
    const bool unblended = trusted && found->opaque && a >= 1.0f;
    if (unblended)
        glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, found->texture);
    glColor4fv(tint);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, top);
    glTexCoord2f(found->maxS, 0.0f);
    glVertex2f(left + w, top);
    glTexCoord2f(found->maxS, found->maxT);
    glVertex2f(left + w, top + h);
    glTexCoord2f(0.0f, found->maxT);
    glVertex2f(left, top + h);
    glEnd();
    if (scissored)
        glDisable(GL_SCISSOR_TEST);
    if (unblended)
        glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool OpenGLDrawer::scissorTo(float left, float top, float right, float bottom)
{
    if (view.unitsWide == 0.0f || view.unitsHigh == 0.0f)
        return false;
    const double pixelsPerUnitX = view.width / static_cast<double>(view.unitsWide);
    const double pixelsPerUnitY = view.height / static_cast<double>(view.unitsHigh);
    const double x1 = view.x + left * pixelsPerUnitX;
    const double x2 = view.x + right * pixelsPerUnitX;
    // Window rows count from the bottom.
    const double y1 = view.y + view.height - top * pixelsPerUnitY;
    const double y2 = view.y + view.height - bottom * pixelsPerUnitY;
    if (!std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2))
        return false;
    // A pixel beyond the mapped edge on every side covers the rounding of vertices to sub-pixels.
    const int scissorLeft = clampToInt(std::floor(std::min(x1, x2)) - 1.0);
    const int scissorRight = clampToInt(std::ceil(std::max(x1, x2)) + 1.0);
    const int scissorBottom = clampToInt(std::floor(std::min(y1, y2)) - 1.0);
    const int scissorTop = clampToInt(std::ceil(std::max(y1, y2)) + 1.0);
    glScissor(scissorLeft, scissorBottom, scissorRight - scissorLeft, scissorTop - scissorBottom);
    glEnable(GL_SCISSOR_TEST);
    return true;
}

// Untextured shapes, lines and viewports -----------------------------------------------------------------

void OpenGLDrawer::fillRect(short x, short y, short width, short height, unsigned char r, unsigned char g,
                            unsigned char b, unsigned char a)
{
    record(shapeOf(DrawOperation::Rect, x, y, width, height, {float(r), float(g), float(b), float(a)}));
}

void OpenGLDrawer::paintRect(int x, int y, int width, int height, const float* colour)
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4ub(byteOf(colour[0]), byteOf(colour[1]), byteOf(colour[2]), byteOf(colour[3]));
    glBegin(GL_QUADS);
    glVertex2i(x, y);
    glVertex2i(x + width, y);
    glVertex2i(x + width, y + height);
    glVertex2i(x, y + height);
    glEnd();
}

void OpenGLDrawer::fillGradient(short x, short y, short width, short height, unsigned char r1, unsigned char g1,
                                unsigned char b1, unsigned char a1, unsigned char r2, unsigned char g2,
                                unsigned char b2, unsigned char a2)
{
    record(shapeOf(DrawOperation::Gradient, x, y, width, height,
                   {float(r1), float(g1), float(b1), float(a1), float(r2), float(g2), float(b2), float(a2)}));
}

void OpenGLDrawer::paintGradient(int x, int y, int width, int height, const float* colours)
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4ub(byteOf(colours[0]), byteOf(colours[1]), byteOf(colours[2]), byteOf(colours[3]));
    glVertex2i(x, y);
    glVertex2i(x + width, y);
    glColor4ub(byteOf(colours[4]), byteOf(colours[5]), byteOf(colours[6]), byteOf(colours[7]));
    glVertex2i(x + width, y + height);
    glVertex2i(x, y + height);
    glEnd();
}

void OpenGLDrawer::drawLine(short x1, short y1, short x2, short y2, float r, float g, float b, float a)
{
    record(shapeOf(DrawOperation::Line, x1, y1, x2, y2, {r, g, b, a}));
}

void OpenGLDrawer::paintLine(int x1, int y1, int x2, int y2, const float* tint)
{
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    // Coinciding ends give no direction to draw the band across.
    if (dx == 0 && dy == 0)
        return;
    const float length = std::sqrt(static_cast<float>(dx) * dx + static_cast<float>(dy) * dy);
    const float nx = (y1 - y2) / length * 4.0f;
    const float ny = dx / length * 4.0f;

    const Image* line = findImage(lineImage);
    glBindTexture(GL_TEXTURE_2D, line != nullptr ? line->texture : 0);
    glColor4fv(tint);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x1 + nx, y1 + ny);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x2 + nx, y2 + ny);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x2 - nx, y2 - ny);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x1 - nx, y1 - ny);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void OpenGLDrawer::setViewport(short x, short y, short width, short height)
{
    const short vw = static_cast<short>(static_cast<int>(width * unitWidth * actualWidth));
    const short vh = static_cast<short>(static_cast<int>(height / logicalHeight * actualHeight));
    const short vx = static_cast<short>(static_cast<int>(x * unitWidth * actualWidth + viewportX));
    const short ys = static_cast<short>(static_cast<int>(y / logicalHeight * actualHeight));
    const short vy = static_cast<short>(static_cast<int>(windowHeight - (ys + vh) - viewportY));
    // A rectangle of negative size shows nothing (OpenGL would refuse it and keep the old area).
    recordView({vx, vy, std::max<int>(vw, 0), std::max<int>(vh, 0), static_cast<float>(width),
                static_cast<float>(height)});
}

void OpenGLDrawer::resetViewport()
{
    recordView(fullView());
}

void OpenGLDrawer::recordView(const View& shown)
{
    recordedView = shown;
    record(viewOperation(DrawOperation::View, shown));
}

short OpenGLDrawer::getActualWidth() const
{
    return static_cast<short>(actualWidth);
}

short OpenGLDrawer::getActualHeight() const
{
    return static_cast<short>(actualHeight);
}

// Glyphs and text ------------------------------------------------------------------------------------------

void OpenGLDrawer::initFonts()
{
    std::vector<unsigned char> white(16 * 16 * 4, 255);
    for (Image& glyph : glyphs) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
        glyph = Image();
        glyph.texture = texture;
        glyph.width = glyph.height = 16;
    }
}

void OpenGLDrawer::loadGlyph(Glyph glyph, unsigned char* pixels, unsigned int size)
{
    if (pixels == nullptr || size == 0 || size > 0xffff || static_cast<int>(glyph) < 0 || static_cast<int>(glyph) >= GlyphCount)
        return;
    resourcesChanged();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    Image& slot = glyphs[glyph];
    glDeleteTextures(1, &slot.texture);
    slot = Image();
    slot.texture = texture;
    slot.width = slot.height = static_cast<unsigned short>(size);
}

int OpenGLDrawer::glyphFor(char character)
{
    static const char punctuation[] = ".,+-!?";
    if (character >= 'a' && character <= 'z')
        return GlyphA + (character - 'a');
    if (character >= '0' && character <= '9')
        return Glyph0 + (character - '0');
    const char* mark = character != '\0' ? std::strchr(punctuation, character) : nullptr;
    return mark != nullptr ? GlyphPeriod + static_cast<int>(mark - punctuation) : -1;
}

void OpenGLDrawer::drawText(const std::string& text, short x, short y, float size, float r, float g, float b,
                            float a)
{
    frame.addText(operationOf(DrawOperation::Text, 0, x, y, size, 0.0f, {r, g, b, a}), text);
}

void OpenGLDrawer::paintText(std::string_view text, float x, float y, float size, const float* tint)
{
    float pen = x;
    for (const char character : text) {
        const int glyph = glyphFor(character);
        if (glyph >= 0) {
            glBindTexture(GL_TEXTURE_2D, glyphs[glyph].texture);
            glColor4fv(tint);
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(pen, y);
            glTexCoord2f(1.0f, 0.0f);
            glVertex2f(pen + size, y);
            glTexCoord2f(1.0f, 1.0f);
            glVertex2f(pen + size, y + size);
            glTexCoord2f(0.0f, 1.0f);
            glVertex2f(pen, y + size);
            glEnd();
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        pen += size;
    }
}

// Polygons and shaders ---------------------------------------------------------------------------------------

unsigned int OpenGLDrawer::loadPoly(float* points, int count)
{
    resourcesChanged();
    const int given = (points != nullptr && count > 0) ? count : 0;
    Polygon polygon;
    polygon.numVertices = given + 1;
    polygon.vertexX.assign(polygon.numVertices, 0.0f);
    polygon.vertexY.assign(polygon.numVertices, 0.0f);
    polygon.texS.assign(polygon.numVertices, 0.0f);
    polygon.texT.assign(polygon.numVertices, 0.0f);
    if (given > 0) {
        // The bounding box starts from the first point, so that any coordinates are covered.
        float minX = points[0], maxX = points[0], minY = points[1], maxY = points[1];
        float sumX = 0.0f, sumY = 0.0f;
        for (int i = 1; i <= given; ++i) {
            const float px = points[2 * (i - 1)];
            const float py = points[2 * (i - 1) + 1];
            polygon.vertexX[i] = px;
            polygon.vertexY[i] = py;
            sumX += px;
            sumY += py;
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
        polygon.vertexX[0] = sumX / given;
        polygon.vertexY[0] = sumY / given;
        const float spanX = maxX - minX;
        const float spanY = maxY - minY;
        for (int j = 0; j <= given; ++j) {
            polygon.texS[j] = spanX != 0.0f ? (polygon.vertexX[j] - minX) / spanX : 0.0f;
            polygon.texT[j] = spanY != 0.0f ? (polygon.vertexY[j] - minY) / spanY : 0.0f;
        }
        polygon.drawable = given >= 3 && offOneLine(polygon.vertexX, polygon.vertexY);
    }
    polygons.push_back(std::move(polygon));
    return static_cast<unsigned int>(polygons.size() - 1);
}

void OpenGLDrawer::useSecondImage(unsigned int image)
{
    recordedSecondImage = image;
    record(operationOf(DrawOperation::SecondImage, image));
}

void OpenGLDrawer::drawPoly(unsigned int polygon, unsigned int image, short x, short y, float scaleX,
                            float scaleY, float r, float g, float b, float a)
{
    DrawOperation operation = operationOf(DrawOperation::Poly, polygon, x, y, scaleX, scaleY, {r, g, b, a});
    operation.image = image;
    record(operation);
}

void OpenGLDrawer::paintPoly(unsigned int polygon, unsigned int image, float x, float y, float scaleX, float scaleY,
                             const float* tint)
{
    const Image* main = findImage(image);
    if (main == nullptr || polygon >= polygons.size() || !polygons[polygon].drawable)
        return;
    const Polygon& shape = polygons[polygon];
    const Image* second = (secondImage != 0 && multitextureAvailable) ? findImage(secondImage) : nullptr;

    bindPolygonTexture(0, main->texture, GL_REPLACE, mainUniform);
    if (second != nullptr)
        bindPolygonTexture(1, second->texture, GL_MODULATE, secondUniform);

    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(scaleX, scaleY, 1.0f);
    glColor4fv(tint);
    const int count = shape.numVertices - 1;
    glBegin(GL_TRIANGLES);
    for (int k = 1; k <= count; ++k) {
        const int corners[3] = {0, k, k == count ? 1 : k + 1};
        const float secondS[3] = {0.5f, 0.0f, 1.0f};
        const float secondT[3] = {1.0f, 0.0f, 0.0f};
        for (int c = 0; c < 3; ++c) {
            const int v = corners[c];
            if (second != nullptr)
                glMultiTexCoord2fARB(GL_TEXTURE1_ARB, secondS[c], secondT[c]);
            glTexCoord2f(shape.texS[v], shape.texT[v]);
            glVertex2f(shape.vertexX[v], shape.vertexY[v]);
        }
    }
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPopMatrix();

    if (second != nullptr) {
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void OpenGLDrawer::bindPolygonTexture(int unit, unsigned int texture, int combine, int uniform)
{
    if (multitextureAvailable)
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, combine);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (shadersAvailable)
        glUniform1iARB(uniform, unit);
}

unsigned int OpenGLDrawer::loadShader(const std::string& vertexFile, const std::string& fragmentFile)
{
    if (!shadersAvailable)
        return 0;
    resourcesChanged();
    const GLhandleARB vertexShader = glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
    const GLhandleARB fragmentShader = glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB);
    const std::string vertexSource = loadShaderFile(vertexFile);
    const std::string fragmentSource = loadShaderFile(fragmentFile);
    const GLcharARB* source = vertexSource.c_str();
    glShaderSourceARB(vertexShader, 1, &source, nullptr);
    source = fragmentSource.c_str();
    glShaderSourceARB(fragmentShader, 1, &source, nullptr);
    glCompileShaderARB(vertexShader);
    glCompileShaderARB(fragmentShader);
    const GLhandleARB program = glCreateProgramObjectARB();
    glAttachObjectARB(program, vertexShader);
    glAttachObjectARB(program, fragmentShader);
    glLinkProgramARB(program);

    std::cout << "OpenGLDrawer Shader InfoLog:" << std::endl;
    std::cout << "----------------------------" << std::endl;
    std::cout << vertexFile << ":" << std::endl;
    printInfoLog(vertexShader);
    std::cout << fragmentFile << ":" << std::endl;
    printInfoLog(fragmentShader);

    mainUniform = glGetUniformLocationARB(program, "main");
    secondUniform = glGetUniformLocationARB(program, "second");
    return program;
}

void OpenGLDrawer::useShader(unsigned int program)
{
    if (!shadersAvailable)
        return;
    recordedProgram = program;
    record(operationOf(DrawOperation::Shader, program));
}

void OpenGLDrawer::printInfoLog(unsigned int object)
{
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 0)
        return;
    std::vector<GLcharARB> log(length + 1, '\0');
    GLsizei written = 0;
    glGetInfoLogARB(object, length, &written, log.data());
    std::cout << log.data() << std::endl;
}

std::string OpenGLDrawer::loadShaderFile(const std::string& path)
{
    if (path.empty())
        return std::string();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::string();
    // Directories open on some systems and report nonsense lengths; only regular files are read.
    struct stat status;
    long length = -1;
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) && std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    std::string text;
    if (length > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        text.resize(static_cast<std::size_t>(length));
        text.resize(std::fread(&text[0], 1, text.size(), file));
    }
    std::fclose(file);
    if (length >= 0)
        std::cout << text << std::endl;
    return text;
}

// SPDX-License-Identifier: MIT
#include "render/OpenGLDrawer.h"

#include "assets/Images.h"
#include "render/ImageLoader.h"
#include "render/LogicalScreen.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// One logical unit across, as a fraction of the logical screen's width.
const float unitWidth = 1.0f / LogicalScreen::WIDTH;
const float logicalWidth = LogicalScreen::WIDTH;
const float logicalHeight = LogicalScreen::HEIGHT;

// A fill's colour component, recorded as a float, back to the byte it was given as.
GLubyte byteOf(float component)
{
    return static_cast<GLubyte>(component);
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
    : lineImage(0), secondImage(0), mainUniform(-1), secondUniform(-1), nextImageId(1), windowWidth(LogicalScreen::WIDTH),
      windowHeight(LogicalScreen::HEIGHT), viewportX(0.0f), viewportY(0.0f), actualWidth(logicalWidth),
      actualHeight(logicalHeight),
      lineImageSize(Images::line_png_size), glewReady(false), shadersAvailable(false),
      multitextureAvailable(false), shortcuts(true), currentProgram(0)
{
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
    recorder.restart(view);

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
    recorder.setFrameSkipping(enabled);
}

unsigned long OpenGLDrawer::getRenderedFrames() const
{
    return recorder.getRenderedFrames();
}

void OpenGLDrawer::invalidate()
{
    recorder.invalidate();
}

// Frames: recorded, compared with the one on screen, and drawn only when they differ -------------------

void OpenGLDrawer::beginDrawing()
{
    recorder.begin(true);
}

void OpenGLDrawer::endDrawing()
{
    if (recorder.mustDraw())
        presentFrame();
    recorder.finish(true);
}

void OpenGLDrawer::presentFrame()
{
    performPending();
    swapBuffers();
    recorder.countPresented();
}

void OpenGLDrawer::performPending()
{
    while (recorder.hasPending())
        perform(recorder.takePending());
}

void OpenGLDrawer::resourcesChanged()
{
    if (recorder.resourcesChanging())
        performPending();
}

void OpenGLDrawer::perform(const DrawOperation& operation)
{
    const DrawOperation& o = operation;
    switch (o.kind) {
    case DrawOperation::Start: performStart(o); break;
    case DrawOperation::Image: paintImage(o.handle, o.x, o.y, o.scaleX, o.scaleY, o.colour); break;
    case DrawOperation::Poly: paintPoly(o.handle, o.image, o.x, o.y, o.scaleX, o.scaleY, o.colour); break;
    case DrawOperation::Text: paintText(recorder.textOf(o), o.x, o.y, o.scaleX, o.colour); break;
    case DrawOperation::Line: paintLine(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::Rect: paintRect(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::Gradient: paintGradient(o.x, o.y, o.width, o.height, o.colour); break;
    case DrawOperation::View: applyView(FrameRecorder::viewOf(o)); break;
    case DrawOperation::Shader:
        glUseProgramObjectARB(o.handle);
        currentProgram = o.handle;
        break;
    case DrawOperation::SecondImage: secondImage = o.handle; break;
    }
}

void OpenGLDrawer::performStart(const DrawOperation& start)
{
    if (start.clears != 0) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
    }
    applyView(FrameRecorder::viewOf(start));
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
    recorder.countPresented();
    recorder.finish(false);
    return pixels;
}

// Untextured shapes, lines and viewports -----------------------------------------------------------------

void OpenGLDrawer::fillRect(short x, short y, short width, short height, unsigned char r, unsigned char g,
                            unsigned char b, unsigned char a)
{
    recorder.record(DrawOperation::shape(DrawOperation::Rect, x, y, width, height, {float(r), float(g), float(b), float(a)}));
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
    recorder.record(DrawOperation::shape(DrawOperation::Gradient, x, y, width, height,
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
    recorder.record(DrawOperation::shape(DrawOperation::Line, x1, y1, x2, y2, {r, g, b, a}));
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
    recorder.recordView({vx, vy, std::max<int>(vw, 0), std::max<int>(vh, 0), static_cast<float>(width),
                static_cast<float>(height)});
}

void OpenGLDrawer::resetViewport()
{
    recorder.recordView(fullView());
}

short OpenGLDrawer::getActualWidth() const
{
    return static_cast<short>(actualWidth);
}

short OpenGLDrawer::getActualHeight() const
{
    return static_cast<short>(actualHeight);
}


#include "OpenGLDrawer.h"

#include <GL/gl.h>
#include <SDL.h>

bool OpenGLDrawer::initialise(unsigned short width, unsigned short height, bool fullscreen, int)
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const Uint32 flags = SDL_OPENGL | (fullscreen ? SDL_FULLSCREEN : 0);
    return SDL_SetVideoMode(width, height, 0, flags) != nullptr;
}

unsigned int OpenGLDrawer::loadImage(unsigned char* pixels, unsigned int, unsigned int)
{
    delete[] pixels;
    return 0;
}

void OpenGLDrawer::releaseImage(unsigned int) {}

unsigned int OpenGLDrawer::loadPoly(float*, int)
{
    return 0;
}

void OpenGLDrawer::beginDrawing()
{
    glClear(GL_COLOR_BUFFER_BIT);
}

void OpenGLDrawer::endDrawing()
{
    SDL_GL_SwapBuffers();
}

unsigned char* OpenGLDrawer::getScreenPixels()
{
    return nullptr;
}

void OpenGLDrawer::drawImage(unsigned int, short, short, float, float, float, float, float, float) {}

void OpenGLDrawer::drawPoly(unsigned int, unsigned int, short, short, float, float, float, float, float, float) {}

void OpenGLDrawer::drawText(const std::string&, short, short, float, float, float, float, float) {}

void OpenGLDrawer::drawLine(short, short, short, short, float, float, float, float) {}

void OpenGLDrawer::fillRect(short, short, short, short, unsigned char, unsigned char, unsigned char, unsigned char)
{
}

void OpenGLDrawer::fillGradient(short, short, short, short, unsigned char, unsigned char, unsigned char,
                                unsigned char, unsigned char, unsigned char, unsigned char, unsigned char)
{
}

void OpenGLDrawer::setViewport(short, short, short, short) {}

void OpenGLDrawer::resetViewport() {}

short OpenGLDrawer::getActualWidth() const
{
    return 1024;
}

short OpenGLDrawer::getActualHeight() const
{
    return 768;
}

void OpenGLDrawer::loadGlyph(Glyph, unsigned char*, unsigned int) {}

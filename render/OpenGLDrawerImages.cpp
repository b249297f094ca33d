// SPDX-License-Identifier: MIT
#include "render/OpenGLDrawer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Converts a float to an int, clamping values that do not fit.
int clampToInt(double value)
{
    return static_cast<int>(std::max(-1.0e9, std::min(1.0e9, value)));
}

} // namespace

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

unsigned int OpenGLDrawer::uploadTexture(const unsigned char* pixels, unsigned int width, unsigned int height,
                                         bool clampToEdge)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (clampToEdge) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
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

    image.texture = uploadTexture(pixels, textureWidth, textureHeight, true);
    delete[] pixels;
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
    recorder.record(DrawOperation::of(DrawOperation::Image, image, x, y, scaleX, scaleY, {r, g, b, a}));
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


// SPDX-License-Identifier: MIT
#include "render/OpenGLDrawer.h"

#include <GL/glew.h>

#include <cstring>
#include <vector>

void OpenGLDrawer::initFonts()
{
    const std::vector<unsigned char> white(16 * 16 * 4, 255);
    for (Image& glyph : glyphs) {
        glyph = Image();
        glyph.texture = uploadTexture(white.data(), 16, 16, false);
        glyph.width = glyph.height = 16;
    }
}

void OpenGLDrawer::loadGlyph(Glyph glyph, unsigned char* pixels, unsigned int size)
{
    if (pixels == nullptr || size == 0 || size > 0xffff || static_cast<int>(glyph) < 0 || static_cast<int>(glyph) >= GlyphCount)
        return;
    resourcesChanged();
    const unsigned int texture = uploadTexture(pixels, size, size, false);
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
    recorder.recordText(DrawOperation::of(DrawOperation::Text, 0, x, y, size, 0.0f, {r, g, b, a}), text);
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


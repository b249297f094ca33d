// SPDX-License-Identifier: MIT
#include "render/OpenGLDrawer.h"

#include <GL/glew.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <vector>

namespace {

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

} // namespace

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
    recorder.recordSecondImage(image);
}

void OpenGLDrawer::drawPoly(unsigned int polygon, unsigned int image, short x, short y, float scaleX,
                            float scaleY, float r, float g, float b, float a)
{
    DrawOperation operation = DrawOperation::of(DrawOperation::Poly, polygon, x, y, scaleX, scaleY, {r, g, b, a});
    operation.image = image;
    recorder.record(operation);
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
    recorder.recordProgram(program);
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

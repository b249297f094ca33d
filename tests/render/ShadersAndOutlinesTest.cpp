// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "OpenGLDrawer.h"
#include "TemporaryDirectory.h"

#include <SDL.h>

#include <array>
#include <fstream>
#include <memory>
#include <vector>

// Last: Xlib's macros would clash with names above.
#include "PrivateXServer.h"

// Pictures under a shader program, and outlines that cross themselves, by their real pixels.
namespace {

using Rgb = std::array<int, 3>;
using Rgba = std::array<unsigned char, 4>;

// A 1024 by 768 window on an X server of the test's own, and a frame begun.
class ShapedDrawing : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        drawer.reset(new OpenGLDrawer);
        ASSERT_TRUE(drawer->initialise(1024, 768, false, 0));
        drawer->beginDrawing();
    }
    void TearDown() override
    {
        drawer.reset();
        SDL_Quit();
    }

    // The frame's pixels, rows from the top; the next frame begins.
    std::vector<Rgb> capture()
    {
        const std::unique_ptr<unsigned char[]> pixels(drawer->getScreenPixels());
        std::vector<Rgb> rows;
        for (int y = 767; y >= 0; --y)
            for (int x = 0; x < 1024; ++x) {
                const unsigned char* pixel = pixels.get() + (y * 1024 + x) * 3;
                rows.push_back({pixel[0], pixel[1], pixel[2]});
            }
        drawer->beginDrawing();
        return rows;
    }
    static Rgb at(const std::vector<Rgb>& shot, int x, int y) { return shot[y * 1024 + x]; }

    // A 64 by 64 picture whose pixel at (x, y) is colourAt(x, y).
    template <class ColourAt>
    unsigned int picture(ColourAt colourAt)
    {
        unsigned char* pixels = new unsigned char[64 * 64 * 4];
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const Rgba colour = colourAt(x, y);
                std::copy(colour.begin(), colour.end(), pixels + (y * 64 + x) * 4);
            }
        return drawer->loadImage(pixels, 64, 64);
    }

    // A program that draws the tinted picture with the alpha that an expression of c makes.
    unsigned int shaderGivingAlpha(const std::string& alpha)
    {
        std::ofstream(folder.getPath() + "/plain.vert")
            << "void main() { gl_TexCoord[0] = gl_MultiTexCoord0; gl_FrontColor = gl_Color; gl_Position = ftransform(); }";
        std::ofstream(folder.getPath() + "/alpha.frag")
            << "uniform sampler2D picture;\n"
               "void main() { vec4 c = texture2D(picture, gl_TexCoord[0].st) * gl_Color;"
               " gl_FragColor = vec4(c.rgb, " << alpha << "); }";
        testing::internal::CaptureStdout(); // the drawer echoes the sources
        const unsigned int program = drawer->loadShader(folder.getPath() + "/plain.vert", folder.getPath() + "/alpha.frag");
        testing::internal::GetCapturedStdout();
        return program;
    }

    PrivateXServer server{1024, 768};
    TemporaryDirectory folder;
    std::unique_ptr<OpenGLDrawer> drawer;
};

TEST_F(ShapedDrawing, UnderAShaderPicturesAreDrawnWholeAndBlendedWhateverTheShortcuts)
{
    // Red in the middle, and green with no alpha all round: a shader that keeps alpha shows only red.
    const unsigned int centred = picture([](int x, int y) {
        const bool middle = x >= 24 && x < 40 && y >= 24 && y < 40;
        return middle ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 0};
    });
    const unsigned int opaque = picture([](int, int) { return Rgba{255, 255, 0, 255}; });
    const Rgb red = {255, 0, 0}, blue = {0, 0, 255}, green = {0, 255, 0}, yellow = {255, 255, 0};
    const Rgb grey = {128, 128, 128}, purple = {128, 0, 128};
    // The shader's alpha, and the colours of the centred picture's middle and border and of the opaque one.
    const struct {
        const char* alpha;
        Rgb middle, border, opaqueColour;
    } programs[] = {{"c.a", red, blue, yellow}, {"1.0", red, green, yellow}, {"c.a * 0.5", purple, blue, grey}};
    for (const auto& p : programs) {
        const unsigned int program = shaderGivingAlpha(p.alpha);
        ASSERT_NE(program, 0u);
        std::vector<Rgb> shots[2];
        for (const bool shortcuts : {false, true}) {
            drawer->setShortcuts(shortcuts);
            drawer->fillRect(0, 0, 1024, 768, 0, 0, 255, 255);
            drawer->useShader(program);
            drawer->drawImage(centred, 100, 100, 2, 2, 1, 1, 1, 1);
            drawer->drawImage(opaque, 400, 100, 1, 1, 1, 1, 1, 1);
            drawer->useShader(0);
            shots[shortcuts] = capture();
        }
        EXPECT_TRUE(shots[0] == shots[1]) << p.alpha;
        const std::pair<Rgb, Rgb> probes[] = {{at(shots[1], 132, 132), p.middle}, {at(shots[1], 110, 110), p.border},
                                              {at(shots[1], 432, 132), p.opaqueColour}};
        for (const auto& probe : probes)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(probe.first[c], probe.second[c], 1) << p.alpha;
    }
}

TEST_F(ShapedDrawing, AnOutlineThatCrossesItselfDrawsItsFanOfTriangles)
{
    // A bow tie: the fan about its centre covers the wedges left and right of the centre.
    float bowTie[8] = {0, 0, 100, 100, 100, 0, 0, 100};
    const unsigned int white = picture([](int, int) { return Rgba{255, 255, 255, 255}; });
    drawer->drawPoly(drawer->loadPoly(bowTie, 4), white, 200, 200, 1, 1, 1, 1, 1, 1);
    const std::vector<Rgb> shot = capture();
    const Rgb black = {0, 0, 0};
    EXPECT_EQ(at(shot, 210, 250), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(shot, 290, 250), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(shot, 250, 210), black);
    EXPECT_EQ(at(shot, 250, 290), black);
}

} // namespace

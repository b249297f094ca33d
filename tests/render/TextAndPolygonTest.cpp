#include "DrawerWindow.h"


#include <fstream>

namespace {

using Rgb = std::array<int, 3>;
const Rgb black = {0, 0, 0};
const Rgb white = {255, 255, 255};

// A new buffer of size x size pixels of one colour, for glyphs (which stay the caller's).
std::vector<unsigned char> solidSquare(unsigned int size, unsigned char r, unsigned char g, unsigned char b)
{
    std::vector<unsigned char> pixels(size * size * 4, 255);
    for (unsigned int i = 0; i < size * size; ++i) {
        pixels[i * 4] = r;
        pixels[i * 4 + 1] = g;
        pixels[i * 4 + 2] = b;
    }
    return pixels;
}

using Text = DrawerWindow;

TEST_F(Text, EveryCharacterTakesOneSquareAndOnlyGlyphsAreDrawn)
{
    drawer->drawText("a b", 10, 20, 32, 1, 1, 1, 1);
    drawer->drawText("aAb", 10, 100, 32, 1, 0, 0, 1);
    drawer->drawText("", 10, 200, 32, 1, 1, 1, 1);
    const Screenshot shot = capture();
    // Before any glyph is loaded, letters show as squares in the tint.
    EXPECT_EQ(shot.at(10, 20), white);
    EXPECT_EQ(shot.at(41, 51), white);
    EXPECT_EQ(shot.at(42, 30), black);
    EXPECT_EQ(shot.at(73, 30), black);
    EXPECT_EQ(shot.at(74, 20), white);
    EXPECT_EQ(shot.at(105, 51), white);
    EXPECT_EQ(shot.at(106, 30), black);
    EXPECT_EQ(shot.at(10, 52), black);
    EXPECT_EQ(shot.at(20, 110), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(50, 110), black);
    EXPECT_EQ(shot.at(80, 110), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(20, 210), black);
}

TEST_F(Text, DigitsAndMarksSelectTheirOwnGlyphs)
{
    const Drawer::Glyph glyphs[5] = {Drawer::GlyphMinus, Drawer::Glyph1, Drawer::Glyph2, Drawer::GlyphPeriod,
                                     Drawer::Glyph5};
    const Rgb colours[5] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}};
    for (int i = 0; i < 5; ++i) {
        std::vector<unsigned char> pixels = solidSquare(8, colours[i][0], colours[i][1], colours[i][2]);
        drawer->loadGlyph(glyphs[i], pixels.data(), 8);
    }
    // Loading again replaces the glyph; a missing picture leaves it as it is.
    std::vector<unsigned char> grey = solidSquare(8, 128, 128, 128);
    drawer->loadGlyph(Drawer::GlyphExclaim, grey.data(), 8);
    drawer->loadGlyph(Drawer::GlyphExclaim, nullptr, 8);
    drawer->loadGlyph(static_cast<Drawer::Glyph>(99), grey.data(), 8);
    drawer->drawText("-12.5!", 0, 0, 40, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(shot.at(i * 40 + 20, 20), colours[i]) << i;
    EXPECT_EQ(shot.at(220, 20), (Rgb{128, 128, 128}));
    EXPECT_EQ(shot.at(260, 20), black);
}

class Polygons : public DrawerWindow {
protected:
    void SetUp() override
    {
        DrawerWindow::SetUp();
        float square[8] = {0, 0, 100, 0, 100, 100, 0, 100};
        squarePolygon = drawer->loadPoly(square, 4);
    }

    // The lit columns of a row, first and last.
    static std::pair<int, int> lit(const Screenshot& shot, int y)
    {
        int first = -1, last = -1;
        for (int x = 0; x < 1024; ++x)
            if (shot.at(x, y) != black) {
                first = first < 0 ? x : first;
                last = x;
            }
        return {first, last};
    }

    unsigned int squarePolygon = 0;
};

TEST_F(Polygons, ASquareIsScaledFromItsOrigin)
{
    EXPECT_EQ(squarePolygon, 0u);
    const unsigned int image = solidImage(64, 64, 255, 255, 255);
    drawer->drawPoly(squarePolygon, image, 200, 100, 2.0f, 0.5f, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(lit(shot, 100), std::make_pair(200, 399));
    EXPECT_EQ(lit(shot, 149), std::make_pair(200, 399));
    EXPECT_EQ(lit(shot, 99), std::make_pair(-1, -1));
    EXPECT_EQ(lit(shot, 150), std::make_pair(-1, -1));
}

TEST_F(Polygons, TheImageStretchesOverTheBoundingBoxInItsOwnColours)
{
    // Quadrants: red, green over blue, white.
    unsigned char* pixels = new unsigned char[64 * 64 * 4];
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int quadrant = (y >= 32) * 2 + (x >= 32);
            const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            unsigned char* pixel = pixels + (y * 64 + x) * 4;
            std::copy(colours[quadrant], colours[quadrant] + 3, pixel);
            pixel[3] = 255;
        }
    const unsigned int image = drawer->loadImage(pixels, 64, 64);
    // The tint's colour does not reach the image; its alpha does.
    drawer->drawPoly(squarePolygon, image, 300, 300, 1, 1, 0, 0, 0, 1);
    drawer->drawPoly(squarePolygon, image, 600, 300, 1, 1, 1, 1, 1, 0.5f);
    // Afterwards images are tinted as usual.
    drawer->drawImage(image, 300, 500, 1, 1, 0, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(310, 310), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(390, 310), (Rgb{0, 255, 0}));
    EXPECT_EQ(shot.at(310, 390), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(390, 390), white);
    const Rgb faded = shot.at(690, 390);
    EXPECT_NEAR(faded[0], 128, 1);
    EXPECT_EQ(shot.at(310, 510), black);
    EXPECT_EQ(shot.at(355, 555), (Rgb{0, 255, 255}));
}

TEST_F(Polygons, OutlinesWithoutAreaAndUnknownHandlesDrawNothing)
{
    const unsigned int image = solidImage(8, 8, 255, 255, 255);
    float twoPoints[4] = {0, 0, 300, 300};
    float onALine[6] = {0, 0, 100, 100, 300, 300};
    float upright[6] = {50, 0, 50, 100, 50, 300};
    const unsigned int handles[5] = {drawer->loadPoly(twoPoints, 2), drawer->loadPoly(onALine, 3),
                                     drawer->loadPoly(upright, 3), drawer->loadPoly(nullptr, 4),
                                     drawer->loadPoly(onALine, -3)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(handles[i], static_cast<unsigned int>(i + 1));
        drawer->drawPoly(handles[i], image, 100, 100, 1, 1, 1, 1, 1, 1);
    }
    drawer->drawPoly(squarePolygon, 0, 100, 100, 1, 1, 1, 1, 1, 1);
    drawer->drawPoly(squarePolygon, 999, 100, 100, 1, 1, 1, 1, 1, 1);
    drawer->drawPoly(6, image, 100, 100, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (int x = 0; x < 1024; x += 4)
        for (int y = 0; y < 768; y += 4)
            ASSERT_EQ(shot.at(x, y), black) << x << "," << y;
}

TEST_F(Polygons, ASecondImageMultipliesUntilTheFrameEnds)
{
    const unsigned int main = solidImage(64, 64, 255, 255, 255);
    const unsigned int second = solidImage(64, 64, 255, 0, 0);
    drawer->useSecondImage(second);
    drawer->drawPoly(squarePolygon, main, 0, 0, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(capture().at(50, 60), (Rgb{255, 0, 0}));
    drawer->useSecondImage(second);
    drawer->endDrawing();
    drawer->beginDrawing();
    drawer->drawPoly(squarePolygon, main, 0, 0, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(capture().at(50, 60), white);
    // A second image that is not registered is left out.
    drawer->useSecondImage(12345);
    drawer->drawPoly(squarePolygon, main, 0, 0, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(capture().at(50, 60), white);
}

TEST_F(Polygons, AShaderProgramDecidesTheColour)
{
    const std::string vertexFile = testing::TempDir() + "polygon_test.vert";
    const std::string fragmentFile = testing::TempDir() + "polygon_test.frag";
    std::ofstream(vertexFile) << "void main() { gl_TexCoord[0] = gl_MultiTexCoord0; gl_Position = ftransform(); }\n";
    // A sampler cannot be called "main" beside the function main, so the first image is read through
    // a sampler of another name, which reads texture unit 0 by default.
    std::ofstream(fragmentFile) << "uniform sampler2D first;\nuniform sampler2D second;\n"
                                   "void main() { gl_FragColor = texture2D(first, gl_TexCoord[0].st) "
                                   "* texture2D(second, vec2(0.5, 0.5)).bgra; }\n";
    testing::internal::CaptureStdout();
    const unsigned int program = drawer->loadShader(vertexFile, fragmentFile);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(program, 0u);
    EXPECT_NE(log.find("OpenGLDrawer Shader InfoLog:\n----------------------------\n"), std::string::npos);
    EXPECT_NE(log.find(vertexFile + ":\n"), std::string::npos);

    const unsigned int main = solidImage(64, 64, 255, 255, 255);
    const unsigned int second = solidImage(64, 64, 255, 0, 0);
    drawer->useShader(program);
    drawer->useSecondImage(second);
    drawer->drawPoly(squarePolygon, main, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer->useShader(0);
    drawer->drawPoly(squarePolygon, main, 200, 0, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(50, 60), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(250, 60), (Rgb{255, 0, 0}));
}

} // namespace

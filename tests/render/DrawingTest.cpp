// SPDX-License-Identifier: MIT
#include "OpenGLDrawer.h"
#include "XDisplay.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

// Real pixels: each case draws into a window under Xvfb and reads the frame back.
namespace {

using Rgb = std::array<int, 3>;
using Rgba = std::array<unsigned char, 4>;
const Rgb black = {0, 0, 0}, white = {255, 255, 255}, red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};

// Classic SDL opens one window per process, so the first window's case needs a process of its own.
TEST(FirstWindow, WithoutVideoNothingCrashesAndAMissingSampleCountFallsBackToNone)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "needs a process of its own, as CTest runs it";
    SKIP_WITHOUT_X_DISPLAY();
    OpenGLDrawer withoutVideo;
    EXPECT_FALSE(withoutVideo.initialise(640, 480, false, 0));
    // Without GLEW there are no shader programs to load or use.
    EXPECT_EQ(withoutVideo.loadShader("a.vert", "a.frag"), 0u);
    withoutVideo.useShader(1);
    EXPECT_EQ(std::unique_ptr<unsigned char[]>(withoutVideo.getScreenPixels())[0], 0);

    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    OpenGLDrawer drawer;
    testing::internal::CaptureStdout();
    // Mesa's software GL has no visual with 6 samples, the configuration's default.
    EXPECT_TRUE(drawer.initialise(640, 480, false, 6));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "OpenGLDrawer: Display is 32bit.\n"
              "OpenGLDrawer: No window with 6 samples of antialiasing; trying without antialiasing.\n"
              "Using GLEW version: 2.2.0\n");
    drawer.fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    EXPECT_EQ(std::unique_ptr<unsigned char[]>(drawer.getScreenPixels())[0], 255);
    SDL_Quit();
}

// A picture read back from the window, addressed from its top-left corner like the logical screen.
struct Screenshot {
    std::unique_ptr<unsigned char[]> pixels; // as the drawer returns them, bottom row first
    int width, height;

    Rgb at(int x, int y) const
    {
        const unsigned char* pixel = pixels.get() + ((height - 1 - y) * width + x) * 3;
        return {pixel[0], pixel[1], pixel[2]};
    }
    // The first and last lit columns of row y, or -1 where nothing is lit.
    std::pair<int, int> litColumns(int y) const
    {
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x)
            if (at(x, y) != black) {
                first = first < 0 ? x : first;
                last = x;
            }
        return {first, last};
    }
};

// Gives each case a fresh drawer on the process's one window (classic SDL opens a window once per
// process; setting the video mode again resizes it and keeps its GL context).
class Drawing : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (hasXDisplay()) {
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        }
    }
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        open(1024, 768);
    }

    // Opens the window at a size with a new drawer and starts a frame.
    void open(unsigned short width, unsigned short height)
    {
        drawer.reset(new OpenGLDrawer);
        ASSERT_TRUE(drawer->initialise(width, height, false, 0));
        // The GL framebuffer takes a resized window's new size at the next buffer swap.
        drawer->endDrawing();
        drawer->beginDrawing();
    }

    // Returns the frame's pixels and starts the next frame.
    Screenshot capture()
    {
        const SDL_Surface* window = SDL_GetVideoSurface();
        Screenshot shot{std::unique_ptr<unsigned char[]>(drawer->getScreenPixels()), window->w, window->h};
        drawer->beginDrawing();
        return shot;
    }

    // Registers a picture whose pixel at (x, y) is colourAt(x, y).
    template <class ColourAt>
    unsigned int makeImage(unsigned int width, unsigned int height, ColourAt colourAt)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x) {
                const Rgba colour = colourAt(x, y);
                std::copy(colour.begin(), colour.end(), pixels + (y * width + x) * 4);
            }
        return drawer->loadImage(pixels, width, height);
    }
    unsigned int solidImage(unsigned int size, Rgba colour)
    {
        return makeImage(size, size, [colour](unsigned int, unsigned int) { return colour; });
    }

    struct Probe {
        int x, y;
        Rgb colour;
    };
    // Expects each probed pixel to hold its colour.
    static void expectPixels(const Screenshot& shot, std::initializer_list<Probe> probes)
    {
        for (const Probe& probe : probes)
            EXPECT_EQ(shot.at(probe.x, probe.y), probe.colour) << "at " << probe.x << "," << probe.y;
    }

    std::unique_ptr<OpenGLDrawer> drawer;
};

TEST_F(Drawing, OtherShapesOfWindowShowTheLogicalScreenFittedBetweenBlackBars)
{
    // Window width and height, then the logical screen's first and last column and row in it.
    const int fits[][6] = {{1024, 768, 0, 1023, 0, 767}, {1280, 800, 106, 1171, 0, 799},
                           {1280, 1024, 0, 1279, 32, 991}};
    for (const auto& fit : fits) {
        open(fit[0], fit[1]);
        drawer->fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
        const Screenshot shot = capture();
        for (const int y : {fit[4], fit[5]})
            EXPECT_EQ(shot.litColumns(y), std::make_pair(fit[2], fit[3])) << fit[0] << "x" << fit[1] << ", " << y;
        if (fit[4] > 0) { // bars above and below
            EXPECT_EQ(shot.litColumns(fit[4] - 1).first, -1);
            EXPECT_EQ(shot.litColumns(fit[5] + 1).first, -1);
        }
    }
}

TEST_F(Drawing, CapturedRowsHaveNoPadding)
{
    // Rows of 1021 pixels are not a multiple of 4 bytes; padded rows would drift and overrun.
    open(1021, 766);
    drawer->fillRect(0, 0, 512, 768, 255, 0, 0, 255);
    const Screenshot shot = capture();
    for (int y = 1; y < 766; ++y)
        expectPixels(shot, {{0, y, red}, {1020, y, black}});
}

TEST_F(Drawing, FillsCoverExactlyTheirAreaAndGradientsRunTopToBottom)
{
    drawer->fillRect(10, 20, 30, 40, 255, 0, 0, 255);
    drawer->fillGradient(200, 0, 100, 256, 255, 0, 0, 255, 0, 0, 255, 255);
    const Screenshot shot = capture();
    expectPixels(shot,
                 {{10, 20, red}, {39, 59, red}, {9, 20, black}, {40, 59, black}, {10, 19, black}, {10, 60, black}});
    // Top row red, bottom row blue, half way between in the middle.
    for (const int y : {0, 128, 255})
        EXPECT_EQ(shot.at(250, y), (Rgb{255 - y, 0, y})) << y;
    EXPECT_EQ(shot.litColumns(256), std::make_pair(-1, -1));
}

TEST_F(Drawing, AViewportHasItsOwnCoordinatesAndClipsUntilReset)
{
    drawer->setViewport(0, 0, 512, 384);
    drawer->fillRect(0, 0, 512, 384, 255, 255, 255, 255);
    Screenshot shot = capture();
    EXPECT_EQ(shot.litColumns(383), std::make_pair(0, 511));
    EXPECT_EQ(shot.litColumns(384).first, -1);
    drawer->setViewport(512, 384, 512, 384);
    drawer->fillRect(-100, -100, 1000, 1000, 255, 255, 255, 255);
    drawer->resetViewport();
    drawer->fillRect(0, 0, 10, 10, 255, 255, 255, 255);
    shot = capture();
    EXPECT_EQ(shot.litColumns(5), std::make_pair(0, 9));
    EXPECT_EQ(shot.litColumns(383), std::make_pair(-1, -1));
    EXPECT_EQ(shot.litColumns(384), std::make_pair(512, 1023));
}

TEST_F(Drawing, ALineHasASolidMiddleAndSoftEdges)
{
    drawer->drawLine(100, 300, 300, 300, 1, 1, 1, 1);
    const Screenshot shot = capture();
    const int profile[10] = {0, 2, 33, 192, 255, 255, 192, 33, 2, 0}; // the line picture's alphas
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(shot.at(200, 295 + i)[0], profile[i], 1) << i;
    EXPECT_EQ(shot.litColumns(300), std::make_pair(100, 299));
}

TEST_F(Drawing, TextTakesOneSquarePerCharacterInItsGlyph)
{
    // Characters without a loaded glyph show as squares in the tint; spaces leave gaps.
    drawer->drawText("a b", 10, 20, 32, 1, 0, 0, 1);
    unsigned char yellow[4] = {255, 255, 0, 255}; // a glyph of one pixel
    drawer->loadGlyph(Drawer::GlyphPeriod, yellow, 1);
    drawer->loadGlyph(Drawer::GlyphMinus, nullptr, 8); // a missing picture changes nothing
    drawer->drawText("-.", 10, 100, 40, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.litColumns(20), std::make_pair(10, 105));
    expectPixels(shot, {{41, 51, red}, {42, 30, black}, {73, 30, black}, {10, 52, black},
                        {30, 120, white}, {70, 120, {255, 255, 0}}});
}

TEST_F(Drawing, ImagesScaleAboutTheirCentreMirrorAtNegativeScaleAndTakeTheTint)
{
    // Red on the left, blue on the right, to show which way a picture faces.
    const unsigned int halves = makeImage(64, 64, [](unsigned int x, unsigned int) {
        return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255};
    });
    drawer->drawImage(halves, 100, 100, 2, 2, 1, 1, 1, 1);
    drawer->drawImage(halves, 500, 100, -2, -2, 1, 1, 1, 1);
    const unsigned int orange = solidImage(32, {255, 200, 100, 255});
    drawer->fillRect(0, 400, 1024, 100, 0, 0, 200, 255);
    drawer->drawImage(orange, 0, 400, 1, 1, 1, 0.5f, 0, 1);
    drawer->drawImage(orange, 100, 400, 1, 1, 1, 1, 1, 0.5f);
    // 100 by 60 is held in a 128 by 64 texture; only the picture appears, at its own size.
    const unsigned int enlarged = makeImage(100, 60, [](unsigned int, unsigned int) { return Rgba{9, 9, 9, 255}; });
    drawer->drawImage(enlarged, 10, 600, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.litColumns(659), std::make_pair(10, 109));
    EXPECT_EQ(shot.litColumns(660).first, -1);
    // Scale 2 at (100, 100) covers (68, 68) to (196, 196); scale -2 the same square turned half way round.
    expectPixels(shot, {{68, 68, red}, {195, 195, blue}, {67, 100, black}, {196, 100, black}, {100, 67, black},
                        {100, 196, black}, {468, 68, blue}, {595, 195, red}, {467, 100, black}, {596, 100, black}});
    const Rgb tinted[2] = {{255, 100, 0}, {128, 100, 150}};
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(shot.at(16 + 100 * i, 416)[c], tinted[i][c], 1) << i << ":" << c;
}

TEST_F(Drawing, APolygonIsScaledFromItsOriginWithItsImageStretchedAndMultipliedByASecond)
{
    float square[8] = {0, 0, 100, 0, 100, 100, 0, 100};
    const unsigned int polygon = drawer->loadPoly(square, 4);
    const unsigned int quarters = makeImage(64, 64, [](unsigned int x, unsigned int y) {
        return y < 32 ? Rgba{255, 0, 0, 255} : x < 32 ? Rgba{0, 255, 0, 255} : Rgba{0, 0, 255, 255};
    });
    drawer->drawPoly(polygon, solidImage(8, {255, 255, 255, 255}), 200, 100, 2.0f, 0.5f, 1, 1, 1, 1);
    drawer->drawPoly(polygon, quarters, 300, 300, 1, 1, 0, 0, 0, 1); // the tint's colour does not reach it
    drawer->useSecondImage(solidImage(8, {255, 0, 255, 255}));
    drawer->drawPoly(polygon, quarters, 300, 500, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (const int y : {100, 149})
        EXPECT_EQ(shot.litColumns(y), std::make_pair(200, 399)) << y;
    expectPixels(shot, {{300, 99, black}, {300, 150, black}, {310, 310, red}, {310, 390, green}, {390, 390, blue},
                        {310, 590, black}, {390, 590, blue}});
}

TEST_F(Drawing, UnknownHandlesMissingPixelsAndShapesWithoutAreaDrawNothing)
{
    const unsigned int released = solidImage(64, {255, 255, 255, 255});
    drawer->releaseImage(released);
    drawer->releaseImage(99);
    EXPECT_EQ(drawer->loadImage(nullptr, 4, 4), 0u);
    EXPECT_EQ(drawer->loadImage(new unsigned char[4], 0, 1), 0u);
    for (const unsigned int image : {released, 0u, 12345u})
        drawer->drawImage(image, 100, 100, 1, 1, 1, 1, 1, 1);
    // Too few points, points on one line (slanted or upright), no points, a negative count.
    float twoPoints[4] = {0, 0, 300, 300}, slanted[6] = {0, 0, 100, 100, 300, 300};
    float upright[6] = {50, 0, 50, 100, 50, 300};
    const unsigned int image = solidImage(8, {255, 255, 255, 255});
    for (const unsigned int polygon : {drawer->loadPoly(twoPoints, 2), drawer->loadPoly(slanted, 3),
                                       drawer->loadPoly(upright, 3), drawer->loadPoly(nullptr, 4),
                                       drawer->loadPoly(slanted, -3), 99u})
        drawer->drawPoly(polygon, image, 100, 100, 1, 1, 1, 1, 1, 1);
    drawer->drawLine(600, 100, 600, 100, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (int y = 0; y < 768; ++y)
        ASSERT_EQ(shot.litColumns(y).first, -1) << y;
}

TEST_F(Drawing, EveryFontCharacterSelectsItsOwnGlyphAndNoOtherByteDrawsAny)
{
    const std::string font = "abcdefghijklmnopqrstuvwxyz0123456789.,+-!?"; // in glyph order
    // Glyphs of one pixel, each in a colour of its own.
    const auto colourOf = [](int glyph) { return Rgb{glyph * 6, 255 - glyph * 5, glyph * 37 % 256}; };
    for (int glyph = 0; glyph < Drawer::GlyphCount; ++glyph) {
        const Rgb colour = colourOf(glyph);
        unsigned char pixel[4] = {static_cast<unsigned char>(colour[0]), static_cast<unsigned char>(colour[1]),
                                  static_cast<unsigned char>(colour[2]), 255};
        drawer->loadGlyph(static_cast<Drawer::Glyph>(glyph), pixel, 1);
    }
    // Every byte value alone, in a grid of 16 by 16 cells.
    for (int byte = 0; byte < 256; ++byte)
        drawer->drawText(std::string(1, static_cast<char>(byte)), short(byte % 16 * 40), short(byte / 16 * 40), 24, 1,
                         1, 1, 1);
    const Screenshot shot = capture();
    for (int byte = 0; byte < 256; ++byte) {
        const std::size_t glyph = byte == 0 ? std::string::npos : font.find(static_cast<char>(byte));
        EXPECT_EQ(shot.at(byte % 16 * 40 + 12, byte / 16 * 40 + 12),
                  glyph == std::string::npos ? black : colourOf(static_cast<int>(glyph)))
            << "byte " << byte;
    }
}

// Trimming transparent borders and not blending opaque pictures must not change a single pixel, in
// windows whose logical screen sits between bars and inside a viewport of its own.
TEST_F(Drawing, PicturesLookTheSameWithAndWithoutTheShortcuts)
{
    // A soft-edged blob about (cx, cy), with stray colour under zero alpha everywhere else.
    const auto blob = [this](unsigned int width, unsigned int height, float cx, float cy, float radius) {
        return makeImage(width, height, [=](unsigned int x, unsigned int y) {
            const float alpha = std::max(0.0f, std::min(1.0f, radius - std::hypot(x + 0.5f - cx, y + 0.5f - cy)));
            return Rgba{static_cast<unsigned char>(x * 37 + y * 11), static_cast<unsigned char>(x * 5 + y * 29),
                        static_cast<unsigned char>(200 - x - y), static_cast<unsigned char>(alpha * 255.0f)};
        });
    };
    // x, y, horizontal and vertical scale (mirrored, shrunk, enlarged so that filtering spreads each
    // edge over several pixels, over the screen's edge), alpha.
    const float placements[][5] = {{10, 10, 1, 1, 1},           {300, 40, 2, 2, 0.9f},     {800, 100, 1, -1, 0.6f},
                                   {100, 300, -2.5f, 0.75f, 1}, {400, 350, 0.3f, 0.3f, 1}, {620, 430, 4.5f, 4.5f, 1},
                                   {-30, 600, 3.3f, 1.7f, 1},   {990, 700, 1, 1, 1},       {500, 650, 0.77f, 1.31f, 0.5f}};
    // Window width and height, and whether the pictures go into a viewport.
    const int windows[][3] = {{1024, 768, 0}, {1280, 800, 0}, {1280, 800, 1}, {1000, 700, 0}, {300, 1000, 0}};
    for (const auto& window : windows) {
        open(static_cast<unsigned short>(window[0]), static_cast<unsigned short>(window[1]));
        // Inside an enlarged texture, cut by its right and bottom edges, in a corner, invisible, and
        // opaque throughout (enlarged and not).
        const unsigned int images[] = {blob(100, 60, 40, 30, 12.5f), blob(100, 60, 95, 55, 20),
                                       blob(64, 64, 3, 2, 9),        blob(32, 32, 16, 16, 0),
                                       blob(50, 30, 25, 15, 1000),   blob(32, 16, 16, 8, 1000)};
        Screenshot shots[2];
        for (const bool shortcuts : {false, true}) {
            drawer->setShortcuts(shortcuts);
            drawer->fillGradient(0, 0, 1024, 768, 30, 90, 160, 255, 220, 180, 40, 255);
            if (window[2] != 0)
                drawer->setViewport(150, 70, 700, 600);
            for (const unsigned int image : images)
                for (const auto& p : placements)
                    drawer->drawImage(image, short(p[0]), short(p[1]), p[2], p[3], 1, 0.8f, 1, p[4]);
            drawer->resetViewport();
            shots[shortcuts] = capture();
        }
        EXPECT_TRUE(std::equal(shots[0].pixels.get(), shots[0].pixels.get() + window[0] * window[1] * 3,
                               shots[1].pixels.get()))
            << window[0] << "x" << window[1] << (window[2] != 0 ? " in a viewport" : "");
    }
}

} // namespace

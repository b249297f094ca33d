// SPDX-License-Identifier: MIT
#include "TemporaryDirectory.h" // ScopedEnvironment
#include "XDisplay.h"
#include "render/OpenGLDrawer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>
// Xlib's macros (None, Status...) would clash with names above.
#include <SDL_syswm.h>
#include <X11/Xutil.h>

// Real pixels: each case draws into a window under Xvfb and reads the frame back.
namespace {

using Rgb = std::array<int, 3>;
using Rgba = std::array<unsigned char, 4>;
const Rgb black = {0, 0, 0}, white = {255, 255, 255}, red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};
// A picture's colours, the same at every pixel.
auto solid(Rgba colour) { return [colour](unsigned int, unsigned int) { return colour; }; }

// A picture of a window, rows from the top.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;

    // The first and last lit columns of row y, or -1 where nothing is lit.
    std::pair<int, int> litColumns(int y) const
    {
        std::pair<int, int> lit = {-1, -1};
        for (int x = 0; x < width; ++x)
            if (pixels[y * width + x] != black)
                lit = {lit.first < 0 ? x : lit.first, x};
        return lit;
    }
    // Expects the pixel at each (x, y) to hold its colour, give or take 1 for rounding.
    void expectPixels(std::initializer_list<std::tuple<int, int, Rgb>> probes) const
    {
        for (const auto& [x, y, colour] : probes)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(pixels[y * width + x][c], colour[c], 1) << "at " << x << "," << y;
    }
};

// A drawer on a real window of 1024 by 768 pixels with a frame begun, whose frames are read back.
// Classic SDL opens one window per process (setting the video mode again resizes it and keeps its GL
// context); CTest runs each case alone.
class Drawing : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        open(1024, 768);
    }
    void TearDown() override
    {
        drawer.reset();
        SDL_Quit();
    }

    // Opens the window at a size with a new drawer and begins a frame.
    void open(unsigned short width, unsigned short height)
    {
        drawer = std::make_unique<OpenGLDrawer>();
        ASSERT_TRUE(drawer->initialise(width, height, false, 0));
        drawer->endDrawing(); // the GL framebuffer takes a resized window's size at the next buffer swap
        drawer->beginDrawing();
    }

    // The frame's pixels, as the drawer reads them back (bottom row first); the next frame begins.
    Screenshot capture()
    {
        Screenshot shot{SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h, {}};
        const std::unique_ptr<unsigned char[]> bytes(drawer->getScreenPixels());
        for (int row = shot.height - 1; row >= 0; --row)
            for (int i = row * shot.width * 3; i < (row + 1) * shot.width * 3; i += 3)
                shot.pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
        drawer->beginDrawing();
        return shot;
    }

    // Registers a picture whose pixel at (x, y) is colourAt(x, y).
    template <class ColourAt>
    unsigned int makeImage(unsigned int width, unsigned int height, ColourAt colourAt)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (unsigned int i = 0; i < width * height; ++i)
            std::copy_n(colourAt(i % width, i / width).begin(), 4, pixels + i * 4);
        return drawer->loadImage(pixels, width, height);
    }

    // The drawer under test, on the window opened last.
    std::unique_ptr<OpenGLDrawer> drawer;
};

TEST(DrawerSetUp, WithoutVideoNothingCrashesAndAMissingSampleCountFallsBackToNone)
{
    SKIP_WITHOUT_X_DISPLAY();
    OpenGLDrawer withoutVideo;
    EXPECT_FALSE(withoutVideo.initialise(640, 480, false, 0));
    EXPECT_EQ(std::unique_ptr<unsigned char[]>(withoutVideo.getScreenPixels())[0], 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    testing::internal::CaptureStdout();
    // 6 samples, the configuration's default: classic SDL finds no such visual in Mesa's software GL,
    // so the drawer tries again without; sdl12-compat grants them. Either way a window opens.
    EXPECT_TRUE(OpenGLDrawer().initialise(640, 480, false, 6));
    int sampleBuffers = -1;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &sampleBuffers);
    const std::string fallback = sampleBuffers != 0 ? ""
        : "OpenGLDrawer: No window with 6 samples of antialiasing; trying without antialiasing.\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "OpenGLDrawer: Display is 32bit.\n" + fallback + "Using GLEW version: 2.2.0\n");
    EXPECT_EQ(std::make_pair(SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h), std::make_pair(640, 480));
    SDL_Quit();
}


// Fills cover exactly their area, gradients run top to bottom, lines have a solid middle and soft edges;
// pictures scale about their centre, mirror at a negative scale and take the tint. Where a viewport
// maps and clips is shown in every shape of window below.
TEST_F(Drawing, FillsLinesAndImagesCoverTheirPlaceInTheirColours)
{
    drawer->fillRect(10, 20, 30, 40, 250, 150, 50, 204);
    drawer->fillGradient(200, 0, 100, 256, 240, 160, 80, 255, 30, 90, 200, 153);
    drawer->drawLine(400, 300, 600, 300, 1, 1, 1, 1);
    drawer->drawLine(800, 100, 800, 250, 0.2f, 1, 0.6f, 1); // upright
    // Yellow, cyan, red and blue quarters, to show which way a picture faces.
    const unsigned int quarters = makeImage(64, 64, [](unsigned int x, unsigned int y) {
        return Rgba{static_cast<unsigned char>(x < 32 ? 255 : 0), static_cast<unsigned char>(y < 32 ? 255 : 0),
                    static_cast<unsigned char>(x < 32 ? 0 : 255), 255};
    });
    drawer->drawImage(quarters, 100, 100, 2, 1.5f, 1, 1, 1, 1);
    drawer->drawImage(quarters, 500, 100, -2, -1.5f, 1, 1, 1, 1);
    // Orange on the left half, see-through on the right; a shader program shows both halves in colours of its own.
    // 24 pixels wide, it is held in a texture of 32 enlarged across: only the picture appears, at its own size.
    const unsigned int orange = makeImage(24, 32, [](unsigned int x, unsigned int) {
        return x < 12 ? Rgba{255, 200, 100, 255} : Rgba{0, 0, 0, 0};
    });
    drawer->fillRect(0, 400, 1024, 100, 0, 0, 200, 255);
    drawer->drawImage(orange, 0, 400, 1, 1, 1, 0.5f, 0, 1);
    drawer->drawImage(orange, 100, 400, 1, 1, 1, 1, 1, 0.5f);
    drawer->useShader(drawer->loadShader(RENDER_TEST_DATA "/rotated.vert", RENDER_TEST_DATA "/rotated.frag"));
    drawer->drawImage(orange, 200, 400, 1, 1, 0.5f, 1, 1, 0.5f);
    drawer->useShader(0);
    // One pixel wide, its upper two thirds at the faintest alpha: thin or faint, every inked texel shows.
    drawer->drawImage(makeImage(1, 3, [](unsigned int, unsigned int y) {
        return Rgba{255, 255, 255, static_cast<unsigned char>(y < 2 ? 1 : 255)};
    }), 900, 340, 8, 8, 1, 1, 1, 1);
    // A viewport one unit high, filled on its left half.
    drawer->setViewport(0, 767, 1024, 1);
    drawer->fillRect(0, -5, 512, 10, 255, 255, 255, 255);
    // A viewport 400 by 200 from (600, 560) with units of its own: (100, 110) is (700, 670) on screen.
    drawer->setViewport(600, 560, 400, 200);
    drawer->fillRect(100, 110, 200, 50, 60, 220, 140, 255);
    const Screenshot shot = capture();
    for (const auto& [y, lit] : {std::pair{256, std::pair{-1, -1}}, {300, {400, 599}}, {332, {896, 903}},
                                 {670, {700, 899}}, {719, {700, 899}}, {720, {-1, -1}}, {767, {0, 511}}})
        EXPECT_EQ(shot.litColumns(y), lit) << "row " << y;
    // Scale (2, 1.5) at (100, 100) covers (68, 84) to (196, 180); (-2, -1.5) the same turned half way round.
    // Lines are solid in the middle of their 8 units, soft at the edges (the line picture's alphas).
    shot.expectPixels({{500, 297, {33, 33, 33}}, {500, 299, white}, {500, 302, {33, 33, 33}}, {500, 305, black},
                       {797, 200, {7, 33, 20}}, {800, 200, {51, 255, 153}}, {802, 200, {7, 33, 20}}, {9, 20, black},
                       {10, 20, {200, 120, 40}}, {39, 59, {200, 120, 40}}, {40, 59, black}, {10, 19, black},
                       {10, 60, black}, {800, 99, black}, {800, 250, black}, {800, 100, {51, 255, 153}},
                       {68, 84, {255, 255, 0}}, {195, 179, blue}, {67, 100, black}, {196, 100, black},
                       {100, 83, black}, {100, 180, black}, {468, 84, blue}, {595, 179, {255, 255, 0}},
                       {467, 100, black}, {596, 100, black}, {500, 83, black}, {500, 180, black},
                       {10, 402, {255, 100, 0}}, {12, 416, {0, 0, 200}}, {108, 416, {128, 100, 150}},
                       {204, 416, {115, 79, 185}}, {218, 416, {11, 11, 176}}, {250, 0, {239, 160, 80}},
                       {250, 255, {18, 54, 120}}}); // the gradient's ends
}

// Unknown handles, missing pixels and shapes without area draw nothing (right of column 400 here).
// The fan about the outline's mean point also draws outlines that cross themselves.
TEST_F(Drawing, PolygonsAreScaledFromTheirOriginWithTheirImagesStretchedAndMultipliedByASecond)
{
    // Replaced under its handle during a frame, a picture leaves what was drawn before in the old one.
    const unsigned int released = makeImage(8, 8, solid({255, 0, 0, 255}));
    drawer->drawImage(released, 600, 700, 4, 4, 1, 1, 1, 1);
    drawer->releaseImage(released);
    ASSERT_EQ(makeImage(8, 8, solid({0, 255, 0, 255})), released);
    drawer->drawImage(released, 700, 700, 4, 4, 1, 1, 1, 1);
    drawer->releaseImage(released);
    EXPECT_EQ(drawer->loadImage(nullptr, 4, 4), 0u);
    for (const auto& [width, height] : {std::pair{0u, 1u}, {1u, 0u}, {1u, 65536u}, {65536u, 1u}}) // 16 bits at most
        EXPECT_EQ(drawer->loadImage(new unsigned char[4 * 65536](), width, height), 0u) << width << "x" << height;
    for (const unsigned int image : {released, 0u, 12345u})
        drawer->drawImage(image, 700, 100, 1, 1, 1, 1, 1, 1);
    const unsigned int white = makeImage(8, 8, solid({255, 255, 255, 255}));
    const auto outline = [this](std::vector<float> xy) { return drawer->loadPoly(xy.data(), int(xy.size() / 2)); };
    // Too few points, points on one line (slanted or upright), no points, a negative count.
    float slanted[6] = {0, 0, 100, 100, 300, 300};
    for (const unsigned int polygon : {drawer->loadPoly(slanted, 2), drawer->loadPoly(slanted, 3),
                                       outline({50, 0, 50, 100, 50, 300}), drawer->loadPoly(nullptr, 4),
                                       drawer->loadPoly(slanted, -3), 99u})
        drawer->drawPoly(polygon, white, 600, 100, 1, 1, 1, 1, 1, 1);
    drawer->drawLine(600, 100, 600, 100, 1, 1, 1, 1);

    const unsigned int polygon = outline({0, 0, 100, 0, 100, 100, 0, 100});
    const unsigned int quarters = makeImage(64, 64, [](unsigned int x, unsigned int y) {
        return y < 32 ? Rgba{255, 0, 0, 255} : x < 32 ? Rgba{0, 255, 0, 255} : Rgba{0, 0, 255, 255};
    });
    drawer->drawPoly(polygon, white, 200, 100, 2.0f, 0.5f, 1, 1, 1, 1);
    // A bow tie whose fan covers the wedges left and right of its centre, which span every row. Its points
    // lie far from its origin, where a centre other than their mean would fall outside it.
    drawer->drawPoly(outline({300, 0, 400, 100, 400, 0, 300, 100}), white, -100, 200, 1, 1, 1, 1, 1, 1);
    drawer->drawPoly(polygon, quarters, 300, 300, 1, 1, 0, 0, 0, 1); // the tint's colour does not reach it
    // An outline twice as wide as high, away from its origin, still spans the whole picture on each axis.
    drawer->drawPoly(outline({50, 100, 50, 200, 250, 200, 250, 100}), quarters, 450, 200, 1, 1, 1, 1, 1, 1);
    // Magenta over cyan: the fan's outer corners take its top row, its centre the bottom row.
    drawer->useSecondImage(makeImage(8, 8, [](unsigned int, unsigned int y) {
        return y < 4 ? Rgba{255, 0, 255, 255} : Rgba{0, 255, 255, 255};
    }));
    drawer->drawPoly(polygon, quarters, 300, 500, 1, 1, 1, 1, 1, 1);
    const Screenshot shot = capture();
    for (int y = 202; y < 298; ++y)
        ASSERT_EQ(shot.litColumns(y), std::make_pair(200, 299)) << y;
    for (int y = 0; y < 300; ++y)
        ASSERT_LT(shot.litColumns(y).second, 400) << y;
    shot.expectPixels({{200, 100, ::white}, {399, 149, ::white}, {199, 120, black}, {400, 120, black},
                       {300, 99, black}, {300, 150, black}, {250, 210, black}, {250, 290, black}, {310, 310, red},
                       {360, 360, blue}, {310, 390, green}, {390, 390, blue}, {310, 590, black}, {390, 590, blue},
                       {380, 505, red}, {510, 340, red}, {690, 340, red}, {510, 360, green}, {690, 390, blue},
                       {590, 390, green}, {315, 560, black}, {340, 560, green}, {600, 700, red}, {700, 700, green}});
    // The second image lasted until the end of its frame.
    drawer->endDrawing();
    drawer->beginDrawing();
    drawer->drawPoly(polygon, quarters, 300, 500, 1, 1, 1, 1, 1, 1);
    capture().expectPixels({{310, 510, red}, {310, 590, green}});
}

// Every byte value draws its own glyph or nothing in a square of its own, the font's glyphs being a to z,
// 0 to 9 and . , + - ! ? in that order; until glyphs are loaded text shows as squares in its tint. Glyphs
// stand upright and the right way round.
TEST_F(Drawing, EveryByteDrawsItsOwnGlyphOrNothingInItsSquare)
{
    // All 256 bytes in rows of squares of 4 units across the screen, each channel tinted its own way: one
    // drawn with the white squares glyphs start as, one after the glyphs were loaded.
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    drawer->drawText(bytes, 0, 200, 4, 1, 0.6f, 0.2f, 1);
    const std::string font = "abcdefghijklmnopqrstuvwxyz0123456789.,+-!?";
    const Rgb lit = {255, 153, 51}; // white in the tint
    // Glyphs of one pixel, each in a colour of its own.
    const auto colourOf = [](int glyph) { return Rgb{glyph * 6, 255 - glyph * 5, glyph * 37 % 256}; };
    for (int glyph = 0; glyph < Drawer::GlyphCount; ++glyph) {
        Rgba pixel = {255, 255, 255, 255};
        std::copy_n(colourOf(glyph).begin(), 3, pixel.begin());
        drawer->loadGlyph(static_cast<Drawer::Glyph>(glyph), pixel.data(), 1);
    }
    drawer->loadGlyph(Drawer::GlyphMinus, nullptr, 8); // a missing picture changes nothing
    drawer->drawText(bytes, 0, 300, 4, 1, 0.6f, 0.2f, 1);
    const Screenshot shot = capture();
    for (int byte = 0; byte < 256; ++byte) {
        const std::size_t glyph = font.find(static_cast<char>(byte));
        const Rgb colour = glyph == std::string::npos ? black : colourOf(int(glyph));
        const Rgb tinted = {colour[0], int(std::lround(colour[1] * 0.6)), int(std::lround(colour[2] * 0.2))};
        shot.expectPixels({{byte * 4 + 2, 302, tinted}, {byte * 4 + 2, 202, colour == black ? black : lit}});
    }
    // A glyph of four colours, one a quarter.
    const Rgba quarters[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    unsigned char fourColours[64];
    for (int i = 0; i < 16; ++i)
        std::copy_n(quarters[i / 8 * 2 + i % 4 / 2].begin(), 4, fourColours + i * 4);
    drawer->loadGlyph(Drawer::GlyphQuestion, fourColours, 4);
    drawer->drawText("?", 900, 600, 64, 1, 1, 1, 1);
    capture().expectPixels({{915, 615, red}, {948, 615, green}, {915, 648, blue}, {948, 648, white}});
}

// Each shape of window shows the logical screen between black bars, and a viewport where it maps there.
TEST_F(Drawing, EveryShapeOfWindowShowsTheLogicalScreenBetweenBars)
{
    // Window width and height, whether the fill goes into a viewport (1), and the first and last column
    // and row lit in the window. Rows of 1021 pixels are not a multiple of 4 bytes: read back with padding,
    // they would drift.
    const int windows[][7] = {{1024, 768, 0, 0, 1023, 0, 767},  {1280, 800, 0, 106, 1171, 0, 799},
                              {1280, 800, 1, 262, 990, 72, 696}, {1021, 700, 0, 43, 975, 0, 699},
                              {300, 1000, 0, 0, 299, 388, 612},  {300, 1000, 1, 43, 247, 408, 582}};
    for (const auto& [width, height, viewport, left, right, top, bottom] : windows) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << (viewport ? " +view" : ""));
        open(static_cast<unsigned short>(width), static_cast<unsigned short>(height));
        viewport ? drawer->setViewport(150, 70, 700, 600) : drawer->resetViewport();
        drawer->fillRect(-100, -100, 2000, 2000, 30, 90, 160, 255);
        const Screenshot shot = capture();
        EXPECT_TRUE(viewport || std::make_pair(drawer->getActualWidth() + left, drawer->getActualHeight() + top) ==
                                    std::make_pair(right + 1, bottom + 1));
        for (const int y : {top, bottom})
            EXPECT_EQ(shot.litColumns(y), std::make_pair(left, right)) << "row " << y;
        for (const int y : {top - 1, bottom + 1})
            EXPECT_TRUE(y < 0 || y >= height || shot.litColumns(y).first == -1) << "row " << y;
    }
}

// Random frames, most like the one before, for a drawer that leaves out unchanged frames and one that
// draws every frame. The same seed makes the same calls on both.
class Frames : public Drawing {
protected:
    using Numbers = std::array<std::mt19937::result_type, 10>;

    // What the window shows, as the X server holds it: a frame left out leaves the last one presented
    // there. Both SDLs present GL frames through the connection gfxdisplay names; syncing it brings them in.
    std::vector<char> shownPicture()
    {
        XSync(x11.gfxdisplay, False);
        XImage* image = XGetImage(x11.display, x11.window, 0, 0, SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h,
                                  0xffffff, ZPixmap);
        std::vector<char> bytes(image->data, image->data + image->bytes_per_line * image->height);
        XDestroyImage(image);
        return bytes;
    }

    unsigned int pick(std::size_t choices) { return random() % choices; }
    Numbers numbers()
    {
        return {random(), random(), random(), random(), random(), random(), random(), random(), random(), random()};
    }

    // A drawing call that ten random numbers choose and fill in, on handles that may or may not be loaded.
    void draw(const Numbers& n)
    {
        const short x = short(n[1] % 1000) - 20, y = short(n[2] % 760) - 20, w = short(n[3] % 300) - 20,
                    h = short(n[4] % 200) - 20;
        // Often the newest picture, which changes most; 1 is the line picture.
        const unsigned int handle = n[5] % 3 == 0 ? newest : 1 + n[5] % 8;
        const float sx = float(int(n[6] % 11) - 3) * 1.6f, sy = float(int(n[7] % 7) - 2) * 2.1f;
        const float r = n[6] % 5 / 4.0f, g = n[7] % 5 / 4.0f, b = n[8] % 5 / 4.0f, a = (1 + n[9] % 4) / 4.0f;
        switch (n[0] % 12) {
        case 0: return drawer->fillRect(x, y, w, h, n[1], n[2], n[3], n[4]); // their low bytes
        case 1: return drawer->fillGradient(x, y, w, h, n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]);
        case 2: return drawer->drawLine(x, y, short(w * 3), short(h * 3), r, g, b, a);
        case 3: return drawer->drawPoly(n[9] % 3, handle, x, y, sx, sy, r, g, b, a);
        case 4: return drawer->drawText(std::string("abcd A ab").substr(n[5] % 5, n[6] % 5), x, y, w / 5, r, g, b, a);
        case 5: return drawer->setViewport(short(x / 4), short(y / 4), short(w + 600), short(h + 450));
        case 6: return drawer->resetViewport();
        case 7: return drawer->useShader(handle % 3 == 0 ? program : 0);
        case 8: return drawer->useSecondImage(handle);
        default: return drawer->drawImage(handle, x, y, sx, sy, r, g, b, a);
        }
    }

    // A picture loaded, the newest replaced under its handle, one released, a glyph that the text uses
    // replaced, an outline stored, or the window painted over from outside (by a window that went away).
    void change(unsigned int kind)
    {
        const Numbers n = numbers();
        float triangle[6] = {0, 0, float(n[2] % 200), float(n[3] % 90), float(n[4] % 50), float(n[5] % 150) - 40};
        Rgba colour = {static_cast<unsigned char>(n[2]), 200, static_cast<unsigned char>(n[3]), 255};
        switch (kind) {
        case 1: drawer->releaseImage(newest); [[fallthrough]]; // the new one takes its handle
        case 0: newest = randomPicture(n); return;
        case 2: return drawer->releaseImage(2 + n[1] % 7);
        case 3: return drawer->loadGlyph(static_cast<Drawer::Glyph>(n[1] % 4), colour.data(), 1);
        case 4: drawer->loadPoly(triangle, 3); return;
        }
        XSetForeground(x11.display, DefaultGC(x11.display, 0), n[2]);
        XFillRectangle(x11.display, x11.window, DefaultGC(x11.display, 0), int(n[3] % 400), int(n[4] % 300), 90, 70);
        XSync(x11.display, False);
        drawer->invalidate();
    }
    // A picture of random colours, see-through in borders of random widths on each side and in a seventh of its
    // pixels; or opaque, or almost.
    unsigned int randomPicture(const Numbers& n)
    {
        const unsigned int width = 1 + n[1] % 90, height = 1 + n[2] % 90, borders = n[4], opaque = n[5] % 4;
        return makeImage(width, height, [=, seed = n[3]](unsigned int x, unsigned int y) {
            const auto v = [&](unsigned long value) { return static_cast<unsigned char>(value); };
            const unsigned char colour[4] = {v(seed * x), v(seed >> 8 ^ y), v(x * y), v(128 + (seed * (x ^ y) >> 25))};
            const bool shown = (colour[1] + x) % 7 != 0 && x >= borders % 4 && y >= borders / 4 % 4 &&
                               x + borders / 16 % 4 < width && y + borders / 64 % 4 < height;
            return Rgba{colour[0], colour[1], colour[2],
                        v(opaque == 0 ? 255 : opaque == 1 ? 254 + x % 2 : shown ? colour[3] : 0)};
        });
    }

    // On a new window and drawer: pictures, outlines and a shader program, then frames of a background and
    // calls that change now and then, resources changing before, during and between them. Gives what the
    // window showed after each frame.
    std::vector<std::vector<char>> play(unsigned int seed, bool plain)
    {
        SDL_Quit(); // a new GL context, which no program is current in
        SDL_Init(SDL_INIT_VIDEO);
        const ScopedEnvironment variable("MARROWGATE_DRAW_EVERY_FRAME", plain ? "1" : ""); // empty asks nothing
        open(static_cast<unsigned short>(1000 - seed * 100), static_cast<unsigned short>(500 + seed * 80));
        SDL_VERSION(&system.version);
        EXPECT_GT(SDL_GetWMInfo(&system), 0);
        drawer->setShortcuts(!plain);
        random.seed(seed);
        // It shows see-through texels and makes opaque ones translucent: the shortcuts must be off under it.
        program = drawer->loadShader(RENDER_TEST_DATA "/rotated.vert", RENDER_TEST_DATA "/rotated.frag");
        for (unsigned int i = 0; i < 8; ++i)
            change(i < 7 ? 0 : 4);
        std::vector<Numbers> scene;
        std::vector<std::vector<char>> screens;
        for (int frame = 0; frame < 100; ++frame) {
            const unsigned int changing = pick(8);
            if (changing == 1 || scene.size() < 9)
                scene.push_back(numbers());
            else if (changing == 0) // one argument
                scene[pick(scene.size())][pick(10)] = random();
            if (pick(6) == 0)
                pick(3) != 0 ? change(pick(6)) : draw(numbers());
            drawer->beginDrawing();
            drawer->fillGradient(0, 0, 1024, 768, 0, 60, 90, 255, 120, 40, 0, 255);
            const std::size_t during = pick(5) == 0 ? pick(scene.size()) : scene.size();
            for (std::size_t i = 0; i < scene.size(); ++i) {
                if (i == during)
                    change(pick(6));
                draw(scene[i]);
            }
            for (int fresh = frame % 20 == 0 ? 300 : 0; fresh > 0; --fresh) // now and then many fresh calls
                draw(numbers());
            drawer->endDrawing();
            screens.push_back(shownPicture());
        }
        rendered = drawer->getRenderedFrames() - 1; // the one open() drew
        return screens;
    }

    std::mt19937 random;
    // SDL's connections to the X server, and its window.
    SDL_SysWMinfo system = {};
    const decltype(system.info.x11)& x11 = system.info.x11;
    unsigned int program = 0, newest = 0;
    unsigned long rendered = 0;
};

// A frame left out leaves on screen what drawing it would have shown, whatever changed before, during or
// between frames; the user's setting has every frame drawn.
TEST_F(Frames, LeftOutFramesLeaveOnScreenWhatDrawingEveryFrameShows)
{
    for (const unsigned int seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const auto everyFrame = play(seed, true);
        EXPECT_EQ(rendered, everyFrame.size());
        const auto skipping = play(seed, false);
        EXPECT_LT(rendered * 4, everyFrame.size() * 3);
        for (std::size_t frame = 0; frame < everyFrame.size(); ++frame)
            ASSERT_TRUE(skipping[frame] == everyFrame[frame]) << "frame " << frame;
    }
}

} // namespace

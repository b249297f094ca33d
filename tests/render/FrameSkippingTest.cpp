// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "Application.h"
#include "GameState.h"
#include "OpenGLDrawer.h"

#include <SDL.h>

#include <functional>
#include <memory>
#include <vector>

// Xlib's macros (None, Status...) would clash with names above.
#include "PrivateXServer.h"
#include <SDL_syswm.h>

// Frames that change nothing are left out: what the screen shows must be what drawing every frame
// shows. The screen is read from the file of a private Xvfb server, so a frame that was left out shows
// whatever really stayed on screen.
namespace {

using Rgb = PrivateXServer::Rgb;
using Screen = std::vector<Rgb>;
const int windowWidth = 320, windowHeight = 240;

// Waits until the X server has carried out everything SDL and OpenGL sent it.
void settleWindow()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_GT(SDL_GetWMInfo(&info), 0);
    XSync(info.info.x11.display, False);
    XSync(info.info.x11.gfxdisplay, False);
}

int differingPixels(const Screen& one, const Screen& other)
{
    int differing = 0;
    for (std::size_t i = 0; i < one.size() && i < other.size(); ++i)
        differing += one[i] != other[i] ? 1 : 0;
    return differing;
}

class Frames : public testing::Test {
protected:
    // What happens between two frames, and what a frame draws.
    struct Step {
        std::function<void()> between;
        std::function<void()> draw;
    };

    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override
    {
        drawer.reset();
        SDL_Quit();
    }

    // Draws the steps on a fresh drawer and returns the screen after each frame.
    std::vector<Screen> play(const std::vector<Step>& steps, bool skipping)
    {
        drawer.reset(new OpenGLDrawer);
        EXPECT_TRUE(drawer->initialise(windowWidth, windowHeight, false, 0));
        drawer->setFrameSkipping(skipping);
        cursor = picture(16, 16, [](int, int) { return Rgba{255, 255, 0, 255}; });
        // A soft disc on a transparent square, loaded last so that replacing it keeps its handle.
        blob = picture(64, 64, [](int x, int y) {
            const bool inside = (x - 32) * (x - 32) + (y - 32) * (y - 32) < 700;
            return Rgba{200, 40, 90, static_cast<unsigned char>(inside ? 230 : 0)};
        });
        const unsigned long before = drawer->getRenderedFrames();
        std::vector<Screen> screens;
        for (const Step& step : steps) {
            if (step.between)
                step.between();
            drawer->beginDrawing();
            step.draw();
            drawer->endDrawing();
            settleWindow();
            screens.push_back(server.screen());
        }
        rendered = drawer->getRenderedFrames() - before;
        return screens;
    }

    using Rgba = std::array<unsigned char, 4>;
    template <class ColourAt>
    unsigned int picture(int width, int height, ColourAt colourAt)
    {
        unsigned char* pixels = new unsigned char[width * height * 4];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgba colour = colourAt(x, y);
                std::copy(colour.begin(), colour.end(), pixels + (y * width + x) * 4);
            }
        return drawer->loadImage(pixels, width, height);
    }

    // The game's kind of frame: a background, pictures, text, a line and the pointer.
    void scene(short cursorX)
    {
        drawer->fillGradient(0, 0, 1024, 768, 20, 60, 120, 255, 200, 160, 40, 255);
        drawer->drawImage(blob, 100, 100, 2, 2, 1, 1, 1, 1);
        drawer->drawText("ab1", 500, 500, 96, 1, 0.5f, 0, 1);
        drawer->drawLine(50, 700, 900, 650, 1, 1, 1, 1);
        drawer->drawImage(cursor, cursorX, 400, 4, 4, 1, 1, 1, 1);
    }
    // Replaces the disc with a green one under the same handle.
    void replaceBlob()
    {
        const unsigned int old = blob;
        drawer->releaseImage(blob);
        blob = picture(64, 64, [](int x, int) { return Rgba{0, 255, 0, static_cast<unsigned char>(x * 4)}; });
        EXPECT_EQ(blob, old);
    }

    PrivateXServer server{windowWidth, windowHeight};
    std::unique_ptr<OpenGLDrawer> drawer;
    unsigned int blob = 0, cursor = 0;
    unsigned long rendered = 0;
};

TEST_F(Frames, LeftOutFramesShowWhatDrawingEveryFrameShows)
{
    const auto still = [this] { scene(100); };
    const auto moved = [this] { scene(300); };
    const auto quarter = [this] { scene(100); drawer->setViewport(0, 0, 512, 384); };
    const auto whole = [this] { drawer->resetViewport(); scene(100); };
    const auto replace = [this] { replaceBlob(); };
    const auto withNext = [this] { scene(100); drawer->drawImage(blob + 1, 0, 0, 20, 20, 1, 1, 1, 1); };
    const auto loadNext = [this] { EXPECT_EQ(picture(8, 8, [](int, int) { return Rgba{9, 99, 9, 255}; }), blob + 1); };
    const auto replaceGlyph = [this] {
        unsigned char red[4] = {255, 0, 0, 255};
        drawer->loadGlyph(Drawer::GlyphA, red, 1);
    };
    const auto drawBlob = [this] { drawer->drawImage(blob, 0, 0, 3, 3, 1, 1, 1, 1); };
    const auto withPolygon = [this] { scene(100); drawer->drawPoly(0, cursor, 600, 100, 2, 2, 1, 1, 1, 1); };
    const auto storePolygon = [this] {
        float triangle[6] = {0, 0, 100, 30, 20, 90};
        EXPECT_EQ(drawer->loadPoly(triangle, 3), 0u);
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        unsigned long rendered; // with unchanged frames left out
    } cases[] = {
        {"identical frames", {{{}, still}, {{}, still}, {{}, still}}, 1},
        {"the pointer moves", {{{}, still}, {{}, still}, {{}, moved}, {{}, moved}}, 2},
        {"a picture replaced", {{{}, still}, {replace, still}, {{}, still}}, 2},
        // A handle drawn before it was given out draws nothing until a picture gets it.
        {"a picture loaded", {{{}, withNext}, {loadNext, withNext}, {{}, withNext}}, 2},
        {"a polygon stored", {{{}, withPolygon}, {storePolygon, withPolygon}, {{}, withPolygon}}, 2},
        {"a glyph replaced", {{{}, still}, {replaceGlyph, still}, {{}, still}}, 2},
        {"the window exposed", {{{}, still}, {[this] { drawer->invalidate(); }, still}, {{}, still}}, 2},
        // The viewport a frame leaves set is where the next frame starts drawing.
        {"a viewport kept", {{{}, quarter}, {{}, quarter}, {{}, quarter}, {{}, whole}}, 3},
        // What was drawn before the picture changed keeps the old picture; the next frame shows the new one.
        {"a picture replaced during a frame",
         {{{}, [&] { drawBlob(); replaceBlob(); }}, {{}, drawBlob}, {{}, drawBlob}}, 2},
    };
    for (const auto& c : cases) {
        const std::vector<Screen> everyFrame = play(c.steps, false);
        EXPECT_EQ(rendered, c.steps.size()) << c.name;
        const std::vector<Screen> skipping = play(c.steps, true);
        EXPECT_EQ(rendered, c.rendered) << c.name;
        for (std::size_t frame = 0; frame < c.steps.size(); ++frame)
            EXPECT_EQ(differingPixels(skipping[frame], everyFrame[frame]), 0) << c.name << ", frame " << frame;
        // Reading the frame back always draws it, and gives what the screen shows.
        drawer->beginDrawing();
        c.steps.back().draw();
        std::unique_ptr<unsigned char[]> pixels(drawer->getScreenPixels());
        EXPECT_EQ(drawer->getRenderedFrames(), c.rendered + 1) << c.name;
        Screen readBack;
        for (int y = windowHeight - 1; y >= 0; --y)
            for (int x = 0; x < windowWidth; ++x) {
                const unsigned char* pixel = pixels.get() + (y * windowWidth + x) * 3;
                readBack.push_back({pixel[0], pixel[1], pixel[2]});
            }
        EXPECT_EQ(differingPixels(readBack, skipping.back()), 0) << c.name;
        EXPECT_GT(differingPixels(skipping.back(), Screen(skipping.back().size())), 1000) << c.name << " drew nothing";
    }
}

// A screen that draws the same picture every pass and hands each pass's number to the test.
class StillScreen : public GameState {
public:
    StillScreen(Application* application, std::function<void(int)> onPass)
        : GameState(application), onPass(std::move(onPass)) {}
    void draw(Drawer* drawer) override
    {
        drawer->fillGradient(0, 0, 1024, 768, 200, 100, 0, 255, 0, 100, 200, 255);
        drawer->fillRect(300, 200, 400, 300, 255, 255, 255, 255);
        onPass(++passes);
    }
    std::string getName() const override { return "still"; }

private:
    std::function<void(int)> onPass;
    int passes = 0;
};

TEST(ExposedWindow, AWindowUncoveredShowsTheGameAgainAfterOnePass)
{
    PrivateXServer server(windowWidth, windowHeight);
    TemporaryDirectory config;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", config.getPath().c_str());
    testing::internal::CaptureStdout();
    Application application({"-w", std::to_string(windowWidth), "-h", std::to_string(windowHeight), "-ns", "-nm"});
    testing::internal::GetCapturedStdout();
    Screen game, covered, uncovered;
    // Pass 1 draws the picture; later passes draw the same, so they are left out.
    application.replaceState(new StillScreen(&application, [&](int pass) {
        if (pass == 3) {
            settleWindow();
            game = server.screen();
            server.cover(40, 30, 200, 150, 0x00ff00);
            covered = server.screen();
        } else if (pass == 4) {
            server.uncover(); // the expose reaches the game at the start of pass 5
        } else if (pass == 6) {
            settleWindow();
            uncovered = server.screen();
            application.quit();
        }
    }));
    application.eventLoop();
    EXPECT_GT(differingPixels(covered, game), 20000) << "the covering window was not shown";
    EXPECT_EQ(differingPixels(uncovered, game), 0);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "DrawingWindow.h"
#include "app/Application.h"
#include "app/GameState.h"

#include <functional>
#include <string>
#include <vector>

// Xlib's macros (None, Status...) would clash with names above.
#include "PrivateXServer.h"
#include <SDL_syswm.h>

// Frames that change nothing are left out: what the screen shows must be what drawing every frame
// shows. The screen is read from the file of a private Xvfb server, so a frame that was left out shows
// whatever really stayed on screen.
namespace {

const int windowWidth = 320, windowHeight = 240;

SDL_SysWMinfo windowInfo()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    EXPECT_GT(SDL_GetWMInfo(&info), 0);
    return info;
}

// Waits until the X server has carried out everything SDL and OpenGL sent it.
void settleWindow()
{
    const SDL_SysWMinfo info = windowInfo();
    XSync(info.info.x11.display, False);
    XSync(info.info.x11.gfxdisplay, False);
}

// Moves the window to the top left of the screen, which is where the screen is read: each SDL places
// a new window, and keeps a resized one, where it likes. Classic SDL draws in a child of the window it
// gives the window manager; sdl12-compat has one window and no wmwindow.
void placeWindowAtOrigin()
{
    const SDL_SysWMinfo info = windowInfo();
    XMoveWindow(info.info.x11.display, info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window,
                0, 0);
}

class Frames : public DrawingWindow {
protected:
    // What happens between two frames, and what a frame draws.
    using Step = std::pair<std::function<void()>, std::function<void()>>;

    // Draws the steps on a fresh drawer and returns the screen after each frame.
    std::vector<Screenshot> play(const std::vector<Step>& steps, bool skipping)
    {
        open(windowWidth, windowHeight);
        placeWindowAtOrigin();
        drawer->setFrameSkipping(skipping);
        cursor = solidImage(16, {255, 255, 0, 255});
        // A soft disc on a transparent square, loaded last so that replacing it keeps its handle.
        blob = makeImage(64, 64, [](int x, int y) {
            const bool inside = (x - 32) * (x - 32) + (y - 32) * (y - 32) < 700;
            return Rgba{200, 40, 90, static_cast<unsigned char>(inside ? 230 : 0)};
        });
        framesBefore = drawer->getRenderedFrames();
        std::vector<Screenshot> screens;
        for (const Step& step : steps) {
            if (step.first)
                step.first();
            drawer->beginDrawing();
            step.second();
            drawer->endDrawing();
            settleWindow();
            screens.push_back(server.screen());
        }
        return screens;
    }
    unsigned long rendered() const { return drawer->getRenderedFrames() - framesBefore; }

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
        drawer->releaseImage(blob);
        const auto green = [](int x, int) { return Rgba{0, 255, 0, static_cast<unsigned char>(x * 4)}; };
        EXPECT_EQ(makeImage(64, 64, green), blob);
    }

    PrivateXServer server{windowWidth, windowHeight};
    unsigned int blob = 0, cursor = 0;
    // Frames rendered before the steps began.
    unsigned long framesBefore = 0;
};

TEST_F(Frames, LeftOutFramesShowWhatDrawingEveryFrameShows)
{
    const auto still = [this] { scene(100); };
    const auto moved = [this] { scene(300); };
    const auto quarter = [this] { scene(100); drawer->setViewport(0, 0, 512, 384); };
    const auto whole = [this] { drawer->resetViewport(); scene(100); };
    const auto withNext = [this] { scene(100); drawer->drawImage(blob + 1, 0, 0, 20, 20, 1, 1, 1, 1); };
    const auto loadNext = [this] { EXPECT_EQ(solidImage(8, {9, 99, 9, 255}), blob + 1); };
    const auto replaceGlyph = [this] { drawer->loadGlyph(Drawer::GlyphA, Rgba{255, 0, 0, 255}.data(), 1); };
    const auto drawBlob = [this] { drawer->drawImage(blob, 0, 0, 3, 3, 1, 1, 1, 1); };
    const auto withPolygon = [this] { scene(100); drawer->drawPoly(0, cursor, 600, 100, 2, 2, 1, 1, 1, 1); };
    float triangle[6] = {0, 0, 100, 30, 20, 90};
    const auto storePolygon = [&] { EXPECT_EQ(drawer->loadPoly(triangle, 3), 0u); };
    const struct {
        const char* name;
        std::vector<Step> steps;
        unsigned long rendered; // with unchanged frames left out
    } cases[] = {
        {"identical frames", {{{}, still}, {{}, still}, {{}, still}}, 1},
        {"the pointer moves", {{{}, still}, {{}, still}, {{}, moved}, {{}, moved}}, 2},
        {"a picture replaced", {{{}, still}, {[this] { replaceBlob(); }, still}, {{}, still}}, 2},
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
        SCOPED_TRACE(c.name);
        const std::vector<Screenshot> everyFrame = play(c.steps, false);
        EXPECT_EQ(rendered(), c.steps.size());
        const std::vector<Screenshot> skipping = play(c.steps, true);
        EXPECT_EQ(rendered(), c.rendered);
        EXPECT_TRUE(skipping == everyFrame);
        EXPECT_NE(skipping.back().at(10, 10), black); // something was drawn
        // Reading the frame back always draws it, and gives what the screen shows.
        drawer->beginDrawing();
        c.steps.back().second();
        EXPECT_TRUE(capture() == skipping.back());
        EXPECT_EQ(rendered(), c.rendered + 1);
    }
}

// Any one argument of any operation changed by one step makes a new frame; the same frame again is
// left out. A window of the logical screen's size, where one logical unit is one pixel.
using FrameRecords = DrawingWindow;

TEST_F(FrameRecords, EveryArgumentOfEveryOperationTellsFramesApart)
{
    using Byte = unsigned char;
    const unsigned int image = solidImage(8, {200, 0, 0, 255});
    solidImage(8, {0, 200, 0, 255}); // image + 1
    float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    drawer->loadPoly(square, 4);
    const unsigned int polygon = drawer->loadPoly(square, 4) - 1; // polygon + 1 exists too
    using Arguments = std::vector<float>;
    const std::string texts[] = {"ab1", "ab2"};
    const struct {
        const char* name;
        Arguments arguments;
        std::function<void(Drawer&, const Arguments&)> call;
    } operations[] = {
        {"drawImage", {float(image), 10, 20, 1, 1, 1, 1, 1, 1}, [](Drawer& d, const Arguments& a) {
             d.drawImage(unsigned(a[0]), short(a[1]), short(a[2]), a[3], a[4], a[5], a[6], a[7], a[8]);
         }},
        {"drawPoly", {float(polygon), float(image), 10, 20, 1, 1, 1, 1, 1, 1}, [](Drawer& d, const Arguments& a) {
             d.drawPoly(unsigned(a[0]), unsigned(a[1]), short(a[2]), short(a[3]), a[4], a[5], a[6], a[7], a[8], a[9]);
         }},
        // The first argument picks the text: the next one has the same length.
        {"drawText", {0, 10, 20, 16, 1, 1, 1, 1}, [&texts](Drawer& d, const Arguments& a) {
             d.drawText(texts[int(a[0])], short(a[1]), short(a[2]), a[3], a[4], a[5], a[6], a[7]);
         }},
        {"drawLine", {10, 20, 300, 200, 1, 1, 1, 1}, [](Drawer& d, const Arguments& a) {
             d.drawLine(short(a[0]), short(a[1]), short(a[2]), short(a[3]), a[4], a[5], a[6], a[7]);
         }},
        {"fillRect", {10, 20, 300, 200, 9, 99, 199, 255}, [](Drawer& d, const Arguments& a) {
             d.fillRect(short(a[0]), short(a[1]), short(a[2]), short(a[3]), Byte(a[4]), Byte(a[5]), Byte(a[6]), Byte(a[7]));
         }},
        {"fillGradient", {10, 20, 300, 200, 9, 99, 199, 200, 50, 60, 70, 80}, [](Drawer& d, const Arguments& a) {
             d.fillGradient(short(a[0]), short(a[1]), short(a[2]), short(a[3]), Byte(a[4]), Byte(a[5]), Byte(a[6]),
                            Byte(a[7]), Byte(a[8]), Byte(a[9]), Byte(a[10]), Byte(a[11]));
         }},
        {"setViewport", {128, 96, 512, 384}, [](Drawer& d, const Arguments& a) {
             d.setViewport(short(a[0]), short(a[1]), short(a[2]), short(a[3]));
             d.fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
             d.resetViewport();
         }},
        {"useSecondImage", {float(image)}, [polygon, image](Drawer& d, const Arguments& a) {
             d.useSecondImage(unsigned(a[0]));
             d.drawPoly(polygon, image, 10, 20, 1, 1, 1, 1, 1, 1);
         }},
    };
    // A screen loads its pictures at the start of its first frame; the same frame next time is left out.
    drawer->beginDrawing();
    const unsigned int loaded = solidImage(8, {0, 0, 200, 255});
    drawer->drawImage(loaded, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer->endDrawing();
    const unsigned long before = drawer->getRenderedFrames();
    drawer->beginDrawing();
    drawer->drawImage(loaded, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer->endDrawing();
    EXPECT_EQ(drawer->getRenderedFrames(), before);

    for (const auto& operation : operations) {
        // Draws a frame; says whether it was drawn.
        const auto drawn = [&](const Arguments& arguments) {
            const unsigned long before = drawer->getRenderedFrames();
            drawer->beginDrawing();
            operation.call(*drawer, arguments);
            drawer->endDrawing();
            return drawer->getRenderedFrames() != before;
        };
        for (std::size_t changed = 0; changed < operation.arguments.size(); ++changed) {
            SCOPED_TRACE(std::string(operation.name) + ", argument " + std::to_string(changed));
            drawn(operation.arguments);
            EXPECT_FALSE(drawn(operation.arguments));
            Arguments other = operation.arguments;
            other[changed] += 1;
            EXPECT_TRUE(drawn(other));
        }
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
    Screenshot game, covered, uncovered;
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
    EXPECT_EQ(game.at(100, 100), white);
    EXPECT_EQ(covered.at(100, 100), green);
    EXPECT_TRUE(uncovered == game);
}

} // namespace

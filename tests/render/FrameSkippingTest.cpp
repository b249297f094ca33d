// SPDX-License-Identifier: MIT
#include "DrawingWindow.h"
#include "app/Application.h"
#include "app/GameState.h"

#include "TemporaryDirectory.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Xlib's macros (None, Status...) would clash with names above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Frames that change nothing are left out (FrameRecorderTest decides which): what the screen shows must
// be what drawing every frame shows. The screen is read from a private Xvfb server, so a frame that was
// left out shows whatever really stayed on screen.
namespace {

// An Xvfb server of the test's own on a free display, whose whole screen the test reads: what the
// server really shows, whoever drew it. It becomes the process's DISPLAY. The test can also lay a
// window of its own over part of the screen.
class PrivateXServer {
public:
    PrivateXServer(int width, int height) : width(width), height(height)
    {
        int chosen[2];
        if (pipe(chosen) != 0 || (server = fork()) < 0)
            throw std::runtime_error("cannot start Xvfb");
        if (server == 0) {
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            if (std::freopen("/dev/null", "w", stderr) != nullptr)
                execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(chosen[1]).c_str(), "-screen", "0",
                       screen.c_str(), "-nocursor", "-noreset", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(chosen[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number = ":";
        for (char digit = 0; read(chosen[0], &digit, 1) == 1 && digit != '\n';)
            number += digit;
        close(chosen[0]);
        display = std::make_unique<ScopedEnvironment>("DISPLAY", number.c_str());
        connection = XOpenDisplay(nullptr);
        if (connection == nullptr)
            throw std::runtime_error("Xvfb did not start");
    }
    ~PrivateXServer()
    {
        XCloseDisplay(connection);
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // The whole screen as the server shows it now, whoever drew it.
    Screenshot screen() const
    {
        XImage* image = XGetImage(connection, DefaultRootWindow(connection), 0, 0, width, height, AllPlanes, ZPixmap);
        Screenshot shot{width, height, {}};
        for (int i = 0; i < width * height; ++i) {
            const unsigned long pixel = XGetPixel(image, i % width, i / width);
            shot.pixels.push_back({int(pixel >> 16 & 255), int(pixel >> 8 & 255), int(pixel & 255)});
        }
        XDestroyImage(image);
        return shot;
    }

    // Maps a window of one colour over a rectangle of the screen (no window manager moves it), or takes
    // it away again, which exposes what was under it.
    void cover(int x, int y, int coverWidth, int coverHeight, unsigned long colour)
    {
        coverWindow = XCreateSimpleWindow(connection, DefaultRootWindow(connection), x, y, coverWidth, coverHeight,
                                          0, 0, colour);
        XMapRaised(connection, coverWindow);
        XSync(connection, False);
    }
    void uncover()
    {
        XDestroyWindow(connection, coverWindow);
        XSync(connection, False);
    }

private:
    const int width;
    const int height;
    pid_t server = -1;
    // Points DISPLAY at this server while it runs.
    std::unique_ptr<ScopedEnvironment> display;
    // The test's own connection, for its covering window.
    Display* connection = nullptr;
    Window coverWindow = 0;
};

const int windowWidth = 320, windowHeight = 240;

// Waits until the X server has carried out everything SDL and OpenGL sent it; with a window to move,
// first moves it to the top left of the screen, where the screen is read: each SDL places a new window,
// and keeps a resized one, where it likes. Classic SDL draws in a child of the window it gives the
// window manager; sdl12-compat has one window and no wmwindow.
void settleWindow(bool placing = false)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_GT(SDL_GetWMInfo(&info), 0);
    const auto& x11 = info.info.x11;
    if (placing)
        XMoveWindow(x11.display, x11.wmwindow != 0 ? x11.wmwindow : x11.window, 0, 0);
    XSync(x11.display, False);
    XSync(x11.gfxdisplay, False);
}

class Frames : public DrawingWindow {
protected:
    // What happens between two frames, and what a frame draws.
    using Step = std::pair<std::function<void()>, std::function<void()>>;

    // Draws the steps on a fresh drawer; returns the screen after each frame and notes which were drawn.
    std::vector<Screenshot> play(const std::vector<Step>& steps, bool skipping)
    {
        open(windowWidth, windowHeight);
        settleWindow(true);
        drawer->setFrameSkipping(skipping);
        blob = solidImage(64, {200, 40, 90, 230}); // loaded last, so that replacing it keeps its handle
        drawn.clear();
        std::vector<Screenshot> screens;
        for (const Step& step : steps) {
            if (step.first)
                step.first();
            const unsigned long before = drawer->getRenderedFrames();
            drawer->beginDrawing();
            step.second();
            drawer->endDrawing();
            drawn.push_back(drawer->getRenderedFrames() != before);
            settleWindow();
            screens.push_back(server.screen());
        }
        return screens;
    }
    // The game's kind of frame: a background, pictures, text, a line and the pointer.
    void scene(short cursorX)
    {
        drawer->fillGradient(0, 0, 1024, 768, 20, 60, 120, 255, 200, 160, 40, 255);
        drawer->drawImage(blob, 100, 100, 2, 2, 1, 1, 1, 1);
        drawer->drawText("ab1", 500, 500, 96, 1, 0.5f, 0, 1);
        drawer->drawLine(50, 700, 900, 650, 1, 1, 1, 1);
        drawer->fillRect(cursorX, 400, 64, 64, 255, 255, 0, 255);
    }
    // Replaces the picture with one of another colour under the same handle.
    void replaceBlob(unsigned char g)
    {
        drawer->releaseImage(blob);
        EXPECT_EQ(solidImage(64, {0, g, 0, 255}), blob);
    }

    PrivateXServer server{windowWidth, windowHeight};
    unsigned int blob = 0;
    std::vector<bool> drawn;
};

TEST_F(Frames, LeftOutFramesShowWhatDrawingEveryFrameShows)
{
    const auto still = [this] { scene(100); };
    const auto moved = [this] { scene(300); };
    const auto drawBlob = [this] { drawer->drawImage(blob, 0, 0, 3, 3, 1, 1, 1, 1); };
    // A handle drawn before it was given out draws nothing until a picture gets it; so does a polygon.
    const auto withNext = [this] {
        scene(100);
        drawer->drawImage(blob + 1, 0, 0, 20, 20, 1, 1, 1, 1);
        drawer->drawPoly(0, blob, 600, 100, 2, 2, 1, 1, 1, 1);
    };
    float triangle[6] = {0, 0, 100, 30, 20, 90};
    const auto quarter = [this] { scene(100); drawer->setViewport(0, 0, 512, 384); };
    const auto whole = [this] { drawer->resetViewport(); scene(100); };
    const std::vector<Step> steps = {
        // What was drawn before the picture changed keeps the old picture; the next frame shows the new one.
        {{}, [&] { drawBlob(); replaceBlob(255); }}, {{}, drawBlob}, {{}, drawBlob},
        {{}, still}, {{}, still}, {{}, moved}, {{}, moved},
        {[this] { replaceBlob(128); }, moved}, {{}, moved},
        {[this] { drawer->loadGlyph(Drawer::GlyphA, Rgba{255, 0, 0, 255}.data(), 1); }, moved},
        {[this] { drawer->invalidate(); }, moved}, {{}, withNext}, {{}, withNext},
        {[this] { EXPECT_EQ(solidImage(8, {9, 99, 9, 255}), blob + 1); }, withNext},
        {[&] { EXPECT_EQ(drawer->loadPoly(triangle, 3), 0u); }, withNext}, {{}, withNext},
        // The viewport a frame leaves set is where the next frame starts drawing.
        {{}, quarter}, {{}, quarter}, {{}, quarter}, {{}, whole},
    };
    const std::vector<Screenshot> everyFrame = play(steps, false);
    EXPECT_EQ(drawn, std::vector<bool>(steps.size(), true));
    const std::vector<Screenshot> skipping = play(steps, true);
    EXPECT_EQ(drawn, std::vector<bool>({1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1}));
    for (std::size_t frame = 0; frame < steps.size(); ++frame)
        EXPECT_TRUE(skipping[frame] == everyFrame[frame]) << "frame " << frame;
    EXPECT_FALSE(skipping[0] == skipping[1]) << "the first frame drew the picture it had before it was replaced";
    // Reading the frame back always draws it, and gives what the screen shows.
    const unsigned long before = drawer->getRenderedFrames();
    drawer->beginDrawing();
    whole();
    EXPECT_TRUE(capture() == skipping.back());
    EXPECT_EQ(drawer->getRenderedFrames(), before + 1);
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

// SPDX-License-Identifier: MIT
#include "app/Application.h"
#include "app/GameState.h"
#include "assets/Icons.h"
#include "audio/Sounds.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"

#include "FakePortAudio.h"
#include "TemporaryDirectory.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The icon the application hands SDL, as R, G, B, A bytes row after row. SDL puts it on the window as it
// is (Program.window finds it there); caught here, it needs no reading back from the X properties, which
// each SDL sets its own way.
std::vector<Uint8> iconGiven;

extern "C" void SDL_WM_SetIcon(SDL_Surface* icon, Uint8*)
{
    iconGiven.resize(4 * icon->w * icon->h);
    for (int i = 0; i < icon->w * icon->h; ++i) {
        const Uint8* pixel = static_cast<const Uint8*>(icon->pixels) + i / icon->w * icon->pitch + 4 * (i % icon->w);
        Uint8* rgba = &iconGiven[4 * i];
        SDL_GetRGBA(*reinterpret_cast<const Uint32*>(pixel), icon->format, rgba, rgba + 1, rgba + 2, rgba + 3);
    }
}

// Puts an event in SDL's queue, as the window system would.
void push(Uint8 type, const std::function<void(SDL_Event&)>& fill = [](SDL_Event&) {})
{
    SDL_Event event = {};
    event.type = type;
    fill(event);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// What reached the scripted screens, in order.
std::vector<std::string> events;

// A screen that writes down what reaches it, and at its end which state was current and whether SDL and the
// sound still ran. Its frames: the left half lit, then the right half alone; the window exposed during the
// third, SDL_QUIT pushed during the fourth; a fifth (a loop deaf to SDL_QUIT) ends the loop rather than hang.
struct ScriptedState : GameState {
    using GameState::GameState;
    ~ScriptedState() override
    {
        note("end under " + application->getCurrentState()->getName());
        const bool sounding = fake.calls.back() != "Pa_Terminate";
        note(std::string(SDL_WasInit(SDL_INIT_VIDEO) ? "SDL" : "no SDL") + (sounding ? ", sound" : ""));
    }

    void draw(Drawer* given) override
    {
        note("draw");
        (drawer = given)->fillRect(++frames == 1 ? 0 : 512, 0, 512, 768, 255, 255, 255, 255);
        if (frames == 3 || frames == 4)
            push(frames == 3 ? SDL_VIDEOEXPOSE : SDL_QUIT);
        if (frames == 5)
            quit();
    }
    void keyDown(const SDL_keysym& key) override { note("keyDown", key.sym); }
    void keyUp(const SDL_keysym& key) override { note("keyUp", key.sym); }
    void mouseDown(int button, int x, int y) override { note("mouseDown", button, x, y); }
    void mouseUp(int button, int x, int y) override { note("mouseUp", button, x, y); }
    // SDL reports the real pointer too; only the test's own positions, at the far right, matter.
    void mouseMove(int x, int y) override { if (x > 900) note("mouseMove", x, y); }
    std::string getName() const override { return "scripted"; }

    template <class... Numbers>
    void note(const std::string& event, Numbers... numbers)
    {
        events.push_back(event);
        ((events.back() += " " + std::to_string(numbers)), ...);
    }

    // The drawer of the last frame.
    Drawer* drawer = nullptr;
    int frames = 0;
};

// A whole run in an 800 by 600 window with sound but without music, with settings of its own and a scripted
// state. SDL gets the game's icon and hides its own pointer. Events reach the state in logical positions, the
// joystick's as keys; then every frame starts afresh; the third changes nothing and is left out, but the
// window exposed meanwhile has the fourth drawn (an expose of the window system's own may have the third drawn
// too); SDL_QUIT ends the loop without drawing. The loop loaded the font. The stream carries the effects
// alone. A game is built before the title goes (the title's array of humans must outlive it), and goes before
// the title is built. The state ends while SDL still runs, then SDL is shut down and the stream stopped.
TEST(Application, RunsAScriptedStateFromItsIconToItsEnd)
{
    SKIP_WITHOUT_X_DISPLAY();
    const TemporaryDirectory config;
    const ScopedEnvironment xdg{"XDG_CONFIG_HOME", config.getPath().c_str()};
    const ScopedEnvironment sounds{"MARROWGATE_SOUNDS_DIR", MARROWGATE_SOURCE_DIR "/resources/sounds"};
    auto application = std::make_unique<Application>(std::vector<std::string>{"-w", "800", "-h", "600", "-nm"});
    auto* const state = new ScriptedState(application.get());
    application->replaceState(state);
    const LoadedImage icon = ImageLoader().loadImage(Icons::marrowgate_png, Icons::marrowgate_png_size);
    EXPECT_EQ(iconGiven, std::vector<Uint8>(icon.pixels, icon.pixels + 4 * icon.width * icon.height));
    delete[] icon.pixels;
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    push(SDL_MOUSEMOTION, [](SDL_Event& e) { e.motion.x = 799, e.motion.y = 599; });
    // Each axis scaled by its own window side: the window's x values differ from its y values.
    push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& e) { e.button.button = 1, e.button.x = 799, e.button.y = 450; });
    push(SDL_MOUSEBUTTONUP, [](SDL_Event& e) { e.button.button = 5, e.button.x = 400, e.button.y = 300; });
    push(SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_ESCAPE; });
    push(SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = SDLK_a; });
    for (Sint16 value : {-32768, 32767})
        push(SDL_JOYAXISMOTION, [value](SDL_Event& e) { e.jaxis.axis = 0, e.jaxis.value = value; });
    for (Uint8 button : {0, 1, 5})
        push(SDL_JOYBUTTONDOWN, [button](SDL_Event& e) { e.jbutton.button = button; });
    application->eventLoop();
    auto* drawer = dynamic_cast<OpenGLDrawer*>(state->drawer);
    ASSERT_NE(drawer, nullptr);
    EXPECT_GE(drawer->getRenderedFrames(), 3u);
    EXPECT_EQ(std::make_pair(application->getWidth(), application->getHeight()), std::make_pair(800, 600));
    const std::unique_ptr<unsigned char[]> shown(drawer->getScreenPixels());
    EXPECT_EQ(std::make_pair(+shown[3 * (300 * 800 + 100)], +shown[3 * (300 * 800 + 700)]), std::make_pair(0, 255));
    // Each glyph got a picture of its own: no two squares look alike, nor like the placeholder's white.
    const std::string font = "abcdefghijklmnopqrstuvwxyz0123456789.,+-!?";
    drawer->beginDrawing();
    for (std::size_t i = 0; i < font.size(); ++i)
        drawer->drawText(font.substr(i, 1), short(i % 8 * 128), short(i / 8 * 128), 64, 1, 1, 1, 1);
    const std::unique_ptr<unsigned char[]> glyphs(drawer->getScreenPixels());
    std::set<std::string> squares{std::string(3 * 46 * 46, '\xff')};
    for (std::size_t i = 0; i < font.size(); ++i) {
        std::string square;
        const std::size_t left = i % 8 * 100 + 2, top = i / 8 * 100 + 2; // 128 units are 100 pixels
        for (std::size_t row = top; row < top + 46; ++row)
            square.append(reinterpret_cast<const char*>(&glyphs[3 * ((599 - row) * 800 + left)]), 3 * 46);
        squares.insert(square);
    }
    EXPECT_EQ(squares.size(), font.size() + 1);
    // The loudest sample of what the stream is given in a second and a half, before and after a click.
    float peaks[2] = {0.0f, 0.0f};
    for (int block = 0; block < 32; ++block) {
        if (block == 16)
            Sounds::getInstance()->playSound(Sounds::ClickSound);
        std::vector<float> samples(2 * 4096, 1.0f);
        fake.callback(nullptr, samples.data(), 4096, nullptr, 0, fake.userData);
        for (const float sample : samples)
            peaks[block / 16] = std::max(peaks[block / 16], std::fabs(sample));
    }
    EXPECT_EQ(std::make_pair(peaks[0], peaks[1] > 0.01f), std::make_pair(0.0f, true));
    bool humans[4] = {true, false, true, false};
    application->nextState("GamePlay", humans);
    application->replaceState(new ScriptedState(application.get()));
    application->nextState("TitleScreen", nullptr);
    application->replaceState(new ScriptedState(application.get()));
    application.reset();
    EXPECT_EQ(events, (std::vector<std::string>{"mouseMove 1022 766", "mouseDown 1 1022 576", "mouseUp 5 512 384",
                                                "keyDown 27", "keyUp 97", "keyDown 276", "keyUp 276", "keyDown 275",
                                                "keyDown 122", "keyDown 120", "keyDown 99", "draw", "draw", "draw",
                                                "draw", "end under GamePlay", "SDL, sound", "end under scripted",
                                                "SDL, sound", "end under scripted", "SDL"}));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"Pa_Initialize", "Pa_OpenStream - 7 2 1 0.0116 44100",
                                                    "Pa_StartStream", "Pa_StopStream", "Pa_CloseStream",
                                                    "Pa_Terminate"}));
}

// SPDX-License-Identifier: MIT
#include "app/Application.h"
#include "app/GameState.h"
#include "assets/Icons.h"
#include "audio/Sounds.h"
#include "render/Drawer.h"
#include "render/ImageLoader.h"

#include "FakePortAudio.h"
#include "TemporaryDirectory.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The icon the application hands SDL, as R, G, B, A bytes row after row, and its width. SDL puts it on
// the window as it is (Program.window finds it there); caught here, it needs no reading back from the X
// properties, which each SDL sets its own way.
std::vector<Uint8> iconGiven;
int iconWidth = 0;

extern "C" void SDL_WM_SetIcon(SDL_Surface* icon, Uint8*)
{
    iconWidth = icon->w;
    iconGiven.clear();
    for (int i = 0; i < icon->w * icon->h; ++i) {
        const Uint8* pixel = static_cast<const Uint8*>(icon->pixels) + i / icon->w * icon->pitch + 4 * (i % icon->w);
        Uint8 rgba[4];
        SDL_GetRGBA(*reinterpret_cast<const Uint32*>(pixel), icon->format, rgba, rgba + 1, rgba + 2, rgba + 3);
        iconGiven.insert(iconGiven.end(), rgba, rgba + 4);
    }
}

// A screen that writes down what reaches it, and its own end, in a log the test owns.
class ScriptedState : public GameState {
public:
    ScriptedState(Application* application, std::vector<std::string>& log, std::string name = "scripted")
        : GameState(application), log(log), name(std::move(name)) {}
    ~ScriptedState() override { note("end"); }

    void draw(Drawer* given) override
    {
        drawer = given;
        note("draw");
    }
    void keyDown(const SDL_keysym& key) override { note("keyDown", key.sym); }
    void keyUp(const SDL_keysym& key) override { note("keyUp", key.sym); }
    void mouseDown(int button, int x, int y) override { note("mouseDown", button, x, y); }
    void mouseUp(int button, int x, int y) override { note("mouseUp", button, x, y); }
    // SDL reports the real pointer too; only the test's own positions, at the far right, matter.
    void mouseMove(int x, int y) override { if (x > 900) note("mouseMove", x, y); }
    std::string getName() const override { return name; }

    // Runs after each event is written down, with its name ("draw", "end", ...).
    std::function<void(const std::string&)> react;
    // The drawer of the last frame.
    Drawer* drawer = nullptr;

private:
    // Writes the event and its numbers down, then reacts, through a copy: the reaction may delete this.
    template <class... Numbers>
    void note(const std::string& event, Numbers... numbers)
    {
        log.push_back(name + " " + event);
        ((log.back() += " " + std::to_string(numbers)), ...);
        if (const auto reaction = react)
            reaction(event);
    }

    std::vector<std::string>& log;
    std::string name;
};

// Puts an event in SDL's queue, as the window system would.
void push(Uint8 type, const std::function<void(SDL_Event&)>& fill = nullptr)
{
    SDL_Event event = {};
    event.type = type;
    if (fill)
        fill(event);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// Settings of its own for every test, and an 800 by 600 window without sound or music showing a
// scripted state.
class ApplicationWindow : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "800", "-h", "600", "-ns", "-nm"});
        application->replaceState(state = new ScriptedState(application.get(), log));
    }

    TemporaryDirectory config;
    ScopedEnvironment xdg{"XDG_CONFIG_HOME", config.getPath().c_str()};
    // Before the application, which deletes the states that write to it.
    std::vector<std::string> log;
    std::unique_ptr<Application> application;
    ScriptedState* state = nullptr;
};

TEST_F(ApplicationWindow, InjectedEventsReachTheStateInLogicalPositionsAndTheJoystickAsKeys)
{
    // From the first key release on, a new state takes the rest of the batch.
    state->react = [this](const std::string& event) {
        if (event == "keyUp")
            application->replaceState(new ScriptedState(application.get(), log, "next"));
    };
    push(SDL_MOUSEMOTION, [](SDL_Event& e) { e.motion.x = 799, e.motion.y = 599; });
    push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& e) { e.button.button = SDL_BUTTON_LEFT, e.button.x = 799; });
    push(SDL_MOUSEBUTTONUP, [](SDL_Event& e) { e.button.button = SDL_BUTTON_WHEELDOWN, e.button.y = 300; });
    push(SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_ESCAPE; });
    push(SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = SDLK_a; });
    for (Sint16 value : {-32768, 32767})
        push(SDL_JOYAXISMOTION, [value](SDL_Event& e) { e.jaxis.axis = 0, e.jaxis.value = value; });
    for (Uint8 button : {0, 1, 5})
        push(SDL_JOYBUTTONDOWN, [button](SDL_Event& e) { e.jbutton.button = button; });
    push(SDL_JOYBUTTONUP, [](SDL_Event& e) { e.jbutton.button = 5; });
    push(SDL_QUIT);
    // Events after a quit in the same batch still arrive; then the loop ends without drawing.
    push(SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_b; });
    application->eventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"scripted mouseMove 1022 766", "scripted mouseDown 1 1022 0",
                                             "scripted mouseUp 5 0 384", "scripted keyDown 27", "scripted keyUp 97",
                                             "scripted end", "next keyDown 276", "next keyUp 276", "next keyDown 275",
                                             "next keyDown 122", "next keyDown 120", "next keyDown 99",
                                             "next keyDown 98"}));
}

TEST_F(ApplicationWindow, StateSwitchingOrders)
{
    for (const char* unknown : {"", "titlescreen", "GamePlay ", "Options"})
        application->nextState(unknown, nullptr);
    EXPECT_EQ(application->getCurrentState(), state);
    // Which state is current while the old one ends: the game is built before the title goes (the title's
    // array of humans must outlive it); the game goes before the title is built.
    bool humans[4] = {true, false, true, false};
    for (const auto& [next, currentAtTheEnd] : {std::pair("GamePlay", "GamePlay"), {"TitleScreen", "scripted"}}) {
        application->replaceState(state = new ScriptedState(application.get(), log));
        std::string current;
        state->react = [&](const std::string& event) {
            current = event == "end" ? application->getCurrentState()->getName() : current;
        };
        application->nextState(next, next == std::string("GamePlay") ? humans : nullptr);
        EXPECT_EQ(std::make_pair(current, application->getCurrentState()->getName()),
                  std::make_pair(std::string(currentAtTheEnd), std::string(next)));
    }
}

TEST_F(ApplicationWindow, HidesTheSystemCursorLoadsTheFontAndEndsTheStateBeforeSdl)
{
    // The screens draw their own pointer.
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    // Two frames: the left half lit, then the right half alone, as every frame starts afresh.
    int frames = 0;
    state->react = [&](const std::string& event) {
        if (event == "draw" && ++frames == 2)
            application->quit();
        if (event == "draw")
            state->drawer->fillRect(frames == 1 ? 0 : 512, 0, 512, 768, 255, 255, 255, 255);
    };
    application->eventLoop();
    Drawer* drawer = state->drawer;
    ASSERT_NE(drawer, nullptr);
    const std::unique_ptr<unsigned char[]> shown(drawer->getScreenPixels());
    EXPECT_EQ(std::make_pair(+shown[3 * (300 * 800 + 100)], +shown[3 * (300 * 800 + 700)]), std::make_pair(0, 255));
    // The loop loaded the font: a letter's corner is clear, where the placeholder square was white.
    drawer->beginDrawing();
    drawer->drawText("a", 0, 0, 256, 1, 1, 1, 1);
    EXPECT_EQ(std::unique_ptr<unsigned char[]>(drawer->getScreenPixels())[3 * (599 * 800 + 2)], 0);
    bool sdlRunning = false;
    state->react = [&](const std::string&) { sdlRunning = SDL_WasInit(SDL_INIT_VIDEO) != 0; };
    application.reset();
    EXPECT_TRUE(sdlRunning) << "SDL was shut down before the state ended";
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL still runs";
}

TEST_F(ApplicationWindow, HandsSdlTheGameIconInItsColoursAndItsShape)
{
    const LoadedImage expected = ImageLoader().loadImage(Icons::marrowgate_png, Icons::marrowgate_png_size);
    ASSERT_GT(expected.width, 0u);
    EXPECT_EQ(iconWidth, int(expected.width));
    EXPECT_EQ(iconGiven, std::vector<Uint8>(expected.pixels, expected.pixels + 4 * expected.width * expected.height));
    delete[] expected.pixels;
}

// The sound the application asks PortAudio for, and what its mixer plays, with each choice of the
// command line; without arguments the settings file chooses the window and the sound.
TEST(ApplicationSound, OneStereoStreamAt44100UnlessSoundIsOffAndMusicOnlyUnlessItIsOff)
{
    SKIP_WITHOUT_X_DISPLAY();
    TemporaryDirectory config;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", config.getPath().c_str());
    ScopedEnvironment sounds("MARROWGATE_SOUNDS_DIR", MARROWGATE_SOURCE_DIR "/resources/sounds");
    std::filesystem::create_directory(config.getPath() + "/Ombrefell");
    std::ofstream(config.getPath() + "/Ombrefell/Ombrefell.conf") << "w 320\nh 240\n";
    const std::vector<std::string> opened = {"Pa_Initialize", "Pa_OpenStream - 7 2 1 0.0116 44100", "Pa_StartStream"};
    const std::vector<std::string> closed = {"Pa_StopStream", "Pa_CloseStream", "Pa_Terminate"};
    const struct { std::vector<std::string> args; bool sound, music; } cases[] = {
        {{}, true, true}, {{"-w", "320", "-h", "240", "-nm"}, true, false},
        {{"-w", "320", "-h", "240", "-ns"}, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        fake = FakePortAudio();
        testing::internal::CaptureStdout();
        auto application = std::make_unique<Application>(c.args);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::make_pair(application->getWidth(), application->getHeight()), std::make_pair(320, 240));
        EXPECT_EQ(application->getCurrentState()->getName(), "TitleScreen");
        // The effects are loaded before the stream starts, so the audio thread never decodes; once, and
        // not at all without sound.
        const std::string click = "Loaded file: " MARROWGATE_SOURCE_DIR "/resources/sounds/click.ogg";
        EXPECT_EQ(printed.find(click) != std::string::npos, &c == cases);
        EXPECT_EQ(fake.calls, c.sound ? opened : std::vector<std::string>{});
        fake.calls.clear();
        // The loudest sample of what the stream is given in a second and a half, before and after a click:
        // the effects play with or without music.
        float peaks[2] = {0.0f, 0.0f};
        for (int round = 0; round < (c.sound ? 2 : 0); ++round) {
            if (round == 1)
                Sounds::getInstance()->playSound(Sounds::ClickSound);
            for (int i = 0; i < 16; ++i) {
                std::vector<float> block(2 * 4096, 1.0f);
                fake.callback(nullptr, block.data(), 4096, nullptr, 0, fake.userData);
                for (const float sample : block)
                    peaks[round] = std::max(peaks[round], std::fabs(sample));
            }
        }
        EXPECT_EQ(std::make_pair(peaks[0] > 0.001f, peaks[1] > 0.01f), std::make_pair(c.music, c.sound));
        application.reset();
        EXPECT_EQ(fake.calls, c.sound ? closed : std::vector<std::string>{});
    }
}

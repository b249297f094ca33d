#include "Application.h"
#include "FatalError.h"
#include "GameState.h"
#include "Settings.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// A screen that writes down what reaches it and can be told how to react.
class ScriptedState : public GameState {
public:
    ScriptedState(Application* application, std::vector<std::string>& log, std::string name = "scripted")
        : GameState(application), log(log), name(std::move(name))
    {
    }
    ~ScriptedState() override
    {
        if (onDestroy)
            onDestroy();
    }

    void draw(Drawer*) override
    {
        log.push_back(name + " draw");
        if (onDraw)
            onDraw();
    }
    void keyDown(const SDL_keysym& key) override
    {
        log.push_back(name + " keyDown " + std::to_string(key.sym));
        if (onKey)
            onKey();
    }
    void keyUp(const SDL_keysym& key) override { log.push_back(name + " keyUp " + std::to_string(key.sym)); }
    void mouseDown(int button, int x, int y) override
    {
        log.push_back(name + " mouseDown " + std::to_string(button) + " " + std::to_string(x) + " " +
                      std::to_string(y));
        if (onClick)
            onClick();
    }
    void mouseUp(int button, int x, int y) override
    {
        log.push_back(name + " mouseUp " + std::to_string(button) + " " + std::to_string(x) + " " +
                      std::to_string(y));
    }
    void mouseMove(int x, int y) override
    {
        // SDL reports the real pointer too; only the test's own positions matter.
        if (x > 900 || y > 700)
            log.push_back(name + " mouseMove " + std::to_string(x) + " " + std::to_string(y));
    }
    std::string getName() const override { return name; }

    void callQuit() { quit(); }

    std::function<void()> onDraw, onKey, onClick, onDestroy;

private:
    std::vector<std::string>& log;
    std::string name;
};

void push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushKey(Uint8 type, SDLKey sym)
{
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = sym;
    push(event);
}

void pushButton(Uint8 type, Uint8 button, Uint16 x, Uint16 y)
{
    SDL_Event event = {};
    event.type = type;
    event.button.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    push(event);
}

void pushMotion(Uint16 x, Uint16 y)
{
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    push(event);
}

void pushQuit()
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    push(event);
}

// Each test gets settings of its own and an 800 by 600 window without sound.
class ApplicationWindow : public testing::Test {
protected:
    ApplicationWindow() : xdg("XDG_CONFIG_HOME", config.getPath().c_str()) {}

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        application = std::make_unique<Application>(std::vector<std::string>{"-w", "800", "-h", "600", "-ns"});
        testing::internal::GetCapturedStdout();
        state = new ScriptedState(application.get(), log);
        application->replaceState(state);
    }

    TemporaryDirectory config;
    ScopedEnvironment xdg;
    std::vector<std::string> log;
    std::unique_ptr<Application> application;
    ScriptedState* state = nullptr;
};

} // namespace

TEST_F(ApplicationWindow, EventsReachTheStateInLogicalPositions)
{
    pushMotion(799, 599);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 799, 599);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELDOWN, 400, 300);
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    pushKey(SDL_KEYUP, SDLK_a);
    pushQuit();
    // Events after a quit in the same batch still arrive; then the loop ends without drawing.
    pushKey(SDL_KEYDOWN, SDLK_b);
    application->eventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"scripted mouseMove 1022 766", "scripted mouseDown 1 1022 766",
                                             "scripted mouseUp 5 512 384", "scripted keyDown 27",
                                             "scripted keyUp 97", "scripted keyDown 98"}));
    EXPECT_TRUE(application->isQuitRequested());
}

TEST_F(ApplicationWindow, JoystickEventsArriveAsKeys)
{
    SDL_Event axis = {};
    axis.type = SDL_JOYAXISMOTION;
    axis.jaxis.axis = 0;
    axis.jaxis.value = -32768;
    push(axis);
    axis.jaxis.value = 32767;
    push(axis);
    SDL_Event button = {};
    button.type = SDL_JOYBUTTONDOWN;
    button.jbutton.button = 5;
    push(button);
    button.type = SDL_JOYBUTTONUP;
    push(button);
    pushQuit();
    application->eventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"scripted keyDown 276", "scripted keyUp 276", "scripted keyDown 275",
                                             "scripted keyDown 99"}));
}

TEST_F(ApplicationWindow, EventsAfterASwitchGoToTheNewStateWhichDrawsTheFrame)
{
    auto* next = new ScriptedState(application.get(), log, "next");
    next->onDraw = [next] { next->callQuit(); };
    state->onClick = [this, next] { application->replaceState(next); };
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);
    pushKey(SDL_KEYDOWN, SDLK_SPACE);
    application->eventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"scripted mouseDown 1 12 12", "next keyDown 32", "next draw"}));
}

TEST_F(ApplicationWindow, GoingToTheGameBuildsItBeforeTheTitleGoes)
{
    bool humans[4] = {true, false, true, false};
    std::string currentWhileDying;
    state->onDestroy = [&] { currentWhileDying = application->getCurrentState()->getName(); };
    application->nextState("GamePlay", humans);
    EXPECT_EQ(currentWhileDying, "GamePlay");
    EXPECT_EQ(application->getCurrentState()->getName(), "GamePlay");
}

TEST_F(ApplicationWindow, GoingToTheTitleRemovesTheGameFirst)
{
    bool newStateExisted = true;
    ScriptedState* dying = state;
    state->onDestroy = [&] { newStateExisted = application->getCurrentState() != dying; };
    application->nextState("TitleScreen", nullptr);
    EXPECT_FALSE(newStateExisted);
    EXPECT_EQ(application->getCurrentState()->getName(), "TitleScreen");
}

TEST_F(ApplicationWindow, UnknownStateNamesChangeNothing)
{
    for (const char* name : {"", "titlescreen", "GamePlay ", "Options"})
        application->nextState(name, nullptr);
    EXPECT_EQ(application->getCurrentState(), state);
}

TEST_F(ApplicationWindow, TheFirstScreenQuitsOnEscape)
{
    application->nextState("TitleScreen", nullptr);
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    application->eventLoop();
    EXPECT_TRUE(application->isQuitRequested());
}

TEST_F(ApplicationWindow, TheMixerClearsEveryBlockWhenNothingPlays)
{
    std::vector<float> block(2 * 300, 0.7f);
    application->getAudio(nullptr, block.data(), 300);
    for (float sample : block)
        ASSERT_LE(sample < 0 ? -sample : sample, 1.0f);
    std::vector<float> silent(2 * 64, 0.5f);
    Application quiet({"-w", "64", "-h", "48", "-ns", "-nm"});
    quiet.getAudio(nullptr, silent.data(), 64);
    for (float sample : silent)
        ASSERT_EQ(sample, 0.0f);
}

TEST(ApplicationStart, HelpPrintsTheUsageAfterCreatingTheSettingsFile)
{
    TemporaryDirectory config;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", config.getPath().c_str());
    testing::internal::CaptureStdout();
    EXPECT_THROW(Application({"-f", "--help"}), FatalError);
    // The music is opened before anything else; what it says comes first.
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string expectedEnd = "Created directory " + config.getPath() + "/Ombrefell\n" + Settings::usageText();
    ASSERT_GE(printed.size(), expectedEnd.size());
    EXPECT_EQ(printed.substr(printed.size() - expectedEnd.size()), expectedEnd);
    EXPECT_EQ(printed.find("vorbisfile: "), 0u) << printed;
    EXPECT_TRUE(std::ifstream(config.getPath() + "/Ombrefell/Ombrefell.conf").good());
}

TEST(ApplicationStart, WithoutArgumentsTheSettingsFileChoosesTheWindow)
{
    TemporaryDirectory config;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", config.getPath().c_str());
    testing::internal::CaptureStdout();
    {
        Application application({});
        EXPECT_EQ(application.getWidth(), 800);
        EXPECT_EQ(application.getHeight(), 600);
        EXPECT_FALSE(application.isSoundOff());
        EXPECT_EQ(application.getCurrentState()->getName(), "TitleScreen");
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("Using default"), std::string::npos) << printed;
}

TEST(ApplicationStart, WithoutAWindowTheProgramSaysSoAndEnds)
{
    TemporaryDirectory config;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", config.getPath().c_str());
    // SDL's dummy video driver has no OpenGL, so no window can open.
    ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
    testing::internal::CaptureStdout();
    {
        Application application({"-w", "640", "-h", "480", "-ns"});
        EXPECT_TRUE(application.isQuitRequested());
        application.eventLoop();
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Could not open a window, so Marrowgate cannot run.\n"), std::string::npos) << printed;
}

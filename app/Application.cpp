#include "Application.h"

#include "ConfigLoader.h"
#include "Drawer.h"
#include "FatalError.h"
#include "GamePlay.h"
#include "OpenGLDrawer.h"
#include "Settings.h"
#include "Sounds.h"
#include "TitleScreen.h"

#include <algorithm>
#include <iostream>

Application::Application(const std::vector<std::string>& args) : Application(args, FrameClock::sdl()) {}

Application::Application(const std::vector<std::string>& args, FrameClock& clock)
    : quitRequested(false), windowOpen(false), pacer(clock), width(0), height(0), noSound(false),
      noMusic(false), joystick(nullptr), drawer(nullptr), currentState(nullptr)
{
    startUp(args);
}

void Application::startUp(const std::vector<std::string>& args)
{
    const ConfigLoader config;
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0)
        throw FatalError(std::string("Could not initialise SDL: ") + SDL_GetError());
    SDL_WM_SetCaption("Marrowgate", nullptr);

    const Settings settings = args.empty() ? Settings::fromConfig(config) : Settings::fromArguments(args);
    width = settings.width;
    height = settings.height;
    noSound = settings.noSound;
    noMusic = settings.noMusic;

    drawer = new OpenGLDrawer;
    windowOpen = drawer->initialise(static_cast<unsigned short>(width), static_cast<unsigned short>(height),
                                    settings.fullscreen, settings.antialias);
    if (!windowOpen) {
        std::cout << "Could not open a window, so Marrowgate cannot run." << std::endl;
        quitRequested = true;
    }
    currentState = new TitleScreen(this);
    openJoystick();
    startAudio();
    SDL_ShowCursor(SDL_DISABLE);
}

void Application::openJoystick()
{
    if (SDL_NumJoysticks() <= 0)
        return;
    joystick = SDL_JoystickOpen(0);
    SDL_JoystickEventState(SDL_ENABLE);
}

void Application::startAudio()
{
    audioDevice.setCallback(this);
    audioDevice.setNumChannels(0, 2);
    audioDevice.setSamplerate(44100.0);
    if (!noSound)
        audioDevice.start();
}

Application::~Application()
{
    if (!noSound)
        audioDevice.stop();
    if (joystick != nullptr)
        SDL_JoystickClose(joystick);
    delete drawer;
    delete currentState;
    SDL_Quit();
}

void Application::eventLoop()
{
    if (!windowOpen)
        return;
    loadGlyphs();
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            dispatch(event);
        if (quitRequested)
            return;
        pacer.waitForNextFrame();
        drawer->beginDrawing();
        currentState->draw(drawer);
        drawer->endDrawing();
    }
}

void Application::dispatch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN: keyDown(event.key.keysym); break;
    case SDL_KEYUP: keyUp(event.key.keysym); break;
    case SDL_MOUSEMOTION: mouseMove(event.motion.x, event.motion.y); break;
    case SDL_MOUSEBUTTONDOWN: mouseDown(event.button.button, event.button.x, event.button.y); break;
    case SDL_MOUSEBUTTONUP: mouseUp(event.button.button, event.button.x, event.button.y); break;
    case SDL_JOYAXISMOTION:
        for (const JoystickEmulation::KeyEvent& key : joystickKeys.axisMotion(event.jaxis.axis, event.jaxis.value)) {
            if (key.pressed)
                keyDown(JoystickEmulation::keyRecord(key.sym));
            else
                keyUp(JoystickEmulation::keyRecord(key.sym));
        }
        break;
    case SDL_JOYBUTTONDOWN: keyDown(JoystickEmulation::keyRecord(JoystickEmulation::buttonKey(event.jbutton.button))); break;
    case SDL_QUIT: quitRequested = true; break;
    default: break;
    }
}

void Application::quit()
{
    quitRequested = true;
}

void Application::keyDown(const SDL_keysym& key)
{
    currentState->keyDown(key);
}

void Application::keyUp(const SDL_keysym& key)
{
    currentState->keyUp(key);
}

void Application::mouseDown(int button, int x, int y)
{
    currentState->mouseDown(button, toLogicalX(x, width), toLogicalY(y, height));
}

void Application::mouseUp(int button, int x, int y)
{
    currentState->mouseUp(button, toLogicalX(x, width), toLogicalY(y, height));
}

void Application::mouseMove(int x, int y)
{
    currentState->mouseMove(toLogicalX(x, width), toLogicalY(y, height));
}

int Application::toLogicalX(int x, int width)
{
    return static_cast<int>(static_cast<float>(x) / static_cast<float>(width) * 1024.0f);
}

int Application::toLogicalY(int y, int height)
{
    return static_cast<int>(static_cast<float>(y) / static_cast<float>(height) * 768.0f);
}

void Application::nextState(std::string name, bool* humans)
{
    if (name == "TitleScreen") {
        delete currentState;
        currentState = nullptr;
        currentState = new TitleScreen(this);
    } else if (name == "GamePlay") {
        GameState* previous = currentState;
        // The title screen's array must outlive the game's constructor, so the old state goes last.
        currentState = new GamePlay(this, humans);
        delete previous;
    }
}

void Application::replaceState(GameState* state)
{
    delete currentState;
    currentState = state;
}

void Application::loadGlyphs() {}

void Application::getAudio(float*, float* output, int frames)
{
    std::fill(output, output + 2 * frames, 0.0f);
    if (!noMusic)
        backgroundMusic.audioBlock(output, frames);
    Sounds::getInstance()->getAudio(output, frames);
}

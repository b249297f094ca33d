// SPDX-License-Identifier: MIT
#include "app/Application.h"

#include "app/ConfigLoader.h"
#include "app/EndRequests.h"
#include "app/FatalError.h"
#include "app/Settings.h"
#include "assets/Fonts.h"
#include "assets/Icons.h"
#include "audio/Sounds.h"
#include "game/GamePlay.h"
#include "game/TitleScreen.h"
#include "render/Drawer.h"
#include "render/ImageLoader.h"
#include "render/LogicalScreen.h"
#include "render/OpenGLDrawer.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// sdl12-compat, the SDL 1.2 over SDL2 that most distributions ship, reports 1.2.50 and later; classic
// SDL 1.2 ended at 1.2.15.
bool runsOverSdl2()
{
    const SDL_version* linked = SDL_Linked_Version();
    return linked->major == 1 && linked->minor == 2 && linked->patch >= 50;
}

// Whether the user started the game with a video driver chosen: sdl12-compat may set one of its own as
// it loads, so only the environment the process started with tells.
bool startedWithVideoDriver()
{
    const std::string name = "SDL_VIDEODRIVER=";
    std::ifstream environment("/proc/self/environ", std::ios::binary);
    for (std::string entry; std::getline(environment, entry, '\0');)
        if (entry.compare(0, name.size(), name) == 0)
            return entry.size() > name.size();
    return false;
}

// The font picture of a glyph: "fonta.png" to "fontz.png", "font0.png" to "font9.png", then the marks by name.
std::string glyphFile(int glyph)
{
    static const char* const marks[] = {"period", "comma", "plus", "minus", "exclaim", "question"};
    if (glyph < Drawer::Glyph0)
        return std::string("font") + static_cast<char>('a' + glyph) + ".png";
    if (glyph < Drawer::GlyphPeriod)
        return std::string("font") + static_cast<char>('0' + glyph - Drawer::Glyph0) + ".png";
    return std::string("font") + marks[glyph - Drawer::GlyphPeriod] + ".png";
}

} // namespace

Application::Application(const std::vector<std::string>& args)
    : quitRequested(false), windowOpen(false), pacer(FrameClock::sdl()), width(0), height(0), noSound(false),
      noMusic(false), joystick(nullptr), drawer(nullptr), currentState(nullptr)
{
    try {
        startUp(args);
    } catch (...) {
        // The destructor does not run for an object that was never built.
        shutDown();
        throw;
    }
}

void Application::startUp(const std::vector<std::string>& args)
{
    const ConfigLoader config;
    if (Settings::asksForHelp(args)) {
        std::cout << Settings::usageText() << std::flush;
        throw FatalError("\n", 0);
    }
    chooseVideoDriver();
    // One class for the window on X11 and Wayland alike, the desktop entry's name, so that docks and
    // task bars match the window to its launcher. A class the user set is kept.
    setenv("SDL_VIDEO_X11_WMCLASS", MARROWGATE_APP_ID, 0);
    // No timer subsystem: the game sets no SDL timers, and SDL 1.2's timer thread wakes every
    // millisecond, which is most of what an idle game would cost.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0)
        throw FatalError(std::string("Could not initialise SDL: ") + SDL_GetError());
    // The display can go away while the window is being opened, too.
    EndRequests::install();
    SDL_WM_SetCaption("Marrowgate", nullptr);
    setWindowIcon();

    const Settings settings = args.empty() ? Settings::fromConfig(config) : Settings::fromArguments(args);
    width = settings.width;
    height = settings.height;
    noSound = settings.noSound;
    noMusic = settings.noMusic;

    drawer = new OpenGLDrawer;
    windowOpen = drawer->initialise(static_cast<unsigned short>(width), static_cast<unsigned short>(height),
                                    settings.fullscreen, settings.antialias);
    currentState = new TitleScreen(this);
    if (!windowOpen) {
        // Nothing will be seen or heard, so nothing else is started.
        std::cout << "Could not open a window, so Marrowgate cannot run." << std::endl;
        quitRequested = true;
        noSound = true;
        return;
    }
    // Again once the window is open, in case SDL set a handler of its own for the display meanwhile.
    EndRequests::install();
    openJoystick();
    startAudio();
    SDL_ShowCursor(SDL_DISABLE);
}

void Application::chooseVideoDriver()
{
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    const bool noChoice = chosen == nullptr || *chosen == '\0';
    if (!runsOverSdl2()) {
        // Without a display classic SDL 1.2 would fall back to drawing on the text terminal or the
        // framebuffer console, taking the terminal over; the game only ever wants a window. An empty
        // choice is no choice.
        if (noChoice)
            setenv("SDL_VIDEODRIVER", "x11", 1);
        return;
    }
    // sdl12-compat chooses X11 for any program that has Xlib loaded when it starts, as the game has
    // through its GL libraries, though the game reaches the display only through SDL. Unless the user
    // chose, SDL2 takes Wayland and else X11, never its console or offscreen drivers, which would take
    // the terminal over or run the game unseen.
    if (noChoice || !startedWithVideoDriver())
        setenv("SDL_VIDEODRIVER", "wayland,x11", 1);
}

void Application::setWindowIcon()
{
    const LoadedImage icon = ImageLoader().loadImage(Icons::marrowgate_png, Icons::marrowgate_png_size);
    if (icon.pixels == nullptr)
        return;
    // The loader's pixels are R, G, B, A bytes, whatever the machine's byte order; SDL copies them into
    // the window manager's icon.
    const bool bigEndian = SDL_BYTEORDER == SDL_BIG_ENDIAN;
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(icon.pixels, icon.width, icon.height, 32, icon.width * 4,
                                                    bigEndian ? 0xff000000 : 0x000000ff,
                                                    bigEndian ? 0x00ff0000 : 0x0000ff00,
                                                    bigEndian ? 0x0000ff00 : 0x00ff0000,
                                                    bigEndian ? 0x000000ff : 0xff000000);
    if (surface != nullptr) {
        SDL_WM_SetIcon(surface, nullptr);
        SDL_FreeSurface(surface);
    }
    delete[] icon.pixels;
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
    if (noSound)
        return;
    // The effects are decoded here, before the stream starts, so that the audio thread never decodes
    // a file nor waits for one.
    Sounds::getInstance();
    audioDevice.start();
}

Application::~Application()
{
    shutDown();
}

void Application::shutDown()
{
    if (!noSound)
        audioDevice.stop();
    if (joystick != nullptr)
        SDL_JoystickClose(joystick);
    joystick = nullptr;
    delete drawer;
    drawer = nullptr;
    delete currentState;
    currentState = nullptr;
    SDL_Quit();
}

void Application::eventLoop()
{
    if (!windowOpen)
        return;
    loadGlyphs();
    while (runPass()) {
    }
}

bool Application::runPass()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        dispatch(event);
    if (quitRequested || EndRequests::hangUpReceived())
        return false;
    pacer.waitForNextFrame();
    drawer->beginDrawing();
    currentState->draw(drawer);
    drawer->endDrawing();
    return true;
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
    // The window lost its picture, and the drawer leaves out frames that change nothing.
    case SDL_VIDEOEXPOSE:
    case SDL_VIDEORESIZE:
    case SDL_ACTIVEEVENT: drawer->invalidate(); break;
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
    return static_cast<int>(static_cast<float>(x) / static_cast<float>(width) * LogicalScreen::WIDTH);
}

int Application::toLogicalY(int y, int height)
{
    return static_cast<int>(static_cast<float>(y) / static_cast<float>(height) * LogicalScreen::HEIGHT);
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

void Application::loadGlyphs()
{
    if (drawer == nullptr)
        return;
    ImageLoader loader;
    for (int glyph = 0; glyph < Drawer::GlyphCount; ++glyph) {
        const EmbeddedPicture* file = findPicture(Fonts::pictures, glyphFile(glyph));
        const LoadedImage picture = file != nullptr ? loader.loadImage(file->data(), file->size) : LoadedImage();
        // A glyph is a square; any other shape keeps the placeholder rather than reading past the rows.
        if (picture.width == picture.height)
            drawer->loadGlyph(static_cast<Drawer::Glyph>(glyph), picture.pixels, picture.width);
        delete[] picture.pixels;
    }
}

void Application::getAudio(float*, float* output, int frames)
{
    std::fill(output, output + 2 * frames, 0.0f);
    if (!noMusic)
        backgroundMusic.audioBlock(output, frames);
    Sounds::getInstance()->getAudio(output, frames);
}

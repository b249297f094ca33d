// SPDX-License-Identifier: MIT
#pragma once

#include "app/FramePacer.h"
#include "app/JoystickEmulation.h"
#include "audio/BackgroundMusic.h"
#include "audio/PortAudioCallback.h"
#include "audio/PortAudioDevice.h"

#include <SDL.h>

#include <string>
#include <vector>

class Drawer;
class GameState;

// The program: owns the window's drawer, the current screen, the audio device and the music, runs the
// main loop and feeds the audio device from its mixer. One lives on main's stack for the whole run.
// Construction throws FatalError only when SDL cannot start or "--help" was asked for; whatever it had
// started by then is shut down again.
class Application : public PortAudioCallback {
public:
    // args are the process arguments without the program name.
    explicit Application(const std::vector<std::string>& args);
    ~Application() override;

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs until quit is requested: events to the current state, then one paced frame.
    void eventLoop();
    // One pass of that loop, after the glyphs are loaded: the pending events, then one paced frame
    // unless quit was requested. False when the loop must end. The browser calls it from its own loop.
    bool runPass();
    // Ends the loop after the current batch of events.
    void quit();
    // Replaces the current state by "TitleScreen" or "GamePlay"; other names change nothing.
    void nextState(std::string name, bool* humans);
    // Loads the embedded glyph pictures into the drawer.
    void loadGlyphs();

    // Hands one SDL event to the current state, converted to the logical screen.
    void dispatch(const SDL_Event& event);
    void keyDown(const SDL_keysym& key);
    void keyUp(const SDL_keysym& key);
    void mouseDown(int button, int x, int y);
    void mouseUp(int button, int x, int y);
    void mouseMove(int x, int y);

    // The mixer, on the audio thread: silence, then the music, then the effects.
    void getAudio(float* input, float* output, int frames) override;

    // Window pixels to the 1024 by 768 logical screen, by the window size settled at start.
    static int toLogicalX(int x, int width);
    static int toLogicalY(int y, int height);

    // Whether the drawer opened a window; without one the run has failed.
    bool hasWindow() const { return windowOpen; }
    GameState* getCurrentState() const { return currentState; }
    // Installs a state directly, deleting the current one (tools and tests).
    void replaceState(GameState* state);
    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    void startUp(const std::vector<std::string>& args);
    // Chooses SDL's video driver where the user did not: X11, or Wayland first over SDL2.
    static void chooseVideoDriver();
    // Gives the window manager the game's icon; must come before the window opens.
    void setWindowIcon();
    // Stops the sound, closes the joystick, deletes the drawer and the state, and shuts SDL down.
    void shutDown();
    void openJoystick();
    void startAudio();

    // The one output stream; stopped before anything it reads goes away.
    PortAudioDevice audioDevice;
    // Set by quit() or the window's close button; the loop ends after the batch.
    bool quitRequested;
    // Whether the drawer opened a window; without one the loop does not run.
    bool windowOpen;
    // Keeps the 30 ms cadence.
    FramePacer pacer;
    // The window size settled at start, in pixels; mouse positions are scaled by it.
    int width;
    int height;
    // Sound output off, by choice or for want of a window: the device is never started nor stopped.
    bool noSound;
    // The mixer skips the music.
    bool noMusic;
    // Joystick 0, when one is plugged in.
    SDL_Joystick* joystick;
    // Turns the joystick into key presses.
    JoystickEmulation joystickKeys;
    // Owned; draws into the window.
    Drawer* drawer;
    // Streams the music; destroyed before the device, and only after stop() has silenced the stream.
    BackgroundMusic backgroundMusic;
    // Owned; never null once construction has finished.
    GameState* currentState;
};

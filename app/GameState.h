// SPDX-License-Identifier: MIT
#pragma once

#include "app/LevelScore.h"

#include <SDL.h>

#include <map>
#include <string>

class Application;
class Drawer;

// One screen of the program (the title screen or the game). The Application owns exactly one current
// state, hands it input in logical-screen positions and asks it to draw every frame. A state asks for
// the next screen by name; that call destroys the state, so the asking handler must return at once.
// The screens in game/ derive from it: the Application creates them and they call it back, so the
// shell and the game link both ways.
class GameState {
public:
    explicit GameState(Application* application);
    virtual ~GameState() = default;

    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    // Unused by this game's screens.
    virtual void setLevel(std::string level);
    // Unused by this game's screens.
    virtual void setHighScores(std::map<std::string, LevelScore>& scores);
    // Draws the whole screen for one frame.
    virtual void draw(Drawer* drawer) = 0;
    virtual void keyDown(const SDL_keysym& key);
    virtual void keyUp(const SDL_keysym& key);
    // Positions are in the 1024 by 768 logical screen.
    virtual void mouseDown(int button, int x, int y);
    virtual void mouseUp(int button, int x, int y);
    virtual void mouseMove(int x, int y);
    // The name that selects this state in nextState.
    virtual std::string getName() const = 0;

protected:
    // Ends the program after the current batch of events.
    void quit();
    // Switches to "TitleScreen" or "GamePlay"; this object is destroyed before the call returns.
    void nextState(std::string name, bool* humans);

    // The owner, for quitting and switching; not owned.
    Application* application;
};

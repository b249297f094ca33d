#pragma once

#include "GameState.h"

// The game itself. Placeholder until the game lands: draws nothing and returns to the title on Escape.
class GamePlay : public GameState {
public:
    GamePlay(Application* application, const bool* humans);

    void draw(Drawer* drawer) override;
    void keyDown(const SDL_keysym& key) override;
    std::string getName() const override { return "GamePlay"; }
};

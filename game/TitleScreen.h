#pragma once

#include "GameState.h"

// The first screen. Placeholder until the title screen lands: draws nothing and quits on Escape.
class TitleScreen : public GameState {
public:
    explicit TitleScreen(Application* application);

    void draw(Drawer* drawer) override;
    void keyDown(const SDL_keysym& key) override;
    std::string getName() const override { return "TitleScreen"; }
};

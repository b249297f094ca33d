#include "GamePlay.h"

GamePlay::GamePlay(Application* application, const bool*) : GameState(application) {}

void GamePlay::draw(Drawer*) {}

void GamePlay::keyDown(const SDL_keysym& key)
{
    if (key.sym == SDLK_ESCAPE)
        nextState("TitleScreen", nullptr);
}

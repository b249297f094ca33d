#include "TitleScreen.h"

TitleScreen::TitleScreen(Application* application) : GameState(application) {}

void TitleScreen::draw(Drawer*) {}

void TitleScreen::keyDown(const SDL_keysym& key)
{
    if (key.sym == SDLK_ESCAPE)
        quit();
}

// SPDX-License-Identifier: MIT
#include "app/GameState.h"

#include "app/Application.h"

GameState::GameState(Application* application) : application(application) {}

void GameState::setLevel(std::string) {}

void GameState::setHighScores(std::map<std::string, LevelScore>&) {}

void GameState::keyDown(const SDL_keysym&) {}

void GameState::keyUp(const SDL_keysym&) {}

void GameState::mouseDown(int, int, int) {}

void GameState::mouseUp(int, int, int) {}

void GameState::mouseMove(int, int) {}

void GameState::quit()
{
    application->quit();
}

void GameState::nextState(std::string name, bool* humans)
{
    application->nextState(name, humans);
}

// SPDX-License-Identifier: MIT
// Draws the screens a player sees into PNG files with the real OpenGL drawer: the sponsor page, the
// title screen, a board in play, a victory and a draw. The games are all-computer games played out by their own
// frame timer, so every picture shows a position the game really reaches.
// Usage: marrowgate_screenshots OUTPUT_FOLDER
#include "app/Random.h"
#include "game/GamePlay.h"
#include "game/TitleScreen.h"
#include "render/OpenGLDrawer.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr int width = 1024;
constexpr int height = 768;
// A game that nobody finishes in this many frames is abandoned (no game lasts nearly as long).
constexpr int frameLimit = 200 * 4 * GamePlay::CPU_DELAY;

// Draws one frame of the screen and writes what the window shows to folder/name.png.
bool shoot(Drawer& drawer, GameState& screen, const std::string& folder, const std::string& name)
{
    drawer.beginDrawing();
    screen.draw(&drawer);
    unsigned char* pixels = drawer.getScreenPixels();
    if (pixels == nullptr)
        return false;
    const std::string raw = folder + "/" + name + ".ppm";
    {
        std::ofstream file(raw, std::ios::binary);
        file << "P6\n" << width << " " << height << "\n255\n";
        // The drawer hands the rows over from the bottom up.
        for (int row = height - 1; row >= 0; --row)
            file.write(reinterpret_cast<const char*>(pixels + row * width * 3), width * 3);
    }
    delete[] pixels;
    const std::string command = "/usr/bin/convert " + raw + " " + folder + "/" + name + ".png";
    const bool converted = std::system(command.c_str()) == 0;
    std::remove(raw.c_str());
    std::cout << (converted ? "Wrote " : "Could not write ") << folder << "/" << name << ".png" << std::endl;
    return converted;
}

// Plays frames until the game is decided or the limit is reached; returns the frames played.
int playOut(GamePlay& game)
{
    int frame = 0;
    for (; frame < frameLimit && game.getNumWinners() == 0; ++frame)
        game.tick();
    return frame;
}

// Plays frames until the given round has begun.
void playRounds(GamePlay& game, int rounds)
{
    for (int turn = 0; turn < rounds * GamePlay::NUM_PLAYERS; ++turn) {
        const int onTurn = game.getCurrentPlayer();
        while (game.getCurrentPlayer() == onTurn && game.getNumWinners() == 0)
            game.tick();
    }
}

// The first seed from start whose all-computer game ends with the wanted number of winners (1 for a
// victory, 2 for a draw).
std::int32_t findSeed(std::int32_t start, bool draw, const bool* computers)
{
    for (std::int32_t seed = start;; ++seed) {
        Random::getGlobal()->setState(seed);
        GamePlay game(nullptr, computers);
        playOut(game);
        if ((game.getNumWinners() >= 2) == draw && game.getNumWinners() > 0)
            return seed;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cout << "Usage: marrowgate_screenshots OUTPUT_FOLDER" << std::endl;
        return 1;
    }
    const std::string folder = argv[1];
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return 1;
    SDL_ShowCursor(SDL_DISABLE);
    OpenGLDrawer drawer;
    if (!drawer.initialise(width, height, false, 0))
        return 1;

    bool written = true;
    {
        TitleScreen title(nullptr);
        written = shoot(drawer, title, folder, "sponsor") && written;
        title.mouseDown(1, 1000, 10);
        title.mouseDown(1, 330, 480);
        title.mouseDown(1, 800, 480);
        title.mouseMove(520, 640);
        written = shoot(drawer, title, folder, "title") && written;
    }

    const bool computers[4] = {false, false, false, false};
    const bool mixed[4] = {true, false, true, false};
    {
        Random::getGlobal()->setState(7);
        GamePlay game(nullptr, mixed);
        // Let the people's nations act like the computer until the board is well explored.
        game.getPlayer(0).cpu = true;
        game.getPlayer(2).cpu = true;
        playRounds(game, 9);
        // Norland's turn: its white tint is the palest the board shows.
        while (game.getCurrentPlayer() != 2)
            game.tick();
        game.getPlayer(0).cpu = false;
        game.getPlayer(2).cpu = false;
        game.mouseMove(600, 400);
        written = shoot(drawer, game, folder, "board") && written;
    }
    for (const bool draw : {false, true}) {
        const std::int32_t seed = findSeed(0, draw, computers);
        Random::getGlobal()->setState(seed);
        GamePlay game(nullptr, computers);
        const int frames = playOut(game);
        game.mouseMove(760, 600);
        written = shoot(drawer, game, folder, draw ? "draw" : "victory") && written;
        // The browser's tests replay the game of the same seed and expect its end at the same frame.
        std::cout << (draw ? "Draw" : "Victory") << " from seed " << seed << " after " << frames << " frames"
                  << std::endl;
    }
    SDL_Quit();
    return written ? 0 : 1;
}

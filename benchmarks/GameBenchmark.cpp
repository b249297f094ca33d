// SPDX-License-Identifier: MIT
// The game screen's costs under the real OpenGL drawer: the loading pass of the first frame (all 46
// pictures decoded and uploaded), the same pictures decoded alone, and one board frame with every
// overlay showing. Run under a display (xvfb-run) with Mesa's software renderer.
#include "app/Random.h"
#include "assets/Images.h"
#include "game/GamePlay.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <iostream>
#include <vector>

namespace {

// The process's one window, 1024 by 768, opened on first use.
OpenGLDrawer* window()
{
    static OpenGLDrawer* drawer = [] {
        SDL_Init(SDL_INIT_VIDEO);
        auto* opened = new OpenGLDrawer;
        opened->initialise(1024, 768, false, 0);
        return opened;
    }();
    return drawer;
}

// The loader's notice for the JPEG would print once per decode.
struct QuietOutput {
    QuietOutput() { std::cout.setstate(std::ios::failbit); }
    ~QuietOutput() { std::cout.clear(); }
};

// The first game frame of the process: the loading pass, then the board. It happens once per
// process, so it is measured once.
void firstGameFrame(benchmark::State& state)
{
    OpenGLDrawer* drawer = window();
    Random::getGlobal()->setState(0);
    GamePlay game(nullptr, nullptr);
    QuietOutput quiet;
    for (auto _ : state) {
        drawer->beginDrawing();
        game.draw(drawer);
        drawer->endDrawing();
    }
}
BENCHMARK(firstGameFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every embedded picture of the screens, as the loading passes decode them.
void decodeAllPictures(benchmark::State& state)
{
    QuietOutput quiet;
    for (auto _ : state) {
        ImageLoader loader;
        for (const EmbeddedPicture& picture : Images::pictures)
            delete[] loader.loadImage(picture.data(), picture.size).pixels;
    }
}
BENCHMARK(decodeAllPictures)->Unit(benchmark::kMillisecond);

// What the loading passes do with the pictures, repeatable: decode, upload, and release afterwards.
void decodeAndUploadAllPictures(benchmark::State& state)
{
    OpenGLDrawer* drawer = window();
    QuietOutput quiet;
    for (auto _ : state) {
        ImageLoader loader;
        std::vector<unsigned int> handles;
        for (const EmbeddedPicture& picture : Images::pictures)
            handles.push_back(loader.loadInto(*drawer, picture.data(), picture.size));
        state.PauseTiming();
        for (unsigned int handle : handles)
            drawer->releaseImage(handle);
        state.ResumeTiming();
    }
}
BENCHMARK(decodeAndUploadAllPictures)->Unit(benchmark::kMillisecond);

// One frame of the board at its busiest: all 19 overlays explored, four rows of food, food on every
// space and the move targets.
void boardFrameEverythingExplored(benchmark::State& state)
{
    OpenGLDrawer* drawer = window();
    Random::getGlobal()->setState(0);
    GamePlay game(nullptr, nullptr);
    {
        QuietOutput quiet;
        drawer->beginDrawing();
        game.draw(drawer);
        drawer->endDrawing();
    }
    Player& player = game.getPlayer(0);
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        player.addExplored(index);
    player.food = 20;
    for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
        game.getSpace(index).foraged = true;
    for (auto _ : state) {
        drawer->beginDrawing();
        game.draw(drawer);
        drawer->endDrawing();
    }
}
BENCHMARK(boardFrameEverythingExplored)->Unit(benchmark::kMillisecond);

} // namespace

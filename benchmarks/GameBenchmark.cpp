// SPDX-License-Identifier: MIT
// The game screen's costs under the real OpenGL drawer: the loading pass of the first frame (all 46
// pictures decoded and uploaded), the same pictures decoded alone, and one board frame with every
// overlay showing. Run under a display (xvfb-run) with Mesa's software renderer.
#include "GamePlay.h"
#include "ImageLoader.h"
#include "Images.h"
#include "OpenGLDrawer.h"
#include "Random.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <iostream>
#include <vector>

namespace {

struct Picture {
    const char* data;
    unsigned int size;
};

// The pictures of the game screen's loading pass, in its order.
std::vector<Picture> gamePictures()
{
    return {{Images::paper2_jpg, Images::paper2_jpg_size}, {Images::embarking_png, Images::embarking_png_size},
            {Images::map_png, Images::map_png_size}, {Images::ship_png, Images::ship_png_size},
            {Images::counter_png, Images::counter_png_size}, {Images::biscuits_png, Images::biscuits_png_size},
            {Images::biscuits1_png, Images::biscuits1_png_size}, {Images::biscuits2_png, Images::biscuits2_png_size},
            {Images::biscuits3_png, Images::biscuits3_png_size}, {Images::biscuits4_png, Images::biscuits4_png_size},
            {Images::biscuits5_png, Images::biscuits5_png_size}, {Images::garrison_png, Images::garrison_png_size},
            {Images::foragebutton_png, Images::foragebutton_png_size},
            {Images::garrisonbutton_png, Images::garrisonbutton_png_size},
            {Images::waitbutton_png, Images::waitbutton_png_size}, {Images::mouse_png, Images::mouse_png_size},
            {Images::hand_png, Images::hand_png_size}, {Images::ruritania_png, Images::ruritania_png_size},
            {Images::molotavia_png, Images::molotavia_png_size}, {Images::norland_png, Images::norland_png_size},
            {Images::stamark_png, Images::stamark_png_size}, {Images::winscreen_png, Images::winscreen_png_size},
            {Images::drawscreen_png, Images::drawscreen_png_size},
            {Images::ruritaniawin_png, Images::ruritaniawin_png_size},
            {Images::molotaviawin_png, Images::molotaviawin_png_size},
            {Images::norlandwin_png, Images::norlandwin_png_size},
            {Images::stamarkwin_png, Images::stamarkwin_png_size}, {Images::space0_png, Images::space0_png_size},
            {Images::space1_png, Images::space1_png_size}, {Images::space2_png, Images::space2_png_size},
            {Images::space3_png, Images::space3_png_size}, {Images::space4_png, Images::space4_png_size},
            {Images::space5_png, Images::space5_png_size}, {Images::space6_png, Images::space6_png_size},
            {Images::space7_png, Images::space7_png_size}, {Images::space8_png, Images::space8_png_size},
            {Images::space9_png, Images::space9_png_size}, {Images::space10_png, Images::space10_png_size},
            {Images::space11_png, Images::space11_png_size}, {Images::space12_png, Images::space12_png_size},
            {Images::space13_png, Images::space13_png_size}, {Images::space14_png, Images::space14_png_size},
            {Images::space15_png, Images::space15_png_size}, {Images::space16_png, Images::space16_png_size},
            {Images::space17_png, Images::space17_png_size}, {Images::space18_png, Images::space18_png_size}};
}

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

void decodeGamePictures(benchmark::State& state)
{
    const std::vector<Picture> pictures = gamePictures();
    QuietOutput quiet;
    for (auto _ : state) {
        ImageLoader loader;
        for (const Picture& picture : pictures)
            delete[] loader.loadImage(picture.data, picture.size).pixels;
    }
}
BENCHMARK(decodeGamePictures)->Unit(benchmark::kMillisecond);

// What the loading pass does with the pictures, repeatable: decode, upload, and release afterwards.
void decodeAndUploadGamePictures(benchmark::State& state)
{
    OpenGLDrawer* drawer = window();
    const std::vector<Picture> pictures = gamePictures();
    QuietOutput quiet;
    for (auto _ : state) {
        ImageLoader loader;
        std::vector<unsigned int> handles;
        for (const Picture& picture : pictures)
            handles.push_back(loader.loadInto(*drawer, picture.data, picture.size));
        state.PauseTiming();
        for (unsigned int handle : handles)
            drawer->releaseImage(handle);
        state.ResumeTiming();
    }
}
BENCHMARK(decodeAndUploadGamePictures)->Unit(benchmark::kMillisecond);

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

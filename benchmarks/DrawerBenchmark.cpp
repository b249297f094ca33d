// SPDX-License-Identifier: MIT
// The OpenGL drawer's costs: decoding and uploading one full-screen picture, the game board's frame
// (paper, the space overlays, the map and about 40 small pictures) with and without the drawing
// shortcuts (only the visible part of each picture, no blending for opaque ones), and what a frame
// that changes nothing still costs: recording it and comparing it with the one on screen. Run under a
// display (xvfb-run) with Mesa's software renderer:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env SDL_VIDEODRIVER=x11 BUILD/DrawerBenchmark
#include "assets/Images.h"
#include "render/FrameRecord.h"
#include "render/ImageLoader.h"
#include "render/OpenGLDrawer.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Picture {
    const char* data;
    unsigned int size;
};

// The one window of the process and its drawer, opened on first use.
OpenGLDrawer* sharedDrawer()
{
    static OpenGLDrawer* drawer = [] {
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            return static_cast<OpenGLDrawer*>(nullptr);
        OpenGLDrawer* opened = new OpenGLDrawer;
        if (!opened->initialise(1024, 768, false, 0)) {
            delete opened;
            return static_cast<OpenGLDrawer*>(nullptr);
        }
        return opened;
    }();
    return drawer;
}

unsigned int load(OpenGLDrawer* drawer, const Picture& picture)
{
    return ImageLoader().loadInto(*drawer, picture.data, picture.size);
}

// The board's pictures, registered once.
struct Board {
    unsigned int paper = 0;
    unsigned int map = 0;
    std::vector<unsigned int> overlays;
    unsigned int ship = 0, counter = 0, garrison = 0, biscuits = 0, guy = 0, mouse = 0, button = 0, banner = 0;

    explicit Board(OpenGLDrawer* drawer)
    {
        paper = load(drawer, {Images::paper2_jpg, Images::paper2_jpg_size});
        map = load(drawer, {Images::map_png, Images::map_png_size});
        for (int space = 0; space < 19; ++space) {
            const EmbeddedPicture* overlay = findPicture(Images::pictures, "space" + std::to_string(space) + ".png");
            overlays.push_back(load(drawer, {overlay->data(), overlay->size}));
        }
        ship = load(drawer, {Images::ship_png, Images::ship_png_size});
        counter = load(drawer, {Images::counter_png, Images::counter_png_size});
        garrison = load(drawer, {Images::garrison_png, Images::garrison_png_size});
        biscuits = load(drawer, {Images::biscuits_png, Images::biscuits_png_size});
        guy = load(drawer, {Images::guy_png, Images::guy_png_size});
        mouse = load(drawer, {Images::mouse_png, Images::mouse_png_size});
        button = load(drawer, {Images::foragebutton_png, Images::foragebutton_png_size});
        banner = load(drawer, {Images::ruritania_png, Images::ruritania_png_size});
    }

    // One frame as the game screen draws it, finished before returning.
    void drawFrame(OpenGLDrawer* drawer, int overlayCount) const
    {
        drawer->beginDrawing();
        drawer->drawImage(paper, 0, 0, 1, 1, 1, 1, 1, 1);
        for (int i = 0; i < overlayCount; ++i)
            drawer->drawImage(overlays[i], 0, 0, 1, 1, 0.2f + 0.04f * i, 0.5f, 0.8f - 0.03f * i, 0.6f);
        drawer->drawImage(map, 0, 0, 1, 1, 1, 1, 1, 1);
        // 40 small pictures: ships, buttons, the banner, food, pieces, counters, forts and the pointer.
        drawer->drawImage(ship, 444, 10, -1, 1, 1, 1, 1, 1);
        drawer->drawImage(ship, 452, 628, 1, 1, 1, 1, 1, 1);
        drawer->drawImage(ship, 844, 354, 1, 1, 1, 1, 1, 1);
        drawer->drawImage(ship, 56, 354, -1, 1, 1, 1, 1, 1);
        for (int i = 0; i < 3; ++i)
            drawer->drawImage(button, 0, static_cast<short>(530 + 60 * i), 1, 1, 1, 1, 1, 1);
        drawer->drawImage(banner, 20, 20, 1, 1, 1, 1, 1, 1);
        for (int i = 0; i < 15; ++i)
            drawer->drawImage(biscuits, static_cast<short>(38 + 40 * (i % 5)), static_cast<short>(60 + 46 * (i / 5)),
                              0.75f, 0.75f, 1, 1, 1, 1);
        for (int i = 0; i < 4; ++i)
            drawer->drawImage(guy, static_cast<short>(300 + 110 * i), 300, 1, 1, 0.3f * i, 0.5f, 1, 1);
        for (int i = 0; i < 8; ++i)
            drawer->drawImage(counter, static_cast<short>(250 + 60 * i), 450, 0.5f, 0.5f, 1, 1, 1, 1);
        for (int i = 0; i < 4; ++i)
            drawer->drawImage(garrison, static_cast<short>(320 + 100 * i), 200, 1, 1, 1, 1, 1, 1);
        drawer->drawImage(mouse, 500, 400, 1, 1, 1, 1, 1, 1);
        drawer->endDrawing();
        glFinish();
    }
};

// The shared window's drawer, or null with the benchmark marked as failed when there is no window.
OpenGLDrawer* sharedDrawer(benchmark::State& state)
{
    OpenGLDrawer* drawer = sharedDrawer();
    if (drawer == nullptr)
        state.SkipWithError("no window");
    return drawer;
}

// The board's pictures, registered once for all benchmarks.
const Board& sharedBoard(OpenGLDrawer* drawer)
{
    static const Board board(drawer);
    return board;
}

void DecodeAndUploadFullScreenPng(benchmark::State& state)
{
    OpenGLDrawer* drawer = sharedDrawer(state);
    if (drawer == nullptr)
        return;
    for (auto _ : state) {
        const unsigned int image = load(drawer, {Images::map_png, Images::map_png_size});
        glFinish();
        state.PauseTiming();
        drawer->releaseImage(image);
        state.ResumeTiming();
    }
}
BENCHMARK(DecodeAndUploadFullScreenPng)->Unit(benchmark::kMillisecond);

// Arguments: the number of overlays showing, and whether drawImage takes its shortcuts.
void BoardFrame(benchmark::State& state)
{
    OpenGLDrawer* drawer = sharedDrawer(state);
    if (drawer == nullptr)
        return;
    const Board& board = sharedBoard(drawer);
    drawer->setShortcuts(state.range(1) != 0);
    // Every frame here equals the one before; it must be drawn all the same.
    drawer->setFrameSkipping(false);
    for (auto _ : state)
        board.drawFrame(drawer, static_cast<int>(state.range(0)));
    drawer->setShortcuts(true);
    drawer->setFrameSkipping(true);
}
BENCHMARK(BoardFrame)
    ->ArgNames({"overlays", "shortcuts"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({19, 0})
    ->Args({19, 1})
    ->Unit(benchmark::kMillisecond);

// The board frame with 19 overlays when it equals the frame on screen: recorded, compared, left out.
void UnchangedBoardFrame(benchmark::State& state)
{
    OpenGLDrawer* drawer = sharedDrawer(state);
    if (drawer == nullptr)
        return;
    const Board& board = sharedBoard(drawer);
    board.drawFrame(drawer, 19);
    const unsigned long rendered = drawer->getRenderedFrames();
    for (auto _ : state)
        board.drawFrame(drawer, 19);
    if (drawer->getRenderedFrames() != rendered)
        state.SkipWithError("unchanged frames were drawn");
}
BENCHMARK(UnchangedBoardFrame)->Unit(benchmark::kMicrosecond);

// Comparing two equal records of a board frame's size (the paper, 19 overlays, the map, 46 pictures),
// which reads every byte of both: the most a comparison costs.
void CompareEqualFrames(benchmark::State& state)
{
    FrameRecord records[2];
    for (FrameRecord& record : records)
        for (int i = 0; i < 67; ++i) {
            DrawOperation operation = {};
            operation.kind = DrawOperation::Image;
            operation.handle = static_cast<unsigned int>(2 + i % 30);
            operation.x = 10 * i;
            operation.y = 7 * i;
            operation.scaleX = operation.scaleY = 1.0f;
            std::fill(operation.colour, operation.colour + 4, 1.0f);
            record.add(operation);
        }
    for (auto _ : state)
        benchmark::DoNotOptimize(records[0] == records[1]);
}
BENCHMARK(CompareEqualFrames)->Unit(benchmark::kMicrosecond);

} // namespace

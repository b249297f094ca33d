// SPDX-License-Identifier: MIT
#include "game/TitleScreen.h"

#include "assets/Images.h"
#include "audio/Sounds.h"
#include "render/Drawer.h"
#include "render/ImageLoader.h"
#include "render/LogicalScreen.h"

namespace {

// A clickable rectangle of the title picture; both bounds inclusive.
struct HotBox {
    int left;
    int top;
    int right;
    int bottom;
};

// In the order clicks test them: the start button, then each nation's person and computer boxes.
constexpr HotBox hotBoxes[] = {
    {356, 618, 663, 657},
    {84, 444, 115, 469}, {84, 474, 115, 499},
    {322, 444, 353, 469}, {322, 474, 353, 499},
    {565, 444, 596, 469}, {565, 474, 596, 499},
    {790, 444, 821, 469}, {790, 474, 821, 499},
};
constexpr int startBox = 0;

// Where each nation's soldier stands, and its tint.
struct Soldier {
    short x;
    float r;
    float g;
    float b;
};
constexpr Soldier soldiers[4] = {
    {114, 0.8f, 0.0f, 0.0f},
    {364, 0.1f, 0.1f, 0.8f},
    {610, 1.0f, 1.0f, 1.0f},
    {828, 1.0f, 1.0f, 0.2f},
};
constexpr short soldierY = 350;
constexpr short tickX[4] = {74, 314, 559, 783};
constexpr short personTickY = 415;
constexpr short computerTickY = 449;

void drawWhite(Drawer* drawer, unsigned int image, short x, short y)
{
    drawer->drawImage(image, x, y, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

bool TitleScreen::imagesLoaded = false;
int TitleScreen::sponsorHide = 480;
unsigned int TitleScreen::paper = 0;
unsigned int TitleScreen::sponsor = 0;
unsigned int TitleScreen::background = 0;
unsigned int TitleScreen::guy = 0;
unsigned int TitleScreen::tick = 0;
unsigned int TitleScreen::mouse = 0;
unsigned int TitleScreen::hand = 0;

TitleScreen::TitleScreen(Application* application)
    : GameState(application), mouseX(LogicalScreen::WIDTH / 2), mouseY(LogicalScreen::HEIGHT / 2), cursor(mouse),
      humanPlayers{true, true, true, true}
{
}

void TitleScreen::draw(Drawer* drawer)
{
    if (!imagesLoaded) {
        loadImages(drawer);
        cursor = mouse;
    }
    drawWhite(drawer, paper, 0, 0);
    if (sponsorHide > 0) {
        --sponsorHide;
        drawWhite(drawer, sponsor, 0, 0);
        return;
    }
    drawWhite(drawer, background, 0, 0);
    drawChoices(drawer);
    drawWhite(drawer, cursor, static_cast<short>(mouseX - LogicalScreen::POINTER_TIP_X),
              static_cast<short>(mouseY - LogicalScreen::POINTER_TIP_Y));
}

void TitleScreen::mouseMove(int x, int y)
{
    mouseX = x;
    mouseY = y;
    if (sponsorHide > 0)
        return;
    cursor = hotBoxAt(x, y) >= 0 ? hand : mouse;
}

void TitleScreen::mouseDown(int, int x, int y)
{
    // The click that ends the sponsor page also counts on the title, so it can start a game at once.
    if (sponsorHide > 0)
        sponsorHide = 0;
    const int box = hotBoxAt(x, y);
    if (box < 0)
        return;
    Sounds::getInstance()->playSound(Sounds::ClickSound);
    if (box == startBox) {
        // This screen is deleted inside the call; nothing of it may be touched afterwards.
        nextState("GamePlay", humanPlayers);
        return;
    }
    const int nation = (box - 1) / 2;
    humanPlayers[nation] = (box - 1) % 2 == 0;
}

void TitleScreen::keyDown(const SDL_keysym& key)
{
    if (key.sym == SDLK_ESCAPE)
        quit();
}

void TitleScreen::loadImages(Drawer* drawer)
{
    ImageLoader loader;
    paper = loader.loadInto(*drawer, Images::paper2_jpg, Images::paper2_jpg_size);
    sponsor = loader.loadInto(*drawer, Images::sponsor_png, Images::sponsor_png_size);
    background = loader.loadInto(*drawer, Images::title_png, Images::title_png_size);
    guy = loader.loadInto(*drawer, Images::guy_png, Images::guy_png_size);
    tick = loader.loadInto(*drawer, Images::tick_png, Images::tick_png_size);
    mouse = loader.loadInto(*drawer, Images::mouse_png, Images::mouse_png_size);
    hand = loader.loadInto(*drawer, Images::hand_png, Images::hand_png_size);
    imagesLoaded = true;
}

void TitleScreen::drawChoices(Drawer* drawer) const
{
    for (const Soldier& soldier : soldiers)
        drawer->drawImage(guy, soldier.x, soldierY, 1.0f, 1.0f, soldier.r, soldier.g, soldier.b, 1.0f);
    for (int nation = 0; nation < 4; ++nation)
        drawWhite(drawer, tick, tickX[nation], humanPlayers[nation] ? personTickY : computerTickY);
}

int TitleScreen::hotBoxAt(int x, int y)
{
    for (int box = 0; box < static_cast<int>(sizeof(hotBoxes) / sizeof(hotBoxes[0])); ++box) {
        const HotBox& hot = hotBoxes[box];
        if (x >= hot.left && x <= hot.right && y >= hot.top && y <= hot.bottom)
            return box;
    }
    return -1;
}

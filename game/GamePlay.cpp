// SPDX-License-Identifier: MIT
#include "game/GamePlay.h"

#include "app/Random.h"
#include "assets/Images.h"
#include "audio/Sounds.h"
#include "render/Drawer.h"
#include "render/ImageLoader.h"
#include "render/LogicalScreen.h"

#include <cstddef>
#include <string>
#include <vector>

namespace {

struct SpaceLayout {
    int x;
    int y;
    std::vector<int> neighbours;
};

// The board: an outer ring 0-11, an inner ring 12-17 and the centre 18. Neighbours are listed in the
// order in which moves and the computer scan them.
const SpaceLayout BOARD[GamePlay::NUM_SPACES] = {
    {476, 172, {1, 11, 12}},
    {608, 208, {2, 0, 12}},
    {682, 290, {3, 1, 13}},
    {712, 384, {4, 2, 13}},
    {687, 490, {5, 3, 14}},
    {598, 550, {6, 4, 14}},
    {492, 566, {7, 5, 15}},
    {357, 550, {8, 6, 16}},
    {272, 475, {9, 7, 16}},
    {232, 374, {10, 8, 17}},
    {248, 270, {11, 9, 17}},
    {337, 195, {0, 10, 17}},
    {502, 270, {0, 1, 13, 18, 17}},
    {592, 350, {2, 3, 14, 18, 12}},
    {572, 438, {4, 5, 15, 18, 13}},
    {484, 460, {6, 16, 18, 14}},
    {380, 430, {7, 8, 17, 18, 15}},
    {370, 308, {9, 10, 11, 12, 18, 16}},
    {468, 364, {12, 13, 14, 15, 16, 17}},
};

// How many spaces get each food value 1 to 5.
const int FOOD_QUANTITIES[] = {6, 4, 4, 3, 2};

struct Nation {
    float red;
    float green;
    float blue;
    int home;
};

const Nation NATIONS[GamePlay::NUM_PLAYERS] = {
    {0.8f, 0.0f, 0.0f, 0},  // Ruritania
    {0.1f, 0.1f, 0.8f, 3},  // Molotavia
    {1.0f, 1.0f, 1.0f, 6},  // Norland
    {1.0f, 1.0f, 0.2f, 9},  // Stamark
};

// The command buttons' column and rows, bounds included.
const int BUTTON_LEFT = 34;
const int BUTTON_RIGHT = 219;
const int FORAGE_TOP = 567;
const int FORAGE_BOTTOM = 618;
const int GARRISON_TOP = 627;
const int GARRISON_BOTTOM = 679;
const int WAIT_TOP = 687;
const int WAIT_BOTTOM = 739;

void playSound(Sounds::SoundType type)
{
    Sounds::getInstance()->playSound(type);
}

} // namespace

unsigned int GamePlay::paper = 0;
unsigned int GamePlay::map = 0;
unsigned int GamePlay::spacesImages[GamePlay::NUM_SPACES] = {};
unsigned int GamePlay::ruritania = 0;
unsigned int GamePlay::molotavia = 0;
unsigned int GamePlay::norland = 0;
unsigned int GamePlay::stamark = 0;
unsigned int GamePlay::biscuits = 0;
unsigned int GamePlay::biscuits1 = 0;
unsigned int GamePlay::biscuits2 = 0;
unsigned int GamePlay::biscuits3 = 0;
unsigned int GamePlay::biscuits4 = 0;
unsigned int GamePlay::biscuits5 = 0;
unsigned int GamePlay::counter = 0;
unsigned int GamePlay::garrison = 0;
unsigned int GamePlay::forageButton = 0;
unsigned int GamePlay::garrisonButton = 0;
unsigned int GamePlay::waitButton = 0;
unsigned int GamePlay::ship = 0;
unsigned int GamePlay::mouse = 0;
unsigned int GamePlay::hand = 0;
unsigned int GamePlay::ruritaniaWin = 0;
unsigned int GamePlay::molotaviaWin = 0;
unsigned int GamePlay::norlandWin = 0;
unsigned int GamePlay::stamarkWin = 0;
unsigned int GamePlay::winScreen = 0;
unsigned int GamePlay::drawScreen = 0;
bool GamePlay::imagesLoaded = false;

GamePlay::GamePlay(Application* application, const bool* humans)
    : GameState(application), mouseX(LogicalScreen::WIDTH / 2), mouseY(LogicalScreen::HEIGHT / 2), cursor(mouse),
      currentPlayer(0), cpuDelay(CPU_DELAY), numWinners(0)
{
    for (int nation = 0; nation < NUM_PLAYERS; ++nation)
        players[nation].setColour(NATIONS[nation].red, NATIONS[nation].green, NATIONS[nation].blue);
    setupPositions();
    for (int nation = 0; nation < NUM_PLAYERS; ++nation) {
        players[nation].setSpace(&spaces[NATIONS[nation].home]);
        players[nation].addExplored(NATIONS[nation].home);
    }
    for (int nation = 0; nation < NUM_PLAYERS; ++nation) {
        if (humans != nullptr && !humans[nation])
            players[nation].setCPU();
    }
}

GamePlay::~GamePlay() = default;

void GamePlay::setupPositions()
{
    for (int index = 0; index < NUM_SPACES; ++index) {
        spaces[index].setPosition(BOARD[index].x, BOARD[index].y);
        for (int neighbour : BOARD[index].neighbours)
            spaces[index].addAdjacentSpace(&spaces[neighbour]);
    }
    dealFood();
}

void GamePlay::dealFood()
{
    std::vector<Space*> pool;
    for (Space& space : spaces)
        pool.push_back(&space);
    for (int value = 1; value <= 5; ++value) {
        for (int count = 0; count < FOOD_QUANTITIES[value - 1]; ++count) {
            const int chosen = drawIndex(static_cast<int>(pool.size()));
            pool[chosen]->setNumFood(value);
            pool.erase(pool.begin() + chosen);
        }
    }
}

int GamePlay::drawIndex(int count)
{
    const float t = Random::getGlobal()->nextFloat() * static_cast<float>(count - 1);
    int index = static_cast<int>(t);
    if (t - static_cast<float>(index) > 0.5f)
        ++index;
    return index;
}

GamePlay::Button GamePlay::buttonAt(int x, int y)
{
    if (x < BUTTON_LEFT || x > BUTTON_RIGHT)
        return NoButton;
    if (y >= FORAGE_TOP && y <= FORAGE_BOTTOM)
        return ForageButton;
    if (y >= GARRISON_TOP && y <= GARRISON_BOTTOM)
        return GarrisonButton;
    if (y >= WAIT_TOP && y <= WAIT_BOTTOM)
        return WaitButton;
    return NoButton;
}

void GamePlay::keyDown(const SDL_keysym& key)
{
    if (key.sym == SDLK_ESCAPE)
        leaveGame();
}

void GamePlay::mouseDown(int, int x, int y)
{
    if (numWinners != 0) {
        leaveGame();
        return;
    }
    Player& player = players[currentPlayer];
    if (player.cpu)
        return;

    const Button button = buttonAt(x, y);
    if (button == ForageButton) {
        forage(player);
        endTurn();
    } else if (button == GarrisonButton && player.food > 0) {
        if (player.space->garrison)
            return;
        placeGarrison(player);
        endTurn();
    } else if (button == WaitButton) {
        playSound(Sounds::ClickSound);
        endTurn();
    } else {
        if (player.food == 0)
            return;
        cursor = mouse;
        Space* target = neighbourAt(player, x, y);
        if (target == nullptr || isOccupied(target))
            return;
        moveTo(player, target);
        playSound(Sounds::ClickSound);
        endTurn();
    }
}

void GamePlay::mouseMove(int x, int y)
{
    mouseX = x;
    mouseY = y;
    if (numWinners != 0) {
        cursor = hand;
        return;
    }
    const Player& player = players[currentPlayer];
    if (player.cpu)
        return;

    switch (buttonAt(x, y)) {
    case ForageButton:
    case WaitButton: cursor = hand; return;
    case GarrisonButton:
        if (player.food > 0) {
            cursor = hand;
            return;
        }
        break;
    case NoButton: break;
    }
    if (player.food == 0) {
        cursor = mouse;
        return;
    }
    const Space* target = neighbourAt(player, x, y);
    cursor = (target != nullptr && !isOccupied(target)) ? hand : mouse;
}

void GamePlay::tick()
{
    if (numWinners != 0 || !players[currentPlayer].cpu)
        return;
    if (--cpuDelay == 0)
        cpuTurn();
}

void GamePlay::cpuTurn()
{
    Player& player = players[currentPlayer];
    if (player.food == 0)
        forage(player);
    else if (Random::getGlobal()->nextFloat() > 0.9f && !player.space->garrison)
        placeGarrison(player);
    else {
        const std::vector<Space*> free = freeNeighbours(player);
        std::vector<Space*> unexplored;
        for (Space* space : free) {
            if (!player.hasExplored(indexOf(space)))
                unexplored.push_back(space);
        }
        if (!unexplored.empty())
            moveTo(player, unexplored[drawIndex(static_cast<int>(unexplored.size()))]);
        else if (!free.empty())
            moveTo(player, free.front());
        else
            forage(player);
    }
    cpuDelay = CPU_DELAY;
    endTurn();
}

void GamePlay::endOfTurns()
{
    currentPlayer = 0;
    for (const Player& player : players) {
        if (player.explored.size() == NUM_SPACES)
            ++numWinners;
    }
    for (std::size_t i = garrisons.size(); i-- > 0;) {
        if (--garrisons[i].turns < 0) {
            garrisons[i].space->setGarrison(false);
            garrisons.erase(garrisons.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void GamePlay::forage(Player& player)
{
    player.space->foraged = true;
    player.addFood(player.space->numFood);
    playSound(Sounds::ForageSound);
}

void GamePlay::placeGarrison(Player& player)
{
    garrisons.push_back(Garrison{player.space, GARRISON_TURNS});
    player.space->setGarrison(true);
    player.decrementFood();
    playSound(Sounds::GarrisonSound);
}

void GamePlay::moveTo(Player& player, Space* space)
{
    player.setSpace(space);
    player.addExplored(indexOf(space));
    player.decrementFood();
}

void GamePlay::endTurn()
{
    if (++currentPlayer > NUM_PLAYERS - 1)
        endOfTurns();
}

Space* GamePlay::neighbourAt(const Player& player, int x, int y)
{
    for (Space* neighbour : player.space->adjacentSpaces) {
        if (neighbour->contains(x, y) && !neighbour->garrison)
            return neighbour;
    }
    return nullptr;
}

bool GamePlay::isOccupied(const Space* space) const
{
    for (const Player& player : players) {
        if (player.space == space)
            return true;
    }
    return false;
}

std::vector<Space*> GamePlay::freeNeighbours(const Player& player)
{
    std::vector<Space*> free;
    for (Space* neighbour : player.space->adjacentSpaces) {
        if (!neighbour->garrison && !isOccupied(neighbour))
            free.push_back(neighbour);
    }
    return free;
}

void GamePlay::leaveGame()
{
    nextState("TitleScreen", nullptr);
}

void GamePlay::draw(Drawer* drawer)
{
    if (!imagesLoaded)
        loadImages(drawer);
    tick();
    drawer->drawImage(paper, 0, 0, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    if (numWinners >= 2)
        drawer->drawImage(drawScreen, 0, 0, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    else if (numWinners == 1)
        drawVictory(drawer);
    else
        drawBoard(drawer);
    drawPointer(drawer);
}

void GamePlay::loadImages(Drawer* drawer)
{
    imagesLoaded = true;
    ImageLoader loader;
    paper = loader.loadInto(*drawer, Images::paper2_jpg, Images::paper2_jpg_size);
    const unsigned int embarking = loader.loadInto(*drawer, Images::embarking_png, Images::embarking_png_size);
    drawer->drawImage(paper, 0, 0, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(embarking, 256, 192, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->endDrawing();
    drawer->beginDrawing();

    map = loader.loadInto(*drawer, Images::map_png, Images::map_png_size);
    ship = loader.loadInto(*drawer, Images::ship_png, Images::ship_png_size);
    counter = loader.loadInto(*drawer, Images::counter_png, Images::counter_png_size);
    biscuits = loader.loadInto(*drawer, Images::biscuits_png, Images::biscuits_png_size);
    biscuits1 = loader.loadInto(*drawer, Images::biscuits1_png, Images::biscuits1_png_size);
    biscuits2 = loader.loadInto(*drawer, Images::biscuits2_png, Images::biscuits2_png_size);
    biscuits3 = loader.loadInto(*drawer, Images::biscuits3_png, Images::biscuits3_png_size);
    biscuits4 = loader.loadInto(*drawer, Images::biscuits4_png, Images::biscuits4_png_size);
    biscuits5 = loader.loadInto(*drawer, Images::biscuits5_png, Images::biscuits5_png_size);
    garrison = loader.loadInto(*drawer, Images::garrison_png, Images::garrison_png_size);
    forageButton = loader.loadInto(*drawer, Images::foragebutton_png, Images::foragebutton_png_size);
    garrisonButton = loader.loadInto(*drawer, Images::garrisonbutton_png, Images::garrisonbutton_png_size);
    waitButton = loader.loadInto(*drawer, Images::waitbutton_png, Images::waitbutton_png_size);
    mouse = loader.loadInto(*drawer, Images::mouse_png, Images::mouse_png_size);
    cursor = mouse;
    hand = loader.loadInto(*drawer, Images::hand_png, Images::hand_png_size);
    ruritania = loader.loadInto(*drawer, Images::ruritania_png, Images::ruritania_png_size);
    molotavia = loader.loadInto(*drawer, Images::molotavia_png, Images::molotavia_png_size);
    norland = loader.loadInto(*drawer, Images::norland_png, Images::norland_png_size);
    stamark = loader.loadInto(*drawer, Images::stamark_png, Images::stamark_png_size);
    winScreen = loader.loadInto(*drawer, Images::winscreen_png, Images::winscreen_png_size);
    drawScreen = loader.loadInto(*drawer, Images::drawscreen_png, Images::drawscreen_png_size);
    ruritaniaWin = loader.loadInto(*drawer, Images::ruritaniawin_png, Images::ruritaniawin_png_size);
    molotaviaWin = loader.loadInto(*drawer, Images::molotaviawin_png, Images::molotaviawin_png_size);
    norlandWin = loader.loadInto(*drawer, Images::norlandwin_png, Images::norlandwin_png_size);
    stamarkWin = loader.loadInto(*drawer, Images::stamarkwin_png, Images::stamarkwin_png_size);

    for (int index = 0; index < NUM_SPACES; ++index) {
        const EmbeddedPicture* overlay = findPicture(Images::pictures, "space" + std::to_string(index) + ".png");
        spacesImages[index] = overlay != nullptr ? loader.loadInto(*drawer, overlay->data(), overlay->size) : 0;
    }
}

void GamePlay::drawVictory(Drawer* drawer) const
{
    const unsigned int captions[NUM_PLAYERS] = {ruritaniaWin, molotaviaWin, norlandWin, stamarkWin};
    for (int nation = 0; nation < NUM_PLAYERS; ++nation) {
        if (players[nation].explored.size() == NUM_SPACES) {
            drawer->drawImage(captions[nation], 0, 75, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
            drawer->drawImage(winScreen, 0, 220, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
            return;
        }
    }
}

void GamePlay::drawBoard(Drawer* drawer)
{
    const Player& player = players[currentPlayer];
    for (int index : player.explored)
        drawer->drawImage(spacesImages[index], 0, 0, 1.0f, 1.0f, player.red, player.green, player.blue, 0.5f);
    drawer->drawImage(map, 0, 0, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    const unsigned int banners[NUM_PLAYERS] = {ruritania, molotavia, norland, stamark};
    drawer->drawImage(banners[currentPlayer], 20, 20, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawFoodStore(drawer, player);

    drawer->drawImage(forageButton, 0, 530, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(garrisonButton, 0, 590, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(waitButton, 0, 650, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);

    const unsigned int foodMarks[] = {biscuits1, biscuits2, biscuits3, biscuits4, biscuits5};
    for (const Space& space : spaces) {
        if (space.foraged && space.numFood >= 1 && space.numFood <= 5)
            drawer->drawImage(foodMarks[space.numFood - 1], static_cast<short>(space.x), static_cast<short>(space.y),
                              1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    drawMoveTargets(drawer, player);
    for (const Garrison& standing : garrisons)
        drawer->drawImage(garrison, static_cast<short>(standing.space->x), static_cast<short>(standing.space->y),
                          1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    for (Player& nation : players)
        nation.draw(drawer);

    drawer->drawImage(ship, 444, 10, -1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(ship, 452, 628, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(ship, 844, 354, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    drawer->drawImage(ship, 56, 354, -1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
}

void GamePlay::drawFoodStore(Drawer* drawer, const Player& player) const
{
    for (int i = 0; i < player.food; ++i) {
        const int y = 60 + 46 * (i / 5);
        // Rows below the screen are skipped, so a huge store costs nothing and never wraps around.
        if (y >= LogicalScreen::HEIGHT)
            return;
        drawer->drawImage(biscuits, static_cast<short>(38 + 40 * (i % 5)), static_cast<short>(y), 0.75f, 0.75f,
                          1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void GamePlay::drawMoveTargets(Drawer* drawer, const Player& player) const
{
    if (player.food < 1)
        return;
    for (const Space* neighbour : player.space->adjacentSpaces) {
        if (neighbour->garrison || isOccupied(neighbour))
            continue;
        drawer->drawImage(counter, static_cast<short>(neighbour->x), static_cast<short>(neighbour->y), 1.0f, 1.0f,
                          player.red, player.green, player.blue, 1.0f);
    }
}

void GamePlay::drawPointer(Drawer* drawer) const
{
    drawer->drawImage(cursor, static_cast<short>(mouseX - LogicalScreen::POINTER_TIP_X),
                     static_cast<short>(mouseY - LogicalScreen::POINTER_TIP_Y), 1.0f, 1.0f, 1.0f,
                      1.0f, 1.0f, 1.0f);
}

// SPDX-License-Identifier: MIT
#include "GameModel.h"

#include "GamePlay.h"

#include <algorithm>
#include <sstream>

namespace {

using Call = RecordingDrawer::Call;

// The board by space: the box's corner, and the neighbours in the order moves scan them.
const int LEFT[19] = {476, 608, 682, 712, 687, 598, 492, 357, 272, 232, 248, 337, 502, 592, 572, 484, 380, 370, 468};
const int TOP[19] = {172, 208, 290, 384, 490, 550, 566, 550, 475, 374, 270, 195, 270, 350, 438, 460, 430, 308, 364};
const char* const LINKS = "1 11 12/2 0 12/3 1 13/4 2 13/5 3 14/6 4 14/7 5 15/8 6 16/9 7 16/10 8 17/11 9 17/0 10 17/"
                          "0 1 13 18 17/2 3 14 18 12/4 5 15 18 13/6 16 18 14/7 8 17 18 15/9 10 11 12 18 16/"
                          "12 13 14 15 16 17";
const int HOMES[4] = {0, 3, 6, 9};
const float TINTS[4][3] = {{0.8f, 0, 0}, {0.1f, 0.1f, 0.8f}, {1, 1, 1}, {1, 1, 0.2f}};

Call image(unsigned int handle, int x, int y, float scaleX = 1, float scaleY = 1, const float* tint = nullptr,
           float alpha = 1)
{
    const float white[3] = {1, 1, 1};
    const float* c = tint != nullptr ? tint : white;
    return Call{"drawImage", handle, {float(x), float(y), scaleX, scaleY, c[0], c[1], c[2], alpha}, ""};
}

} // namespace

GameModel::GameModel(std::int32_t seed, const bool humans[4]) : rng(seed)
{
    std::istringstream links(LINKS);
    std::string list;
    for (int index = 0; std::getline(links, list, '/'); ++index) {
        Place& place = state.places[index];
        place.x = LEFT[index];
        place.y = TOP[index];
        std::istringstream numbers(list);
        for (int neighbour; numbers >> neighbour;)
            place.neighbours.push_back(neighbour);
    }
    std::vector<int> pool;
    for (int index = 0; index < 19; ++index)
        pool.push_back(index);
    const int howMany[6] = {0, 6, 4, 4, 3, 2};
    for (int food = 1; food <= 5; ++food) {
        for (int n = 0; n < howMany[food]; ++n) {
            const int chosen = drawIndex(int(pool.size()));
            state.places[pool[chosen]].food = food;
            pool.erase(pool.begin() + chosen);
        }
    }
    for (int n = 0; n < 4; ++n) {
        state.nations[n].space = HOMES[n];
        state.nations[n].explored = {HOMES[n]};
        state.nations[n].cpu = !humans[n];
    }
    state.cursor = GamePlay::mouse;
}

GameModel::Sound GameModel::click(int x, int y)
{
    if (isOver()) {
        left = true;
        return Silence;
    }
    Nation& nation = state.nations[state.current];
    if (nation.cpu)
        return Silence;
    Sound sound = Silence;
    const Button button = buttonAt(x, y);
    if (button == ForageButton)
        sound = forage(nation);
    else if (button == GarrisonButton && nation.food > 0) {
        if (state.places[nation.space].garrison)
            return Silence;
        sound = garrison(nation);
    } else if (button == WaitButton)
        sound = Click;
    else {
        if (nation.food == 0)
            return Silence;
        state.cursor = GamePlay::mouse;
        const int target = neighbourAt(nation, x, y);
        if (target < 0 || occupied(target))
            return Silence;
        walk(nation, target);
        sound = Click;
    }
    endTurn();
    return sound;
}

void GameModel::move(int x, int y)
{
    mouseX = x;
    mouseY = y;
    const Nation& nation = state.nations[state.current];
    bool hand = false;
    if (isOver())
        hand = true;
    else if (nation.cpu)
        return;
    else if (buttonAt(x, y) == ForageButton || buttonAt(x, y) == WaitButton)
        hand = true;
    else if (buttonAt(x, y) == GarrisonButton && nation.food > 0)
        hand = true;
    else if (nation.food > 0) {
        const int target = neighbourAt(nation, x, y);
        hand = target >= 0 && !occupied(target);
    }
    state.cursor = hand ? GamePlay::hand : GamePlay::mouse;
}

void GameModel::key(int sym)
{
    if (sym == 27)
        left = true;
}

GameModel::Sound GameModel::frame()
{
    if (!computerOnTurn() || --delay != 0)
        return Silence;
    Nation& nation = state.nations[state.current];
    const Sound sound = computerTurn(nation);
    delay = 60;
    endTurn();
    return sound;
}

GameModel::Sound GameModel::computerTurn(Nation& nation)
{
    if (nation.food == 0)
        return forage(nation);
    if (rng.nextFloat() > 0.9f && !state.places[nation.space].garrison)
        return garrison(nation);
    std::vector<int> free;
    std::vector<int> fresh;
    for (int neighbour : state.places[nation.space].neighbours) {
        if (state.places[neighbour].garrison || occupied(neighbour))
            continue;
        free.push_back(neighbour);
        if (std::find(nation.explored.begin(), nation.explored.end(), neighbour) == nation.explored.end())
            fresh.push_back(neighbour);
    }
    if (!fresh.empty())
        walk(nation, fresh[drawIndex(int(fresh.size()))]);
    else if (!free.empty())
        walk(nation, free[0]);
    else
        return forage(nation);
    return Silence;
}

std::vector<Call> GameModel::picture() const
{
    std::vector<Call> calls{image(GamePlay::paper, 0, 0)};
    if (state.winners >= 2)
        calls.push_back(image(GamePlay::drawScreen, 0, 0));
    else if (state.winners == 1) {
        const unsigned int captions[4] = {GamePlay::ruritaniaWin, GamePlay::molotaviaWin, GamePlay::norlandWin,
                                          GamePlay::stamarkWin};
        for (int n = 0; n < 4; ++n) {
            if (state.nations[n].explored.size() == 19) {
                calls.push_back(image(captions[n], 0, 75));
                calls.push_back(image(GamePlay::winScreen, 0, 220));
                break;
            }
        }
    } else
        drawBoard(calls);
    calls.push_back(image(state.cursor, mouseX - 25, mouseY - 12));
    return calls;
}

void GameModel::drawBoard(std::vector<Call>& calls) const
{
    const Nation& nation = state.nations[state.current];
    const float* tint = TINTS[state.current];
    for (int space : nation.explored)
        calls.push_back(image(GamePlay::spacesImages[space], 0, 0, 1, 1, tint, 0.5f));
    calls.push_back(image(GamePlay::map, 0, 0));
    const unsigned int banners[4] = {GamePlay::ruritania, GamePlay::molotavia, GamePlay::norland, GamePlay::stamark};
    calls.push_back(image(banners[state.current], 20, 20));
    // Rows that would start below the screen's bottom are left out.
    for (int i = 0; i < nation.food && 60 + 46 * (i / 5) < 768; ++i)
        calls.push_back(image(GamePlay::biscuits, 38 + 40 * (i % 5), 60 + 46 * (i / 5), 0.75f, 0.75f));
    calls.push_back(image(GamePlay::forageButton, 0, 530));
    calls.push_back(image(GamePlay::garrisonButton, 0, 590));
    calls.push_back(image(GamePlay::waitButton, 0, 650));
    const unsigned int piles[5] = {GamePlay::biscuits1, GamePlay::biscuits2, GamePlay::biscuits3, GamePlay::biscuits4,
                                   GamePlay::biscuits5};
    for (const Place& place : state.places) {
        if (place.foraged)
            calls.push_back(image(piles[place.food - 1], place.x, place.y));
    }
    for (int neighbour : state.places[nation.space].neighbours) {
        const Place& place = state.places[neighbour];
        if (nation.food > 0 && !place.garrison && !occupied(neighbour))
            calls.push_back(image(GamePlay::counter, place.x, place.y, 1, 1, tint));
    }
    for (const Post& post : state.posts)
        calls.push_back(image(GamePlay::garrison, state.places[post.space].x, state.places[post.space].y));
    for (int n = 0; n < 4; ++n) {
        const Place& place = state.places[state.nations[n].space];
        calls.push_back(image(Player::image, place.x, place.y, 1, 1, TINTS[n]));
    }
    calls.push_back(image(GamePlay::ship, 444, 10, -1));
    calls.push_back(image(GamePlay::ship, 452, 628));
    calls.push_back(image(GamePlay::ship, 844, 354));
    calls.push_back(image(GamePlay::ship, 56, 354, -1));
}

GameModel::State GameModel::snapshot() const
{
    State copy = state;
    copy.random = rng.getState();
    return copy;
}

GameModel::State GameModel::observe(const GamePlay& game)
{
    State seen;
    for (int index = 0; index < 19; ++index) {
        const Space& space = game.getSpace(index);
        Place& place = seen.places[index];
        place = Place{space.x, space.y, {}, space.numFood, space.garrison, space.foraged};
        for (const Space* neighbour : space.adjacentSpaces)
            place.neighbours.push_back(game.indexOf(neighbour));
    }
    for (int n = 0; n < 4; ++n) {
        const Player& player = game.getPlayer(n);
        seen.nations[n] = Nation{game.indexOf(player.space), player.food, player.explored, player.cpu};
    }
    for (const ::Garrison& post : game.getGarrisons())
        seen.posts.push_back(Post{game.indexOf(post.space), post.turns});
    seen.current = game.getCurrentPlayer();
    seen.winners = game.getNumWinners();
    seen.random = Random::getGlobal()->getState();
    seen.cursor = game.getCursor();
    return seen;
}

GameModel::Button GameModel::buttonAt(int x, int y)
{
    if (x < 34 || x > 219)
        return NoButton;
    if (y >= 567 && y <= 618)
        return ForageButton;
    if (y >= 627 && y <= 679)
        return GarrisonButton;
    return y >= 687 && y <= 739 ? WaitButton : NoButton;
}

int GameModel::drawIndex(int count)
{
    const float t = rng.nextFloat() * float(count - 1);
    const int whole = int(t);
    return t - float(whole) > 0.5f ? whole + 1 : whole;
}

bool GameModel::occupied(int space) const
{
    for (const Nation& nation : state.nations) {
        if (nation.space == space)
            return true;
    }
    return false;
}

int GameModel::neighbourAt(const Nation& nation, int x, int y) const
{
    for (int neighbour : state.places[nation.space].neighbours) {
        const Place& place = state.places[neighbour];
        if (x >= place.x && x < place.x + 64 && y >= place.y && y < place.y + 64 && !place.garrison)
            return neighbour;
    }
    return -1;
}

GameModel::Sound GameModel::forage(Nation& nation)
{
    state.places[nation.space].foraged = true;
    nation.food += state.places[nation.space].food;
    return Forage;
}

GameModel::Sound GameModel::garrison(Nation& nation)
{
    state.posts.push_back(Post{nation.space, 3});
    state.places[nation.space].garrison = true;
    nation.food = std::max(0, nation.food - 1);
    return Garrison;
}

void GameModel::walk(Nation& nation, int space)
{
    nation.space = space;
    if (std::find(nation.explored.begin(), nation.explored.end(), space) == nation.explored.end())
        nation.explored.push_back(space);
    nation.food = std::max(0, nation.food - 1);
}

void GameModel::endTurn()
{
    if (++state.current < 4)
        return;
    state.current = 0;
    for (const Nation& nation : state.nations)
        state.winners += nation.explored.size() == 19 ? 1 : 0;
    for (int i = int(state.posts.size()) - 1; i >= 0; --i) {
        if (--state.posts[i].turns < 0) {
            state.places[state.posts[i].space].garrison = false;
            state.posts.erase(state.posts.begin() + i);
        }
    }
}

void PrintTo(const GameModel::State& state, std::ostream* stream)
{
    std::ostream& out = *stream;
    out << "turn " << state.current << " winners " << state.winners << " random " << state.random << " cursor "
        << state.cursor << "\ngarrisons";
    for (const GameModel::Post& post : state.posts)
        out << ' ' << post.space << ':' << post.turns;
    for (int n = 0; n < 4; ++n) {
        const GameModel::Nation& nation = state.nations[n];
        out << "\nnation " << n << (nation.cpu ? " cpu" : " person") << " on " << nation.space << " food "
            << nation.food << " explored";
        for (int space : nation.explored)
            out << ' ' << space;
    }
    for (int index = 0; index < 19; ++index) {
        const GameModel::Place& place = state.places[index];
        out << "\nspace " << index << " at " << place.x << ',' << place.y << " food " << place.food
            << (place.garrison ? " garrisoned" : "") << (place.foraged ? " foraged" : "") << " next";
        for (int neighbour : place.neighbours)
            out << ' ' << neighbour;
    }
}

// SPDX-License-Identifier: MIT
#pragma once

#include "RecordingDrawer.h"
#include "app/Random.h"
#include "game/GamePlay.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <string>
#include <vector>

// The rules of one game written out a second time, plainly and apart from the game's own code, so
// that a whole game can be played on both and compared after every input: the board, the nations,
// the garrisons, the turn, the outcome, the sounds asked for, the pointer and every picture drawn.
// It draws its random numbers from a generator of its own, started where the game's was.
class GameModel {
public:
    using Call = RecordingDrawer::Call;
    // A nation: where its piece stands, its store, the spaces it stood on in order, who plays it.
    struct Nation { int space, food; std::vector<int> explored; bool cpu; };
    // A space: its box's corner, its neighbours in scan order, its food value and its two flags.
    struct Place { int x, y; std::vector<int> neighbours; int food = 0; bool garrison = false, foraged = false; };
    // A garrison: the space it closes and the round ends it still stands.
    struct Post { int space, turns; };
    // Everything of a game that can be seen from outside, but for the random state.
    struct State {
        Nation nations[4];
        Place places[19];
        std::vector<Post> posts;
        int current = 0, winners = 0;
        unsigned int cursor = handleOf("mouse.png");
    };
    // The effect an input starts, numbered as the game's sounds; Silence for none.
    enum Sound { Silence = -1, Click, Forage, Garrison };
    // The pictures' handles by file name, as the first frame of the process loaded them; the test
    // recognises them by their pixels.
    static inline std::map<std::string, unsigned int> pictures;
    static unsigned int handleOf(const std::string& file) { return pictures.at(file); }

    // A new game dealt from the given random state; humans[i] false hands nation i to the computer.
    GameModel(std::int32_t seed, const bool humans[4]) : rng(seed)
    {
        for (int space = 0; space < 19; ++space)
            state.places[space] = Place{CORNERS[space][0], CORNERS[space][1], neighboursOf(space)};
        std::vector<int> pool(19);
        std::iota(pool.begin(), pool.end(), 0);
        for (int food : {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5}) {
            const int chosen = drawIndex(int(pool.size()));
            state.places[pool[chosen]].food = food;
            pool.erase(pool.begin() + chosen);
        }
        for (int n = 0; n < 4; ++n)  // the homes are every third space of the outer ring
            state.nations[n] = Nation{3 * n, 5, {3 * n}, !humans[n]};
    }

    // The inputs, as the game receives them: a click, a pointer move, a key, one frame's tick.
    Sound click(int x, int y)
    {
        left = isOver();  // after the result any click leaves; the game takes no input after that
        Nation& nation = state.nations[state.current];
        const Button button = buttonAt(x, y);
        const bool fed = nation.food > 0;
        if (left || nation.cpu || (button == GarrisonButton && fed && state.places[nation.space].garrison))
            return Silence;
        Sound sound = Click;
        if (button == ForageButton)
            sound = forage(nation);
        else if (button == GarrisonButton && fed)
            sound = garrison(nation);
        else if (button != WaitButton) {
            if (!fed)
                return Silence;
            state.cursor = handleOf("mouse.png");
            const int target = targetAt(nation, x, y);
            if (target < 0)
                return Silence;
            walk(nation, target);
        }
        endTurn();
        return sound;
    }
    void move(int x, int y)
    {
        mouseX = x;
        mouseY = y;
        const Nation& nation = state.nations[state.current];
        if (computerOnTurn())
            return;
        const Button button = buttonAt(x, y);
        const bool acts = button == ForageButton || button == WaitButton ||
                          (nation.food > 0 && (button == GarrisonButton || targetAt(nation, x, y) >= 0));
        state.cursor = handleOf(isOver() || acts ? "hand.png" : "mouse.png");
    }
    void key(int sym) { left = left || sym == 27; }
    Sound frame()
    {
        if (!computerOnTurn() || --delay != 0)
            return Silence;
        delay = 60;
        const Sound sound = computerTurn(state.nations[state.current]);
        endTurn();
        return sound;
    }

    // The drawImage calls of a frame drawn now (after its tick). Pictures as large as the screen cover it
    // from its corner. The fixed ones (banners, captions, the winner's picture, buttons, ships) stand
    // where the game draws them and are left as calls named by their file, for the test to place.
    std::vector<Call> picture() const
    {
        const Call paper = image(handleOf("paper2.jpg"), 0, 0);
        const Call pointer = image(state.cursor, mouseX - 25, mouseY - 12);
        if (state.winners >= 2)
            return {paper, image(handleOf("drawscreen.png"), 0, 0), pointer};
        const auto finished = [](const Nation& nation) { return nation.explored.size() == 19; };
        const auto winner = std::find_if(state.nations, state.nations + 4, finished) - state.nations;
        if (state.winners == 1)
            return {paper, Call{NAMES[winner] + "win.png"}, Call{"winscreen.png"}, pointer};
        std::vector<Call> calls{paper};
        const Nation& nation = state.nations[state.current];
        const float* tint = TINTS[state.current];
        for (int space : nation.explored)
            calls.push_back(image(handleOf("space" + std::to_string(space) + ".png"), 0, 0, tint, 0.5f));
        calls.push_back(image(handleOf("map.png"), 0, 0));
        calls.push_back(Call{NAMES[state.current] + ".png"});
        // Rows of five; rows that would start below the screen's bottom are left out.
        for (int i = 0; i < nation.food && 60 + 46 * (i / 5) < 768; ++i)
            calls.push_back(image(handleOf("biscuits.png"), 38 + 40 * (i % 5), 60 + 46 * (i / 5), WHITE, 1, 0.75f));
        for (const char* button : {"foragebutton.png", "garrisonbutton.png", "waitbutton.png"})
            calls.push_back(Call{button});
        for (const Place& place : state.places)
            if (place.foraged)
                calls.push_back(image(handleOf("biscuits" + std::to_string(place.food) + ".png"), place.x, place.y));
        for (int next : state.places[nation.space].neighbours)
            if (nation.food > 0 && isOpen(next))
                calls.push_back(image(handleOf("counter.png"), state.places[next].x, state.places[next].y, tint));
        for (const Post& post : state.posts)
            calls.push_back(image(handleOf("garrison.png"), state.places[post.space].x, state.places[post.space].y));
        for (int n = 0; n < 4; ++n) {
            const Place& place = state.places[state.nations[n].space];
            calls.push_back(image(handleOf("guy.png"), place.x, place.y, TINTS[n]));
        }
        calls.insert(calls.end(), 4, Call{"ship.png"});
        calls.push_back(pointer);
        return calls;
    }
    // One drawImage call; in its own colours, opaque and unscaled unless told.
    static Call image(unsigned int handle, int x, int y, const float* tint = WHITE, float alpha = 1, float scale = 1)
    {
        return {"drawImage", handle, {float(x), float(y), scale, scale, tint[0], tint[1], tint[2], alpha}};
    }
    // The board: each box's corner on the screen, by space.
    static constexpr int CORNERS[19][2] = {{476, 172}, {608, 208}, {682, 290}, {712, 384}, {687, 490}, {598, 550},
        {492, 566}, {357, 550}, {272, 475}, {232, 374}, {248, 270}, {337, 195}, {502, 270}, {592, 350}, {572, 438},
        {484, 460}, {380, 430}, {370, 308}, {468, 364}};
    // The nations' names, as their pictures are named.
    static inline const std::string NAMES[4] = {"ruritania", "molotavia", "norland", "stamark"};
    // The buttons' column and rows (forage, garrison, wait), bounds included.
    static constexpr int COLUMN[2] = {34, 219}, ROWS[3][2] = {{567, 618}, {627, 679}, {687, 739}};
    // Where the random source should be.
    std::int32_t randomState() const { return rng.getState(); }
    // The state as it stands, for the script to aim its inputs and to set up rare corners.
    State& now() { return state; }
    // The state and the random source's as rows of numbers: the turn, the winners, the random state,
    // the pointer; the garrisons, as space and round ends left; per nation whether the computer plays
    // it, its space, its food and the spaces it explored; per space its corner, food, garrison, foraged
    // and neighbours.
    using Rows = std::vector<std::vector<int>>;
    Rows snapshot() const { return rows(state, rng.getState()); }
    // The same view of the real game.
    static Rows observe(const GamePlay& game)
    {
        State seen{{}, {}, {}, game.getCurrentPlayer(), game.getNumWinners(), game.getCursor()};
        for (int index = 0; index < 19; ++index) {
            const Space& space = game.getSpace(index);
            seen.places[index] = Place{space.x, space.y, {}, space.numFood, space.garrison, space.foraged};
            for (const Space* neighbour : space.adjacentSpaces)
                seen.places[index].neighbours.push_back(game.indexOf(neighbour));
        }
        for (int n = 0; n < 4; ++n) {
            const Player& player = game.getPlayer(n);
            seen.nations[n] = Nation{game.indexOf(player.space), player.food, player.explored, player.cpu};
        }
        for (const ::Garrison& post : game.getGarrisons())
            seen.posts.push_back(Post{game.indexOf(post.space), post.turns});
        return rows(seen, Random::getGlobal()->getState());
    }
    // True once the game has asked for the title screen.
    bool hasLeft() const { return left; }
    // True once the result is shown.
    bool isOver() const { return state.winners > 0; }
    // True while a computer nation's turn runs.
    bool computerOnTurn() const { return !isOver() && state.nations[state.current].cpu; }

private:
    enum Button { NoButton, ForageButton, GarrisonButton, WaitButton };

    static constexpr float TINTS[4][3] = {{0.8f, 0, 0}, {0.1f, 0.1f, 0.8f}, {1, 1, 1}, {1, 1, 0.2f}};
    static constexpr float WHITE[3] = {1, 1, 1};

    // An outer space (0-11) lists the next and the previous of its ring, then its inner space; an inner
    // space (12-17) its outer spaces, the next of its ring, the centre, the previous; the centre (18) the
    // inner ring in order.
    static std::vector<int> neighboursOf(int space)
    {
        static const int INNER[12] = {12, 12, 13, 13, 14, 14, 15, 16, 16, 17, 17, 17};
        if (space < 12)
            return {(space + 1) % 12, (space + 11) % 12, INNER[space]};
        std::vector<int> list;
        for (int other = 0; other < 18; ++other)
            if ((other < 12 && INNER[other] == space) || (space == 18 && other >= 12))
                list.push_back(other);
        if (space < 18)
            list.insert(list.end(), {12 + (space - 11) % 6, 18, 12 + (space - 7) % 6});
        return list;
    }
    static Button buttonAt(int x, int y)
    {
        for (int row = 0; row < 3; ++row)
            if (x >= COLUMN[0] && x <= COLUMN[1] && y >= ROWS[row][0] && y <= ROWS[row][1])
                return Button(row + 1);
        return NoButton;
    }
    int drawIndex(int count)
    {
        const float t = rng.nextFloat() * float(count - 1);
        const int whole = int(t);
        return t - float(whole) > 0.5f ? whole + 1 : whole;
    }
    // True when no garrison closes the space and no piece stands on it.
    bool isOpen(int space) const
    {
        const auto there = [space](const Nation& nation) { return nation.space == space; };
        return !state.places[space].garrison && std::none_of(state.nations, state.nations + 4, there);
    }
    // The neighbour a click at the point moves to: the first one not garrisoned whose box holds the
    // point, if no piece stands on it; else -1.
    int targetAt(const Nation& nation, int x, int y) const
    {
        for (int next : state.places[nation.space].neighbours) {
            const Place& place = state.places[next];
            if (x >= place.x && x < place.x + 64 && y >= place.y && y < place.y + 64 && !place.garrison)
                return isOpen(next) ? next : -1;
        }
        return -1;
    }
    Sound computerTurn(Nation& nation)
    {
        if (nation.food == 0)
            return forage(nation);
        if (rng.nextFloat() > 0.9f && !state.places[nation.space].garrison)
            return garrison(nation);
        std::vector<int> free, fresh;
        for (int next : state.places[nation.space].neighbours) {
            if (!isOpen(next))
                continue;
            free.push_back(next);
            if (std::find(nation.explored.begin(), nation.explored.end(), next) == nation.explored.end())
                fresh.push_back(next);
        }
        if (free.empty())
            return forage(nation);
        walk(nation, fresh.empty() ? free[0] : fresh[drawIndex(int(fresh.size()))]);
        return Silence;
    }
    Sound forage(Nation& nation)
    {
        state.places[nation.space].foraged = true;
        nation.food += state.places[nation.space].food;
        return Forage;
    }
    Sound garrison(Nation& nation)
    {
        state.posts.push_back(Post{nation.space, 3});
        state.places[nation.space].garrison = true;
        nation.food = std::max(0, nation.food - 1);
        return Garrison;
    }
    void walk(Nation& nation, int space)
    {
        nation.space = space;
        if (std::find(nation.explored.begin(), nation.explored.end(), space) == nation.explored.end())
            nation.explored.push_back(space);
        nation.food = std::max(0, nation.food - 1);
    }
    void endTurn()
    {
        if (++state.current < 4)
            return;
        state.current = 0;
        for (const Nation& nation : state.nations)
            state.winners += nation.explored.size() == 19 ? 1 : 0;
        // A garrison stands while it has round ends left (a garrisoned space takes no second one).
        for (Post& post : state.posts)
            state.places[post.space].garrison = --post.turns >= 0;
        const auto fallen = [](const Post& post) { return post.turns < 0; };
        state.posts.erase(std::remove_if(state.posts.begin(), state.posts.end(), fallen), state.posts.end());
    }
    static Rows rows(const State& state, std::int32_t random)
    {
        Rows rows{{state.current, state.winners, random, int(state.cursor)}, {}};
        for (const Post& post : state.posts)
            rows[1].insert(rows[1].end(), {post.space, post.turns});
        for (const Nation& nation : state.nations) {
            rows.push_back({nation.cpu, nation.space, nation.food});
            rows.back().insert(rows.back().end(), nation.explored.begin(), nation.explored.end());
        }
        for (const Place& place : state.places) {
            rows.push_back({place.x, place.y, place.food, place.garrison, place.foraged});
            rows.back().insert(rows.back().end(), place.neighbours.begin(), place.neighbours.end());
        }
        return rows;
    }

    // The game as it should be.
    State state;
    // Where the game's random source should be.
    Random rng;
    // Frames left of a computer turn.
    int delay = 60;
    // The pointer, where the frame draws it.
    int mouseX = 512, mouseY = 384;
    // Set when the game should have gone back to the title screen.
    bool left = false;
};


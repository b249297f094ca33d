// SPDX-License-Identifier: MIT
#pragma once

#include "RecordingDrawer.h"
#include "app/Random.h"
#include "game/GamePlay.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <sstream>
#include <string>
#include <tuple>
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
        unsigned int cursor = ArrowImage;
    };
    // The effect an input starts, numbered as the game's sounds; Silence for none.
    enum Sound { Silence = -1, Click, Forage, Garrison };
    // The pictures' handles: a recording drawer numbers them from 1 in the order the first frame of
    // the process loads them (the piece last, when the pieces are first drawn).
    enum Picture : unsigned int {
        PaperImage = 1, EmbarkingImage, MapImage, ShipImage, CounterImage, BiscuitsImage, PileImages,
        GarrisonImage = PileImages + 5, ForageButtonImage, GarrisonButtonImage, WaitButtonImage, ArrowImage,
        HandImage, BannerImages, WinImage = BannerImages + 4, DrawnImage, CaptionImages,
        OverlayImages = CaptionImages + 4, PieceImage = OverlayImages + 19
    };

    // A new game dealt from the given random state; humans[i] false hands nation i to the computer.
    GameModel(std::int32_t seed, const bool humans[4]) : rng(seed)
    {
        std::copy(BOARD, BOARD + 19, state.places);
        std::vector<int> pool(19);
        std::iota(pool.begin(), pool.end(), 0);
        for (int food : {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5}) {
            const int chosen = drawIndex(int(pool.size()));
            state.places[pool[chosen]].food = food;
            pool.erase(pool.begin() + chosen);
        }
        for (int n = 0; n < 4; ++n)
            state.nations[n] = Nation{HOMES[n], 5, {HOMES[n]}, !humans[n]};
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
            state.cursor = ArrowImage;
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
        state.cursor = isOver() || acts ? HandImage : ArrowImage;
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

    // The drawImage calls of a frame drawn now (after its tick).
    std::vector<Call> picture() const
    {
        const Call paper = image(PaperImage, 0, 0);
        const Call pointer = image(state.cursor, mouseX - 25, mouseY - 12);
        if (state.winners >= 2)
            return {paper, image(DrawnImage, 0, 0), pointer};
        if (state.winners == 1) {
            const auto finished = [](const Nation& nation) { return nation.explored.size() == 19; };
            const auto winner = std::find_if(state.nations, state.nations + 4, finished) - state.nations;
            return {paper, image(CaptionImages + winner, 0, 75), image(WinImage, 0, 220), pointer};
        }
        std::vector<Call> calls{paper};
        const Nation& nation = state.nations[state.current];
        const float* tint = TINTS[state.current];
        for (int space : nation.explored)
            calls.push_back(image(OverlayImages + space, 0, 0, tint, 0.5f));
        calls.push_back(image(MapImage, 0, 0));
        calls.push_back(image(BannerImages + state.current, 20, 20));
        // Rows that would start below the screen's bottom are left out.
        for (int i = 0; i < nation.food && 60 + 46 * (i / 5) < 768; ++i)
            calls.push_back(image(BiscuitsImage, 38 + 40 * (i % 5), 60 + 46 * (i / 5), WHITE, 1, 0.75f, 0.75f));
        for (int row = 0; row < 3; ++row)
            calls.push_back(image(ForageButtonImage + row, 0, 530 + 60 * row));
        for (const Place& place : state.places)
            if (place.foraged)
                calls.push_back(image(PileImages + place.food - 1, place.x, place.y));
        for (int next : state.places[nation.space].neighbours)
            if (nation.food > 0 && isOpen(next))
                calls.push_back(image(CounterImage, state.places[next].x, state.places[next].y, tint));
        for (const Post& post : state.posts)
            calls.push_back(image(GarrisonImage, state.places[post.space].x, state.places[post.space].y));
        for (int n = 0; n < 4; ++n) {
            const Place& place = state.places[state.nations[n].space];
            calls.push_back(image(PieceImage, place.x, place.y, TINTS[n]));
        }
        for (const auto& [x, y, facing] : {std::tuple(444, 10, -1), {452, 628, 1}, {844, 354, 1}, {56, 354, -1}})
            calls.push_back(image(ShipImage, x, y, WHITE, 1, float(facing)));
        calls.push_back(pointer);
        return calls;
    }

    // One drawImage call; in its own colours, opaque and unscaled unless told.
    static Call image(unsigned int handle, int x, int y, const float* tint = WHITE, float alpha = 1, float scaleX = 1,
                      float scaleY = 1)
    {
        return {"drawImage", handle, {float(x), float(y), scaleX, scaleY, tint[0], tint[1], tint[2], alpha}};
    }
    // The state as it stands, for the script to aim its inputs and to set up rare corners.
    State& now() { return state; }
    // The state as text with the generator's position, one line per part, so that a difference reads
    // at once.
    std::string snapshot() const { return describe(state, rng.getState()); }
    // The same view of the real game.
    static std::string observe(const GamePlay& game)
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
        return describe(seen, Random::getGlobal()->getState());
    }

    // True once the game has asked for the title screen.
    bool hasLeft() const { return left; }
    // True once the result is shown.
    bool isOver() const { return state.winners > 0; }
    // True while a computer nation's turn runs.
    bool computerOnTurn() const { return !isOver() && state.nations[state.current].cpu; }
    // True when the next frame's tick takes the computer's turn.
    bool computerActsNext() const { return computerOnTurn() && delay == 1; }

private:
    enum Button { NoButton, ForageButton, GarrisonButton, WaitButton };

    static const Place BOARD[19];
    static constexpr int HOMES[4] = {0, 3, 6, 9};
    static constexpr float TINTS[4][3] = {{0.8f, 0, 0}, {0.1f, 0.1f, 0.8f}, {1, 1, 1}, {1, 1, 0.2f}};
    static constexpr float WHITE[3] = {1, 1, 1};

    static Button buttonAt(int x, int y)
    {
        if (x < 34 || x > 219)
            return NoButton;
        if (y >= 567 && y <= 618)
            return ForageButton;
        if (y >= 627 && y <= 679)
            return GarrisonButton;
        return y >= 687 && y <= 739 ? WaitButton : NoButton;
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
    static std::string describe(const State& state, std::int32_t random)
    {
        std::ostringstream out;
        out << "turn " << state.current << " winners " << state.winners << " random " << random << " cursor "
            << state.cursor << "\ngarrisons";
        for (const Post& post : state.posts)
            out << ' ' << post.space << ':' << post.turns;
        for (const Nation& nation : state.nations) {
            out << "\nnation cpu " << nation.cpu << " on " << nation.space << " food " << nation.food << " explored";
            for (int space : nation.explored)
                out << ' ' << space;
        }
        for (const Place& place : state.places) {
            out << "\nspace at " << place.x << ',' << place.y << " food " << place.food << " garrison "
                << place.garrison << " foraged " << place.foraged << " next";
            for (int neighbour : place.neighbours)
                out << ' ' << neighbour;
        }
        return out.str();
    }

    // The game as it should be.
    State state;
    // Where the game's random source should be.
    Random rng;
    // Frames left of a computer turn.
    int delay = 60;
    // The pointer, where the frame draws it.
    int mouseX = 512;
    int mouseY = 384;
    // Set when the game should have gone back to the title screen.
    bool left = false;
};

// The board by space: the box's corner, and the neighbours in the order moves scan them.
inline const GameModel::Place GameModel::BOARD[19] = {
    {476, 172, {1, 11, 12}}, {608, 208, {2, 0, 12}}, {682, 290, {3, 1, 13}}, {712, 384, {4, 2, 13}},
    {687, 490, {5, 3, 14}}, {598, 550, {6, 4, 14}}, {492, 566, {7, 5, 15}}, {357, 550, {8, 6, 16}},
    {272, 475, {9, 7, 16}}, {232, 374, {10, 8, 17}}, {248, 270, {11, 9, 17}}, {337, 195, {0, 10, 17}},
    {502, 270, {0, 1, 13, 18, 17}}, {592, 350, {2, 3, 14, 18, 12}}, {572, 438, {4, 5, 15, 18, 13}},
    {484, 460, {6, 16, 18, 14}}, {380, 430, {7, 8, 17, 18, 15}}, {370, 308, {9, 10, 11, 12, 18, 16}},
    {468, 364, {12, 13, 14, 15, 16, 17}}};

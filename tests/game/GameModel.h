// SPDX-License-Identifier: MIT
#pragma once

#include "Random.h"
#include "RecordingDrawer.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <tuple>
#include <vector>

class GamePlay;

// The rules of one game written out a second time, plainly and apart from the game's own code, so
// that a whole game can be played on both and compared after every input: the board, the nations,
// the garrisons, the turn, the outcome, the sounds asked for, the pointer and every picture drawn.
// It draws its random numbers from a generator of its own, started where the game's was.
class GameModel {
public:
    // A nation: where its piece stands, its store, the spaces it stood on in order, who plays it.
    struct Nation {
        int space = 0;
        int food = 5;
        std::vector<int> explored;
        bool cpu = false;
        auto key() const { return std::tie(space, food, explored, cpu); }
    };
    // A space: its box's corner, its neighbours in scan order, its food value and its two flags.
    struct Place {
        int x = 0;
        int y = 0;
        std::vector<int> neighbours;
        int food = 0;
        bool garrison = false;
        bool foraged = false;
        auto key() const { return std::tie(x, y, neighbours, food, garrison, foraged); }
    };
    // A garrison: the space it closes and the round ends it still stands.
    struct Post {
        int space;
        int turns;
        auto key() const { return std::tie(space, turns); }
    };
    // Everything of a game that can be seen from outside.
    struct State {
        std::array<Nation, 4> nations;
        std::array<Place, 19> places;
        std::vector<Post> posts;
        int current = 0;
        int winners = 0;
        std::int32_t random = 0;
        unsigned int cursor = 0;
        auto key() const { return std::tie(nations, places, posts, current, winners, random, cursor); }
    };
    // The effect an input starts, numbered as the game's sounds; Silence for none.
    enum Sound { Silence = -1, Click, Forage, Garrison };

    // A new game dealt from the given random state; humans[i] false hands nation i to the computer.
    GameModel(std::int32_t seed, const bool humans[4]);

    // The inputs, as the game receives them.
    Sound click(int x, int y);
    void move(int x, int y);
    void key(int sym);
    // One frame's tick of the computer's timer.
    Sound frame();
    // The drawImage calls of a frame drawn now (after its tick).
    std::vector<RecordingDrawer::Call> picture() const;

    // The state as it stands, for the script to aim its clicks.
    const State& now() const { return state; }
    // The state, with the random generator's position.
    State snapshot() const;
    // True once the game has asked for the title screen.
    bool hasLeft() const { return left; }
    // True once the result is shown.
    bool isOver() const { return state.winners > 0; }
    // True while a computer nation's turn runs.
    bool computerOnTurn() const { return !isOver() && state.nations[state.current].cpu; }
    // True when the next frame's tick takes the computer's turn.
    bool computerActsNext() const { return computerOnTurn() && delay == 1; }

    // The same view of the real game.
    static State observe(const GamePlay& game);

private:
    enum Button { NoButton, ForageButton, GarrisonButton, WaitButton };
    static Button buttonAt(int x, int y);
    int drawIndex(int count);
    bool occupied(int space) const;
    // The first neighbour of the nation's space holding the point that is not garrisoned, or -1.
    int neighbourAt(const Nation& nation, int x, int y) const;
    Sound forage(Nation& nation);
    Sound garrison(Nation& nation);
    void walk(Nation& nation, int space);
    void endTurn();
    Sound computerTurn(Nation& nation);
    void drawBoard(std::vector<RecordingDrawer::Call>& calls) const;

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

// The model's records compare field by field.
template <typename Record>
auto operator==(const Record& a, const Record& b) -> decltype(a.key() == b.key())
{
    return a.key() == b.key();
}

// Prints a state one line per part, to read a difference.
void PrintTo(const GameModel::State& state, std::ostream* out);

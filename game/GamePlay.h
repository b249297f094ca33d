// SPDX-License-Identifier: MIT
#pragma once

#include "app/GameState.h"
#include "game/Garrison.h"
#include "game/Player.h"
#include "game/Space.h"

#include <vector>

class Drawer;

// One game: the board, the four nations, the garrisons, whose turn it is and the outcome. Turns
// people's clicks into commands, plays the computer's nations, closes the rounds, decides victory or
// draw, draws the game screen and returns to the title screen. The Application owns the object; the
// picture handles are class-wide, loaded on the first frame of the process and kept until it ends.
class GamePlay : public GameState {
public:
    static constexpr int NUM_PLAYERS = 4;
    static constexpr int NUM_SPACES = 19;
    // Frames a computer nation waits before it acts.
    static constexpr int CPU_DELAY = 60;
    // Round ends a garrison still has to stand when it is placed.
    static constexpr int GARRISON_TURNS = 3;

    // The command buttons in the column on the left of the screen.
    enum Button { NoButton, ForageButton, GarrisonButton, WaitButton };

    // humans[i] true means a person plays nation i; null means people play all four.
    GamePlay(Application* application, const bool* humans);
    ~GamePlay() override;

    // Ticks the computer's timer, then draws the board, the victory or the draw screen, pointer last.
    void draw(Drawer* drawer) override;
    // Escape abandons the game at any moment.
    void keyDown(const SDL_keysym& key) override;
    // A click on a button or a reachable neighbour; after the result, any click returns to the title.
    void mouseDown(int button, int x, int y) override;
    // Keeps the pointer position and shows the hand exactly where a click would act.
    void mouseMove(int x, int y) override;
    // The name that selects this screen.
    std::string getName() const override { return "GamePlay"; }

    // One frame of the computer's timer: a computer nation acts on the 60th frame of its turn.
    void tick();
    // Takes the current nation's whole turn for the computer and passes the turn on.
    void cpuTurn();
    // Closes a round: back to nation 0, counts the nations that explored everything, ages garrisons.
    void endOfTurns();

    // Picks an index below count (at least 1) from one draw of the global random source; the ends
    // of the range are half as likely as each index between them.
    static int drawIndex(int count);
    // Which command button, if any, holds the point; bounds included.
    static Button buttonAt(int x, int y);

    // The game's records, by nation and by space index.
    Player& getPlayer(int nation) { return players[nation]; }
    const Player& getPlayer(int nation) const { return players[nation]; }
    Space& getSpace(int index) { return spaces[index]; }
    const Space& getSpace(int index) const { return spaces[index]; }
    // The index of a space of this game's board.
    int indexOf(const Space* space) const { return static_cast<int>(space - spaces); }
    // The garrisons in force, in order of placement.
    const std::vector<Garrison>& getGarrisons() const { return garrisons; }
    // Whose turn it is, 0 to 3.
    int getCurrentPlayer() const { return currentPlayer; }
    // 0 while the game runs, else how many nations finished at the deciding round end.
    int getNumWinners() const { return numWinners; }
    // The pointer picture the next frame shows.
    unsigned int getCursor() const { return cursor; }

    // Pictures of the game screen, shared by every game; 0 until the first frame has loaded them.
    static unsigned int paper;
    static unsigned int map;
    static unsigned int spacesImages[NUM_SPACES];
    static unsigned int ruritania;
    static unsigned int molotavia;
    static unsigned int norland;
    static unsigned int stamark;
    static unsigned int biscuits;
    static unsigned int biscuits1;
    static unsigned int biscuits2;
    static unsigned int biscuits3;
    static unsigned int biscuits4;
    static unsigned int biscuits5;
    static unsigned int counter;
    static unsigned int garrison;
    static unsigned int forageButton;
    static unsigned int garrisonButton;
    static unsigned int waitButton;
    static unsigned int ship;
    static unsigned int mouse;
    static unsigned int hand;
    static unsigned int ruritaniaWin;
    static unsigned int molotaviaWin;
    static unsigned int norlandWin;
    static unsigned int stamarkWin;
    static unsigned int winScreen;
    static unsigned int drawScreen;

private:
    // Positions, neighbour lists and the food deal.
    void setupPositions();
    void dealFood();

    // The commands, shared by people and the computer; each ends the turn.
    void forage(Player& player);
    void placeGarrison(Player& player);
    void moveTo(Player& player, Space* space);
    void endTurn();
    // The first neighbour of the nation's space whose box holds the point and that is not
    // garrisoned, or null.
    Space* neighbourAt(const Player& player, int x, int y);
    // True when any nation's piece stands on the space.
    bool isOccupied(const Space* space) const;
    // Free neighbours of the nation's space (not garrisoned, no piece), in list order.
    std::vector<Space*> freeNeighbours(const Player& player);
    // Back to the title screen; this object is gone when it returns.
    void leaveGame();

    // Drawing.
    void loadImages(Drawer* drawer);
    void drawVictory(Drawer* drawer) const;
    void drawBoard(Drawer* drawer);
    void drawFoodStore(Drawer* drawer, const Player& player) const;
    void drawMoveTargets(Drawer* drawer, const Player& player) const;
    void drawPointer(Drawer* drawer) const;

    // Set once the loading pass has run, so it runs once per process even if a picture fails.
    static bool imagesLoaded;

    // Last pointer position, logical screen.
    int mouseX;
    int mouseY;
    // The pointer picture: the arrow or the hand.
    unsigned int cursor;
    // The nations, by index; also the order of play within a round.
    Player players[NUM_PLAYERS];
    // The board, by space index.
    Space spaces[NUM_SPACES];
    // Garrisons in force, in order of placement.
    std::vector<Garrison> garrisons;
    // Whose turn it is, 0 to 3.
    int currentPlayer;
    // Frames left before a computer nation acts.
    int cpuDelay;
    // 0 while the game runs; then 1 for a victory, 2 or more for a draw.
    int numWinners;
};

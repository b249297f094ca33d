// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

class Drawer;
class Space;

// One of the four nations: its piece's tint and space, its food store, the spaces it has explored
// and whether the computer plays it. GamePlay holds the four by value; `space` points into the same
// game's board and owns nothing.
class Player {
public:
    Player();

    // Sets the piece's tint.
    void setColour(float red, float green, float blue);
    // Moves the piece; food and the explored list are left alone.
    void setSpace(Space* space);
    // Adds to the food store, without limit.
    void addFood(int amount);
    // Takes one food, never going below 0.
    void decrementFood();
    // Hands the nation to the computer for the rest of the game.
    void setCPU();
    // True when the space index is in the explored list.
    bool hasExplored(int index) const;
    // Records a space as explored, once.
    void addExplored(int index);
    // Draws the piece on its space in the nation's colour, loading the piece picture on first use.
    void draw(Drawer* drawer);

    // The piece picture, shared by every nation of every game; 0 until first drawn.
    static unsigned int image;

    // Tint of the piece, 0 to 1 per component.
    float red;
    float green;
    float blue;
    // Where the piece stands; set before the first frame.
    Space* space;
    // The food store; never below 0.
    int food;
    // Indices of the spaces stood on, each once, in order of first visit.
    std::vector<int> explored;
    // True when the computer plays this nation.
    bool cpu;
};

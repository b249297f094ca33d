// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

// One of the 19 spaces of the board: its 64 by 64 box on the logical screen, its neighbours and the
// food a forage on it yields. GamePlay holds all 19 by value; neighbour pointers point into the same
// array and own nothing.
class Space {
public:
    // Side of the square box a space occupies on the screen.
    static constexpr int BOX_SIZE = 64;

    Space();

    // Places the box's top-left corner.
    void setPosition(int x, int y);
    // Opens or closes the space to every nation.
    void setGarrison(bool garrison);
    // Sets what one forage here yields.
    void setNumFood(int numFood);
    // Appends a neighbour; the order matters to the move scan and the computer's choices.
    void addAdjacentSpace(Space* space);
    // True when (px, py) lies in the box, left and top edges included, right and bottom excluded.
    bool contains(int px, int py) const;

    // Left edge of the box, logical screen pixels.
    int x;
    // Top edge of the box.
    int y;
    // While true nobody may move onto the space.
    bool garrison;
    // What one forage here yields, 1 to 5 once dealt; foraging never uses it up.
    int numFood;
    // Set by the first forage and kept, so the screen shows the food value from then on.
    bool foraged;
    // The neighbours, in the order they were added.
    std::vector<Space*> adjacentSpaces;
};

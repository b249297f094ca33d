// SPDX-License-Identifier: MIT
#include "game/Space.h"

Space::Space() : x(0), y(0), garrison(false), numFood(0), foraged(false) {}

void Space::setPosition(int newX, int newY)
{
    x = newX;
    y = newY;
}

void Space::setGarrison(bool newGarrison)
{
    garrison = newGarrison;
}

void Space::setNumFood(int newNumFood)
{
    numFood = newNumFood;
}

void Space::addAdjacentSpace(Space* space)
{
    adjacentSpaces.push_back(space);
}

bool Space::contains(int px, int py) const
{
    return px >= x && px < x + BOX_SIZE && py >= y && py < y + BOX_SIZE;
}

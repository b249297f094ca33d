// SPDX-License-Identifier: MIT
#pragma once

class Space;

// A garrison in force: the space it closes and how many round ends it still has to stand. GamePlay
// keeps them by value in order of placement; the space belongs to the same game.
struct Garrison {
    // The closed space.
    Space* space;
    // Round ends still to pass; 3 when placed, lifted once it drops below 0.
    int turns;
};

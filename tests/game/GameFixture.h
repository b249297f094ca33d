// SPDX-License-Identifier: MIT
#pragma once

#include "GamePlay.h"
#include "Random.h"
#include "RecordingDrawer.h"

#include <gtest/gtest.h>

#include <memory>

// A game dealt from random state 0: space 0 holds 5 food and has the neighbours 1, 11 and 12. People
// play every nation unless a test changes humans and calls start() again.
class GameFixture : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void start()
    {
        Random::getGlobal()->setState(0);
        game = std::make_unique<GamePlay>(nullptr, humans);
    }
    void click(int x, int y) { game->mouseDown(1, x, y); }
    void clickSpace(int index) { click(space(index).x + 32, space(index).y + 32); }
    void forage() { click(100, 590); }
    void garrison() { click(100, 650); }
    void wait(int turns = 1)
    {
        for (int i = 0; i < turns; ++i)
            click(100, 710);
    }
    void finish(int nation)
    {
        for (int index = 0; index < GamePlay::NUM_SPACES; ++index)
            player(nation).addExplored(index);
    }
    // Draws one frame; returns its drawImage calls.
    std::vector<RecordingDrawer::Call> frame()
    {
        drawer.clear();
        game->draw(&drawer);
        return drawer.callsOf("drawImage");
    }
    Player& player(int nation) { return game->getPlayer(nation); }
    Space& space(int index) { return game->getSpace(index); }

    bool humans[4] = {true, true, true, true};
    std::unique_ptr<GamePlay> game;
    RecordingDrawer drawer;
};

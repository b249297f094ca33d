// SPDX-License-Identifier: MIT
#pragma once

#include "app/GameState.h"

class Drawer;

// The first screen and the one each game returns to: a one-time sponsor page, then the title picture
// where the players choose a person or the computer for each nation and start the game. It draws its
// own cursor. The pictures are loaded by the first title screen of the process into class-wide handles
// that every later title screen shares and nobody releases.
class TitleScreen : public GameState {
public:
    explicit TitleScreen(Application* application);

    // Loads the pictures on the first frame of the process, then shows the sponsor page or the title.
    void draw(Drawer* drawer) override;
    // Moves the cursor, which turns into a hand over anything clickable once the sponsor page is over.
    void mouseMove(int x, int y) override;
    // Any button ends the sponsor page and acts on the box under the pointer.
    void mouseDown(int button, int x, int y) override;
    // Escape ends the program.
    void keyDown(const SDL_keysym& key) override;
    std::string getName() const override { return "TitleScreen"; }

    // Whether a person (rather than the computer) will play nation 0 to 3.
    bool isHuman(int nation) const { return humanPlayers[nation]; }

private:
    // The pictures are decoded once per process; shared by every title screen.
    static void loadImages(Drawer* drawer);
    void drawChoices(Drawer* drawer) const;
    // The box under (x, y) in the order clicks test them: 0 start, then nations' person and computer
    // boxes; -1 for none.
    static int hotBoxAt(int x, int y);

    // Set by the loading pass, so that it runs once per process even if a picture fails to decode.
    static bool imagesLoaded;
    // Frames of the sponsor page still to show; never reset, so only the first title screen has it.
    static int sponsorHide;
    // Picture handles, 0 until the first loading pass.
    static unsigned int paper;
    static unsigned int sponsor;
    static unsigned int background;
    static unsigned int guy;
    static unsigned int tick;
    static unsigned int mouse;
    static unsigned int hand;

    // The pointer's last position in the logical screen, where the cursor is drawn.
    int mouseX;
    int mouseY;
    // The cursor picture: the arrow, or the hand over a hot box.
    unsigned int cursor;
    // Person (true) or computer, by nation; handed to the game when it starts.
    bool humanPlayers[4];

    // Lets the tests start each case as the first title screen of a fresh process.
    friend class TitleScreenTest;
};

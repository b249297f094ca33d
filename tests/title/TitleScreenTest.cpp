// SPDX-License-Identifier: MIT
#include "RecordingDrawer.h"
#include "XDisplay.h"
#include "app/Application.h"
#include "game/GamePlay.h"
#include "game/TitleScreen.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

// The handles the recording drawer gives out, in loading order.
enum Picture : unsigned int { Paper = 1, Sponsor, Background, Guy, Tick, Mouse, Hand };

RecordingDrawer::Call image(unsigned int handle, float x, float y, float r = 1, float g = 1, float b = 1)
{
    return RecordingDrawer::Call{"drawImage", handle, {x, y, 1, 1, r, g, b, 1}};
}

// The title for the given choices with the pointer at (x, y): paper, picture, the four soldiers in their
// nations' colours, each nation's tick on its person or computer row, the cursor's tip at the pointer.
std::vector<RecordingDrawer::Call> title(const std::array<bool, 4>& humans, Picture cursor, int x, int y)
{
    std::vector<RecordingDrawer::Call> frame{image(Paper, 0, 0), image(Background, 0, 0),
        image(Guy, 114, 350, 0.8f, 0, 0), image(Guy, 364, 350, 0.1f, 0.1f, 0.8f), image(Guy, 610, 350),
        image(Guy, 828, 350, 1, 1, 0.2f)};
    for (int nation = 0; nation < 4; ++nation)
        frame.push_back(image(Tick, std::array{74, 314, 559, 783}[nation], humans[nation] ? 415 : 449));
    frame.push_back(image(cursor, x - 25, y - 12));
    return frame;
}

// What a click at (x, y) does by the title picture's boxes, edges included: -1 nothing, 8 start the game,
// 2 * nation choose a person, 2 * nation + 1 the computer. The four rows between the two belong to neither.
int documentedBox(int x, int y)
{
    if (x >= 356 && x <= 663 && y >= 618 && y <= 657)
        return 8;
    for (int nation = 0; nation < 4; ++nation) {
        const int left = std::array{84, 322, 565, 790}[nation];
        if (x >= left && x <= left + 31 && ((y >= 444 && y <= 469) || (y >= 474 && y <= 499)))
            return 2 * nation + (y >= 474);
    }
    return -1;
}

// A friend of the title screen's: can show the sponsor page again.
struct TitleScreenTest : testing::Test {
    static void showSponsorFor(int frames) { TitleScreen::sponsorHide = frames; }
};

// The only test of its program, so its title screen is the process's first, in a small window under Xvfb:
// it loads its pictures once and shows the sponsor for 480 frames; a click that ends the sponsor page counts
// on the title too. Then the pointer moves and clicks, with every button in turn, over each pixel of the rows
// and columns that cross every box, from edge to edge of the screen, from two mixed choices that differ for
// every nation: the hand shows exactly over a box; a click there chooses its nation's option, shown by the
// tick, or starts the game with the choices shown; anywhere else it changes nothing. A title screen after a
// game loads nothing and starts with four persons, the pointer in the middle.
TEST_F(TitleScreenTest, ShowsTheSponsorThenActsByTheBoxUnderThePointer)
{
    SKIP_WITHOUT_X_DISPLAY();
    Application application({"-w", "640", "-h", "480", "-ns"});
    const auto frame = [&] {
        RecordingDrawer drawer;
        application.getCurrentState()->draw(&drawer);
        return drawer.calls;
    };
    const auto click = [&](int x, int y, int button) { application.getCurrentState()->mouseDown(button, x, y); };
    application.getCurrentState()->mouseMove(500, 640);  // over the start button, but the sponsor page keeps the arrow
    for (int n = 1; n <= 480; ++n)
        ASSERT_EQ(frame().back(), image(Sponsor, 0, 0)) << "frame " << n;
    EXPECT_EQ(frame(), title({true, true, true, true}, Mouse, 500, 640));
    showSponsorFor(1);
    click(99, 486, 1);
    EXPECT_EQ(frame(), title({false, true, true, true}, Mouse, 500, 640));
    std::vector<std::pair<int, int>> points;
    for (int row : {456, 486, 637})
        for (int x = 0; x < 1024; ++x)
            points.emplace_back(x, row);
    for (int column : {99, 337, 509, 580, 805})
        for (int y = 0; y < 768; ++y)
            points.emplace_back(column, y);
    for (const std::array<bool, 4> choices : {std::array{true, false, false, true}, {false, true, true, false}})
        for (const auto& [x, y] : points) {
            SCOPED_TRACE(testing::Message() << "at " << x << "," << y << " from " << testing::PrintToString(choices));
            for (int nation = 0; nation < 4; ++nation)
                click(std::array{99, 337, 580, 805}[nation], choices[nation] ? 456 : 486, 1);
            std::array<bool, 4> shown = choices;
            const int box = documentedBox(x, y);
            application.getCurrentState()->mouseMove(x, y);
            ASSERT_EQ(frame(), title(shown, box >= 0 ? Hand : Mouse, x, y));
            click(x, y, 1 + (x + y) % 5);
            if (box == 8) {
                auto* game = dynamic_cast<GamePlay*>(application.getCurrentState());
                for (int nation = 0; nation < 4; ++nation)
                    ASSERT_TRUE(game != nullptr && game->getPlayer(nation).cpu != choices[nation]) << nation;
                application.nextState("TitleScreen", nullptr);
                ASSERT_EQ(frame(), title({true, true, true, true}, Mouse, 512, 384));
                continue;
            }
            if (box >= 0)
                shown[box / 2] = box % 2 == 0;
            ASSERT_EQ(frame(), title(shown, box >= 0 ? Hand : Mouse, x, y));
        }
}

// SPDX-License-Identifier: MIT
#include "GamePlay.h"
#include "ImageLoader.h"
#include "Images.h"
#include "RecordingDrawer.h"

#include <gtest/gtest.h>

#include <memory>

// The whole games are compared with their model elsewhere; these are the screen's corners that games
// seldom reach: the loading pass, a store too large for the screen, an empty store. The first test
// is the first frame of its process (each case runs in a process of its own).
class GameScreen : public ::testing::Test {
protected:
    using Call = RecordingDrawer::Call;

    void SetUp() override { game = std::make_unique<GamePlay>(nullptr, humans); }
    std::vector<Call> frame()
    {
        drawer.clear();
        game->draw(&drawer);
        return drawer.callsOf("drawImage");
    }
    // The handles of the calls.
    static std::vector<unsigned int> handles(const std::vector<Call>& calls)
    {
        std::vector<unsigned int> found;
        for (const Call& call : calls)
            found.push_back(call.handle);
        return found;
    }
    static Call image(unsigned int handle, float x, float y, float scale = 1, float r = 1, float g = 1, float b = 1,
                      float a = 1)
    {
        return Call{"drawImage", handle, {x, y, scale, scale, r, g, b, a}, ""};
    }

    bool humans[4] = {true, true, true, true};
    std::unique_ptr<GamePlay> game;
    RecordingDrawer drawer;
};

#define PICTURE(handle, name) {&GamePlay::handle, Images::name, Images::name##_size}
#define OVERLAY(n) PICTURE(spacesImages[n], space##n##_png)

TEST_F(GameScreen, FirstFrameShowsTheBannerThenLoadsEveryPictureInItsOrderOnce)
{
    struct Picture {
        const unsigned int* handle;
        const char* data;
        unsigned int size;
    };
    const unsigned int* const banner = nullptr;
    const Picture pictures[] = {PICTURE(paper, paper2_jpg), {banner, Images::embarking_png, Images::embarking_png_size},
        PICTURE(map, map_png), PICTURE(ship, ship_png), PICTURE(counter, counter_png), PICTURE(biscuits, biscuits_png),
        PICTURE(biscuits1, biscuits1_png), PICTURE(biscuits2, biscuits2_png), PICTURE(biscuits3, biscuits3_png),
        PICTURE(biscuits4, biscuits4_png), PICTURE(biscuits5, biscuits5_png), PICTURE(garrison, garrison_png),
        PICTURE(forageButton, foragebutton_png), PICTURE(garrisonButton, garrisonbutton_png),
        PICTURE(waitButton, waitbutton_png), PICTURE(mouse, mouse_png), PICTURE(hand, hand_png),
        PICTURE(ruritania, ruritania_png), PICTURE(molotavia, molotavia_png), PICTURE(norland, norland_png),
        PICTURE(stamark, stamark_png), PICTURE(winScreen, winscreen_png), PICTURE(drawScreen, drawscreen_png),
        PICTURE(ruritaniaWin, ruritaniawin_png), PICTURE(molotaviaWin, molotaviawin_png),
        PICTURE(norlandWin, norlandwin_png), PICTURE(stamarkWin, stamarkwin_png), OVERLAY(0), OVERLAY(1), OVERLAY(2),
        OVERLAY(3), OVERLAY(4), OVERLAY(5), OVERLAY(6), OVERLAY(7), OVERLAY(8), OVERLAY(9), OVERLAY(10), OVERLAY(11),
        OVERLAY(12), OVERLAY(13), OVERLAY(14), OVERLAY(15), OVERLAY(16), OVERLAY(17), OVERLAY(18)};
    frame();
    const std::vector<Call> loads = drawer.callsOf("loadImage");
    ASSERT_EQ(loads.size(), std::size(pictures) + 1);  // and the piece, when it is first drawn
    for (std::size_t i = 0; i < std::size(pictures); ++i) {
        const LoadedImage decoded = ImageLoader().loadImage(pictures[i].data, pictures[i].size);
        EXPECT_EQ(loads[i].pixels, RecordingDrawer::digest(decoded.pixels, 4u * decoded.width * decoded.height)) << i;
        delete[] decoded.pixels;
        EXPECT_TRUE(pictures[i].handle == banner || *pictures[i].handle == loads[i].handle) << i;
    }
    // The paper and the banner are presented before the rest load.
    const std::vector<Call> start(drawer.calls.begin(), drawer.calls.begin() + 7);
    EXPECT_EQ(start[2], image(loads[0].handle, 0, 0));
    EXPECT_EQ(start[3], image(loads[1].handle, 256, 192));
    EXPECT_EQ(start[4].operation + start[5].operation + start[6].operation, "endDrawingbeginDrawingloadImage");

    SetUp();  // a later game loads nothing and shows no banner
    frame();
    EXPECT_EQ(drawer.calls.size(), drawer.callsOf("drawImage").size());
    EXPECT_EQ(drawer.calls[1].handle, GamePlay::spacesImages[0]);
}

TEST_F(GameScreen, StoreRowsStopAtTheScreensBottomAndAnEmptyStoreShowsNoTargets)
{
    frame();
    game->mouseDown(1, 100, 710);  // Molotavia's turn: its explored spaces, in order, in its tint
    for (int index : {7, 2, 15})
        game->getPlayer(1).addExplored(index);
    game->getPlayer(1).food = 1000;
    std::vector<Call> calls = frame();
    const int overlays[4] = {3, 7, 2, 15};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(calls[1 + i], image(GamePlay::spacesImages[overlays[i]], 0, 0, 1, 0.1f, 0.1f, 0.8f, 0.5f));
    EXPECT_EQ(calls[5].handle, GamePlay::map);
    EXPECT_EQ(calls[7 + 79], image(GamePlay::biscuits, 198, 750, 0.75f));  // 16 rows of 5
    EXPECT_EQ(calls[7 + 80].handle, GamePlay::forageButton);

    game->getPlayer(1).food = 0;
    const std::vector<unsigned int> shown = handles(frame());
    const unsigned int image = Player::image;
    EXPECT_EQ(std::vector<unsigned int>(shown.begin() + 7, shown.begin() + 14),
              (std::vector<unsigned int>{GamePlay::forageButton, GamePlay::garrisonButton, GamePlay::waitButton, image,
                                         image, image, image}));
}

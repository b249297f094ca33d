#include "DrawerWindow.h"

namespace {

using Rgb = std::array<int, 3>;
const Rgb black = {0, 0, 0};
const Rgb white = {255, 255, 255};

using WindowSetUp = DrawerWindow;

TEST_F(WindowSetUp, A4To3WindowShowsTheLogicalScreenWhole)
{
    EXPECT_EQ(drawer->getActualWidth(), 1024);
    EXPECT_EQ(drawer->getActualHeight(), 768);
    drawer->fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(0, 0), white);
    EXPECT_EQ(shot.at(1023, 767), white);
}

TEST_F(WindowSetUp, AWideWindowGetsBarsLeftAndRight)
{
    open(1280, 800);
    EXPECT_EQ(drawer->getActualWidth(), 1066);
    EXPECT_EQ(drawer->getActualHeight(), 800);
    drawer->fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(105, 400), black);
    EXPECT_EQ(shot.at(106, 400), white);
    EXPECT_EQ(shot.at(1171, 400), white);
    EXPECT_EQ(shot.at(1172, 400), black);
    EXPECT_EQ(shot.at(106, 0), white);
    EXPECT_EQ(shot.at(106, 799), white);
}

TEST_F(WindowSetUp, ATallWindowGetsBarsAboveAndBelow)
{
    open(1280, 1024);
    EXPECT_EQ(drawer->getActualHeight(), 960);
    drawer->fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(640, 31), black);
    EXPECT_EQ(shot.at(640, 32), white);
    EXPECT_EQ(shot.at(640, 991), white);
    EXPECT_EQ(shot.at(640, 992), black);
}

TEST_F(WindowSetUp, ScreenRowsOfAnyWidthArePackedWithoutPadding)
{
    // 1021 pixels of 3 bytes make rows that are not a multiple of 4 bytes; a padded read would
    // shift every row by one more byte than the row above it.
    open(1021, 766);
    drawer->fillRect(0, 0, 512, 768, 255, 0, 0, 255);
    drawer->fillRect(512, 0, 512, 768, 0, 255, 0, 255);
    const Screenshot shot = capture();
    for (int y = 1; y < 766; ++y) {
        ASSERT_EQ(shot.at(0, y), (Rgb{255, 0, 0})) << y;
        ASSERT_EQ(shot.at(1020, y), (Rgb{0, 255, 0})) << y;
    }
}

TEST_F(WindowSetUp, TheCapturedFrameIsTheOneJustDrawn)
{
    drawer->fillRect(0, 0, 10, 10, 0, 255, 0, 255);
    EXPECT_EQ(capture().at(5, 5), (Rgb{0, 255, 0}));
    drawer->fillRect(0, 0, 10, 10, 0, 0, 255, 255);
    EXPECT_EQ(capture().at(5, 5), (Rgb{0, 0, 255}));
    // beginDrawing clears what the previous frame showed.
    EXPECT_EQ(capture().at(5, 5), black);
}

} // namespace

namespace {

using Filling = DrawerWindow;

TEST_F(Filling, ARectangleCoversExactlyItsArea)
{
    drawer->fillRect(10, 20, 30, 40, 255, 0, 0, 255);
    // A negative size runs the other way from its corner.
    drawer->fillRect(100, 100, -10, -20, 0, 0, 255, 255);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(10, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(39, 59), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.at(9, 20), black);
    EXPECT_EQ(shot.at(40, 20), black);
    EXPECT_EQ(shot.at(10, 19), black);
    EXPECT_EQ(shot.at(10, 60), black);
    EXPECT_EQ(shot.at(90, 80), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(99, 99), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.at(100, 99), black);
    EXPECT_EQ(shot.at(89, 80), black);
}

TEST_F(Filling, AGradientRunsFromTheTopColourToTheBottomColour)
{
    drawer->fillGradient(0, 0, 100, 256, 255, 0, 0, 255, 0, 0, 255, 255);
    const Screenshot shot = capture();
    EXPECT_NEAR(shot.red(50, 0), 255, 1);
    EXPECT_NEAR(shot.at(50, 0)[2], 0, 1);
    EXPECT_NEAR(shot.red(50, 128), 127, 2);
    EXPECT_NEAR(shot.red(50, 255), 0, 1);
    EXPECT_NEAR(shot.at(50, 255)[2], 255, 1);
    EXPECT_EQ(shot.at(50, 256), black);
}

using Viewports = DrawerWindow;

TEST_F(Viewports, AViewportHasItsOwnCoordinatesUntilReset)
{
    drawer->setViewport(0, 0, 512, 384);
    drawer->fillRect(0, 0, 512, 384, 255, 255, 255, 255);
    Screenshot shot = capture();
    EXPECT_EQ(shot.at(0, 0), white);
    EXPECT_EQ(shot.at(511, 383), white);
    EXPECT_EQ(shot.at(512, 383), black);
    EXPECT_EQ(shot.at(511, 384), black);

    // A viewport on the right half: its (0, 0) is the logical (512, 384); drawing is clipped to it.
    drawer->setViewport(512, 384, 512, 384);
    drawer->fillRect(-100, -100, 1000, 1000, 255, 255, 255, 255);
    shot = capture();
    EXPECT_EQ(shot.at(511, 500), black);
    EXPECT_EQ(shot.at(512, 384), white);
    EXPECT_EQ(shot.at(700, 383), black);

    drawer->resetViewport();
    drawer->fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    shot = capture();
    EXPECT_EQ(shot.at(0, 0), white);
    EXPECT_EQ(shot.at(1023, 767), white);
}

TEST_F(Viewports, AViewportFollowsTheFittedScreenInAWideWindow)
{
    open(1280, 800);
    drawer->setViewport(0, 0, 512, 384);
    drawer->fillRect(0, 0, 512, 384, 255, 255, 255, 255);
    const Screenshot shot = capture();
    EXPECT_EQ(shot.at(105, 10), black);
    EXPECT_EQ(shot.at(106, 10), white);
    EXPECT_EQ(shot.at(638, 398), white);
    EXPECT_EQ(shot.at(640, 398), black);
    EXPECT_EQ(shot.at(300, 401), black);
}

TEST_F(Viewports, AnEmptyOrInvertedViewportShowsNothing)
{
    for (const short size : {0, -200}) {
        drawer->setViewport(100, 100, size, 200);
        drawer->fillRect(-1000, -1000, 3000, 3000, 255, 255, 255, 255);
        drawer->setViewport(100, 100, 200, size);
        drawer->fillRect(-1000, -1000, 3000, 3000, 255, 255, 255, 255);
        const Screenshot shot = capture();
        for (int x = 0; x < 1024; x += 16)
            for (int y = 0; y < 768; y += 16)
                ASSERT_EQ(shot.at(x, y), black) << size << " " << x << "," << y;
    }
}

using Lines = DrawerWindow;

TEST_F(Lines, ABandHasASolidMiddleAndSoftEdges)
{
    drawer->drawLine(100, 300, 300, 300, 1, 1, 1, 1);
    drawer->drawLine(600, 100, 600, 100, 1, 1, 1, 1);
    const Screenshot shot = capture();
    const int profile[8] = {2, 33, 192, 255, 255, 192, 33, 2};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(shot.red(200, 296 + i), profile[i], 1) << i;
    EXPECT_EQ(shot.at(200, 295), black);
    EXPECT_EQ(shot.at(200, 304), black);
    EXPECT_EQ(shot.at(99, 300), black);
    EXPECT_EQ(shot.at(300, 300), black);
    // A line whose ends coincide has no direction and draws nothing.
    for (int x = 590; x < 610; ++x)
        for (int y = 90; y < 110; ++y)
            ASSERT_EQ(shot.at(x, y), black);
}

} // namespace

#include "CapturedSound.h"
#include "Images.h"
#include "RunningProgram.h"
#include "ScreenPicture.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// A picture embedded in the program, decoded the way the game does it.
class Picture {
public:
    Picture(const char* data, unsigned int size) : image(ImageLoader().loadImage(data, size)) {}
    ~Picture() { delete[] image.pixels; }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    const LoadedImage& get() const { return image; }

private:
    // The decoded pixels, owned.
    LoadedImage image;
};

std::string sourcePath(const std::string& relative)
{
    return std::string(MARROWGATE_SOURCE_DIR) + "/" + relative;
}

// What the window should show, built from the same pictures at the same places as the screens draw them.
class ExpectedScreens {
public:
    ScreenPicture sponsorPage() const
    {
        ScreenPicture screen = onPaper();
        screen.draw(sponsor.get(), 0, 0, 1, 1, 1, 1);
        return screen;
    }

    // The title without its cursor, with each nation's tick in the row of its choice.
    ScreenPicture titlePage(const std::vector<bool>& humans) const
    {
        ScreenPicture screen = onPaper();
        screen.draw(title.get(), 0, 0, 1, 1, 1, 1);
        screen.draw(guy.get(), 114, 350, 0.8f, 0, 0, 1);
        screen.draw(guy.get(), 364, 350, 0.1f, 0.1f, 0.8f, 1);
        screen.draw(guy.get(), 610, 350, 1, 1, 1, 1);
        screen.draw(guy.get(), 828, 350, 1, 1, 0.2f, 1);
        const int tickX[4] = {74, 314, 559, 783};
        for (int nation = 0; nation < 4; ++nation)
            screen.draw(tick.get(), tickX[nation], humans[nation] ? 415 : 449, 1, 1, 1, 1);
        return screen;
    }

    // The top of the board with the banner of the nation on turn.
    ScreenPicture boardTop(int nation) const
    {
        ScreenPicture screen = onPaper();
        screen.draw(map.get(), 0, 0, 1, 1, 1, 1);
        screen.draw(banners[nation]->get(), 20, 20, 1, 1, 1, 1);
        return screen;
    }

private:
    ScreenPicture onPaper() const
    {
        ScreenPicture screen;
        screen.draw(paper.get(), 0, 0, 1, 1, 1, 1);
        return screen;
    }

    Picture paper{Images::paper2_jpg, Images::paper2_jpg_size};
    Picture sponsor{Images::sponsor_png, Images::sponsor_png_size};
    Picture title{Images::title_png, Images::title_png_size};
    Picture guy{Images::guy_png, Images::guy_png_size};
    Picture tick{Images::tick_png, Images::tick_png_size};
    Picture map{Images::map_png, Images::map_png_size};
    Picture ruritania{Images::ruritania_png, Images::ruritania_png_size};
    Picture molotavia{Images::molotavia_png, Images::molotavia_png_size};
    Picture norland{Images::norland_png, Images::norland_png_size};
    Picture stamark{Images::stamark_png, Images::stamark_png_size};
    const Picture* banners[4] = {&ruritania, &molotavia, &norland, &stamark};
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.getPath().empty());
        capturePath = folder.getPath() + "/audio.raw";
        const std::vector<std::string> environment = {
            "TZ=UTC",
            "HOME=" + folder.getPath(),
            "XDG_CONFIG_HOME=" + folder.getPath(),
            "ALSA_CONFIG_PATH=" + sourcePath("tests/support/alsa-capture.conf"),
            "AUDIO_CAPTURE_FILE=" + capturePath,
        };
        // The frozen wall clock seeds the game's random source with 0; the frame clock still runs.
        game = std::make_unique<RunningProgram>(
            std::vector<std::string>{"faketime", "-m", "--exclude-monotonic", "-f", "1970-01-01 00:00:00",
                                     MARROWGATE_PROGRAM, "-w", "1024", "-h", "768", "-nm"},
            environment);
        ASSERT_TRUE(game->isStarted());
        ASSERT_TRUE(game->findWindow("Marrowgate", 20)) << "the game's window never appeared";
    }

    // Takes screenshots until one passes the check or the time runs out; keeps the last one under name
    // in the screenshot folder when MARROWGATE_SCREENSHOTS names one.
    bool waitForScreen(const std::function<bool(const ScreenPicture&)>& check, int milliseconds,
                       const std::string& name)
    {
        const std::string path = folder.getPath() + "/" + name + ".rgb";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        bool passed = false;
        do {
            const ScreenPicture shot = ScreenPicture::capture(game->getWindow(), path);
            passed = shot.isValid() && check(shot);
            if (!passed)
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
        } while (!passed && std::chrono::steady_clock::now() < deadline);
        const auto waited = std::chrono::steady_clock::now() - deadline + std::chrono::milliseconds(milliseconds);
        std::cout << name << (passed ? " seen after " : " not seen in ")
                  << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() << " ms" << std::endl;
        keep(path, name);
        return passed;
    }

    // The whole title, and closely each soldier and the two tick places under it (a tick is small).
    static bool showsTitle(const ScreenPicture& shot, const ScreenPicture& expected)
    {
        const int soldierX[4] = {114, 364, 610, 828};
        const int tickX[4] = {74, 314, 559, 783};
        bool close = shot.match(expected) > 0.97f;
        for (int nation = 0; nation < 4; ++nation) {
            close = close && shot.matchIn(expected, soldierX[nation], 350, soldierX[nation] + 64, 414, 24) > 0.99f &&
                shot.matchIn(expected, tickX[nation], 415, tickX[nation] + 64, 513, 24) > 0.99f;
        }
        return close;
    }

    bool showsTurnOf(const ScreenPicture& shot, int nation) const
    {
        return shot.matchIn(boardTops[nation], 20, 20, 276, 66, 24) > 0.9f;
    }

    static void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

    static void keep(const std::string& path, const std::string& name)
    {
        const char* target = std::getenv("MARROWGATE_SCREENSHOTS");
        if (target)
            ScreenPicture::saveAsPng(path, std::string(target) + "/" + name + ".png");
    }

    TemporaryDirectory folder;
    std::string capturePath;
    ExpectedScreens screens;
    const ScreenPicture sponsorPage = screens.sponsorPage();
    const ScreenPicture allPeople = screens.titlePage({true, true, true, true});
    const ScreenPicture onePerson = screens.titlePage({true, false, false, false});
    const ScreenPicture boardTops[4] = {screens.boardTop(0), screens.boardTop(1), screens.boardTop(2),
                                        screens.boardTop(3)};
    std::unique_ptr<RunningProgram> game;
};

TEST_F(EndToEnd, SponsorTitleGameAndBackWithTheirSounds)
{
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return shot.match(sponsorPage) > 0.97f; },
                              8000, "e2e-sponsor"))
        << "no sponsor page";

    game->click(900, 100);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTitle(shot, allPeople); }, 5000,
                              "e2e-title"))
        << "the click did not end the sponsor page on the title screen";

    for (int x : {330, 570, 800}) {
        game->click(x, 480);
        pause(400);
    }
    game->moveMouse(950, 720);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTitle(shot, onePerson); }, 3000,
                              "e2e-choices"))
        << "the ticks do not show the computer for nations 1 to 3";

    game->click(500, 640);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTurnOf(shot, 0); }, 10000, "e2e-board"))
        << "the game did not open on Ruritania's turn";

    game->click(120, 590);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return !showsTurnOf(shot, 0); }, 3000,
                              "e2e-after-forage"))
        << "foraging did not pass the turn";
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTurnOf(shot, 0); }, 15000,
                              "e2e-second-round"))
        << "the computer's nations did not play their turns";

    game->click(120, 710);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTurnOf(shot, 1); }, 3000, "e2e-waited"))
        << "waiting did not pass the turn to Molotavia";

    game->pressKey("Escape");
    game->moveMouse(950, 720);
    ASSERT_TRUE(waitForScreen([&](const ScreenPicture& shot) { return showsTitle(shot, allPeople); }, 5000,
                              "e2e-back-to-title"))
        << "Escape did not bring back a fresh title screen";

    game->pressKey("Escape");
    EXPECT_EQ(game->waitForExit(5000), 0);

    const CapturedSound sound(capturePath);
    const int clicks = sound.countEffect(CapturedSound::decodeEffect(sourcePath("resources/sounds/click.ogg")));
    const int forages = sound.countEffect(CapturedSound::decodeEffect(sourcePath("resources/sounds/forage.ogg")));
    std::cout << "Captured " << sound.getFrames() / 44100.0 << " s of sound with " << clicks << " clicks and "
              << forages << " forage sounds." << std::endl;
    EXPECT_GT(sound.getFrames(), 44100u * 5) << "the capture holds less than five seconds";
    // Three choices, the start button and the wait; the computer's moves may add more.
    EXPECT_GE(clicks, 5) << "clicks of the title's choices, the start or the wait are missing";
    EXPECT_GE(forages, 1) << "the forage sound is missing";
}

} // namespace

// SPDX-License-Identifier: MIT
#include "TemporaryDirectory.h"
#include "XDisplay.h"
#include "audio/Sounds.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <memory>

// The real program played the way a person plays it: clicks through the X server, its effects through
// ALSA, a clean end on Escape. What each input does to the game, its pictures and which sound it makes
// are the whole-game test's (tests/game); this test hears what only the program as a whole shows.
TEST(EndToEnd, ClicksStartAGameAndForageWithTheirSoundsAndEscapeEndsIt)
{
    SKIP_WITHOUT_X_DISPLAY();
    // Each effect's opening as the game's own mixer plays it alone: the bytes it hands to the device.
    const auto opening = [](Sounds::SoundType effect) {
        Sounds alone(MARROWGATE_SOURCE_DIR "/resources/sounds/");
        alone.playSound(effect);
        std::vector<float> block(2 * 4096);
        alone.getAudio(block.data(), 4096);
        return std::string(reinterpret_cast<const char*>(block.data()), block.size() * sizeof(float));
    };
    const std::string click = opening(Sounds::ClickSound), forage = opening(Sounds::ForageSound);
    // The real game under a frozen wall clock (the random source is seeded with 0), without music,
    // playing into a file through ALSA, in a process group of its own. The command is made before the fork.
    const TemporaryDirectory folder;
    const std::string capture = folder.getPath() + "/audio.raw", command = "exec env HOME=" + folder.getPath() +
        " XDG_CONFIG_HOME=" + folder.getPath() + " AUDIO_CAPTURE_FILE=" + capture + " TZ=UTC ALSA_CONFIG_PATH="
        MARROWGATE_SOURCE_DIR "/tests/support/alsa-capture.conf faketime -m --exclude-monotonic -f '1970-01-01 "
        "00:00:00' " MARROWGATE_PROGRAM " -w 1024 -h 768 -nm";
    const pid_t game = fork();
    if (game == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    ASSERT_GT(game, 0);
    // Whatever happens, the game's process group goes with the test.
    const std::shared_ptr<void> killed(nullptr, [game](void*) {
        kill(-game, SIGKILL);
        waitpid(game, nullptr, 0);
    });
    // Polls until done() holds, for as long as a machine ten times slower than ours or as busy as it can be
    // might need (five minutes); false at once when the game has ended, which leaves its wait status.
    int status = -1;
    const auto waitFor = [&](const auto& done) {
        int poll = 0;
        while (waitpid(game, &status, WNOHANG) != game && !done() && ++poll < 2000)
            usleep(150000);
        return status == -1 && poll < 2000;
    };
    // Where an effect is first heard from a place on in what the game has played so far (-1 while it is not).
    const auto startOf = [&capture](const std::string& effect, long from = 0) {
        std::ifstream played(capture, std::ios::binary);
        return static_cast<long>(std::string{std::istreambuf_iterator<char>(played), {}}.find(effect, from));
    };
    // The sound starts once the window is open and the game is set up, just before it takes input.
    ASSERT_TRUE(waitFor([&] { return std::ifstream(capture).peek() != EOF; })) << "the game's sound never started";
    const auto xdotool = [](const std::string& commands) {
        EXPECT_EQ(0, std::system(("xdotool search --sync --onlyvisible --name '^Marrowgate$' " + commands).c_str()));
    };
    // The click that ends the sponsor page counts on the title too: on Start it starts a game at once.
    xdotool("mousemove --sync --window %1 500 640 click 1");
    ASSERT_TRUE(waitFor([&] { return startOf(click) >= 0; })) << "Start made no sound";
    // Forage for Ruritania, a person's nation, on turn first: the next sound heard is the forage sound,
    // after Start's (a second click is not waited out).
    xdotool("mousemove --sync --window %1 120 590 click 1");
    ASSERT_TRUE(waitFor([&] { return startOf(forage) >= 0 || startOf(click, startOf(click) + 1) >= 0; }));
    EXPECT_LT(startOf(click), startOf(forage)) << "foraging made no sound, or not its own";
    // Escape leaves the game for the title screen, and quits from there. SDL takes a key pressed again at
    // once for the key held down, so the pointer moves in between.
    xdotool("key --window %1 Escape mousemove --window %1 8 8 key --window %1 Escape");
    waitFor([] { return false; });
    EXPECT_EQ(0, status) << "the game did not quit with status 0 after Escape (-1: it did not end)";
}

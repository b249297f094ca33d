// SPDX-License-Identifier: MIT
#include "TemporaryDirectory.h"
#include "XDisplay.h"
#include "audio/Sounds.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

// The real program played the way a person plays it: clicks through the X server, its effects through
// ALSA, a clean end on Escape. What each input does to the game, its pictures and which sound it makes
// are the whole-game test's (tests/game); this test sees what only the program as a whole shows.
namespace {
    // What a shell command prints.
    std::string output(const std::string& command)
    {
        std::string printed;
        FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
        char block[65536];
        for (std::size_t read; pipe != nullptr && (read = std::fread(block, 1, sizeof(block), pipe)) > 0;)
            printed.append(block, read);
        if (pipe != nullptr)
            pclose(pipe);
        return printed;
    }

    // The game's process group, killed at the end of the test whatever happened.
    struct Killed {
        ~Killed()
        {
            if (game > 0 && !ended) {
                kill(-game, SIGKILL);
                waitpid(game, nullptr, 0);
            }
        }
        pid_t game = -1;
        bool ended = false;
        int status = -1;
    };
}

TEST(EndToEnd, ClicksStartAGameAndForageWithTheirSoundsAndEscapeEndsIt)
{
    SKIP_WITHOUT_X_DISPLAY();
    // Each effect's opening as the game's own mixer plays it alone.
    std::map<Sounds::SoundType, std::vector<float>> openings;
    Sounds reference(MARROWGATE_SOURCE_DIR "/resources/sounds/");
    for (const Sounds::SoundType effect : {Sounds::ClickSound, Sounds::ForageSound, Sounds::GarrisonSound}) {
        reference.playSound(effect);
        openings[effect].resize(2 * 4096);
        reference.getAudio(openings[effect].data(), 4096);
        std::vector<float> rest(2 * 44100);
        reference.getAudio(rest.data(), 44100);
    }
    // The real game under a frozen wall clock (the random source is seeded with 0), without music,
    // playing into a file through ALSA, in a process group of its own.
    const TemporaryDirectory folder;
    const std::string capture = folder.getPath() + "/audio.raw", home = "HOME=" + folder.getPath();
    const std::string config = "XDG_CONFIG_HOME=" + folder.getPath(), captureTo = "AUDIO_CAPTURE_FILE=" + capture;
    Killed run;
    run.game = fork();
    if (run.game == 0) {
        setpgid(0, 0);
        execlp("env", "env", home.c_str(), config.c_str(), captureTo.c_str(), "TZ=UTC",
               "ALSA_CONFIG_PATH=" MARROWGATE_SOURCE_DIR "/tests/support/alsa-capture.conf", "faketime", "-m",
               "--exclude-monotonic", "-f", "1970-01-01 00:00:00", MARROWGATE_PROGRAM, "-w", "1024", "-h", "768",
               "-nm", nullptr);
        _exit(127);
    }
    ASSERT_GT(run.game, 0);
    setpgid(run.game, run.game);
    // Polls until done() holds, for as long as a machine ten times slower than ours or as busy as it can
    // be might need; false at once when the game ends first.
    const auto waitFor = [&run](const std::function<bool()>& done) {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::minutes(5)) {
            run.ended = run.ended || waitpid(run.game, &run.status, WNOHANG) == run.game;
            if (run.ended || done())
                return !run.ended;
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return false;
    };
    // The effects that have started in what the game has played so far, in the order they started.
    const auto heard = [&] {
        const std::string bytes = output("cat " + capture);
        std::vector<float> played(bytes.size() / sizeof(float));
        std::memcpy(played.data(), bytes.data(), played.size() * sizeof(float));
        const auto near = [](float a, float b) { return std::fabs(a - b) <= 1e-5f; };
        std::map<std::ptrdiff_t, Sounds::SoundType> starts;
        for (const auto& [effect, opening] : openings) {
            for (auto at = played.begin();
                 (at = std::search(at, played.end(), opening.begin(), opening.end(), near)) != played.end();)
                starts[at++ - played.begin()] = effect;
        }
        std::vector<Sounds::SoundType> effects;
        for (const auto& start : starts)
            effects.push_back(start.second);
        return effects;
    };
    // The sound starts once the window is open and the game is set up, just before it takes input.
    std::string window;
    ASSERT_TRUE(waitFor([&] {
        window = std::to_string(std::atol(output("xdotool search --onlyvisible --name '^Marrowgate$'").c_str()));
        return window != "0" && !output("head -c 8 " + capture).empty();
    })) << "the game's window or its sound never appeared";
    const auto click = [&](int x, int y) {
        output("xdotool mousemove --sync --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
               " click 1");
    };
    // The click that ends the sponsor page counts on the title too: on Start it starts a game at once.
    click(500, 640);
    ASSERT_TRUE(waitFor([&] { return !heard().empty(); })) << "Start made no sound";
    // Forage for Ruritania, a person's nation, on turn first.
    click(120, 590);
    std::vector<Sounds::SoundType> effects;
    ASSERT_TRUE(waitFor([&] { return (effects = heard()).size() >= 2; })) << "foraging made no sound";
    EXPECT_EQ(effects, (std::vector<Sounds::SoundType>{Sounds::ClickSound, Sounds::ForageSound}));
    // Escape leaves the game for the title screen, and quits from there. SDL takes a key pressed again at
    // once for the key held down, so the pointer moves in between.
    output("xdotool key --window " + window + " Escape mousemove --window " + window + " 8 8 key --window " + window +
           " Escape");
    waitFor([] { return false; });
    ASSERT_TRUE(run.ended) << "the game did not end after Escape";
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << "wait status " << run.status;
}

// SPDX-License-Identifier: MIT
#include "TemporaryDirectory.h"
#include "XDisplay.h"
#include "audio/Sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The real program played the way a person plays it: clicks through the X server, its effects through
// ALSA, a clean end on Escape. What each input does to the game, its pictures and which sound it makes
// are the whole-game test's (tests/game); this test sees what only the program as a whole shows.
namespace {

// How long to wait for the game to reach a state: enough for a machine ten times slower than ours or
// as busy as it can be. Only a state that never comes waits this long; a game that ends fails at once.
constexpr std::chrono::minutes patience(5);

// What a shell command prints.
std::string output(const std::string& command)
{
    std::string printed;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char block[65536];
        for (std::size_t read; (read = std::fread(block, 1, sizeof(block), pipe)) > 0;)
            printed.append(block, read);
        pclose(pipe);
    }
    return printed;
}

// The real game under a frozen wall clock (the random source is seeded with 0; the frame clock still
// runs), without music, playing into a file through ALSA, in a process group of its own that is killed
// afterwards.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        // Each effect's opening as the game's own mixer plays it alone.
        Sounds reference(MARROWGATE_SOURCE_DIR "/resources/sounds/");
        for (const Sounds::SoundType effect : {Sounds::ClickSound, Sounds::ForageSound, Sounds::GarrisonSound}) {
            reference.playSound(effect);
            openings[effect].resize(2 * 4096);
            reference.getAudio(openings[effect].data(), 4096);
            std::vector<float> rest(2 * 44100);
            reference.getAudio(rest.data(), 44100);
        }
        const std::string home = "HOME=" + folder.getPath(), config = "XDG_CONFIG_HOME=" + folder.getPath(),
                          capture = "AUDIO_CAPTURE_FILE=" + capturePath;
        // faketime's library is preloaded ahead of a sanitizer's runtime, which then has to be told
        // that this is fine.
        const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
        const std::string asan = std::string("ASAN_OPTIONS=") + (sanitizerOptions ? sanitizerOptions : "") +
                                 ":verify_asan_link_order=0";
        game = fork();
        if (game == 0) {
            setpgid(0, 0);
            execlp("env", "env", home.c_str(), config.c_str(), capture.c_str(), asan.c_str(), "TZ=UTC",
                   "ALSA_CONFIG_PATH=" MARROWGATE_SOURCE_DIR "/tests/support/alsa-capture.conf", "faketime", "-m",
                   "--exclude-monotonic", "-f", "1970-01-01 00:00:00", MARROWGATE_PROGRAM, "-w", "1024", "-h", "768",
                   "-nm", nullptr);
            _exit(127);
        }
        ASSERT_GT(game, 0);
        setpgid(game, game);
        // The sound starts once the window is open and the game is set up, just before it takes input.
        ASSERT_TRUE(waitFor([this] {
            window = std::to_string(std::atol(output("xdotool search --onlyvisible --name '^Marrowgate$'").c_str()));
            return window != "0" && !output("head -c 8 " + capturePath).empty();
        })) << "the game's window or its sound never appeared";
    }

    // Also ends whatever the game started.
    void TearDown() override
    {
        if (game > 0 && !ended) {
            kill(-game, SIGKILL);
            waitpid(game, nullptr, 0);
        }
    }

    // Polls until done() holds; false when the game ends first (reaped, its status kept) or the patience
    // runs out.
    bool waitFor(const std::function<bool()>& done)
    {
        for (const auto start = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() - start < patience;
             std::this_thread::sleep_for(std::chrono::milliseconds(150))) {
            ended = ended || waitpid(game, &status, WNOHANG) == game;
            if (ended || done())
                return !ended;
        }
        return false;
    }

    // Clicks at window pixels (x, y).
    void click(int x, int y)
    {
        output("xdotool mousemove --sync --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
               " click 1");
    }

    // The effects that have started in what the game has played so far, in the order they started.
    std::vector<Sounds::SoundType> heard()
    {
        const std::string bytes = output("cat " + capturePath);
        std::vector<float> capture(bytes.size() / sizeof(float));
        std::memcpy(capture.data(), bytes.data(), capture.size() * sizeof(float));
        const auto near = [](float a, float b) { return std::fabs(a - b) <= 1e-5f; };
        std::map<std::ptrdiff_t, Sounds::SoundType> starts;
        for (const auto& [effect, opening] : openings) {
            auto at = capture.begin();
            while ((at = std::search(at, capture.end(), opening.begin(), opening.end(), near)) != capture.end())
                starts[at++ - capture.begin()] = effect;
        }
        std::vector<Sounds::SoundType> effects;
        for (const auto& start : starts)
            effects.push_back(start.second);
        return effects;
    }

    TemporaryDirectory folder;
    const std::string capturePath = folder.getPath() + "/audio.raw";
    std::map<Sounds::SoundType, std::vector<float>> openings;
    // The game's process, also its process group.
    pid_t game = -1;
    // Whether the game has exited, and its wait status then.
    bool ended = false;
    int status = -1;
    // The X window id of the game.
    std::string window;
};

TEST_F(EndToEnd, ClicksStartAGameAndForageWithTheirSoundsAndEscapeEndsIt)
{
    // The click that ends the sponsor page counts on the title too: on Start it starts a game at once.
    click(500, 640);
    ASSERT_TRUE(waitFor([this] { return !heard().empty(); })) << "Start made no sound";
    // Forage for Ruritania, a person's nation, on turn first.
    click(120, 590);
    std::vector<Sounds::SoundType> effects;
    ASSERT_TRUE(waitFor([&] { return (effects = heard()).size() >= 2; })) << "foraging made no sound";
    EXPECT_EQ(effects, (std::vector<Sounds::SoundType>{Sounds::ClickSound, Sounds::ForageSound}));
    // Escape leaves the game for the title screen, and quits from there. SDL takes a key pressed again at
    // once for the key held down, so the pointer moves in between.
    output("xdotool key --window " + window + " Escape mousemove --window " + window + " 8 8 key --window " + window +
           " Escape");
    waitFor([] { return false; }); // returns when the game ends
    ASSERT_TRUE(ended) << "the game did not end after Escape";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the game ended with wait status " << status;
}

} // namespace

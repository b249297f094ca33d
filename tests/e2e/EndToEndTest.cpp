// SPDX-License-Identifier: MIT
#include "TemporaryDirectory.h"
#include "XDisplay.h"
#include "assets/Images.h"
#include "audio/Sounds.h"
#include "render/ImageLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
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

// An RGB picture of the screen, 0 to 255 per channel: a screenshot, or what the window should show,
// composed from the embedded pictures the way the drawer blends them.
struct Screen {
    // Blends an embedded picture over this one with its top-left corner at (x, y).
    Screen& draw(const char* data, unsigned int size, int x, int y)
    {
        const LoadedImage image = ImageLoader().loadImage(data, size);
        for (int row = 0; row < static_cast<int>(image.height) && y + row < HEIGHT; ++row)
            for (int column = 0; column < static_cast<int>(image.width) && x + column < WIDTH; ++column) {
                const unsigned char* from = image.pixels + (row * image.width + column) * 4;
                float* to = &pixels[((y + row) * WIDTH + x + column) * 3];
                for (int channel = 0; channel < 3; ++channel)
                    to[channel] += (from[channel] - to[channel]) * from[3] / 255.0f;
            }
        delete[] image.pixels;
        return *this;
    }

    // The share of pixels in [left, right) x [top, bottom) whose channels all lie within 24 of other's.
    float match(const Screen& other, int left = 0, int top = 0, int right = WIDTH, int bottom = HEIGHT) const
    {
        int matching = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const int at = (y * WIDTH + x) * 3;
                matching += std::equal(&pixels[at], &pixels[at + 3], &other.pixels[at],
                                       [](float a, float b) { return std::fabs(a - b) <= 24; });
            }
        return static_cast<float>(matching) / static_cast<float>((right - left) * (bottom - top));
    }

    // Row by row from the top, three channels each; black to begin with.
    std::vector<float> pixels = std::vector<float>(WIDTH * HEIGHT * 3, 0.0f);
};

using Check = std::function<bool(const Screen&)>;

Screen onPaper(const char* data, unsigned int size)
{
    return Screen().draw(Images::paper2_jpg, Images::paper2_jpg_size, 0, 0).draw(data, size, 0, 0);
}

// The title above its soldiers, and closely each nation's two tick places (a tick is small), its tick
// in the row of its choice.
Check showsTitle(const std::array<bool, 4>& humans)
{
    static const int tickX[4] = {74, 314, 559, 783};
    Screen expected = onPaper(Images::title_png, Images::title_png_size);
    for (int nation = 0; nation < 4; ++nation)
        expected.draw(Images::tick_png, Images::tick_png_size, tickX[nation], humans[nation] ? 415 : 449);
    return [expected](const Screen& shot) {
        bool close = shot.match(expected, 0, 0, WIDTH, 340) > 0.97f;
        for (int x : tickX)
            close = close && shot.match(expected, x, 415, x + 64, 513) > 0.99f;
        return close;
    };
}

// Whether the top of the board shows the banner of the nation on turn.
Check showsTurnOf(const char* banner, unsigned int size)
{
    const Screen expected = onPaper(Images::map_png, Images::map_png_size).draw(banner, size, 20, 20);
    return [expected](const Screen& shot) { return shot.match(expected, 20, 20, 276, 66) > 0.9f; };
}

// Whether an effect starts somewhere in the stereo capture: its opening as the game's mixer plays it
// alone (the music is off).
bool isHeard(const std::vector<float>& capture, Sounds::SoundType effect)
{
    Sounds reference(MARROWGATE_SOURCE_DIR "/resources/sounds/");
    reference.playSound(effect);
    std::vector<float> opening(2 * 4096, 0.0f);
    reference.getAudio(opening.data(), 4096);
    return reference.getLength(effect) > 0 &&
        std::search(capture.begin(), capture.end(), opening.begin(), opening.end(),
                    [](float a, float b) { return std::fabs(a - b) <= 1e-5f; }) != capture.end();
}

// The real game under a frozen wall clock (the random source is seeded with 0; the frame clock still
// runs), playing into a file through ALSA, in a process group of its own that is killed afterwards.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
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
        ASSERT_TRUE(waitFor([this] {
            window = std::to_string(std::atol(output("xdotool search --onlyvisible --name '^Marrowgate$'").c_str()));
            return window != "0";
        })) << "the game's window never appeared";
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

    // Takes screenshots until one passes the check.
    bool waitForScreen(const Check& check)
    {
        return waitFor([&] {
            const std::string bytes = output("import -window " + window + " -depth 8 RGB:-");
            const auto* channels = reinterpret_cast<const unsigned char*>(bytes.data());
            Screen shot;
            shot.pixels.assign(channels, channels + bytes.size());
            return shot.pixels.size() == WIDTH * HEIGHT * 3 && check(shot);
        });
    }

    // Moves the pointer to window pixels (x, y), then does what follows ("click 1").
    void mouse(int x, int y, const std::string& then = "")
    {
        output("xdotool mousemove --sync --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " " + then);
    }

    TemporaryDirectory folder;
    const std::string capturePath = folder.getPath() + "/audio.raw";
    // The game's process, also its process group.
    pid_t game = -1;
    // Whether the game has exited, and its wait status then.
    bool ended = false;
    int status = -1;
    // The X window id of the game.
    std::string window;
};

TEST_F(EndToEnd, SponsorTitleGameAndBackWithTheirSounds)
{
    const Screen sponsor = onPaper(Images::sponsor_png, Images::sponsor_png_size);
    ASSERT_TRUE(waitForScreen([&](const Screen& shot) { return shot.match(sponsor) > 0.97f; })) << "no sponsor page";
    mouse(950, 720, "click 1");
    ASSERT_TRUE(waitForScreen(showsTitle({true, true, true, true}))) << "the click did not end the sponsor page";
    // Stamark's computer box; then the pointer leaves the checked places.
    mouse(800, 480, "click 1");
    mouse(950, 720);
    ASSERT_TRUE(waitForScreen(showsTitle({true, true, true, false}))) << "the tick does not show Stamark's computer";

    mouse(500, 640, "click 1");
    ASSERT_TRUE(waitForScreen(showsTurnOf(Images::ruritania_png, Images::ruritania_png_size)))
        << "the game did not open on Ruritania's turn";
    mouse(120, 590, "click 1");
    ASSERT_TRUE(waitForScreen(showsTurnOf(Images::molotavia_png, Images::molotavia_png_size)))
        << "foraging did not pass the turn to Molotavia";

    output("xdotool key --window " + window + " Escape");
    ASSERT_TRUE(waitForScreen(showsTitle({true, true, true, true}))) << "Escape did not bring back a fresh title";
    output("xdotool key --window " + window + " Escape");
    waitFor([] { return false; }); // returns when the game ends
    ASSERT_TRUE(ended) << "the game did not end after Escape";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the game ended with wait status " << status;

    const std::string bytes = output("cat " + capturePath);
    std::vector<float> capture(bytes.size() / sizeof(float));
    std::memcpy(capture.data(), bytes.data(), capture.size() * sizeof(float));
    EXPECT_TRUE(isHeard(capture, Sounds::ClickSound)) << "the title's choice and start made no click";
    EXPECT_TRUE(isHeard(capture, Sounds::ForageSound)) << "the forage sound is missing";
}

} // namespace

// SPDX-License-Identifier: MIT
#include "ImageLoader.h"
#include "Images.h"
#include "TemporaryDirectory.h"
#include "XDisplay.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
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

// An RGB picture of the screen, 0 to 255 per channel: a screenshot, or what the window should show,
// composed from the embedded pictures the way the drawer blends them.
struct Screen {
    // Blends an embedded picture over this one with its top-left corner at (x, y), tinted.
    Screen& draw(const char* data, unsigned int size, int x, int y, std::array<float, 3> tint = {1, 1, 1})
    {
        const LoadedImage image = ImageLoader().loadImage(data, size);
        for (int row = 0; row < static_cast<int>(image.height) && y + row < HEIGHT; ++row)
            for (int column = 0; column < static_cast<int>(image.width) && x + column < WIDTH; ++column) {
                const unsigned char* from = image.pixels + (row * image.width + column) * 4;
                const float alpha = from[3] / 255.0f;
                float* to = &pixels[((y + row) * WIDTH + x + column) * 3];
                for (int channel = 0; channel < 3; ++channel)
                    to[channel] = from[channel] * tint[channel] * alpha + to[channel] * (1.0f - alpha);
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
                bool close = true;
                for (int channel = 0; channel < 3; ++channel)
                    close = close && std::fabs(pixels[at + channel] - other.pixels[at + channel]) <= 24;
                matching += close ? 1 : 0;
            }
        return static_cast<float>(matching) / static_cast<float>((right - left) * (bottom - top));
    }

    // Row by row from the top, three channels each; black to begin with.
    std::vector<float> pixels = std::vector<float>(WIDTH * HEIGHT * 3, 0.0f);
};

using Check = std::function<bool(const Screen&)>;

Screen onPaper()
{
    return Screen().draw(Images::paper2_jpg, Images::paper2_jpg_size, 0, 0);
}

// The title without its cursor, with each nation's tick in the row of its choice: all of it roughly, and
// closely each soldier and the two tick places under it (a tick is small).
Check showsTitle(const std::vector<bool>& humans)
{
    static const int soldierX[4] = {114, 364, 610, 828};
    static const int tickX[4] = {74, 314, 559, 783};
    const std::array<float, 3> tints[4] = {{0.8f, 0, 0}, {0.1f, 0.1f, 0.8f}, {1, 1, 1}, {1, 1, 0.2f}};
    Screen expected = onPaper().draw(Images::title_png, Images::title_png_size, 0, 0);
    for (int nation = 0; nation < 4; ++nation) {
        expected.draw(Images::guy_png, Images::guy_png_size, soldierX[nation], 350, tints[nation]);
        expected.draw(Images::tick_png, Images::tick_png_size, tickX[nation], humans[nation] ? 415 : 449);
    }
    return [expected](const Screen& shot) {
        bool close = shot.match(expected) > 0.97f;
        for (int nation = 0; nation < 4; ++nation)
            close = close && shot.match(expected, soldierX[nation], 350, soldierX[nation] + 64, 414) > 0.99f &&
                shot.match(expected, tickX[nation], 415, tickX[nation] + 64, 513) > 0.99f;
        return close;
    };
}

// Whether the top of the board shows the banner of the nation on turn.
Check showsTurnOf(int nation, bool shown = true)
{
    const std::pair<const char*, unsigned int> banners[4] = {
        {Images::ruritania_png, Images::ruritania_png_size}, {Images::molotavia_png, Images::molotavia_png_size},
        {Images::norland_png, Images::norland_png_size}, {Images::stamark_png, Images::stamark_png_size}};
    const Screen expected = onPaper()
                                .draw(Images::map_png, Images::map_png_size, 0, 0)
                                .draw(banners[nation].first, banners[nation].second, 20, 20);
    return [expected, shown](const Screen& shot) { return (shot.match(expected, 20, 20, 276, 66) > 0.9f) == shown; };
}

// A file of raw bytes as values of type T (the capture's floats, a screenshot's channels); empty when
// the file cannot be read.
template <class T>
std::vector<T> readRaw(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<T> values(file ? static_cast<std::size_t>(file.tellg()) / sizeof(T) : 0);
    file.seekg(0).read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(values.size() * sizeof(T)));
    return values;
}

// The first channel of a sound file, decoded as the game decodes its effects.
std::vector<float> decodeEffect(const std::string& name)
{
    std::vector<float> effect;
    OggVorbis_File vorbis;
    if (ov_fopen((MARROWGATE_SOURCE_DIR "/resources/sounds/" + name).c_str(), &vorbis) < 0)
        return effect;
    float** channels = nullptr;
    int section = 0;
    for (long read; (read = ov_read_float(&vorbis, &channels, 4096, &section)) > 0;)
        effect.insert(effect.end(), channels[0], channels[0] + read);
    ov_clear(&vorbis);
    return effect;
}

// How often the effect starts in the stereo capture. With the music off an effect is mixed mono at half
// amplitude, so its first audible samples appear unchanged on both channels.
int countEffect(const std::vector<float>& capture, const std::vector<float>& effect)
{
    std::size_t lead = 0;
    while (lead < effect.size() && std::fabs(effect[lead]) < 1e-3f)
        ++lead;
    const std::size_t length = std::min<std::size_t>(effect.size() - lead, 4096);
    int found = 0;
    for (std::size_t frame = 0; length > 0 && 2 * (frame + length) <= capture.size(); ++frame) {
        std::size_t i = 0;
        while (i < 2 * length && std::fabs(capture[2 * frame + i] - 0.5f * effect[lead + i / 2]) <= 1e-5f)
            ++i;
        if (i == 2 * length) {
            ++found;
            frame += length;
        }
    }
    return found;
}

void xdotool(const std::string& arguments)
{
    if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) != 0)
        std::cerr << "failed: xdotool " << arguments << std::endl;
}

// The real game under a frozen wall clock (the random source is seeded with 0; the frame clock still
// runs), playing into a file through ALSA, in a process group of its own that is killed afterwards.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_DISPLAY();
        ASSERT_FALSE(folder.getPath().empty());
        game = fork();
        if (game == 0) {
            setpgid(0, 0);
            const std::pair<const char*, std::string> environment[] = {{"HOME", folder.getPath()},
                {"XDG_CONFIG_HOME", folder.getPath()}, {"TZ", "UTC"}, {"AUDIO_CAPTURE_FILE", capturePath},
                {"ALSA_CONFIG_PATH", MARROWGATE_SOURCE_DIR "/tests/support/alsa-capture.conf"}};
            for (const auto& [name, value] : environment)
                setenv(name, value.c_str(), 1);
            execlp("faketime", "faketime", "-m", "--exclude-monotonic", "-f", "1970-01-01 00:00:00",
                   MARROWGATE_PROGRAM, "-w", "1024", "-h", "768", "-nm", nullptr);
            _exit(127);
        }
        ASSERT_GT(game, 0);
        setpgid(game, game);
        ASSERT_TRUE(waitFor([this] { return !(window = findWindow()).empty(); }))
            << "the game's window never appeared";
    }

    // Also ends whatever the game started.
    void TearDown() override
    {
        if (game > 0)
            kill(-game, SIGKILL);
        if (game > 0 && !ended())
            waitpid(game, nullptr, 0);
    }

    // Polls until done() holds; false when the game ends first or the patience runs out.
    bool waitFor(const std::function<bool()>& done)
    {
        const auto start = std::chrono::steady_clock::now();
        while (!ended() && std::chrono::steady_clock::now() - start < patience) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return false;
    }

    // Whether the game's process has exited; reaps it and keeps its status.
    bool ended()
    {
        if (!hasEnded && waitpid(game, &status, WNOHANG) == game)
            hasEnded = true;
        return hasEnded;
    }

    // The X window id of the game's visible window, or an empty string while there is none.
    static std::string findWindow()
    {
        FILE* search = popen("xdotool search --onlyvisible --name '^Marrowgate$' 2>/dev/null", "r");
        char line[64] = {};
        const bool found = search != nullptr && std::fgets(line, sizeof(line), search) != nullptr;
        if (search != nullptr)
            pclose(search);
        return found ? std::to_string(std::strtoul(line, nullptr, 10)) : std::string();
    }

    // Moves the pointer to window pixels (x, y), then does what follows ("click 1").
    void mouse(int x, int y, const std::string& then = "")
    {
        xdotool("mousemove --sync --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " " + then);
    }
    void pressKey(const std::string& key) { xdotool("key --window " + window + " " + key); }

    // Takes screenshots until one passes the check; false when the game ends first or the patience
    // runs out. The last one is kept as a PNG file under name in the folder MARROWGATE_SCREENSHOTS
    // names, if it names one.
    bool waitForScreen(const std::string& name, const Check& check)
    {
        const std::string path = folder.getPath() + "/" + name + ".rgb";
        const std::string command = "import -window " + window + " -depth 8 RGB:" + path + " 2>/dev/null";
        const auto start = std::chrono::steady_clock::now();
        const bool passed = waitFor([&] {
            Screen shot;
            const std::vector<unsigned char> bytes = std::system(command.c_str()) == 0 ? readRaw<unsigned char>(path) : std::vector<unsigned char>();
            shot.pixels.assign(bytes.begin(), bytes.end());
            return shot.pixels.size() == WIDTH * HEIGHT * 3 && check(shot);
        });
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::cout << name << (passed ? " seen after " : ended() ? " not seen: the game ended after " : " not seen in ")
                  << waited.count() << " ms" << std::endl;
        if (const char* keep = std::getenv("MARROWGATE_SCREENSHOTS"))
            std::system(("convert -size 1024x768 -depth 8 RGB:" + path + " " + keep + "/" + name + ".png").c_str());
        return passed;
    }

    TemporaryDirectory folder;
    const std::string capturePath = folder.getPath() + "/audio.raw";
    // The game's process, also its process group; reaped once it has exited.
    pid_t game = -1;
    // Whether the game has exited, and its wait status then.
    bool hasEnded = false;
    int status = -1;
    // The X window id of the game.
    std::string window;
};

TEST_F(EndToEnd, SponsorTitleGameAndBackWithTheirSounds)
{
    const Screen sponsor = onPaper().draw(Images::sponsor_png, Images::sponsor_png_size, 0, 0);
    ASSERT_TRUE(waitForScreen("e2e-sponsor", [&](const Screen& shot) { return shot.match(sponsor) > 0.97f; }))
        << "no sponsor page";
    mouse(900, 100, "click 1");
    ASSERT_TRUE(waitForScreen("e2e-title", showsTitle({true, true, true, true})))
        << "the click did not end the sponsor page on the title screen";

    for (int x : {330, 570, 800})
        mouse(x, 480, "click 1 sleep 0.4");
    mouse(950, 720);
    ASSERT_TRUE(waitForScreen("e2e-choices", showsTitle({true, false, false, false})))
        << "the ticks do not show the computer for nations 1 to 3";

    mouse(500, 640, "click 1");
    ASSERT_TRUE(waitForScreen("e2e-board", showsTurnOf(0))) << "the game did not open on Ruritania's turn";
    mouse(120, 590, "click 1");
    ASSERT_TRUE(waitForScreen("e2e-after-forage", showsTurnOf(0, false))) << "foraging did not pass the turn";
    ASSERT_TRUE(waitForScreen("e2e-second-round", showsTurnOf(0)))
        << "the computer's nations did not play their turns";
    mouse(120, 710, "click 1");
    ASSERT_TRUE(waitForScreen("e2e-waited", showsTurnOf(1))) << "waiting did not pass the turn to Molotavia";

    pressKey("Escape");
    mouse(950, 720);
    ASSERT_TRUE(waitForScreen("e2e-back-to-title", showsTitle({true, true, true, true})))
        << "Escape did not bring back a fresh title screen";
    pressKey("Escape");
    waitFor([] { return false; }); // returns when the game ends
    ASSERT_TRUE(ended()) << "the game did not end after Escape";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the game ended with wait status " << status;

    const std::vector<float> capture = readRaw<float>(capturePath);
    const int clicks = countEffect(capture, decodeEffect("click.ogg"));
    const int forages = countEffect(capture, decodeEffect("forage.ogg"));
    EXPECT_GT(capture.size(), 2u * 44100 * 5) << "the capture holds only " << capture.size() / 2 << " frames";
    // Three choices, the start button and the wait; the computer's moves may add more.
    EXPECT_GE(clicks, 5) << "clicks of the title's choices, the start or the wait are missing";
    EXPECT_GE(forages, 1) << "the forage sound is missing";
}

} // namespace

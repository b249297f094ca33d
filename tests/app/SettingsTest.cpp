// SPDX-License-Identifier: MIT
#include "app/ConfigLoader.h"
#include "app/Settings.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sched.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Settings or the file's values in a few words, so that a table can say what each input must give.
template <class Values>
std::string describe(const Values& v)
{
    return std::to_string(v.width) + "x" + std::to_string(v.height) + " a" + std::to_string(v.antialias) +
        (v.fullscreen ? " f" : "") + (v.noSound ? " ns" : "") + (v.noMusic ? " nm" : "");
}

// What a ConfigLoader prints, then what it read: in the given folder, or where the environment says.
std::string printedAndRead(const std::string* directory = nullptr)
{
    testing::internal::CaptureStdout();
    const ConfigLoader config = directory ? ConfigLoader(*directory) : ConfigLoader();
    return testing::internal::GetCapturedStdout() + describe(config);
}

// Writes a settings file holding text into folder, then says what a ConfigLoader reads from it.
std::string read(const TemporaryDirectory& folder, const std::string& text)
{
    std::ofstream(folder.getPath() + "/Ombrefell.conf") << text;
    return describe(ConfigLoader(folder.getPath()));
}

// The whole of a file.
std::string contents(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Runs part of a test in a child process, which may change what only a child should (its user, its
// mounts), and returns what the part returned.
std::string inChild(const std::function<std::string()>& part)
{
    TemporaryDirectory answer;
    chmod(answer.getPath().c_str(), 0777);
    if (fork() == 0)
        _exit(std::ofstream(answer.getPath() + "/answer") << part() << std::flush ? 0 : 1);
    wait(nullptr);
    return contents(answer.getPath() + "/answer");
}

// How many entries a folder holds.
long entries(const std::string& folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

} // namespace

TEST(Settings, CommandLinesAndWhatTheyPrint)
{
    const std::string noWidth = "Using default width = 1024\n";
    const std::string noSize = noWidth + "Using default height = 768\n";
    const std::string twoX = "Using 2x antialiasing.\n";
    // The arguments, the settings they give and what is printed meanwhile.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        // "-s" matches nothing: both sizes take their defaults, width's message first.
        {"-s", "1024x768 a0", noSize}, {"-w 800 --height 600", "800x600 a0", ""},
        {"--nosound -nm --fullscreen -w 8 -h 6", "8x6 a0 f ns nm", ""},
        // Each flag alone, in its short and its long form.
        {"-ns --width 8 -h 6", "8x6 a0 ns", ""}, {"--nomusic -w 8 -h 6", "8x6 a0 nm", ""},
        {"-f -w 8 -h 6 --antialias 4", "8x6 a4 f", ""}, {"-w 8 -h 6 -a 6", "8x6 a6", ""},
        // Near misses are no options.
        {"-n --no-sound -fs --nosoundx -w 8 -h 6", "8x6 a0", ""},
        // Each option has its own pass: the last occurrence wins, and a value consumed by one option is
        // still seen by the others ("-f" is both -w's value and a flag).
        {"-w 800 -w 1280 -h 720", "1280x720 a0", ""}, {"-w -f -h 600", "1024x600 a0 f", noWidth},
        {"-f -w 640", "640x768 a0 f", "Using default height = 768\n"}, {"-h 600 -w", "1024x600 a0", noWidth},
        // -a with 1 or less or no value means 2x, with a notice; others stand as given.
        {"-w 8 -h 6 -a 1", "8x6 a2", twoX}, {"-w 8 -h 6 --antialias 0", "8x6 a2", twoX},
        {"-w 8 -h 6 -a", "8x6 a2", twoX},
        // A malformed value changes nothing and spoils nothing after it.
        {"-w abc -h 600", "1024x600 a0", noWidth}, {"-w 800 -w x1 -h 1", "800x1 a0", ""},
        // Sizes outside 1 to 16383 count as not given (no 16-bit wrap, no division by zero, no
        // scanline SDL refuses); Program.window opens 16383 and refuses 16384.
        {"-w 0 -h 16385", "1024x768 a0", noSize}, {"-w 99999999999 -h 65536", "1024x768 a0", noSize},
    };
    for (const auto& [line, settings, printed] : cases) {
        std::istringstream words(line);
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        testing::internal::CaptureStdout();
        EXPECT_EQ(describe(Settings::fromArguments(args)), settings) << line;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), printed) << line;
    }
}

TEST(ConfigFile, LinesAreReadByTheirFirstCharacters)
{
    const std::string overlong = "w " + std::string(125, '1') + "x";
    const std::pair<std::string, const char*> cases[] = {
        // Unlisted values keep the built-in defaults.
        {"f 1\n", "800x600 a6 f"},
        // The value starts at the third character, whatever stands there; a spelled-out key is no key.
        {"w1024\n", "24x600 a6"}, {"width 1024\n", "800x600 a6"}, {"h 600\nh 720\na   4 samples\n", "800x720 a4"},
        {"nm 1\nns 1\nns 2\n", "800x600 a6 ns nm"}, {"nm 1\n", "800x600 a6 nm"}, {"ns 1\n", "800x600 a6 ns"},
        {"nx 1\nn\nns 2\n", "800x600 a6"},
        // Blank, unknown and short lines are harmless; the last line needs no line feed.
        {"\n\n# w 1\nx 5\nw 640", "640x600 a6"},
        {"w\nh \na\nf\nn\ns\nns\nnm \nw -\nh 5000000000\n\r\n", "800x600 a6"},
        // A line over 127 characters ends the reading, keeping what came before; 127 are still a line.
        {"h 720\n" + overlong + "\nf 1\n", "800x720 a6"},
        {"w 640" + std::string(122, ' ') + "\nf 1\n", "640x600 a6 f"},
    };
    TemporaryDirectory folder;
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(read(folder, text), expected) << text;
    // A settings file that is a folder gives the built-in defaults (even root cannot read a folder as a file).
    TemporaryDirectory other;
    mkdir((other.getPath() + "/Ombrefell.conf").c_str(), 0755);
    EXPECT_EQ(printedAndRead(&other.getPath()), "800x600 a6");
}

TEST(ConfigFile, SettingsFromTheFile)
{
    TemporaryDirectory folder;
    read(folder, "w 1280\nh 720\na 1\nf 1\nnm 1\n");
    // The command line's "1 becomes 2" rule does not apply to the file; the music goes off alone.
    EXPECT_EQ(describe(Settings::fromConfig(ConfigLoader(folder.getPath()))), "1280x720 a1 f nm");
    // Unusable sizes give 800 by 600; the sound goes off alone.
    read(folder, "w 0\nh 70000\na -3\nns 1\n");
    EXPECT_EQ(describe(Settings::fromConfig(ConfigLoader(folder.getPath()))), "800x600 a0 ns");
}

TEST(ConfigFolder, FollowsXdgConfigHomeOrHomeAndCreatesMissingParentsAndTheFileOnce)
{
    TemporaryDirectory home;
    ScopedEnvironment homeVariable("HOME", home.getPath().c_str());
    for (const std::string& xdg : {home.getPath() + "/deep/er", std::string()}) {
        ScopedEnvironment xdgVariable("XDG_CONFIG_HOME", xdg.c_str());
        const std::string folder = (xdg.empty() ? home.getPath() + "/.config" : xdg) + "/Ombrefell";
        EXPECT_EQ(printedAndRead(), "Created directory " + folder + "\n800x600 a0");
        EXPECT_EQ(printedAndRead(), "800x600 a0");
        EXPECT_EQ(contents(folder + "/Ombrefell.conf"), "w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n");
        EXPECT_EQ(entries(folder), 1) << "what the file was written in is left behind";
    }
    // An uncreatable folder is reported and the game goes on.
    const std::string blocker = home.getPath() + "/file";
    std::ofstream(blocker) << "not a folder";
    ScopedEnvironment xdg("XDG_CONFIG_HOME", blocker.c_str());
    EXPECT_EQ(printedAndRead(), "Could not create directory " + blocker + "/Ombrefell\nCould not create " +
                                    blocker + "/Ombrefell/Ombrefell.conf\n800x600 a6");
}

TEST(ConfigFile, AFileThatCannotBeReadIsKeptAndOneThatCannotBeWrittenIsNotLeftBehind)
{
    TemporaryDirectory folder, full;
    chmod(folder.getPath().c_str(), 0777);
    const std::string file = folder.getPath() + "/Ombrefell.conf";
    std::ofstream(file) << "w 1280\n";
    chmod(file.c_str(), 0222);
    // Unreadable for the player, who here is nobody: root reads any file.
    const std::string unreadable = inChild([&folder] {
        return geteuid() == 0 && setuid(65534) != 0 ? std::string("skip") : printedAndRead(&folder.getPath());
    });
    // A full disk: a tmpfs of one page, filled up, in a mount namespace of the child's own. Only the filler
    // stays.
    const std::string onFullDisk = inChild([&full] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", full.getPath().c_str(), "tmpfs", 0, "size=4k") != 0)
            return std::string("skip");
        std::ofstream(full.getPath() + "/filler") << std::string(1 << 16, 'x');
        return printedAndRead(&full.getPath()) + "; " + std::to_string(entries(full.getPath()));
    });
    if (unreadable == "skip" || onFullDisk == "skip")
        GTEST_SKIP() << "cannot become nobody or mount a private tmpfs here";
    EXPECT_EQ(unreadable, "Could not read " + file + "\n800x600 a6");
    EXPECT_EQ(onFullDisk, "Could not create " + full.getPath() + "/Ombrefell.conf\n800x600 a6; 1");
    chmod(file.c_str(), 0644);
    EXPECT_EQ(contents(file), "w 1280\n");
}

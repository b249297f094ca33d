// SPDX-License-Identifier: MIT
#include "app/ConfigLoader.h"
#include "app/Settings.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sched.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
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

} // namespace

TEST(Settings, CommandLinesAndWhatTheyPrint)
{
    const std::string noSize = "Using default width = 1024\nUsing default height = 768\n";
    // The arguments, then what is printed meanwhile and the settings they give.
    const std::pair<const char*, std::string> cases[] = {
        // Each flag alone, every option in its short and its long form, and all of them together; near misses
        // are no options.
        {"-ns --width 8 -h 1", "8x1 a0 ns"}, {"--nomusic -w 1 --height 6", "1x6 a0 nm"},
        {"-f -w 8 -h 6 --antialias 4", "8x6 a4 f"}, {"-n --no-sound -fs --nosoundx -w 8 -h 6", "8x6 a0"},
        {"--fullscreen --nosound -nm -w 8 -h 6 -a 6", "8x6 a6 f ns nm"},
        // The last value wins; a malformed one changes nothing ("-f" is both a malformed width and a flag).
        {"-w 800 -w 1280 -w -f -h 600", "1280x600 a0 f"}, {"-w abc -h 600", "Using default width = 1024\n1024x600 a0"},
        // -a with 1 or less or no value means 2x, with a notice.
        {"-w 8 -h 6 -a 1", "Using 2x antialiasing.\n8x6 a2"}, {"-w 8 -h 6 -a", "Using 2x antialiasing.\n8x6 a2"},
        // "-s" matches nothing. Sizes outside 1 to 16383 count as not given (no 16-bit wrap, no division by
        // zero, no scanline SDL refuses; Program.window opens 16383 and refuses 16384): both take their
        // defaults, width's message first.
        {"-s -w 0 -h 65536", noSize + "1024x768 a0"}, {"-w 99999999999 -h 16385", noSize + "1024x768 a0"},
    };
    for (const auto& [line, expected] : cases) {
        std::istringstream words(line);
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        testing::internal::CaptureStdout();
        const std::string settings = describe(Settings::fromArguments(args));
        EXPECT_EQ(testing::internal::GetCapturedStdout() + settings, expected) << line;
    }
}

TEST(ConfigFile, LinesAreReadByTheirFirstCharactersAndGiveTheSettings)
{
    TemporaryDirectory folder;
    const auto loaded = [&folder](const std::string& text) {
        std::ofstream(folder.getPath() + "/Ombrefell.conf") << text;
        return ConfigLoader(folder.getPath());
    };
    const std::pair<std::string, const char*> cases[] = {
        // The value starts at the third character, whatever stands there; the last one wins; unlisted
        // values keep the built-in defaults.
        {"f 1\nw1234\nh 600\nh 720\na   4 samples\n", "234x720 a4 f"},
        // A spelled-out key is no key; "ns" and "nm" are told by their second character.
        {"ns 1\nwidth 1024\nnx 1\nn\nns 2\n", "800x600 a6 ns"}, {"nm 1\n", "800x600 a6 nm"},
        // Blank, unknown and short lines and bad values are harmless; the last line needs no line feed.
        {"\n\n# w 1\nx 5\nw\nh \na\nf\ns\nns\nnm \nw -\nh 5000000000\n\r\nw 640", "640x600 a6"},
        // A line over 127 characters ends the reading, keeping what came before; 127 are still a line.
        {"w 640" + std::string(122, ' ') + "\nh 720\nw " + std::string(125, '1') + "x\nf 1\n", "640x720 a6"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(describe(loaded(text)), expected) << text;
    // The command line's "1 becomes 2" rule does not apply to the file; unusable sizes give 800 by 600;
    // sound and music go off alone.
    EXPECT_EQ(describe(Settings::fromConfig(loaded("w 1280\nh 720\na 1\nf 1\nnm 1\n"))), "1280x720 a1 f nm");
    EXPECT_EQ(describe(Settings::fromConfig(loaded("w 0\nh 70000\na -3\nns 1\n"))), "800x600 a0 ns");
}

TEST(ConfigFolder, FollowsXdgConfigHomeAndCreatesMissingParentsAndTheFileOnce)
{
    TemporaryDirectory home;
    const std::string folder = home.getPath() + "/deep/er/Ombrefell";
    ScopedEnvironment xdg("XDG_CONFIG_HOME", (home.getPath() + "/deep/er").c_str());
    EXPECT_EQ(printedAndRead(), "Created directory " + folder + "\n800x600 a0");
    EXPECT_EQ(printedAndRead(), "800x600 a0");
    const std::string written(std::istreambuf_iterator<char>(std::ifstream(folder + "/Ombrefell.conf").rdbuf()), {});
    EXPECT_EQ(written, "w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n");
    // What the file was written in is not left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    // An uncreatable folder, under a file, is reported and the game goes on.
    const std::string blocker = folder + "/Ombrefell.conf";
    ScopedEnvironment blocked("XDG_CONFIG_HOME", blocker.c_str());
    EXPECT_EQ(printedAndRead(), "Could not create directory " + blocker + "/Ombrefell\nCould not create " +
                                    blocker + "/Ombrefell/Ombrefell.conf\n800x600 a6");
}

// The player's own settings, unreadable for now, are never replaced; a file that could not be written
// whole is not left behind.
TEST(ConfigFile, AFileThatCannotBeReadIsKeptAndOneThatCannotBeWrittenIsNotLeftBehind)
{
    TemporaryDirectory folder, full;
    chmod(folder.getPath().c_str(), 0777);
    const std::string file = folder.getPath() + "/Ombrefell.conf";
    std::ofstream(file) << "w 1280\n";
    chmod(file.c_str(), 0222);
    // The disk is a tmpfs of one page, filled up, in a mount namespace of this test's own; the player is
    // nobody, since root reads any file.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", full.getPath().c_str(), "tmpfs", 0, "size=4k") != 0 || seteuid(65534) != 0)
        GTEST_SKIP() << "cannot mount a private tmpfs or become nobody here";
    std::ofstream(full.getPath() + "/filler") << std::string(1 << 16, 'x');
    EXPECT_EQ(printedAndRead(&full.getPath()), "Could not create " + full.getPath() + "/Ombrefell.conf\n800x600 a6");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(full.getPath()), {}), 1) << "only the filler stays";
    EXPECT_EQ(printedAndRead(&folder.getPath()), "Could not read " + file + "\n800x600 a6");
    ASSERT_EQ(seteuid(0), 0);
    umount2(full.getPath().c_str(), MNT_DETACH);
    EXPECT_EQ(printedAndRead(&folder.getPath()), "1280x600 a6");
}

// SPDX-License-Identifier: MIT
#include "app/ConfigLoader.h"
#include "app/Settings.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

// Settings or the file's values in a few words, so that a model can say what each input must give.
template <class Values>
std::string describe(const Values& v)
{
    return std::to_string(v.width) + "x" + std::to_string(v.height) + " a" + std::to_string(v.antialias) +
        (v.fullscreen ? " f" : "") + (v.noSound ? " ns" : "") + (v.noMusic ? " nm" : "");
}

// What a call prints, then what it gives, described.
template <class Call>
std::string printedAnd(const Call& call)
{
    testing::internal::CaptureStdout();
    const std::string given = describe(call());
    return testing::internal::GetCapturedStdout() + given;
}

// What a ConfigLoader prints, then what it read: in the given folder, or where the environment says.
std::string printedAndRead(const std::string* directory = nullptr)
{
    return printedAnd([directory] { return directory ? ConfigLoader(*directory) : ConfigLoader(); });
}

// At most this many bytes reach a file per write(), as on a busy disk: the rest waits for the next call.
std::size_t writeSize = SIZE_MAX;
extern "C" ssize_t write(int fd, const void* p, size_t n) { return syscall(SYS_write, fd, p, std::min(n, writeSize)); }

// A decimal integer as a C++ stream reads one: blanks skipped, an optional sign, the digits up to the first
// other character; nothing without a digit or when the number does not fit an int.
std::optional<int> streamInteger(const std::string& text)
{
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return end == text.c_str() || value < INT_MIN || value > INT_MAX ? std::nullopt : std::optional<int>(int(value));
}

bool usableSize(int size) { return size >= 1 && size <= 16383; }

// A value of every kind: good and out of 1 to 16383, zero, negative, not a number, empty, trailing junk.
std::string randomValue(std::mt19937& random)
{
    const std::string number = std::to_string(int(random() % 17000) - 8);
    const std::string values[] = {number, number, "0", "1", "2", "-1", "16383", "16384", "99999999999", "abc", "",
                                  "-", "+7", " 12", number + "px", number + "\r"};
    return values[random() % std::size(values)];
}

// What the documented rules make of a command line: every option by both names, the last value after it
// that reads winning, a value taken by one option still seen by the others; then the defaults, with notices.
std::string documentedCommandLine(const std::vector<std::string>& args)
{
    // Nothing when the option is absent, else its last value that reads (0 without one).
    const auto option = [&args](const char* shortName, const char* longName) {
        std::optional<int> value;
        for (std::size_t i = 0; i < args.size(); ++i)
            if (args[i] == shortName || args[i] == longName)
                value = streamInteger(i + 1 < args.size() ? args[i + 1] : "").value_or(value.value_or(0));
        return value;
    };
    const int width = option("-w", "--width").value_or(0), height = option("-h", "--height").value_or(0);
    const std::optional<int> antialias = option("-a", "--antialias");
    const bool lowAntialias = antialias && *antialias < 2;
    const Settings s{usableSize(width) ? width : 1024, usableSize(height) ? height : 768,
                     lowAntialias ? 2 : antialias.value_or(0), bool(option("-f", "--fullscreen")),
                     bool(option("-ns", "--nosound")), bool(option("-nm", "--nomusic"))};
    return (usableSize(width) ? "" : "Using default width = 1024\n") +
        std::string(usableSize(height) ? "" : "Using default height = 768\n") +
        (lowAntialias ? "Using 2x antialiasing.\n" : "") + describe(s);
}

// What the documented rules read from the file's lines, up to the first over 127 characters: the key by the
// line's start, its value at the fixed place after one separator, the flags' 0 or 1 only (sdl is read and kept
// though it changes nothing). Then the settings the game takes from that: 800 by 600 for an unusable size, no
// antialiasing below 1.
std::pair<std::string, std::string> documentedFile(const std::vector<std::string>& lines)
{
    const std::string keys[] = {"w", "h", "a", "f", "ns", "nm", "sdl"};
    int v[] = {800, 600, 6, 0, 0, 0, 0};
    for (std::size_t i = 0; i < lines.size() && lines[i].size() <= 127; ++i)
        for (int k = 0; k < 7; ++k) {
            const std::string line = lines[i] + " ";
            const auto value = line.rfind(keys[k], 0) == 0 ? streamInteger(line.substr(keys[k].size() + 1)) : std::nullopt;
            if (value && (k < 3 || *value == 0 || *value == 1))
                v[k] = *value;
        }
    const Settings read{v[0], v[1], v[2], v[3] == 1, v[4] == 1, v[5] == 1};
    const Settings taken{usableSize(v[0]) ? v[0] : 800, usableSize(v[1]) ? v[1] : 600, std::max(v[2], 0), v[3] == 1,
                         v[4] == 1, v[5] == 1};
    return {describe(read) + (v[6] == 1 ? " sdl" : ""), describe(taken)};
}

// Random command lines (options in both forms, near misses, values of every kind, in any order) and random
// settings files (every key, unknown and spelled-out keys, other separators, values of every kind, lines
// around the longest read, with or without a last line feed) against the models.
TEST(Settings, CommandLinesAndFilesFollowTheDocumentedRules)
{
    const unsigned seed = 2025;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const char* const words[] = {"-w", "--width", "-h", "--height", "-a", "--antialias", "-f", "--fullscreen", "-ns",
        "--nosound", "-nm", "--nomusic", "--help", "-s", "-n", "--no-sound", "-fs", "--nosoundx", "-W", "width"};
    for (int run = 0; run < 20000 && !HasFailure(); ++run) {
        std::vector<std::string> args(1 + random() % 8);
        for (std::string& arg : args)
            arg = random() % 2 ? words[random() % std::size(words)] : randomValue(random);
        EXPECT_EQ(printedAnd([&] { return Settings::fromArguments(args); }), documentedCommandLine(args))
            << testing::PrintToString(args);
        EXPECT_EQ(Settings::asksForHelp(args), std::count(args.begin(), args.end(), "--help") > 0);
    }
    const char* const keys[] = {"w", "h", "a", "f", "ns", "nm", "sdl", "x", "#", "n", "nx", "width", "W", ""};
    const char* const separators[] = {" ", " ", " ", "\t", "", "="};
    TemporaryDirectory folder;
    for (int run = 0; run < 1000 && !HasFailure(); ++run) {
        std::vector<std::string> lines(random() % 10);
        std::string text;
        for (std::string& line : lines) {
            line = keys[random() % std::size(keys)] + std::string(separators[random() % 6]) + randomValue(random);
            if (random() % 8 == 0)
                line.resize(124 + random() % 6, ' ');
            text += line + "\n";
        }
        if (random() % 4 == 0 && !text.empty())
            text.pop_back();
        std::ofstream(folder.getPath() + "/Ombrefell.conf") << text;
        const ConfigLoader config(folder.getPath());
        const std::string read = describe(config) + (config.sdl ? " sdl" : "");
        EXPECT_EQ(std::make_pair(read, describe(Settings::fromConfig(config))), documentedFile(lines))
            << text;
    }
}

// The folder is made with its parents, then the file once, whole (however few bytes each write takes), with the
// default lines; an uncreatable folder
// or file (under a file, on a full disk) is reported and leaves nothing behind, and the player's own settings,
// unreadable for now, are never replaced. The built-in settings apply meanwhile.
TEST(ConfigFile, IsCreatedOnceWholeOrNotAtAllAndAnUnreadableOneIsKept)
{
    TemporaryDirectory home, folder, full;
    writeSize = 5;
    const std::string made = home.getPath() + "/deep/er/Ombrefell", blocker = made + "/Ombrefell.conf";
    ScopedEnvironment xdg("XDG_CONFIG_HOME", (home.getPath() + "/deep/er").c_str());
    EXPECT_EQ(printedAndRead(), "Created directory " + made + "\n800x600 a0");
    EXPECT_EQ(printedAndRead(), "800x600 a0");
    const std::string written(std::istreambuf_iterator<char>(std::ifstream(blocker).rdbuf()), {});
    EXPECT_EQ(written, "w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(made), {}), 1) << "the file alone";
    ScopedEnvironment blocked("XDG_CONFIG_HOME", blocker.c_str());
    EXPECT_EQ(printedAndRead(), "Could not create directory " + blocker + "/Ombrefell\nCould not create " +
                                    blocker + "/Ombrefell/Ombrefell.conf\n800x600 a6");
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

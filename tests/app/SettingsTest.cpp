#include "ConfigLoader.h"
#include "FatalError.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// Reads a command line and returns the settings with everything printed meanwhile.
Settings parse(const Args& args, std::string& printed)
{
    testing::internal::CaptureStdout();
    const Settings settings = Settings::fromArguments(args);
    printed = testing::internal::GetCapturedStdout();
    return settings;
}

Settings parse(const Args& args)
{
    std::string ignored;
    return parse(args, ignored);
}

} // namespace

TEST(Settings, HelpPrintsTheUsageTextExactlyAndStops)
{
    testing::internal::CaptureStdout();
    try {
        Settings::fromArguments({"-w", "800", "--help", "-h", "600"});
        FAIL() << "--help must end start-up";
    } catch (const FatalError& error) {
        EXPECT_EQ(error.getMessage(), "\n");
    }
    const std::string expected =
        "\nMarrowgate\n\nUsage:\nMarrowgate -w [width] -h [height] -a [val] -f -ns -nm -s\n\nFlags:\n"
        "--width [val] | -w [val]:\tSet the width of the window.\n"
        "--height [val] | -h [val]:\tSet the height of the window.\n"
        "--antialias [val] | -a [val]:\tSets the antialiasing level (2, 4, or 6).\n"
        "--fullscreen | -f:\t\tSets whether to go fullscreen or not.\n"
        "--nosound | -ns:\t\tSwitches off the sound output.\n"
        "--nomusic | -nm:\t\tSwitches off the background music.\n"
        "--help:\t\t\t\tDisplay this help.\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

TEST(Settings, MissingSizesTakeDefaultsWithMessagesWidthFirst)
{
    std::string printed;
    const Settings settings = parse({"-s"}, printed);
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 768);
    EXPECT_EQ(printed, "Using default width = 1024\nUsing default height = 768\n");
    EXPECT_EQ(settings.antialias, 0);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_FALSE(settings.noSound);
    EXPECT_FALSE(settings.noMusic);
}

TEST(Settings, GivenSizesPrintNothing)
{
    std::string printed;
    const Settings settings = parse({"-w", "800", "--height", "600"}, printed);
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, 600);
    EXPECT_EQ(printed, "");
}

TEST(Settings, EachOptionHasItsOwnPass)
{
    // The last occurrence wins.
    EXPECT_EQ(parse({"-w", "800", "-w", "1280", "-h", "720"}).width, 1280);
    // A value consumed by one option is still seen by the others: "-f" here is -w's value and a flag.
    const Settings consumed = parse({"-w", "-f", "-h", "600"});
    EXPECT_TRUE(consumed.fullscreen);
    EXPECT_EQ(consumed.width, 1024);
    // "-f" with "-w 640" gives full screen at 640 by the default height.
    std::string printed;
    const Settings full = parse({"-f", "-w", "640"}, printed);
    EXPECT_TRUE(full.fullscreen);
    EXPECT_EQ(full.width, 640);
    EXPECT_EQ(full.height, 768);
    EXPECT_EQ(printed, "Using default height = 768\n");
    // Flags by their long and short names.
    const Settings flags = parse({"--nosound", "-nm", "--fullscreen"});
    EXPECT_TRUE(flags.noSound);
    EXPECT_TRUE(flags.noMusic);
    EXPECT_TRUE(flags.fullscreen);
}

TEST(Settings, AWidthAsTheLastArgumentTakesTheDefault)
{
    std::string printed;
    EXPECT_EQ(parse({"-h", "600", "-w"}, printed).width, 1024);
    EXPECT_EQ(printed, "Using default width = 1024\n");
}

TEST(Settings, AntialiasingRules)
{
    std::string printed;
    EXPECT_EQ(parse({"-w", "8", "-h", "6", "-a", "1"}, printed).antialias, 2);
    EXPECT_EQ(printed, "Using 2x antialiasing.\n");
    EXPECT_EQ(parse({"-w", "8", "-h", "6", "--antialias", "0"}, printed).antialias, 2);
    EXPECT_EQ(printed, "Using 2x antialiasing.\n");
    EXPECT_EQ(parse({"-w", "8", "-h", "6", "-a"}, printed).antialias, 2);
    EXPECT_EQ(printed, "Using 2x antialiasing.\n");
    EXPECT_EQ(parse({"-w", "8", "-h", "6", "-a", "4"}, printed).antialias, 4);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(parse({"-w", "8", "-h", "6", "-a", "5"}, printed).antialias, 5);
    EXPECT_EQ(parse({"-w", "8", "-h", "6"}, printed).antialias, 0);
    EXPECT_EQ(printed, "");
}

TEST(Settings, MalformedValuesChangeNothingAndSpoilNothingAfterThem)
{
    std::string printed;
    const Settings settings = parse({"-w", "abc", "-h", "600"}, printed);
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 600);
    EXPECT_EQ(printed, "Using default width = 1024\n");
    EXPECT_EQ(parse({"-w", "800", "-w", "x1", "-h", "1"}).width, 800);
    EXPECT_EQ(parse({"-w", "", "-h", "1"}).width, 1024);
    EXPECT_EQ(parse({"-w", "1", "-h", "1", "-a", "junk"}).antialias, 2);
}

TEST(Settings, SizesOutsideTheUsableRangeCountAsNotGiven)
{
    for (const char* bad : {"0", "-1", "16385", "65536", "99999999999"}) {
        std::string printed;
        const Settings settings = parse({"-w", bad, "-h", bad}, printed);
        EXPECT_EQ(settings.width, 1024) << bad;
        EXPECT_EQ(settings.height, 768) << bad;
        EXPECT_EQ(printed, "Using default width = 1024\nUsing default height = 768\n") << bad;
    }
    const Settings largest = parse({"-w", "16384", "-h", "1"});
    EXPECT_EQ(largest.width, 16384);
    EXPECT_EQ(largest.height, 1);
}

TEST(Settings, ConfigurationFileValues)
{
    ConfigLoader config("");
    config.width = 1280;
    config.height = 720;
    config.antialias = 1;
    config.fullscreen = true;
    config.noSound = true;
    config.noMusic = true;
    testing::internal::CaptureStdout();
    Settings settings = Settings::fromConfig(config);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 720);
    // The command line's "1 becomes 2" rule does not apply to the file.
    EXPECT_EQ(settings.antialias, 1);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_TRUE(settings.noSound);
    EXPECT_TRUE(settings.noMusic);

    config.antialias = -3;
    config.width = 0;
    config.height = 70000;
    settings = Settings::fromConfig(config);
    EXPECT_EQ(settings.antialias, 0);
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, 600);
}

#include "ConfigLoader.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readWhole(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// Reads a settings file holding the given text, from a folder of its own.
class ConfigFile : public testing::Test {
protected:
    ConfigLoader load(const std::string& text)
    {
        write(folder.getPath() + "/Ombrefell.conf", text);
        return ConfigLoader(folder.getPath());
    }

    TemporaryDirectory folder;
};

} // namespace

TEST_F(ConfigFile, FirstStartWritesSevenLinesAndReadsThemBack)
{
    testing::internal::CaptureStdout();
    const ConfigLoader config(folder.getPath());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readWhole(folder.getPath() + "/Ombrefell.conf"), "w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n");
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.antialias, 0);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_FALSE(config.noSound);
    EXPECT_FALSE(config.noMusic);
}

TEST_F(ConfigFile, UnlistedValuesKeepTheBuiltInDefaults)
{
    const ConfigLoader config = load("f 1\n");
    EXPECT_TRUE(config.fullscreen);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.antialias, 6);
}

TEST_F(ConfigFile, KeysAreChosenByTheirFirstCharacters)
{
    // The value starts at the third character, whatever stands there.
    EXPECT_EQ(load("w1024\n").width, 24);
    EXPECT_EQ(load("width 1024\n").width, 800);
    EXPECT_EQ(load("h 600\nh 720\n").height, 720);
    EXPECT_EQ(load("a   4 samples\n").antialias, 4);
    EXPECT_TRUE(load("ns 1\n").noSound);
    EXPECT_TRUE(load("nm 1\n").noMusic);
    EXPECT_FALSE(load("nx 1\nn\n").noSound);
    EXPECT_FALSE(load("ns 2\n").noSound);
    EXPECT_TRUE(load("ns 1\nns 2\n").noSound);
    EXPECT_EQ(load("\n\n# w 1\nx 5\nw 640").width, 640);
}

TEST_F(ConfigFile, ShortAndOddLinesAreHarmless)
{
    const ConfigLoader config = load("w\nh \na\nf\nn\ns\nns\nnm \nw -\nh 5000000000\n\r\n");
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.antialias, 6);
}

TEST_F(ConfigFile, AnOverlongLineEndsTheReading)
{
    const std::string longLine = "w " + std::string(125, '1') + "x";
    ASSERT_EQ(longLine.size(), 128u);
    const ConfigLoader config = load("h 720\n" + longLine + "\nf 1\n");
    EXPECT_EQ(config.height, 720);
    EXPECT_EQ(config.width, 800);
    EXPECT_FALSE(config.fullscreen);
    // 127 characters are still a line.
    EXPECT_EQ(load("w 640" + std::string(122, ' ') + "\nf 1\n").width, 640);
}

TEST_F(ConfigFile, AMissingFileIsRecreatedSilently)
{
    testing::internal::CaptureStdout();
    ConfigLoader(folder.getPath());
    unlink((folder.getPath() + "/Ombrefell.conf").c_str());
    const ConfigLoader again(folder.getPath());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(again.antialias, 0);
}

TEST_F(ConfigFile, AFileThatIsAFolderGivesTheBuiltInDefaults)
{
    // Even root cannot read a folder as a file: nothing is read and the defaults stay.
    mkdir((folder.getPath() + "/Ombrefell.conf").c_str(), 0755);
    const ConfigLoader config(folder.getPath());
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.antialias, 6);
}

TEST(ConfigFolder, FollowsXdgConfigHomeAndCreatesMissingParents)
{
    TemporaryDirectory home;
    const std::string base = home.getPath() + "/deep/er";
    ScopedEnvironment xdg("XDG_CONFIG_HOME", base.c_str());
    testing::internal::CaptureStdout();
    EXPECT_EQ(getFilePath(), base + "/Ombrefell");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Created directory " + base + "/Ombrefell\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(getFilePath(), base + "/Ombrefell");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ConfigFolder, FallsBackToHomeDotConfig)
{
    TemporaryDirectory home;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", "");
    ScopedEnvironment homeVariable("HOME", home.getPath().c_str());
    testing::internal::CaptureStdout();
    EXPECT_EQ(getFilePath(), home.getPath() + "/.config/Ombrefell");
    testing::internal::GetCapturedStdout();
    struct stat info;
    EXPECT_EQ(stat((home.getPath() + "/.config/Ombrefell").c_str(), &info), 0);
}

TEST(ConfigFolder, AnUncreatableFolderIsReportedAndTheGameGoesOn)
{
    TemporaryDirectory home;
    const std::string blocker = home.getPath() + "/file";
    write(blocker, "not a folder");
    ScopedEnvironment xdg("XDG_CONFIG_HOME", blocker.c_str());
    testing::internal::CaptureStdout();
    const ConfigLoader config;
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not create directory " + blocker + "/Ombrefell\nCould not create " + blocker +
                  "/Ombrefell/Ombrefell.conf\n");
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.antialias, 6);
}

#include "FilePath.h"

#include <gtest/gtest.h>

TEST(FilePath, SplitsAPath)
{
    const FilePath path("/home/player/saves/game.one.conf");
    EXPECT_EQ(path.getParent(), "/home/player/saves");
    EXPECT_EQ(path.getNameWithExtension(), "game.one.conf");
    EXPECT_EQ(path.getName(), "game.one");
    EXPECT_EQ(path.getExtension(), "conf");
}

TEST(FilePath, PathsWithoutSeparatorsOrDots)
{
    const FilePath bare("readme");
    EXPECT_EQ(bare.getParent(), "readme");
    EXPECT_EQ(bare.getNameWithExtension(), "readme");
    EXPECT_EQ(bare.getName(), "readme");
    EXPECT_EQ(bare.getExtension(), "");
    EXPECT_EQ(FilePath("music.d/readme").getExtension(), "");
    EXPECT_EQ(FilePath().getExtension(), "");
    FilePath copy(bare);
    copy.setPath("a/b.ogg");
    EXPECT_EQ(copy.getName(), "b");
    EXPECT_EQ(bare.getPath(), "readme");
}

TEST(FilePath, FileSystemQueriesAreInert)
{
    const FilePath root("/");
    EXPECT_FALSE(root.exists());
    EXPECT_FALSE(root.isDirectory());
    EXPECT_EQ(root.getNumChildren(), 0);
    EXPECT_FALSE(root.copyTo("/tmp/x"));
    EXPECT_EQ(root.getChild(0).getPath(), "");
    EXPECT_EQ(FilePath::getAppDataPath().getPath(), "");
}

// SPDX-License-Identifier: MIT
#include "FilePath.h"
#include "ThreeFloats.h"
#include "TwoFloats.h"

#include <gtest/gtest.h>

#include <array>

TEST(FilePath, SplitsAPathIntoParentNameAndExtension)
{
    // path, parent, name with extension, name, extension
    const std::array<const char*, 5> cases[] = {
        {"/usr/share/marrowgate/sounds/click.ogg", "/usr/share/marrowgate/sounds", "click.ogg", "click", "ogg"},
        {"music.tar.ogg", "music.tar.ogg", "music.tar.ogg", "music.tar", "ogg"},
        {"dir.d/README", "dir.d", "README", "README", ""},
        {"sounds/", "sounds", "", "", ""},
        {"", "", "", "", ""},
    };
    for (const auto& [path, parent, full, name, extension] : cases) {
        const FilePath file(path);
        EXPECT_EQ(file.getParent(), parent) << path;
        EXPECT_EQ(file.getNameWithExtension(), full) << path;
        EXPECT_EQ(file.getName(), name) << path;
        EXPECT_EQ(file.getExtension(), extension) << path;
    }
}

TEST(FloatVectors, ScalingMultipliesEveryComponent)
{
    const TwoFloats two = 2.5f * TwoFloats{3.0f, -4.0f};
    EXPECT_EQ(two.x, 7.5f);
    EXPECT_EQ(two.y, -10.0f);
    const ThreeFloats three = -2.0f * ThreeFloats{1.0f, 0.5f, 8.0f};
    EXPECT_EQ(three.x, -2.0f);
    EXPECT_EQ(three.y, -1.0f);
    EXPECT_EQ(three.z, -16.0f);
}

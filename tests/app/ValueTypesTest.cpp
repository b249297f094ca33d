// SPDX-License-Identifier: MIT
#include "app/FilePath.h"
#include "app/ThreeFloats.h"
#include "app/TwoFloats.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

TEST(FilePath, SplitsAPathIntoParentNameAndExtension)
{
    // path, parent, name with extension, name, extension
    const std::array<std::string, 5> cases[] = {
        {"/usr/share/marrowgate/sounds/click.ogg", "/usr/share/marrowgate/sounds", "click.ogg", "click", "ogg"},
        {"music.tar.ogg", "music.tar.ogg", "music.tar.ogg", "music.tar", "ogg"},
        {"dir.d/README", "dir.d", "README", "README", ""},
        {"sounds/", "sounds", "", "", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const FilePath file(c[0]);
        EXPECT_EQ((std::array<std::string, 5>{c[0], file.getParent(), file.getNameWithExtension(), file.getName(),
                                              file.getExtension()}), c);
    }
    // It touches no file system: every other question has a fixed answer, even for "/".
    const FilePath root("/");
    EXPECT_FALSE(root.exists() || root.isFile() || root.isDirectory() || root.createAsDirectory() || root.copyTo("/x"));
    EXPECT_EQ(root.getNumChildren() + root.getChild(0).getNameWithExtension().size(), 0u);
}

TEST(FloatVectors, StartAtZeroAndScalingMultipliesEveryComponent)
{
    const TwoFloats none2;
    const ThreeFloats none3;
    EXPECT_EQ(std::make_tuple(none2.x, none2.y, none3.x, none3.y, none3.z),
              std::make_tuple(0.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    const TwoFloats two = 2.5f * TwoFloats{3.0f, -4.0f};
    const ThreeFloats three = -2.0f * ThreeFloats{1.0f, 0.5f, 8.0f};
    EXPECT_EQ(std::make_tuple(two.x, two.y, three.x, three.y, three.z),
              std::make_tuple(7.5f, -10.0f, -2.0f, -1.0f, -16.0f));
}

// SPDX-License-Identifier: MIT
#include "render/ImageLoader.h"

#include "assets/EmbeddedPicture.h"
#include "assets/Fonts.h"
#include "assets/Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

// The game's art as the build embeds it: every file under assets/ byte for byte, decoded through the
// game's own loader to the size the screens draw it at.
TEST(EmbeddedArt, EveryPictureIsEmbeddedUnchangedAndDecodesToItsSize)
{
    // The first pattern that matches a file's name gives its size.
    const std::pair<const char*, const char*> sizes[] = {
        {"font.*|(tick|guy|mouse|hand|counter|garrison|biscuits[1-5]?)\\.png", "64x64"},
        {"paper2\\.jpg|(sponsor|title|map|drawscreen|space([0-9]|1[0-8]))\\.png", "1024x768"},
        {"winscreen\\.png", "1024x512"}, {"embarking\\.png", "512x128"}, {"ship\\.png", "128x128"},
        {"line\\.png", "8x8"}, {"(ruritania|molotavia|norland|stamark)win\\.png", "1024x128"},
        {"(ruritania|molotavia|norland|stamark)\\.png", "256x64"}, {"(forage|garrison|wait)button\\.png", "256x128"}};
    // Every file of a folder under assets/, against the table it is embedded in.
    const auto check = [&sizes](const std::string& folder, const auto& table) {
        for (const auto& entry : std::filesystem::directory_iterator(MARROWGATE_SOURCE_DIR "/assets/" + folder)) {
            const std::string name = entry.path().filename().string();
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            const EmbeddedPicture* picture = findPicture(table, name);
            ASSERT_NE(picture, nullptr) << name;
            EXPECT_EQ(bytes, std::string(picture->data(), picture->size)) << name;
            const auto size = std::find_if(std::begin(sizes), std::end(sizes),
                                           [&](const auto& s) { return std::regex_match(name, std::regex(s.first)); });
            const LoadedImage decoded = ImageLoader().loadImage(picture->data(), picture->size);
            delete[] decoded.pixels;
            EXPECT_EQ(size == std::end(sizes) ? "unknown" : size->second,
                      std::to_string(decoded.width) + "x" + std::to_string(decoded.height)) << name;
        }
    };
    check("images/", Images::pictures);
    check("fonts/", Fonts::pictures);
}

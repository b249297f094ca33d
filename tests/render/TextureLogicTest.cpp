#include "OpenGLDrawer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace {

TEST(TextureSize, PowersOfTwoCountFromOne)
{
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(0), 1u);
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(1), 1u);
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(3), 4u);
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(64), 64u);
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(768), 1024u);
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(0x80000000u), 0x80000000u);
    // Nothing fits above the largest power of two, and the search must not run forever.
    EXPECT_EQ(OpenGLDrawer::powerOfTwo(0x80000001u), 0u);
    EXPECT_FALSE(OpenGLDrawer::isPowerOfTwo(0));
    EXPECT_TRUE(OpenGLDrawer::isPowerOfTwo(1));
    EXPECT_TRUE(OpenGLDrawer::isPowerOfTwo(512));
    EXPECT_FALSE(OpenGLDrawer::isPowerOfTwo(100));
}

TEST(TextureSize, EnlargingContinuesRowsWithTheirLastAlphaAndRepeatsTheLastRow)
{
    std::unique_ptr<unsigned char[]> picture(new unsigned char[100 * 60 * 4]);
    for (int i = 0; i < 100 * 60 * 4; ++i)
        picture[i] = static_cast<unsigned char>(i * 7 + i / 400);
    std::unique_ptr<unsigned char[]> texture(OpenGLDrawer::enlargeToPowerOfTwo(picture.get(), 100, 60, 128, 64));
    for (int row = 0; row < 60; ++row) {
        const unsigned char* source = picture.get() + row * 400;
        const unsigned char* target = texture.get() + row * 512;
        ASSERT_TRUE(std::equal(source, source + 400, target)) << row;
        for (int byte = 400; byte < 512; ++byte)
            ASSERT_EQ(target[byte], source[399]) << row << ":" << byte;
    }
    for (int row = 60; row < 64; ++row)
        ASSERT_TRUE(std::equal(texture.get() + 59 * 512, texture.get() + 60 * 512, texture.get() + row * 512));
}

TEST(TextureSize, CoverageIsTheLitPixelsWithAOnePixelMarginAndOpacityThroughout)
{
    OpenGLDrawer::Image image;
    image.width = 20;
    image.height = 10;
    std::vector<unsigned char> pixels(20 * 10 * 4, 0);
    // A transparent picture has nothing to draw.
    OpenGLDrawer::measureCoverage(pixels.data(), image);
    EXPECT_EQ(image.visibleRight, 0);
    EXPECT_EQ(image.visibleBottom, 0);

    // Colour under zero alpha counts for nothing; the faintest alpha counts.
    pixels[(2 * 20 + 1) * 4] = 255;
    pixels[(3 * 20 + 5) * 4 + 3] = 1;
    pixels[(6 * 20 + 12) * 4 + 3] = 255;
    OpenGLDrawer::measureCoverage(pixels.data(), image);
    EXPECT_EQ(image.visibleLeft, 4);
    EXPECT_EQ(image.visibleTop, 2);
    EXPECT_EQ(image.visibleRight, 14);
    EXPECT_EQ(image.visibleBottom, 8);

    // The margin stays inside the picture.
    pixels[(0 * 20 + 0) * 4 + 3] = 9;
    pixels[(9 * 20 + 19) * 4 + 3] = 9;
    OpenGLDrawer::measureCoverage(pixels.data(), image);
    EXPECT_EQ(image.visibleLeft, 0);
    EXPECT_EQ(image.visibleTop, 0);
    EXPECT_EQ(image.visibleRight, 20);
    EXPECT_EQ(image.visibleBottom, 10);
    EXPECT_FALSE(image.opaque);

    for (std::size_t alpha = 3; alpha < pixels.size(); alpha += 4)
        pixels[alpha] = 255;
    OpenGLDrawer::measureCoverage(pixels.data(), image);
    EXPECT_TRUE(image.opaque);
    pixels[(9 * 20 + 19) * 4 + 3] = 254;
    OpenGLDrawer::measureCoverage(pixels.data(), image);
    EXPECT_FALSE(image.opaque);
}

TEST(ImageHandles, TheSearchStartsAtTheNewestHandleAndSkipsTakenOnes)
{
    std::map<unsigned int, OpenGLDrawer::Image> images;
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 1), 1u);
    images[1] = images[2] = images[4] = OpenGLDrawer::Image();
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 1), 3u);
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 4), 5u);
    // Handles released below the start are not given out again.
    images.erase(1);
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 2), 3u);
    // 0 means no image: the search never lands on it, even when it wraps round.
    images[0xffffffffu] = OpenGLDrawer::Image();
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 0xffffffffu), 1u);
    EXPECT_EQ(OpenGLDrawer::findFreeHandle(images, 0), 1u);
}

TEST(ShaderFiles, OnlyReadableRegularFilesGiveText)
{
    const std::string path = testing::TempDir() + "shader_file_test.vert";
    std::ofstream(path) << "void main() {}\n";
    testing::internal::CaptureStdout();
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(path), "void main() {}\n");
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(""), "");
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(testing::TempDir()), "");
    EXPECT_EQ(OpenGLDrawer::loadShaderFile(path + ".missing"), "");
    testing::internal::GetCapturedStdout();
    std::remove(path.c_str());
}

} // namespace

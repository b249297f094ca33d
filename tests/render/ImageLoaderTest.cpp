#include "ImageLoader.h"

#include "Images.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string dataDir = RENDER_TEST_DATA;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Decodes from memory and returns what the loader printed.
std::string decode(const std::string& bytes, LoadedImage& image)
{
    testing::internal::CaptureStdout();
    image = ImageLoader().loadImage(bytes.data(), static_cast<unsigned int>(bytes.size()));
    return testing::internal::GetCapturedStdout();
}

TEST(ImageLoader, DecodesThe32BitLinePictureUnchanged)
{
    const LoadedImage image = ImageLoader().loadImage(Images::line_png, Images::line_png_size);
    ASSERT_NE(image.pixels, nullptr);
    ASSERT_EQ(image.width, 8u);
    ASSERT_EQ(image.height, 8u);
    const unsigned char alphas[8] = {2, 33, 192, 255, 255, 192, 33, 2};
    for (unsigned int y = 0; y < 8; ++y)
        for (unsigned int x = 0; x < 8; ++x) {
            const unsigned char* pixel = image.pixels + (y * 8 + x) * 4;
            EXPECT_EQ(pixel[0], 255);
            EXPECT_EQ(pixel[3], alphas[x]) << x << "," << y;
        }
    delete[] image.pixels;
}

TEST(ImageLoader, Expands24BitRowsThatArePaddedInTheDecoder)
{
    LoadedImage image;
    const std::string printed = decode(readFile(dataDir + "/rgb3x2.png"), image);
    EXPECT_EQ(printed, "ImageLoader: Image 24bit.  Assuming 24bit RGB format.\n");
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    const unsigned char expected[24] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                        10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255};
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(image.pixels[i], expected[i]) << i;
    delete[] image.pixels;
}

TEST(ImageLoader, FileDecodeGivesTheSamePixelsWithoutTheNotice)
{
    testing::internal::CaptureStdout();
    const LoadedImage image = ImageLoader().loadImage(dataDir + "/rgb3x2.png");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(image.width, 3u);
    EXPECT_EQ(image.pixels[12], 10);
    EXPECT_EQ(image.pixels[23], 255);
    delete[] image.pixels;
}

TEST(ImageLoader, RefusesPalettePictures)
{
    LoadedImage image;
    EXPECT_EQ(decode(readFile(dataDir + "/palette4x4.png"), image), "ImageLoader: Image not 32bits.\n");
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(image.height, 0u);
}

TEST(ImageLoader, UndecodableInputGivesAnEmptyPictureSilently)
{
    const std::string line(Images::line_png, Images::line_png_size);
    for (const std::string& bytes : {std::string("not a picture"), line.substr(0, line.size() / 2)}) {
        LoadedImage image;
        EXPECT_EQ(decode(bytes, image), "");
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.width, 0u);
    }
    EXPECT_EQ(ImageLoader().loadImage(nullptr, 100).pixels, nullptr);
    EXPECT_EQ(ImageLoader().loadImage(Images::line_png, 0).pixels, nullptr);
    EXPECT_EQ(ImageLoader().loadImage(std::string()).pixels, nullptr);
    EXPECT_EQ(ImageLoader().loadImage(dataDir + "/no such picture.png").pixels, nullptr);
    EXPECT_EQ(ImageLoader().loadImage(dataDir).pixels, nullptr);
}

} // namespace

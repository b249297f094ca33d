#include "OpenGLDrawer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

// What happens when a process opens its first window; classic SDL opens one window per process, so
// these cases need a process of their own (CTest runs every case in its own process).
namespace {

TEST(FirstWindow, WithoutSdlVideoNothingOpensAndNothingCrashes)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "SDL video is already running in this process";
    OpenGLDrawer drawer;
    EXPECT_FALSE(drawer.initialise(640, 480, false, 0));
    drawer.beginDrawing();
    drawer.fillRect(0, 0, 10, 10, 255, 255, 255, 255);
    drawer.drawImage(1, 0, 0, 1, 1, 1, 1, 1, 1);
    drawer.drawText("abc", 0, 0, 10, 1, 1, 1, 1);
    EXPECT_EQ(drawer.loadShader("a.vert", "a.frag"), 0u);
    drawer.useShader(1);
    drawer.endDrawing();
    std::unique_ptr<unsigned char[]> pixels(drawer.getScreenPixels());
    EXPECT_EQ(pixels[0], 0);
}

TEST(FirstWindow, AnUnavailableSampleCountFallsBackToNoAntialiasing)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    if (SDL_GetVideoSurface() != nullptr)
        GTEST_SKIP() << "this process already has its window";
    OpenGLDrawer drawer;
    testing::internal::CaptureStdout();
    // Mesa's software GL has no visual with 6 samples, the configuration's default.
    EXPECT_TRUE(drawer.initialise(640, 480, false, 6));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed,
              "OpenGLDrawer: Display is 32bit.\n"
              "OpenGLDrawer: No window with 6 samples of antialiasing; trying without antialiasing.\n"
              "Using GLEW version: 2.2.0\n");
    int buffers = -1;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers);
    EXPECT_EQ(buffers, 0);
    drawer.beginDrawing();
    drawer.fillRect(0, 0, 1024, 768, 255, 255, 255, 255);
    std::unique_ptr<unsigned char[]> pixels(drawer.getScreenPixels());
    EXPECT_EQ(pixels[0], 255);
    SDL_Quit();
}

TEST(FirstWindow, AnAvailableSampleCountIsUsed)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    if (SDL_GetVideoSurface() != nullptr)
        GTEST_SKIP() << "this process already has its window";
    OpenGLDrawer drawer;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(drawer.initialise(640, 480, false, 4));
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("No window"), std::string::npos);
    int buffers = 0, samples = 0;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers);
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    EXPECT_EQ(buffers, 1);
    EXPECT_EQ(samples, 4);
    // Reading back a multisampled frame resolves it.
    drawer.beginDrawing();
    drawer.fillRect(0, 0, 512, 768, 0, 255, 0, 255);
    std::unique_ptr<unsigned char[]> pixels(drawer.getScreenPixels());
    EXPECT_EQ(pixels[1], 255);
    EXPECT_EQ(pixels[(640 - 1) * 3 + 1], 0);
    SDL_Quit();
}

} // namespace
